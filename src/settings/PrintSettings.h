#pragma once
// Where the last print job the user started went, in section "Print" ("Printer", "ToFile",
// "File"), so that the print dialog offers it again in the next run.

#include <QString>

struct PrintSettings {
    QString Printer;      // the CUPS queue last printed to
    bool ToFile = false;  // whether the last job went to a file rather than to Printer
    QString File;         // the PDF file last printed to

    static PrintSettings Load();
    // Writes "Printer", then "ToFile", then "File".
    static void Save(const PrintSettings& settings);
};
