#pragma once
// The remaining-time text shown before each page of a print job.

#include <QString>
#include <QtGlobal>

// msPerPage: the average time of the pages done so far (0 before the first); pagesToPrint: the
// job's page count; pagesDone: the pages done, counting the one about to print. Returns
// previous when no estimate applies.
QString RemainingTimeText(quint32 msPerPage, int pagesToPrint, int pagesDone,
                          const QString& previous);
