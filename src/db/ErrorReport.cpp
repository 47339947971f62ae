#include "ErrorReport.h"

#include <cstdio>
#include <iterator>

#include "OracleConnection.h"

// clang-format off
const char* const OciFunctionNames[67] = {
    "not used", "not used", "OSQL", "not used", "OEXEC, OEXN", "not used", "OBIND", "not used",
    "ODEFIN", "not used", "ODSRBN", "not used", "OFETCH, OFEN", "not used", "OOPEN", "not used",
    "OCLOSE", "not used", "not used", "not used", "not used", "not used", "ODSC", "not used",
    "ONAME", "not used", "OSQL3", "not used", "OBNDRV", "not used", "OBNDRN", "not used",
    "not used", "not used", "OOPT", "not used", "not used", "not used", "not used", "not used",
    "not used", "not used", "not used", "not used", "not used", "not used", "not used",
    "not used", "not used", "not used", "not used", "not used", "OCAN", "not used", "OPARSE",
    "not used", "OEXFET", "not used", "OFLNG", "not used", "ODESCR", "not used", "OBNDRA",
    "OBINDPS", "ODEFINPS", "OGETPI", "OSETPI",
};
// clang-format on

namespace {
MessageSink& sink() {
    static MessageSink s;
    return s;
}
}  // namespace

const char* OciFunctionName(unsigned code) {
    return code < std::size(OciFunctionNames) ? OciFunctionNames[code] : "unknown";
}

void SetMessageSink(MessageSink s) {
    sink() = std::move(s);
}

void ShowFailureMessage(const std::string& text) {
    if (sink()) {
        sink()(text);
    } else {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
}

std::string OciErrorText(const OciArea& area) {
    std::string message = "ORACLE Error";
    if (const ub1 fc = areaFc(area); fc != 0) {
        message += " when processing OCI function ";
        message += OciFunctionName(fc);
    }
    message += "\n";
    text buffer[512] = {};
    oerhms(&TheConnection().logonArea, static_cast<sb2>(areaRc(area)), buffer, sizeof buffer);
    buffer[sizeof buffer - 1] = 0;
    message += reinterpret_cast<const char*>(buffer);
    return message;
}

void ReportOciError(const OciArea& area) {
    ShowFailureMessage(OciErrorText(area));
}
