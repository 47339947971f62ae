// The log-on logic of the connect dialog and of the automatic log-on, against the simulated
// instance.

#include <sys/stat.h>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "DbTestSupport.h"
#include "LoginData.h"
#include "LogonFlow.h"
#include "ServerHistory.h"
#include "SettingsStore.h"

Q_DECLARE_METATYPE(LogonOutcome)

namespace {
const QString kBadLogon = "ORACLE Error\nORA-01017: invalid username/password; logon denied";
const QString kNoAccess =
    "You are connected as a user without DBA access rights!\n"
    "You must be allowed to access sys.v_$session and sys.v_$sqltext.";
const QString kAutoFailed = "Unable to connect automatically!";
const QString kPreviousLogon = "[Connect]\nPwd=oldpw\nSrv=sim:old\nUsr=olduser\n";

// The views the statements sent so far read, in order.
QStringList probedViews() {
    QStringList views;
    for (const std::string& sql : sim::Controls::instance().statementLog()) {
        for (const char* view : {"sys.v_$session", "sys.v_$sqltext"}) {
            if (sql.find(view) != std::string::npos) {
                views << view;
            }
        }
    }
    return views;
}

// Content and inode: an atomic rewrite changes the inode even when the text stays the same.
QByteArray fileStamp(const QString& path) {
    struct stat info {};
    QFile file(path);
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 ||
        !file.open(QIODevice::ReadOnly)) {
        return "absent";
    }
    return QByteArray::number(qulonglong(info.st_ino)) + '\n' + file.readAll();
}
}  // namespace

