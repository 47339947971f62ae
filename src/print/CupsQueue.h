#pragma once
// What a print job asks of CUPS: whether a queue takes jobs now, and handing it the finished
// document as one job.

#include <QString>

class QPrinter;

// Whether the queue ("name" or "name/instance") exists, accepts jobs and its printer is not
// stopped. When not, why tells so in a sentence with CUPS's own reason.
bool CupsQueueAcceptsJobs(const QString& queue, QString& why);

// Hands the file to the queue as one job under the title, with the printer's copies, collation,
// duplex and media. False when CUPS refuses it, with CUPS's own reason in reason.
bool SubmitToCupsQueue(const QString& queue, const QString& file, const QString& title,
                       const QPrinter& printer, QString& reason);
