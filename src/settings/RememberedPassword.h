#pragma once
// Where the password of the stored log-on is kept between runs: in the desktop's keyring; in the
// settings file ("Pwd", owner-only) where no keyring is reachable; nowhere with "Remember
// password" off. A run that stores nothing (the demo) keeps it in memory with the rest and never
// asks the keyring. What happened to a password is told in one notice line for the status bar.

#include <QString>
#include <functional>

#include "LoginData.h"

// Where notices go; without a sink they go to standard error.
using NoticeSink = std::function<void(const QString& text)>;
void SetPasswordNoticeSink(NoticeSink sink);

// At start-up: a password still in the settings file moves into the keyring when one is
// reachable and takes it; the file keeps it otherwise, and the next start tries again.
void MovePasswordToKeyring();

// The remembered password of a stored log-on (LoginData::Load), empty when none is remembered,
// the keyring has none or refused to open. External authentication (no user name) has none.
QString RememberedPassword(const LoginData& stored);
// The same, only when the keyring holds it: the password a settings file holds is for the
// automatic log-on alone.
QString KeyringPassword(const LoginData& stored);

// After a successful log-on through the connect dialog: stores the log-on data, and the
// password where it is kept.
void RememberLogOn(const LoginData& data);

// "Remember password" was turned off: the stored log-on's password leaves the file and the
// keyring.
void ForgetPassword();
