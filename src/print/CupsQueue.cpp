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

// Why the printer at uri, if known, is as it is, as its administrator or CUPS put it
// ("Rejecting Jobs").
QString StateMessage(const char* uri) {
    QString text;
    if (uri) {
        ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                     "printer-state-message");
        ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
        ipp_attribute_t* message =
            ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT);
        if (message) {
            text = QString::fromUtf8(ippGetString(message, 0, nullptr)).trimmed();
        }
        ippDelete(response);
    }
    return text.isEmpty() ? QStringLiteral("no reason given") : text;
}

// The text with a full stop at its end unless it has one.
QString Sentence(const QString& text) {
    return text.endsWith(QLatin1Char('.')) ? text : text + QLatin1Char('.');
}
}  // namespace

bool CupsQueueAcceptsJobs(const QString& queue, QString& why) {
    const QByteArray name = queue.section(QLatin1Char('/'), 0, 0).toUtf8();
    const QByteArray instance = queue.section(QLatin1Char('/'), 1).toUtf8();
    cups_dest_t* dest = name.isEmpty()
                            ? nullptr
                            : cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(),
                                               instance.isEmpty() ? nullptr : instance.constData());
    if (!dest) {
        why = name.isEmpty() ? QStringLiteral("No printer was chosen.")
                             : QStringLiteral("The printer \"%1\" is not available: %2")
                                   .arg(queue, Sentence(cupsLastErrorString()));
        return false;
    }
    const char* accepting =
        cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
    const char* uri = cupsGetOption("printer-uri-supported", dest->num_options, dest->options);
    const bool accepts = accepting && std::strcmp(accepting, "true") == 0;
    const bool stopped = state && std::atoi(state) == IPP_PSTATE_STOPPED;
    if (!accepts || stopped) {
        why = (accepts ? QStringLiteral("The printer \"%1\" is stopped: %2")
                       : QStringLiteral("The printer \"%1\" does not accept jobs: %2"))
                  .arg(queue, Sentence(StateMessage(uri)));
    }
    cupsFreeDests(1, dest);
    return accepts && !stopped;
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
