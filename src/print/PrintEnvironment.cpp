#include "PrintEnvironment.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <memory>
#include <utility>

#include "PrintInfo.h"
#include "QtPrinterContext.h"

namespace {
// The printer the dialog configures, with the choices of the last job; it lives as long as the
// application object.
class SharedPrinter : public QObject {
public:
    explicit SharedPrinter(QObject* parent)
        : QObject(parent), printer(QPrinter::HighResolution), context(printer) {}
    QPrinter printer;
    CQtPrinterContext context;
    // The user's choices so far in this run; until the first, the offered destination stands.
    bool chosen = false;
    CPrintDestination last;
};

// Qt's dialog offers the first printer again after a job to a file, and a folder where the file's
// name belongs; this one offers the last job's choice and its file, or the default file.
class RememberingPrintDialog : public QPrintDialog {
public:
    RememberingPrintDialog(QPrinter* printer, QWidget* parent, bool toFile, const QString& file)
        : QPrintDialog(printer, parent), m_bToFile(toFile), m_strFile(file) {}

    // Qt fills the dialog from the printer as it is shown.
    void setVisible(bool visible) override {
        QPrintDialog::setVisible(visible);
        auto* printers = findChild<QComboBox*>(QStringLiteral("printers"));
        auto* file = findChild<QLineEdit*>(QStringLiteral("filename"));
        if (!visible || !printers || !file) {
            return;
        }
        const int fileEntry =
            printers->findText(QCoreApplication::translate("QPrintDialog", "Print to File (PDF)"));
        if (m_bToFile && fileEntry >= 0) {
            printers->setCurrentIndex(fileEntry);
        }
        file->setText(m_strFile);
    }

private:
    bool m_bToFile;
    QString m_strFile;
};

SharedPrinter& Shared() {
    static QPointer<SharedPrinter> shared;
    if (!shared) {
        shared = new SharedPrinter(QCoreApplication::instance());
    }
    return *shared;
}

class CDialogPrintEnvironment : public CPrintEnvironment {
public:
    CPrinterContext* RunPrintDialog(CPrintInfo& info, QWidget* parent) override {
        SharedPrinter& shared = Shared();
        QPrinter& printer = shared.printer;
        if (!shared.chosen) {
            shared.last = info.m_offered;
            // A printer removed since is left to Qt's choice.
            if (QPrinterInfo::availablePrinterNames().contains(shared.last.printer)) {
                printer.setPrinterName(shared.last.printer);
            }
        }
        printer.setPrintRange(QPrinter::AllPages);
        printer.setFromTo(info.m_nFromPage, info.m_nToPage);
        RememberingPrintDialog dialog(&printer, parent, shared.last.toFile,
                                      UsableOutputFile(shared.last.file, info.m_offered.file));
        dialog.setMinMax(info.GetMinPage(), info.GetMaxPage());
        dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                          QAbstractPrintDialog::PrintCollateCopies |
                          QAbstractPrintDialog::PrintShowPageSize);
        if (dialog.exec() != QDialog::Accepted) {
            return nullptr;
        }
        // All pages leaves the preset range, as the platform's dialog does.
        if (printer.printRange() == QPrinter::PageRange) {
            info.m_nFromPage = static_cast<quint16>(printer.fromPage());
            info.m_nToPage = static_cast<quint16>(printer.toPage());
        }
        // A range from its last page to its first is printed backwards.
        if (printer.pageOrder() == QPrinter::LastPageFirst) {
            std::swap(info.m_nFromPage, info.m_nToPage);
        }
        shared.chosen = true;
        shared.last.toFile = printer.outputFormat() == QPrinter::PdfFormat;
        if (shared.last.toFile) {
            shared.last.file = printer.outputFileName();
            // A PDF file holds each page once; the job draws the copies.
            info.m_nCopies = printer.copyCount();
            info.m_bCollate = printer.collateCopies();
        } else {
            shared.last.printer = printer.printerName();
        }
        info.m_chosen = shared.last;
        return &shared.context;
    }

    QString AskOutputFileName(QWidget* parent, const QString& startFile) override {
        return QFileDialog::getSaveFileName(parent, QString(), startFile);
    }
};

CPrintEnvironment*& Installed() {
    static CPrintEnvironment* installed = nullptr;
    return installed;
}
}  // namespace

CPrintEnvironment& PrintEnvironment() {
    static CDialogPrintEnvironment dialogs;
    return Installed() ? *Installed() : dialogs;
}

void SetPrintEnvironment(CPrintEnvironment* environment) {
    Installed() = environment;
}
