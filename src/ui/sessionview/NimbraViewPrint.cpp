// The view's Print command.

#include <QDir>

#include "ConnectionTexts.h"
#include "ListReport.h"
#include "OracleConnection.h"
#include "PrintClock.h"
#include "PrintSettings.h"
#include "Strings.h"
#include "list/ListPrintSource.h"
#include "sessionview/NimbraView.h"
#include "widgets/MessageBox.h"

namespace {
// "Oracle RDBMS Sessions - SYSTEM@sim:demo, 08-DEC-2026 10:42": what was printed, from where and
// when.
QString TitleLine() {
    return QStringLiteral("%1 - %2, %3")
        .arg(Strings::ReportTitle, ConnectionTitle(), PrintTimeText(PrintTime()));
}
}  // namespace

// Rows left from a connection that is gone are not printed as if they were current.
void CNimbraView::OnFilePrint() {
    if (!IsLoggedOn()) {
        return;
    }
    const CListPrintSource list(*this);
    CListReport report;
    const QString title = TitleLine();
    report.SetTitle(title);
    report.SetDocName(title);
    report.SetFooter(Strings::ReportFooter);
    report.SetPageFormat(Strings::ReportPageFormat);
    report.SetList(&list);
    report.SetDefaultOutputFile(
        QDir(DefaultOutputFolder()).filePath(QStringLiteral("nimbra-sessions.pdf")));
    const PrintSettings stored = PrintSettings::Load();
    report.SetRememberedDestination({stored.Printer, stored.ToFile, stored.File});
    report.SetDestinationHandler([](const CPrintDestination& used) {
        PrintSettings::Save({used.printer, used.toFile, used.file});
    });
    report.SetMainWindow(window());
    report.SetMessageHandler([](const QString& text) { NimbraMessageBox(text); });
    report.Print();
}
