#include "LogonFlow.h"

#include "AppSettings.h"
#include "ErrorReport.h"
#include "OracleConnection.h"
#include "RememberedPassword.h"
#include "SecretWipe.h"
#include "ServerHistory.h"
#include "TableProbes.h"

namespace {
const char* const kNoAccessMessage =
    "You are connected as a user without DBA access rights!\n"
    "You must be allowed to access sys.v_$session and sys.v_$sqltext.";
const char* const kAutoLogonFailedMessage = "Unable to connect automatically!";

// The texts exactly as typed, empty ones included, in UTF-8 for the client library.
bool logOn(const LoginData& data) {
    QByteArray password = data.Password.toUtf8();
    const bool loggedOn = LogOn(data.UserName.toUtf8().constData(), password.constData(),
                                data.HostString.toUtf8().constData(), data.Mode);
    WipeSecret(password);
    return loggedOn;
}
}  // namespace

QString FieldTooLongMessage() {
    return QStringLiteral("Please enter no more than %1 characters.").arg(kMaxLogonField);
}

bool CheckDbaAccess() {
    return CanSelectFrom("sys.v_$session") && CanSelectFrom("sys.v_$sqltext");
}

LogonOutcome LogOnWithAccessCheck(const LoginData& data) {
    if (!logOn(data)) {
        return LogonOutcome::LogonFailed;
    }
    const DatabaseOperation check;
    const bool mayRead = CheckDbaAccess();
    // A probe's failure was reported: that one message says what happened, and nothing is
    // stored for a log-on that did not last or whose access is unknown.
    if (check.Failed()) {
        LogOff();
        return LogonOutcome::LogonFailed;
    }
    if (!mayRead) {
        LogOff();
        ShowFailureMessage(kNoAccessMessage);
        return LogonOutcome::NoAccess;
    }
    RememberLogOn(data);
    ServerHistory::RememberMode(data.HostString, data.Mode);
    return LogonOutcome::LoggedOn;
}

bool AutomaticLogOn() {
    // Without a stored log-on (a first start, or only demo runs since) there is nothing to try.
    if (!AppSettings::Load().AutoLogin || !LoginData::IsStored()) {
        return IsLoggedOn();
    }
    LoginData stored = LoginData::Load();
    stored.Password = RememberedPassword(stored);
    // Without a password nothing was refused: the connect dialog asks for it.
    if (!stored.UserName.isEmpty() && stored.Password.isEmpty()) {
        return IsLoggedOn();
    }
    if (!logOn(stored)) {
        ShowFailureMessage(kAutoLogonFailedMessage);
    }
    WipeSecret(stored.Password);
    return IsLoggedOn();
}
