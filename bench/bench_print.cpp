// The session report of 10,000 sessions printed to a PDF file on A4 at the printer's resolution,
// from the print dialog's answer to the closed file, and the file's size.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <array>
#include <vector>

#include "BenchSupport.h"
#include "ListReport.h"
#include "PrintEnvironment.h"
#include "PrintListSource.h"
#include "QtPrinterContext.h"

namespace {
constexpr int kRows = kBenchRows;

class Sessions : public PrintListSource {
public:
    Sessions() : m_rows(BenchSessionTexts()) {}
    int RowCount() const override { return kRows; }
    int ColumnCount() const override { return 7; }
    bool GetColumn(int column, PrintListColumn& out) const override {
        static const std::array<std::pair<const char*, int>, 7> columns{{{"Username", 100},
                                                                         {"Sid", 50},
                                                                         {"Serial", 50},
                                                                         {"Status", 80},
                                                                         {"OS User", 100},
                                                                         {"Machine", 200},
                                                                         {"Program", 300}}};
        const auto& [heading, width] = columns[static_cast<std::size_t>(column)];
        out = {QString::fromLatin1(heading), width, Qt::AlignLeft};
        return true;
    }
    QString CellText(int row, int column) const override {
        return m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    }

private:
    std::vector<RowTexts> m_rows;
};

// A PDF printer on A4 that counts the pages it starts.
class PdfFile : public CPrintEnvironment {
public:
    explicit PdfFile(const QString& file) : m_printer(QPrinter::HighResolution) {
        m_printer.setOutputFileName(file);
        m_printer.setPageSize(QPageSize(QPageSize::A4));
    }
    CPrinterContext* RunPrintDialog(CPrintInfo&, QWidget*) override { return &m_context; }
    QString AskOutputFileName(QWidget*, const QString&) override { return {}; }
    int Pages() const { return m_context.pages; }

private:
    struct CountingContext : CQtPrinterContext {
        using CQtPrinterContext::CQtPrinterContext;
        bool StartPage() override {
            ++pages;
            return CQtPrinterContext::StartPage();
        }
        int pages = 0;
    };
    QPrinter m_printer;
    CountingContext m_context{m_printer};
};

void BM_Print10000RowsToPdf(benchmark::State& state) {
    EnsureApplication();
    const Sessions sessions;
    QTemporaryDir dir;
    PdfFile pdf(dir.filePath("sessions.pdf"));
    SetPrintEnvironment(&pdf);
    for (auto _ : state) {
        CListReport report;
        report.SetTitle(QStringLiteral("Oracle RDBMS Sessions"));
        report.SetFooter(QStringLiteral("Nimbra Version 1.2.0\n\u00A9 2026 Velmoor"));
        report.SetPageFormat(QStringLiteral("Page %d of %d"));
        report.SetList(&sessions);
        report.Print();
    }
    SetPrintEnvironment(nullptr);
    state.counters["pages"] = pdf.Pages() / static_cast<double>(state.iterations());
    state.counters["pages/s"] = benchmark::Counter(pdf.Pages(), benchmark::Counter::kIsRate);
    state.counters["PDF MB"] = QFileInfo(dir.filePath("sessions.pdf")).size() / 1e6;
}
}  // namespace

BENCHMARK(BM_Print10000RowsToPdf)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
