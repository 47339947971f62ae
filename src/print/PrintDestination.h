#pragma once
// Where a print job's pages go, as the print dialog offers and remembers it, and the file a job
// to a file is offered when nothing better is known.

#include <QString>

struct CPrintDestination {
    QString printer;  // the CUPS queue; empty when none is known
    bool toFile = false;
    QString file;  // the PDF file; empty when none is known
};

// The user's Documents folder when it exists, else the home folder.
QString DefaultOutputFolder();
// file when it names a file in a folder that exists, else fallback.
QString UsableOutputFile(const QString& file, const QString& fallback);
