// The view's Print command.

#include <QDir>
#include <QStandardPaths>

#include "ListPrintSource.h"
#include "ListReport.h"
#include "MessageBox.h"
#include "NimbraView.h"
#include "Strings.h"

void CNimbraView::OnFilePrint() {
    const CListPrintSource list(*this);
    CListReport report;
    report.SetTitle(Strings::ReportTitle);
    report.SetFooter(Strings::ReportFooter);
    report.SetPageFormat(Strings::ReportPageFormat);
    report.SetList(&list);
    report.SetDefaultOutputFile(
        QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .filePath(QStringLiteral("nimbra-sessions.pdf")));
    report.SetMainWindow(window());
    report.SetMessageHandler([](const QString& text) { NimbraMessageBox(text); });
    report.Print();
}
