#pragma once
// What a print job asks of the desktop: the print dialog, which yields the printer context, and
// the save-file dialog for printing to a file. Tests put an environment of their own in place.

#include <QString>

struct CPrintInfo;
class CPrinterContext;
class QWidget;

class CPrintEnvironment {
public:
    virtual ~CPrintEnvironment() = default;

    // Offers the pages from info's first to last page with its from- and to-page preset, and
    // info's offered destination unless the user chose one earlier in this run. On OK it stores
    // the chosen range and destination in info and returns the chosen printer's context, which
    // the environment keeps; null when the user cancels.
    virtual CPrinterContext* RunPrintDialog(CPrintInfo& info, QWidget* parent) = 0;
    // The file to print to, browsing from startFile's folder; empty when the user cancels.
    virtual QString AskOutputFileName(QWidget* parent, const QString& startFile) = 0;
};

// The environment print jobs use: the one set, else Qt's dialogs on a printer that keeps its
// settings for the rest of the program's run.
CPrintEnvironment& PrintEnvironment();
// Null restores Qt's dialogs. The environment is borrowed.
void SetPrintEnvironment(CPrintEnvironment* environment);
