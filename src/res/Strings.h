#pragma once
// The program's own texts.

#include <QString>

namespace Strings {
inline const QString AppTitle = QStringLiteral("Nimbra");
inline const QString DescriptiveTitle = QStringLiteral("Nimbra - Oracle Sessions");
inline const QString Version = QStringLiteral("Version 1.2.0");
// The template string: the descriptive title, a line break, the version.
inline const QString TemplateString = DescriptiveTitle + QStringLiteral("\n") + Version;
inline const QString Ready = QStringLiteral("Ready");
inline const QString Copyright = QStringLiteral("\u00A9 2026 Velmoor");
inline const QString HomePage = QStringLiteral("https://nimbra.velmoor.example/");
inline const QString AuthorMail = QStringLiteral("mailto:nimbra@velmoor.example");
inline const QString VendorSite = QStringLiteral("https://www.oracle.com/database/");

// Command prompts: the status-bar text, then after "\n" the tool tip.
namespace Prompt {
inline const QString Connect = QStringLiteral("Connect to the database.");
inline const QString Options = QStringLiteral("Change the display options.\nOptions");
inline const QString Print = QStringLiteral("Print list\nPrint");
inline const QString Exit = QStringLiteral("Quit the application; prompts to save documents\nExit");
inline const QString ViewToolbar = QStringLiteral("Show or hide the toolbar\nToggle ToolBar");
inline const QString ViewStatusBar =
    QStringLiteral("Show or hide the status bar\nToggle StatusBar");
inline const QString RefreshToolbar =
    QStringLiteral("Refresh the list and retrieve all current sessions.\nRefresh");
inline const QString About =
    QStringLiteral("Display program information, version number and copyright\nAbout");
inline const QString KillSession = QStringLiteral("Kills the session.");
inline const QString Properties = QStringLiteral("Edits the session item properties.");
inline const QString KillImmediately =
    QStringLiteral("Kills the session at once, without waiting for it.");
inline const QString Disconnect =
    QStringLiteral("Disconnects the session once its transaction has ended.");
inline const QString CancelSql =
    QStringLiteral("Cancels the statement the session runs; the session stays connected.");
inline const QString BlockingSessions = QStringLiteral(
    "Show the sessions that block others, and the sessions waiting on them.\nBlocking Sessions");
inline const QString Activity = QStringLiteral(
    "Show the sampled activity by wait class, with its top SQL and sessions.\nActivity");
inline const QString Filter = QStringLiteral("Show the filter field above the list.\nFilter");
inline const QString HideIdle =
    QStringLiteral("List only the sessions that are active.\nHide Idle Sessions");
inline const QString ServerOrder =
    QStringLiteral("List the sessions in the order the database returns them.\nServer Order");
inline const QString Columns =
    QStringLiteral("Choose the columns of the list and their order.\nColumns");
inline const QString Export = QStringLiteral("Save the listed sessions to a CSV file.\nExport");
// The standard edit and pane prompts.
inline const QString Cut = QStringLiteral("Cut the selection and put it on the Clipboard\nCut");
inline const QString Copy = QStringLiteral("Copy the selection and put it on the Clipboard\nCopy");
inline const QString Paste = QStringLiteral("Insert Clipboard contents\nPaste");
inline const QString Undo = QStringLiteral("Undo the last action\nUndo");
inline const QString NextPane = QStringLiteral("Switch to the next window pane\nNext Pane");
inline const QString PreviousPane =
    QStringLiteral("Switch back to the previous window pane\nPrevious Pane");
}  // namespace Prompt
}  // namespace Strings

// The printed session list.
namespace Strings {
inline const QString ReportTitle = QStringLiteral("Oracle RDBMS Sessions");
inline const QString ReportPageFormat = QStringLiteral("Page %d of %d");
// The program and its version, a line break, the copyright.
inline const QString ReportFooter =
    AppTitle + QStringLiteral(" ") + Version + QStringLiteral("\n") + Copyright;
}  // namespace Strings
