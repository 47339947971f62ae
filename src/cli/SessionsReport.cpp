#include "SessionsReport.h"

#include <unistd.h>

#include <algorithm>

#include "ErrorReport.h"
#include "OracleConnection.h"
#include "SessionStatements.h"

namespace {
// Sends the failure messages to a stream while it lives, noting whether there was one.
class MessagesTo {
public:
    explicit MessagesTo(std::FILE* stream) {
        SetMessageSink([this, stream](const std::string& message) {
            m_bFailed = true;
            std::fprintf(stream, "%s\n", message.c_str());
        });
    }
    ~MessagesTo() { SetMessageSink(nullptr); }
    MessagesTo(const MessagesTo&) = delete;
    MessagesTo& operator=(const MessagesTo&) = delete;
    bool failed() const { return m_bFailed; }

private:
    bool m_bFailed = false;
};

constexpr int kMarkedForKill = 31;

// The server's answer goes to standard error; a session marked for kill is no refusal.
ExitStatus EndOneSession(const EndRequest& request, const MessagesTo& messages, std::FILE* err) {
    const SessionKey& key = request.session;
    const std::optional<EndAnswer> answer =
        EndSessionOn(request.kind, key.sid, key.serial, key.instance);
    const bool loggedOff = LogOff(err);
    if (messages.failed() || !answer) {
        return kOracleFailure;
    }
    if (answer->code == kMarkedForKill) {
        std::fprintf(err, "nimbra-sessions: Session %s,%s is marked for kill.\n", key.sid.c_str(),
                     key.serial.c_str());
    } else if (answer->code != 0) {
        std::fprintf(err, "%s\n", answer->message.c_str());
        return kOracleFailure;
    }
    return loggedOff ? kDone : kLogOffFailure;
}
}  // namespace

ExitStatus ReportSessions(const LogonArgument& logon, const ReportOptions& options, std::FILE* out,
                          std::FILE* err) {
    MessagesTo messages(err);
    if (!LogOn(logon.user.c_str(), logon.password.c_str(), logon.host.c_str(), logon.mode)) {
        return kOracleFailure;
    }
    if (const std::string warning = TakeLogonWarning(); !warning.empty()) {
        std::fprintf(err, "nimbra-sessions: %s\n", warning.c_str());
    }
    if (options.end) {
        return EndOneSession(*options.end, messages, err);
    }
    const std::vector<SessionColumnId> wanted =
        options.columns.empty() ? ListColumns({}) : options.columns;
    SessionList sessions = FetchSessionRows(options.allSessions, wanted);
    // A column the server lacks has been said; the others are printed, and after the serial#
    // (or last, without it) the instance and the container where the database has them.
    std::vector<SessionColumnId> shown;
    const auto read = [&sessions](SessionColumnId id) {
        return std::find(sessions.columns.begin(), sessions.columns.end(), id) !=
               sessions.columns.end();
    };
    const bool serialShown =
        std::find(wanted.begin(), wanted.end(), SessionColumnId::Serial) != wanted.end();
    const auto addAutomatic = [&] {
        for (SessionColumnId automatic : AutomaticColumns()) {
            if (read(automatic)) {
                shown.push_back(automatic);
            }
        }
    };
    for (SessionColumnId id : wanted) {
        if (read(id) && !ColumnOf(id).automatic) {
            shown.push_back(id);
        }
        if (id == SessionColumnId::Serial) {
            addAutomatic();
        }
    }
    if (!serialShown) {
        addAutomatic();
    }
    Arrangement arrangement = options.arrangement;
    arrangement.shown = shown;
    sessions = ArrangeSessions(std::move(sessions), arrangement);
    const bool loggedOff = LogOff(err);
    if (messages.failed()) {
        return kOracleFailure;
    }
    const Destination destination =
        ::isatty(::fileno(out)) != 0 ? Destination::Terminal : Destination::File;
    const std::string text =
        options.csv ? FormatCsv(sessions, shown, destination) : FormatAligned(sessions, shown);
    std::fwrite(text.data(), 1, text.size(), out);
    std::fflush(out);
    return loggedOff ? kDone : kLogOffFailure;
}