class tst_LogonFlow : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir->path());
        resetDatabase();
    }
    void cleanup() {
        QCOMPARE(sim::Controls::instance().openCursors(), 0);
        LogOff();
        m_dir.reset();
    }

    void logOnFromDialog_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<LogonOutcome>("outcome");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("probed");
        const QStringList both{"sys.v_$session", "sys.v_$sqltext"};
        QTest::newRow("may read both views")
            << "system"
            << "manager" << LogonOutcome::LoggedOn << QStringList() << both;
        QTest::newRow("user name kept as typed")
            << "SyStem"
            << "manager" << LogonOutcome::LoggedOn << QStringList() << both;
        QTest::newRow("wrong password")
            << "system"
            << "Manager" << LogonOutcome::LogonFailed << QStringList{kBadLogon} << QStringList();
        QTest::newRow("may not read v_$sqltext")
            << "monitor"
            << "monitor" << LogonOutcome::NoAccess << QStringList{kNoAccess} << both;
        QTest::newRow("may read neither view")
            << "scott"
            << "tiger" << LogonOutcome::NoAccess << QStringList{kNoAccess}
            << QStringList{"sys.v_$session"};
    }
    void logOnFromDialog() {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(LogonOutcome, outcome);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, probed);
        writeSettings(kPreviousLogon);
        MessageRecorder recorder;
        const LoginData typed{user, password, "sim:demo"};
        QCOMPARE(LogOnWithAccessCheck(typed), outcome);
        QCOMPARE(recorder.messages, messages);
        QCOMPARE(probedViews(), probed);
        const bool loggedOn = outcome == LogonOutcome::LoggedOn;
        QCOMPARE(IsLoggedOn(), loggedOn);
        const LoginData stored = LoginData::Load();
        const LoginData expected = loggedOn ? typed : LoginData{"olduser", "oldpw", "sim:old"};
        QCOMPARE(stored.UserName, expected.UserName);
        QCOMPARE(stored.Password, expected.Password);
        QCOMPARE(stored.HostString, expected.HostString);
        QCOMPARE(ServerHistory::Load(), QStringList());
    }

    // A failure during the access check is its own one message: no word about access rights,
    // the connection gone and nothing stored, so the dialog stays open.
    void failedAccessCheckIsOneMessage_data() {
        QTest::addColumn<int>("call");
        QTest::addColumn<int>("nth");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        const QString lost = "ORA-03113: end-of-file on communication channel";
        const QString refused = "ORA-01031: insufficient privileges";
        QTest::newRow("first probe's execute, lost")
            << int(sim::Call::Exec) << 1 << 3113
            << "ORACLE Error when processing OCI function OEXEC, OEXN\n" + lost;
        QTest::newRow("first probe's parse, refused")
            << int(sim::Call::Parse) << 1 << 1031
            << "ORACLE Error when processing OCI function OPARSE\n" + refused;
        QTest::newRow("second probe's open, refused")
            << int(sim::Call::Open) << 2 << 1031
            << "ORACLE Error when processing OCI function OOPEN\n" + refused;
        QTest::newRow("second probe's close, lost")
            << int(sim::Call::Close) << 2 << 3113
            << "ORACLE Error when processing OCI function OCLOSE\n" + lost;
    }
    void failedAccessCheckIsOneMessage() {
        QFETCH(int, call);
        QFETCH(int, nth);
        QFETCH(int, code);
        QFETCH(QString, message);
        writeSettings(kPreviousLogon);
        sim::Controls::instance().failCall(sim::Call(call), nth, code);
        MessageRecorder recorder;
        QCOMPARE(LogOnWithAccessCheck({"system", "manager", "sim:demo"}),
                 LogonOutcome::LogonFailed);
        QCOMPARE(recorder.messages, QStringList{message});
        QVERIFY(!IsLoggedOn());
        QCOMPARE(LoginData::Load().Password, QString("oldpw"));
    }

    void automaticLogOn_data() {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<bool>("loggedOn");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("attempted");
        const QString logon = "[Connect]\nPwd=manager\nSrv=sim:demo\nUsr=system\n";
        QTest::newRow("stored log-on works")
            << "[Options]\nAutoLogin=1\n" + logon << true << QStringList() << true;
        QTest::newRow("any non-zero value is on")
            << "[Options]\nAutoLogin=-1\n" + logon << true << QStringList() << true;
        QTest::newRow("no access check")
            << "[Options]\nAutoLogin=1\n[Connect]\nPwd=tiger\nSrv=sim:demo\nUsr=scott\n"
            << true << QStringList() << true;
        QTest::newRow("wrong stored password")
            << "[Options]\nAutoLogin=1\n[Connect]\nPwd=MANAGER\nSrv=sim:demo\nUsr=system\n"
            << false << QStringList{kBadLogon, kAutoFailed} << true;
        QTest::newRow("option off")
            << "[Options]\nAutoLogin=0\n" + logon << false << QStringList() << false;
        QTest::newRow("empty store") << QString() << false << QStringList() << false;
        QTest::newRow("on, no log-on stored") << "[Options]\nAutoLogin=1\n"
                                              << false << QStringList() << false;
        QTest::newRow("on, a user name without a password")
            << "[Options]\nAutoLogin=1\n[Connect]\nPwd=\nSrv=sim:demo\nUsr=system\n"
            << false << QStringList() << false;
        QTest::newRow("on, an empty user name stored")
            << "[Options]\nAutoLogin=1\n[Connect]\nPwd=\nSrv=sim:demo\nUsr=\n"
            << false << QStringList{kBadLogon, kAutoFailed} << true;
    }
    void automaticLogOn() {
        QFETCH(QString, settings);
        QFETCH(bool, loggedOn);
        QFETCH(QStringList, messages);
        QFETCH(bool, attempted);
        if (!settings.isEmpty()) {
            writeSettings(settings + "[ServerList]\nItems=1\nItem1=orcl\n");
        }
        const QByteArray before = fileStamp(SettingsStore::FilePath());
        MessageRecorder recorder;
        QCOMPARE(AutomaticLogOn(), loggedOn);
        QCOMPARE(IsLoggedOn(), loggedOn);
        QCOMPARE(recorder.messages, messages);
        QCOMPARE(sim::Controls::instance().roundTrips() > 0, attempted);
        QCOMPARE(probedViews(), QStringList());
        QCOMPARE(fileStamp(SettingsStore::FilePath()), before);
    }

private:
    void writeSettings(const QString& text) {
        const QString path = SettingsStore::FilePath();
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QVERIFY(file.write(text.toUtf8()) == text.toUtf8().size());
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(tst_LogonFlow)
#include "tst_logon.moc"
