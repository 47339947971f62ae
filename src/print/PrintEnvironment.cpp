#include "PrintEnvironment.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <memory>

#include "PrintInfo.h"
#include "QtPrinterContext.h"

namespace {
// The printer the dialog configures; it lives as long as the application object.
class SharedPrinter : public QObject {
public:
    explicit SharedPrinter(QObject* parent)
        : QObject(parent), printer(QPrinter::HighResolution), context(printer) {}
    QPrinter printer;
    CQtPrinterContext context;
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
        printer.setPrintRange(QPrinter::AllPages);
        printer.setFromTo(info.m_nFromPage, info.m_nToPage);
        QPrintDialog dialog(&printer, parent);
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
        info.m_bPrintToFile = printer.outputFormat() == QPrinter::PdfFormat;
        info.m_strOutputFile = printer.outputFileName();
        return &shared.context;
    }

    QString AskOutputFileName(QWidget* parent) override {
        return QFileDialog::getSaveFileName(parent);
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
