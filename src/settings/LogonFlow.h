#pragma once
// The log-on logic of the connect dialog and of the automatic log-on at start-up, free of
// widgets. Every message goes through ShowFailureMessage.

#include <QString>

#include "LoginData.h"

// The longest user name, password or host string the connect dialog hands on.
inline constexpr int kMaxLogonField = 30;
// "Please enter no more than 30 characters."
QString FieldTooLongMessage();

// Whether the logged-on user may select from sys.v_$session and sys.v_$sqltext; shows nothing.
bool CheckDbaAccess();

enum class LogonOutcome {
    LoggedOn,     // access checked and the log-on data stored
    LogonFailed,  // the client library's message was shown; not logged on
    NoAccess,     // logged off again after the access message
};
// The connect dialog's OK after its length check and the history: log on with the texts as
// typed, check the access, store the log-on data (RememberLogOn).
LogonOutcome LogOnWithAccessCheck(const LoginData& data);

// When "AutoLogin" is set and a log-on was stored, logs on with it and its remembered password,
// without an access check and without writing anything; a user name without a remembered
// password is not tried. Returns whether the connection is logged on now.
bool AutomaticLogOn();
