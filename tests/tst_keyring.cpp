// Passwords in a real Secret Service: gnome-keyring-daemon on a private session bus. CTest runs
// this once per state of the keyring (NIMBRA_KEYRING_STATE): Unlocked, Locked (its unlock prompt
// cannot open, which the daemon answers as a refusal), Absent from the bus, and Failing (it hangs,
// then dies). One process each: the keyring library keeps its session with the daemon for the
// life of the process.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <csignal>
#include <initializer_list>
#include <memory>

#include "DbTestSupport.h"
#include "GuiTestSupport.h"
#include "Keyring.h"
#include "KeyringTestSupport.h"
#include "LogonFlow.h"
#include "RememberedPassword.h"
#include "SettingsStore.h"
#include "dialogs/ConnectDialog.h"
#include "dialogs/OptionsDialog.h"

namespace {
const QString kSystem = "system@sim:demo";
const QString kMoved =
    "The password of system@sim:demo was moved from the settings file to the keyring.";
const QString kNoKeyring =
    "The password is kept in the settings file because no keyring is available.";
const QString kBadLogon = "ORACLE Error\nORA-01017: invalid username/password; logon denied";

QByteArray settingsFile() {
    QFile file(SettingsStore::FilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeSettings(const QByteArray& text) {
    QDir().mkpath(QFileInfo(SettingsStore::FilePath()).path());
    QFile file(SettingsStore::FilePath());
    file.open(QIODevice::WriteOnly);
    file.write(text);
}

// The dialog's password once it opens; then, unless typed is empty, system on sim:demo with
// that password typed in and confirmed.
QString passwordOfDialog(bool preset = true, const QString& typed = QString()) {
    CConnectDialog dialog(nullptr, preset);
    auto* field = dialog.findChild<QLineEdit*>("passwordEdit");
    const QString shown = field->text();
    if (!typed.isEmpty()) {
        dialog.findChild<QLineEdit*>("userEdit")->setText("system");
        dialog.findChild<QComboBox*>("hostCombo")->setEditText("sim:demo");
        field->setText(typed);
        dialog.findChild<QPushButton*>("okButton")->click();
    }
    return shown;
}
}  // namespace

// Every case of a state: its settings file of its own, messages and notices recorded.
class KeyringCase : public QObject {
    Q_OBJECT
protected:
    explicit KeyringCase(PrivateKeyring::State state) : m_state(state) {}
    QStringList messages() const { return m_recorder->messages; }

    const PrivateKeyring::State m_state;
    PrivateKeyring m_keyring;
    std::unique_ptr<SettingsLocation> m_settings;
    std::unique_ptr<MessageRecorder> m_recorder;
    QStringList m_notices;

private slots:
    void initTestCase() {
        QString why;
        QVERIFY2(m_keyring.Start(m_state, why), qPrintable(why));
        SetPasswordNoticeSink([this](const QString& text) { m_notices << text; });
    }
    void init() {
        m_settings = std::make_unique<SettingsLocation>();
        m_notices.clear();
        m_recorder = std::make_unique<MessageRecorder>();
        resetDatabase();
        Keyring::Remove("system", "sim:demo");
    }
    void cleanup() {
        m_recorder.reset();
        VerifyNothingLeftBehind();
    }
};

class tst_UnlockedKeyring : public KeyringCase {
    Q_OBJECT
public:
    tst_UnlockedKeyring() : KeyringCase(PrivateKeyring::State::Unlocked) {}
private slots:

    // Logged on once with automatic log-on ticked: the keyring holds the password, the file
    // does not, and the next start logs on by itself.
    void logOnKeepsThePasswordInTheKeyringOnly() {
        SettingsStore::WriteProfileInt("Options", "AutoLogin", 1);
        QCOMPARE(passwordOfDialog(true, "manager"), QString());
        QVERIFY(IsLoggedOn());
        QCOMPARE(PrivateKeyring::Lookup(kSystem), QString("manager"));
        QCOMPARE(settingsFile(),
                 QByteArray("[Connect]\nSrv=sim:demo\nUsr=system\n\n[Options]\nAutoLogin=1\n\n"
                            "[ServerList]\nItem1=sim:demo\nItems=1\n"));
        LogOff();
        QVERIFY(AutomaticLogOn());
        LogOff();
        // Without automatic log-on the dialog offers it; another user name drops it.
        SettingsStore::WriteProfileInt("Options", "AutoLogin", 0);
        CConnectDialog dialog;
        auto* password = dialog.findChild<QLineEdit*>("passwordEdit");
        QCOMPARE(password->text(), QString("manager"));
        QCOMPARE(dialog.focusWidget(), password);
        dialog.findChild<QLineEdit*>("userEdit")->setText("monitor");
        QCOMPARE(password->text(), QString());
        QCOMPARE(m_notices, QStringList());
        QCOMPARE(messages(), QStringList());
    }

    void oldPasswordMovesFromTheFile() {
        writeSettings("[Connect]\nMode=SYSDBA\nPwd=manager\nSrv=sim:demo\nUsr=system\n");
        MovePasswordToKeyring();
        MovePasswordToKeyring();
        QCOMPARE(m_notices, QStringList{kMoved});
        QCOMPARE(PrivateKeyring::Lookup(kSystem), QString("manager"));
        QCOMPARE(settingsFile(), QByteArray("[Connect]\nMode=SYSDBA\nSrv=sim:demo\nUsr=system\n"));
    }

    // Each user and each spelling of a host string has an entry of its own.
    void oneEntryPerUserAndHost() {
        QCOMPARE(Keyring::Write("scott", "orcl", "tiger"), Keyring::Answer::Done);
        QCOMPARE(Keyring::Write("system", "orcl", "manager"), Keyring::Answer::Done);
        QCOMPARE(Keyring::Write("system", "ORCL", "other"), Keyring::Answer::Done);
        QCOMPARE(Keyring::Read("scott", "orcl").password, QString("tiger"));
        QCOMPARE(Keyring::Read("system", "orcl").password, QString("manager"));
        QCOMPARE(PrivateKeyring::Lookup("system@ORCL"), QString("other"));
        QCOMPARE(Keyring::Read("system", "Orcl").answer, Keyring::Answer::NotFound);
    }

    // The stored password fails: the dialog asks afresh, and the entry changes only once a
    // log-on succeeded.
    void passwordChangedOnTheServer() {
        writeSettings("[Options]\nAutoLogin=1\n[Connect]\nSrv=sim:demo\nUsr=system\n");
        Keyring::Write("system", "sim:demo", "old");
        QVERIFY(!AutomaticLogOn());
        QCOMPARE(messages(), (QStringList{kBadLogon, "Unable to connect automatically!"}));
        QCOMPARE(PrivateKeyring::Lookup(kSystem), QString("old"));
        QCOMPARE(passwordOfDialog(false, "manager"), QString());
        QCOMPARE(PrivateKeyring::Lookup(kSystem), QString("manager"));
    }

    // Turned off, nothing is stored anywhere, the stored password is forgotten, and the
    // automatic log-on leaves the asking to the dialog.
    void rememberPasswordOff() {
        writeSettings("[Options]\nAutoLogin=1\n[Connect]\nSrv=sim:demo\nUsr=system\n");
        Keyring::Write("system", "sim:demo", "manager");
        COptionsDialog options;
        options.findChild<QCheckBox*>("rememberPassword1006")->click();
        options.accept();
        QCOMPARE(PrivateKeyring::Lookup(kSystem), QString());
        QVERIFY(!AutomaticLogOn());
        QCOMPARE(sim::Controls::instance().roundTrips(), 0);
        QCOMPARE(passwordOfDialog(true, "manager"), QString());
        QVERIFY(IsLoggedOn());
        QCOMPARE(PrivateKeyring::Lookup(kSystem), QString());
        QVERIFY(!settingsFile().contains("Pwd"));
        QCOMPARE(messages(), QStringList());
    }

    void externalAuthenticationAndDemoStoreNoPassword() {
        RememberLogOn({"", "", "sim:demo"});
        QCOMPARE(PrivateKeyring::Lookup("@sim:demo"), QString());
        SettingsStore::KeepChangesInMemory();
        RememberLogOn({"system", "manager", "sim:demo"});
        MovePasswordToKeyring();
        QCOMPARE(PrivateKeyring::Lookup(kSystem), QString());
        QCOMPARE(m_notices, QStringList());
    }
};

class tst_LockedKeyring : public KeyringCase {
    Q_OBJECT
public:
    tst_LockedKeyring() : KeyringCase(PrivateKeyring::State::Locked) {}
private slots:

    // A refused unlock: no password, the dialog's field empty and focused, no message; the
    // file keeps a password the keyring would not take, and the automatic log-on uses it.
    void refusedUnlock() {
        writeSettings("[Options]\nAutoLogin=1\n[Connect]\nSrv=sim:demo\nUsr=system\n");
        QVERIFY(!AutomaticLogOn());
        CConnectDialog dialog;
        QCOMPARE(dialog.focusWidget(), dialog.findChild<QLineEdit*>("passwordEdit"));
        QCOMPARE(passwordOfDialog(), QString());
        QCOMPARE(messages(), QStringList());
        const QByteArray old =
            "[Options]\nAutoLogin=1\n[Connect]\nPwd=manager\nSrv=sim:demo\nUsr=system\n";
        writeSettings(old);
        MovePasswordToKeyring();
        QCOMPARE(settingsFile(), old);
        QVERIFY(AutomaticLogOn());
        RememberLogOn({"system", "new", "sim:demo"});
        QVERIFY(!settingsFile().contains("Pwd"));
        QCOMPARE(m_notices,
                 (QStringList{"The password of system@sim:demo stays in the settings file "
                              "because the keyring did not accept it.",
                              "The password of system@sim:demo was not stored because the "
                              "keyring did not accept it."}));
    }
};

class tst_AbsentKeyring : public KeyringCase {
    Q_OBJECT
public:
    tst_AbsentKeyring() : KeyringCase(PrivateKeyring::State::Absent) {}
private slots:

    // The file keeps the password as before (owner-only), said once per run.
    void passwordStaysInTheFile() {
        QCOMPARE(passwordOfDialog(true, "manager"), QString());
        LogOff();
        QCOMPARE(passwordOfDialog(true, "manager"), QString());
        MovePasswordToKeyring();
        QVERIFY(settingsFile().contains("Pwd=manager"));
        QCOMPARE(QFile::permissions(SettingsStore::FilePath()) & 0x0077, QFile::Permissions());
        QCOMPARE(m_notices, QStringList{kNoKeyring});
    }
};

class tst_FailingKeyring : public KeyringCase {
    Q_OBJECT
public:
    tst_FailingKeyring() : KeyringCase(PrivateKeyring::State::Unlocked) {}
private slots:

    // A hung daemon holds a read no longer than the limit; one that died leaves the file.
    void daemonHangsThenDies() {
        writeSettings("[Connect]\nSrv=sim:demo\nUsr=system\n");
        Keyring::SetWaitLimit(std::chrono::milliseconds(500));
        ::kill(pid_t(m_keyring.DaemonPid()), SIGSTOP);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(passwordOfDialog(), QString());
        QVERIFY(clock.elapsed() < 5000);
        ::kill(pid_t(m_keyring.DaemonPid()), SIGCONT);
        m_keyring.StopDaemon();
        // The abandoned read ends with the daemon.
        QTest::qWait(200);
        QCOMPARE(passwordOfDialog(true, "manager"), QString());
        QVERIFY(settingsFile().contains("Pwd=manager"));
        QCOMPARE(m_notices, QStringList{kNoKeyring});
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    AnswerUnexpectedBoxes();
    const QByteArray name = "tst_" + qgetenv("NIMBRA_KEYRING_STATE") + "Keyring";
    tst_UnlockedKeyring unlocked;
    tst_LockedKeyring locked;
    tst_AbsentKeyring absent;
    tst_FailingKeyring failing;
    for (QObject* test : std::initializer_list<QObject*>{&unlocked, &locked, &absent, &failing}) {
        if (name == test->metaObject()->className()) {
            return QTest::qExec(test, argc, argv);
        }
    }
    qFatal("NIMBRA_KEYRING_STATE must be Unlocked, Locked, Absent or Failing");
}
#include "tst_keyring.moc"
