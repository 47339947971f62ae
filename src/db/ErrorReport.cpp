#include "ErrorReport.h"

#include <cstdio>
#include <iterator>
#include <vector>

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
    if (const auto& own = TheConnection().messageSink) {
        own(text);
        return;
    }
    if (sink()) {
        sink()(text);
    } else {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
}

// The classic 512 bytes hold every server message; a longer explanation (where the client
// library was looked for) is asked for again with room enough, so that it arrives whole.
std::string ClientMessage(ub2 code) {
    constexpr std::size_t kFirstBuffer = 512;
    constexpr std::size_t kLargestBuffer = 64 * 1024;
    std::vector<text> buffer;
    for (std::size_t size = kFirstBuffer; size <= kLargestBuffer; size *= 2) {
        buffer.assign(size, 0);
        const sword length = oerhms(&TheConnection().logonArea, static_cast<sb2>(code),
                                    buffer.data(), static_cast<sword>(size));
        if (length < 0 || std::size_t(length) < size - 1) {
            break;
        }
    }
    buffer.back() = 0;
    return reinterpret_cast<const char*>(buffer.data());
}

std::string OciErrorText(const OciArea& area) {
    std::string message = "ORACLE Error";
    if (const ub1 fc = areaFc(area); fc != 0) {
        message += " when processing OCI function ";
        message += OciFunctionName(fc);
    }
    message += "\n";
    message += ClientMessage(areaRc(area));
    return message;
}

void ReportOciError(const OciArea& area) {
    ShowFailureMessage(OciErrorText(area));
}
