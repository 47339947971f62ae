#include "CupsQueue.h"

#include <cups/cups.h>

#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <cstdlib>
#include <cstring>

namespace {
const char* Sides(const QPrinter& printer) {
    switch (printer.duplex()) {
        case QPrinter::DuplexNone:
            return CUPS_SIDES_ONE_SIDED;
        case QPrinter::DuplexLongSide:
            return CUPS_SIDES_TWO_SIDED_PORTRAIT;
        case QPrinter::DuplexShortSide:
            return CUPS_SIDES_TWO_SIDED_LANDSCAPE;
        case QPrinter::DuplexAuto:
            break;
    }
    // Turned over the long edge as the page is read.
    return printer.pageLayout().orientation() == QPageLayout::Portrait
               ? CUPS_SIDES_TWO_SIDED_PORTRAIT
               : CUPS_SIDES_TWO_SIDED_LANDSCAPE;
}

// The options a job is handed over with; it frees them when it goes.
class JobOptions {
public:
    explicit JobOptions(const QPrinter& printer) {
        Add(CUPS_COPIES, QByteArray::number(printer.copyCount()));
        Add("multiple-document-handling", printer.collateCopies()
                                              ? "separate-documents-collated-copies"
                                              : "separate-documents-uncollated-copies");
        Add(CUPS_SIDES, Sides(printer));
        Add(CUPS_MEDIA, printer.pageLayout().pageSize().key().toUtf8());
    }
    ~JobOptions() { cupsFreeOptions(m_count, m_options); }
    JobOptions(const JobOptions&) = delete;
    JobOptions& operator=(const JobOptions&) = delete;
    int Count() const { return m_count; }
    cups_option_t* Options() const { return m_options; }

private:
    void Add(const char* name, const QByteArray& value) {
        m_count = cupsAddOption(name, value.constData(), m_count, &m_options);
    }
    int m_count = 0;
    cups_option_t* m_options = nullptr;
};
}  // namespace

bool CupsQueueAcceptsJobs(const QString& queue) {
    const QByteArray name = queue.section(QLatin1Char('/'), 0, 0).toUtf8();
    const QByteArray instance = queue.section(QLatin1Char('/'), 1).toUtf8();
    if (name.isEmpty()) {
        return false;
    }
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(),
                                         instance.isEmpty() ? nullptr : instance.constData());
    if (!dest) {
        return false;
    }
    const char* accepting =
        cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
    const bool accepts = accepting && std::strcmp(accepting, "true") == 0 &&
                         !(state && std::atoi(state) == IPP_PSTATE_STOPPED);
    cupsFreeDests(1, dest);
    return accepts;
}

bool SubmitToCupsQueue(const QString& queue, const QString& file, const QString& title,
                       const QPrinter& printer, QString& reason) {
    const JobOptions options(printer);
    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT,
                                   queue.section(QLatin1Char('/'), 0, 0).toUtf8().constData(),
                                   QFile::encodeName(file).constData(), title.toUtf8().constData(),
                                   options.Count(), options.Options());
    if (job == 0) {
        reason = QString::fromUtf8(cupsLastErrorString());
    }
    return job != 0;
}
