#include "EndSession.h"

#include "ErrorReport.h"
#include "OracleConnection.h"
#include "OracleCursor.h"
#include "SessionStatements.h"

namespace {
// ALTER SYSTEM CANCEL SQL is documented from release 18 on.
constexpr int kCancelSqlRelease = 18;
// The '@instance' of a session id came with release 11.
constexpr int kInstanceIdRelease = 11;
}  // namespace

std::string EndSessionStatement(EndSession kind, const std::string& sid, const std::string& serial,
                                const std::string& instance) {
    const std::string id =
        "'" + sid + "," + serial + (instance.empty() ? "" : ",@" + instance) + "'";
    switch (kind) {
        case EndSession::Kill:
            return KillStatement(sid, serial, instance);
        case EndSession::KillImmediately:
            return "ALTER SYSTEM KILL SESSION " + id + " IMMEDIATE";
        case EndSession::Disconnect:
            return "ALTER SYSTEM DISCONNECT SESSION " + id + " POST_TRANSACTION";
        case EndSession::CancelSql:
            return "ALTER SYSTEM CANCEL SQL " + id;
    }
    return {};
}

bool IsAvailable(EndSession kind, const ServerRelease& release) {
    return kind != EndSession::CancelSql || !release.Known() || release.major >= kCancelSqlRelease;
}

QString UnavailableText(EndSession kind, const ServerRelease& release) {
    if (IsAvailable(kind, release)) {
        return {};
    }
    return QStringLiteral(
               "Cancelling a session's SQL needs Oracle Database %1c or later; this "
               "database is release %2.%3.")
        .arg(kCancelSqlRelease)
        .arg(release.major)
        .arg(release.minor);
}

bool ReachesOtherInstances(EndSession kind, const ServerRelease& release) {
    return kind != EndSession::Disconnect &&
           (!release.Known() || release.major >= kInstanceIdRelease);
}

QString OtherInstanceText(EndSession kind, const ServerRelease& release) {
    if (ReachesOtherInstances(kind, release)) {
        return {};
    }
    if (kind == EndSession::Disconnect) {
        return QStringLiteral(
            "A session can be disconnected only on the instance you are logged on to.");
    }
    return QStringLiteral(
               "Sessions of another instance can be ended from Oracle Database %1g on; this "
               "database is release %2.%3.")
        .arg(kInstanceIdRelease)
        .arg(release.major)
        .arg(release.minor);
}

QString EndSessionQuestion(EndSession kind, std::size_t sessions) {
    const QString which = sessions == 1 ? QStringLiteral("this session")
                                        : QStringLiteral("these %1 sessions").arg(sessions);
    switch (kind) {
        case EndSession::Kill:
            return QStringLiteral("Do You really want to kill %1?").arg(which);
        case EndSession::KillImmediately:
            return QStringLiteral("Do You really want to kill %1 immediately?").arg(which);
        case EndSession::Disconnect:
            return QStringLiteral("Do You really want to disconnect %1 after %2 transaction?")
                .arg(which, sessions == 1 ? QStringLiteral("its") : QStringLiteral("their"));
        case EndSession::CancelSql:
            return QStringLiteral("Do You really want to cancel the current SQL of %1?").arg(which);
    }
    return {};
}

QString CannotText(EndSession kind) {
    switch (kind) {
        case EndSession::Kill:
        case EndSession::KillImmediately:
            return QStringLiteral("which cannot be killed");
        case EndSession::Disconnect:
            return QStringLiteral("which cannot be disconnected");
        case EndSession::CancelSql:
            return QStringLiteral("whose SQL cannot be cancelled");
    }
    return {};
}

QString DoneText(EndSession kind) {
    switch (kind) {
        case EndSession::Kill:
        case EndSession::KillImmediately:
            return QStringLiteral("killed");
        case EndSession::Disconnect:
            return QStringLiteral("disconnected");
        case EndSession::CancelSql:
            return QStringLiteral("cancelled");
    }
    return {};
}

std::optional<EndAnswer> EndSessionOn(EndSession kind, const std::string& sid,
                                      const std::string& serial, const std::string& instance) {
    if (!IsSessionKey(sid, serial, instance)) {
        return std::nullopt;
    }
    OracleCursor cursor;
    OpenCursor(cursor);
    ParseStatement(cursor, EndSessionStatement(kind, sid, serial, instance).c_str());
    EndAnswer answer;
    const LongCallTimeLimit serverMayWait;
    if (!ExecuteCursor(cursor, false)) {
        answer.code = LastErrorCode(cursor);
        answer.message = OciErrorText(cursor.area);
    }
    CloseCursor(cursor);
    return answer;
}
