// The settings store: values, defaults, the history rules and the file as Nimbra writes it.

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <QDirIterator>
#include <QFile>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <vector>

#include "AppSettings.h"
#include "ErrorReport.h"
#include "LoginData.h"
#include "ServerHistory.h"
#include "SettingsStore.h"
#include "StdProfileSettings.h"

namespace {
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

// Leaves a Unix socket at path. Never a device: code that writes through a link to one would
// replace it when run as root.
bool bindSocket(const QString& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (name.size() >= qsizetype(sizeof address.sun_path)) {
        return false;
    }
    std::copy(name.begin(), name.end(), address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound =
        fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

// The permission bits in octal, "absent" without a file.
QString fileMode(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0
               ? QString::number(info.st_mode & 07777, 8)
               : QString("absent");
}
}  // namespace

class tst_SettingsStore : public QObject {
    Q_OBJECT

private slots:
    void init() { useNewLocation(); }
    void cleanup() { m_dirs.clear(); }

    void emptyStoreGivesDefaults() {
        QCOMPARE(SettingsStore::FilePath(), m_dirs.back()->filePath("Velmoor/Nimbra.conf"));
        const AppSettings options = AppSettings::Load();
        QCOMPARE(options.AutoLogin, false);
        QCOMPARE(options.RefreshSec, 0);
        QCOMPARE(options.ShowSystem, false);
        const LoginData login = LoginData::Load();
        QCOMPARE(login.UserName, QString());
        QCOMPARE(login.Password, QString());
        QCOMPARE(login.HostString, QString());
        QCOMPARE(ServerHistory::Load(), QStringList());
        StdProfileSettings standard;
        standard.Load(4);
        QCOMPARE(standard.RecentFiles(), QStringList(4, QString()));
        QCOMPARE(standard.PreviewPages(), 0);
        QVERIFY2(!QFile::exists(SettingsStore::FilePath()), "reading created the file");
    }

    void fileAsWritten() {
        AppSettings::Save({true, 45, false});
        LoginData::Save({"system", "Manager#1", "sim:demo"});
        QVERIFY(ServerHistory::Remember("sim:demo"));
        QVERIFY(ServerHistory::Remember("orcl"));
        QCOMPARE(fileText(), QByteArray("[Connect]\nPwd=Manager#1\nSrv=sim:demo\nUsr=system\n\n"
                                        "[Options]\nAutoLogin=1\nRefreshSec=45\n"
                                        "RememberPassword=1\nShowSystem=0\n\n"
                                        "[ServerList]\nItem1=sim:demo\nItem2=orcl\nItems=2\n"));
    }

    // A write that changes no value leaves the file alone: QSettings would rewrite all of it.
    void unchangedValuesAreNotRewritten_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("as Nimbra writes them") << QByteArray(
            "[Connect]\nPwd=tiger\nSrv=orcl\nUsr=scott\n\n[Options]\nAutoLogin=1\n"
            "RefreshSec=25\nRememberPassword=1\nShowSystem=0\n\n[ServerList]\nItem1=orcl\nItems="
            "1\n");
        QTest::newRow("by hand") << QByteArray(
            "; mine\n[Options]\nShowSystem=0\nRefreshSec= +25\nAutoLogin=1\nMine=x\n"
            "RememberPassword=01\n"
            "[ServerList]\nItem1=orcl\nItems=1\n[Connect]\nUsr=scott\nPwd=\"tiger\"\nSrv=orcl\n");
    }
    void unchangedValuesAreNotRewritten() {
        QFETCH(QByteArray, stored);
        writeFile(stored);
        const QByteArray before = fileStamp(SettingsStore::FilePath());
        AppSettings::Save({.AutoLogin = true, .RefreshSec = 25, .ShowSystem = false});
        LoginData::Save({"scott", "tiger", "orcl"});
        SettingsStore::WriteProfileValues("ServerList", {{"Items", 1}, {"Item1", "orcl"}});
        SettingsStore::ReplaceSection("Settings", {});
        QCOMPARE(fileStamp(SettingsStore::FilePath()), before);
    }

    // Saved without its password, the log-on loses "Pwd" and nothing else of its section.
    void logOnSavedWithoutPassword() {
        writeFile("[Connect]\nMode=SYSDBA\nPwd=tiger\nSrv=orcl\nUsr=scott\n");
        LoginData::Save({"scott", "tiger", "orcl", ConnectAs::SysDba}, false);
        QCOMPARE(fileText(), QByteArray("[Connect]\nMode=SYSDBA\nSrv=orcl\nUsr=scott\n"));
        const QByteArray before = fileStamp(SettingsStore::FilePath());
        LoginData::Save({"scott", "other", "orcl", ConnectAs::SysDba}, false);
        QCOMPARE(fileStamp(SettingsStore::FilePath()), before);
    }

    void optionsAsRead_data() {
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<bool>("autoLogin");
        QTest::addColumn<int>("refreshSec");
        QTest::addColumn<bool>("showSystem");
        QTest::addColumn<int>("callTimeoutSec");
        QTest::newRow("as Nimbra writes them")
            << QByteArray("AutoLogin=1\nRefreshSec=25\nShowSystem=1") << true << 25 << true << 30;
        QTest::newRow("interval beyond the dialog's range")
            << QByteArray("RefreshSec=300") << false << 60 << false << 30;
        QTest::newRow("interval beyond any timer")
            << QByteArray("RefreshSec=3000000") << false << 60 << false << 30;
        QTest::newRow("negative interval")
            << QByteArray("RefreshSec=-5") << false << 0 << false << 30;
        QTest::newRow("any non-zero is on")
            << QByteArray("AutoLogin=7\nShowSystem=-1") << true << 0 << true << 30;
        QTest::newRow("words are unreadable")
            << QByteArray("AutoLogin=true\nRefreshSec=ten\nShowSystem=yes\nCallTimeoutSec=x")
            << false << 0 << false << 30;
        QTest::newRow("fraction") << QByteArray("RefreshSec=2.5") << false << 0 << false << 30;
        QTest::newRow("largest int")
            << QByteArray("RefreshSec=2147483647\nCallTimeoutSec=2147483647") << false << 60
            << false << 3600;
        QTest::newRow("just beyond the largest int")
            << QByteArray("RefreshSec=2147483648\nCallTimeoutSec=2147483648") << false << 60
            << false << 3600;
        QTest::newRow("beyond 64 bits")
            << QByteArray("AutoLogin=99999999999999999999\nRefreshSec=99999999999999999999") << true
            << 60 << false << 30;
        QTest::newRow("far below any int")
            << QByteArray("RefreshSec=-99999999999999999999\nShowSystem=-99999999999999999999")
            << false << 0 << true << 30;
        QTest::newRow("signed and spaced")
            << QByteArray("RefreshSec=\" +7 \"") << false << 7 << false << 30;
        QTest::newRow("empty value") << QByteArray("RefreshSec=") << false << 0 << false << 30;
        QTest::newRow("list") << QByteArray("RefreshSec=5,6") << false << 0 << false << 30;
        QTest::newRow("call timeout set by hand")
            << QByteArray("CallTimeoutSec=120") << false << 0 << false << 120;
        QTest::newRow("no call timeout")
            << QByteArray("CallTimeoutSec=0") << false << 0 << false << 0;
        QTest::newRow("call timeout beyond an hour")
            << QByteArray("CallTimeoutSec=86400") << false << 0 << false << 3600;
        QTest::newRow("negative call timeout keeps the limit")
            << QByteArray("CallTimeoutSec=-1") << false << 0 << false << 30;
        QTest::newRow("call timeout far below any int keeps the limit")
            << QByteArray("CallTimeoutSec=-4294967296") << false << 0 << false << 30;
    }
    void optionsAsRead() {
        QFETCH(QByteArray, options);
        QFETCH(bool, autoLogin);
        QFETCH(int, refreshSec);
        QFETCH(bool, showSystem);
        QFETCH(int, callTimeoutSec);
        writeFile("[Options]\n" + options + "\n");
        const AppSettings read = AppSettings::Load();
        QCOMPARE(read.AutoLogin, autoLogin);
        QCOMPARE(read.RefreshSec, refreshSec);
        QCOMPARE(read.ShowSystem, showSystem);
        QCOMPARE(read.CallTimeoutSec, callTimeoutSec);
    }

    void textsRoundTripUnchanged_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << "scott";
        QTest::newRow("empty") << "";
        QTest::newRow("surrounding spaces") << "  sim:demo ";
        QTest::newRow("commas and semicolons") << "a,b;c";
        QTest::newRow("quotes, equals and backslashes") << "p\"w=d\\x'";
        QTest::newRow("comment marks") << "#pw;x";
        QTest::newRow("looks like a stored variant") << "@Variant(abc)";
        QTest::newRow("non-ASCII") << QString::fromUtf8("Zürich-Straße");
        QTest::newRow("connect descriptor")
            << "(DESCRIPTION=(ADDRESS=(PROTOCOL=TCP)(HOST=db1)(PORT=1521))"
               "(CONNECT_DATA=(SERVICE_NAME=orcl)))";
    }
    void textsRoundTripUnchanged() {
        QFETCH(QString, text);
        LoginData::Save({text, text, text});
        QVERIFY(ServerHistory::Remember(text));
        reopenFromCopy();
        const LoginData read = LoginData::Load();
        QCOMPARE(read.UserName, text);
        QCOMPARE(read.Password, text);
        QCOMPARE(read.HostString, text);
        QCOMPARE(ServerHistory::Load(), QStringList{text});
        QVERIFY(!ServerHistory::Remember(text));
    }

    void remember_data() {
        QTest::addColumn<QByteArray>("serverList");
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("appended");
        QTest::addColumn<QStringList>("history");
        QTest::newRow("first host")
            << QByteArray() << "sim:demo" << true << QStringList{"sim:demo"};
        QTest::newRow("repeat") << QByteArray("Items=1\nItem1=sim:demo") << "sim:demo" << false
                                << QStringList{"sim:demo"};
        QTest::newRow("differs only in case") << QByteArray("Items=1\nItem1=sim:demo") << "SIM:DEMO"
                                              << true << QStringList{"sim:demo", "SIM:DEMO"};
        QTest::newRow("differs only in spaces")
            << QByteArray("Items=1\nItem1=orcl") << "orcl " << true << QStringList{"orcl", "orcl "};
        QTest::newRow("empty host") << QByteArray() << "" << true << QStringList{""};
        QTest::newRow("empty host again")
            << QByteArray("Items=1\nItem1=") << "" << false << QStringList{""};
        QTest::newRow("missing entry reads as empty")
            << QByteArray("Items=3\nItem1=a\nItem3=c") << "" << false << QStringList{"a", "", "c"};
        QTest::newRow("appended after a missing entry")
            << QByteArray("Items=3\nItem1=a\nItem3=c") << "d" << true
            << QStringList{"a", "", "c", "d"};
        QTest::newRow("entries beyond the count are not looked at")
            << QByteArray("Items=1\nItem1=a\nItem2=b") << "b" << true << QStringList{"a", "b"};
        QTest::newRow("unreadable count is none")
            << QByteArray("Items=x\nItem1=a") << "a" << true << QStringList{"a"};
        QTest::newRow("negative count is none")
            << QByteArray("Items=-1\nItem1=a") << "b" << true << QStringList{"b"};
        QTest::newRow("count beyond the entries present")
            << QByteArray("Items=5\nItem1=a\nItem02=b") << "b" << true << QStringList{"a", "b"};
        QTest::newRow("largest count, entry present")
            << QByteArray("Items=2147483647\nItem1=a") << "a" << false << QStringList{"a"};
        QTest::newRow("count beyond any int")
            << QByteArray("Items=99999999999\nItem1=a") << "b" << true << QStringList{"a", "b"};
        QTest::newRow("largest count, new entry")
            << QByteArray("Items=2147483647\nItem1=a") << "b" << true << QStringList{"a", "b"};
        QTest::newRow("missing entries read as one empty text")
            << QByteArray("Items=9\nItem1=a\nItem9=i") << "" << false << QStringList{"a", "", "i"};
        QTest::newRow("no number left for another entry")
            << QByteArray("Items=2147483647\nItem2147483647=z") << "y" << false
            << QStringList{"", "z"};
    }
    void remember() {
        QFETCH(QByteArray, serverList);
        QFETCH(QString, host);
        QFETCH(bool, appended);
        QFETCH(QStringList, history);
        if (!serverList.isEmpty()) {
            writeFile("[ServerList]\n" + serverList + "\n");
        }
        const QByteArray before = fileStamp(SettingsStore::FilePath());
        QCOMPARE(ServerHistory::Remember(host), appended);
        if (!appended) {
            QCOMPARE(fileStamp(SettingsStore::FilePath()), before);
        }
        reopenFromCopy();
        QCOMPARE(ServerHistory::Load(), history);
    }

    void fileIsOwnerOnly_data() {
        QTest::addColumn<QString>("existingMode");  // empty: no file yet
        QTest::addColumn<int>("writes");
        QTest::newRow("created by the first write") << QString() << 1;
        QTest::newRow("kept by a rewrite") << QString() << 2;
        QTest::newRow("closed up when open to others") << "664" << 1;
    }
    void fileIsOwnerOnly() {
        QFETCH(QString, existingMode);
        QFETCH(int, writes);
        const QString path = SettingsStore::FilePath();
        if (!existingMode.isEmpty()) {
            writeFile("[Options]\nRefreshSec=5\n");
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner |
                                                    QFile::ReadGroup | QFile::WriteGroup |
                                                    QFile::ReadOther));
            QCOMPARE(fileMode(path), existingMode);
        }
        // Nothing but the store may keep others out.
        const auto restoreMask = qScopeGuard([mask = ::umask(0)] { ::umask(mask); });
        QByteArray stamp = fileStamp(path);
        for (int k = 1; k <= writes; ++k) {
            QVERIFY(
                SettingsStore::WriteProfileString("Connect", "Pwd", QString("secret%1").arg(k)));
            QVERIFY(fileStamp(path) != stamp);
            stamp = fileStamp(path);
            QCOMPARE(fileMode(path), QString("600"));
            QCOMPARE(fileMode(QFileInfo(path).absolutePath()), QString("700"));
        }
        QCOMPARE(SettingsStore::GetProfileString("Connect", "Pwd"),
                 QString("secret%1").arg(writes));
    }

    // Only what is there is closed, and nothing is created or rewritten.
    void startUpClosesToOthers_data() {
        QTest::addColumn<QString>("before");  // modes of the folder and the file
        QTest::addColumn<QString>("after");
        QTest::newRow("both open to others") << "755 644"
                                             << "700 600";
        QTest::newRow("folder without file") << "775 absent"
                                             << "700 absent";
        QTest::newRow("neither there") << "absent absent"
                                       << "absent absent";
        QTest::newRow("owner's own restriction kept") << "700 400"
                                                      << "700 400";
    }
    void startUpClosesToOthers() {
        QFETCH(QString, before);
        QFETCH(QString, after);
        const QString path = SettingsStore::FilePath();
        const QStringList paths{QFileInfo(path).absolutePath(), path};
        const QStringList modes = before.split(' ');
        if (modes[1] != "absent") {
            writeFile("[Options]\nRefreshSec=5\n");
        }
        for (int i = 0; i < 2; ++i) {
            QVERIFY(modes[i] == "absent" ||
                    (QDir().mkpath(paths[0]) && ::chmod(QFile::encodeName(paths[i]).constData(),
                                                        modes[i].toUInt(nullptr, 8)) == 0));
        }
        const QByteArray stamp = fileStamp(path);
        SettingsStore::SecureAtStartUp();
        QCOMPARE(fileMode(paths[0]) + " " + fileMode(path), after);
        QCOMPARE(fileStamp(path), stamp);
    }

    // Obstacles that stop root as well as anyone else, and files QSettings would misread; a
    // run that stores nothing (the demo) keeps changes in memory as well, silently.
    void unusableStoreSaysSoOnceAndKeepsChangesInMemory_data() {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<QByteArray>("contents");  // of the file, for obstacle "file"
        QTest::addColumn<QString>("problem");      // %1: the settings location; empty: no message
        QTest::newRow("folder is a file")
            << "folder" << QByteArray() << "%1/Velmoor is not a folder";
        QTest::newRow("file is a folder") << "folder file" << QByteArray() << "it is a folder";
        QTest::newRow("file links nowhere") << "link" << QByteArray() << "it cannot be written";
        QTest::newRow("named pipe") << "pipe" << QByteArray() << "it is a named pipe, not a file";
        QTest::newRow("socket") << "socket" << QByteArray() << "it is a socket, not a file";
        QTest::newRow("binary junk") << "file"
                                     << QByteArray(
                                            "\x7f"
                                            "ELF\x02\x01\0\0[Connect]\n",
                                            18)
                                     << "its contents are not UTF-8 text";
        QTest::newRow("Latin-1 text") << "file" << QByteArray("[Connect]\nPwd=\xe9t\xe9\n")
                                      << "its contents are not UTF-8 text";
        QTest::newRow("section without its bracket")
            << "file" << QByteArray("[Connect\nUsr=scott\n")
            << "its contents are not in the INI format";
        QTest::newRow("byte order mark")
            << "file" << QByteArray("\xef\xbb\xbf[Connect]\nUsr=scott\n")
            << "its contents are not in the INI format";
        QTest::newRow("line without a value")
            << "file" << QByteArray("[Connect]\nUsr=scott\nscott\n")
            << "its contents are not in the INI format";
        QTest::newRow("demo")
            << "demo"
            << QByteArray("; mine\n[Connect]\nUsr=scott\n\n[Recent%20File%20List]\nFile2=/b.nim\n")
            << QString();
    }
    void unusableStoreSaysSoOnceAndKeepsChangesInMemory() {
        QFETCH(QString, obstacle);
        QFETCH(QByteArray, contents);
        QFETCH(QString, problem);
        const QString root = m_dirs.back()->path();
        const QString path = SettingsStore::FilePath();
        if (obstacle == "folder") {
            QVERIFY(QFile(root + "/Velmoor").open(QIODevice::WriteOnly));
        } else if (obstacle == "folder file") {
            QVERIFY(QDir().mkpath(path));
        } else if (obstacle == "link") {
            QVERIFY(QDir().mkpath(root + "/Velmoor") && QFile::link(root + "/nowhere/x", path));
        } else if (obstacle == "pipe") {
            QVERIFY(QDir().mkpath(root + "/Velmoor") &&
                    ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        } else if (obstacle == "socket") {
            QVERIFY(QDir().mkpath(root + "/Velmoor") && bindSocket(path));
        } else {
            writeFile(contents);
        }
        const QStringList before = tree(root);
        QStringList messages;
        SetMessageSink([&](const std::string& text) { messages << QString::fromStdString(text); });
        const auto restoreSink = qScopeGuard([] { SetMessageSink({}); });
        if (obstacle == "demo") {
            SettingsStore::KeepChangesInMemory();
        }

        QCOMPARE(AppSettings::Load().RefreshSec, 0);
        AppSettings::Save({.AutoLogin = true, .RefreshSec = 15, .ShowSystem = true});
        LoginData::Save({"system", "manager", "sim:demo"});
        QVERIFY(ServerHistory::Remember("sim:demo"));
        QVERIFY(!ServerHistory::Remember("sim:demo"));
        StdProfileSettings standard;
        standard.Load(4);
        standard.Save();
        QCOMPARE(AppSettings::Load().RefreshSec, 15);
        QCOMPARE(LoginData::Load().Password, QString("manager"));
        QCOMPARE(ServerHistory::Load(), QStringList{"sim:demo"});
        QCOMPARE(messages, problem.isEmpty()
                               ? QStringList()
                               : QStringList{QString("Nimbra cannot use its settings file %1: "
                                                     "%2.\nIt goes on with the settings it has; "
                                                     "changes you make now are kept only until "
                                                     "it ends.")
                                                 .arg(path, QString(problem).replace("%1", root))});
        QCOMPARE(tree(root), before);
        QVERIFY((obstacle != "file" && obstacle != "demo") || fileText() == contents);
    }

    void standardSettings_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QStringList>("recentFiles");
        QTest::addColumn<int>("previewPages");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("empty store")
            << QByteArray() << QStringList(4, QString()) << 0 << QByteArray();
        QTest::newRow("gaps closed, entries past four dropped")
            << QByteArray("[Recent%20File%20List]\nFile2=/b.nim\nFile4=/d.nim\nFile5=/e.nim\n")
            << QStringList{"", "/b.nim", "", "/d.nim"} << 0
            << QByteArray("[Recent%20File%20List]\nFile1=/b.nim\nFile2=/d.nim\n");
        QTest::newRow("preview pages kept")
            << QByteArray("[Settings]\nPreviewPages=2\n") << QStringList(4, QString()) << 2
            << QByteArray("[Settings]\nPreviewPages=2\n");
        QTest::newRow("other sections untouched")
            << QByteArray("[Options]\nRefreshSec=5\n\n[Recent%20File%20List]\nFile1=/a.nim\n")
            << QStringList{"/a.nim", "", "", ""} << 0
            << QByteArray("[Options]\nRefreshSec=5\n\n[Recent%20File%20List]\nFile1=/a.nim\n");
        const QByteArray handEdited(
            "; kept by hand\n[Tools]\nEditor=vi\n[Recent%20File%20List]\n"
            "File1=/a.nim\nFile2=/b.nim\n[Settings]\nPreviewPages=2\n");
        QTest::newRow("nothing changed, comments and order kept")
            << handEdited << QStringList{"/a.nim", "/b.nim", "", ""} << 2 << handEdited;
        QTest::newRow("preview pages beyond any int")
            << QByteArray("[Settings]\nPreviewPages=99999999999\n") << QStringList(4, QString())
            << 2147483647 << QByteArray("[Settings]\nPreviewPages=99999999999\n");
    }
    void standardSettings() {
        QFETCH(QByteArray, stored);
        QFETCH(QStringList, recentFiles);
        QFETCH(int, previewPages);
        QFETCH(QByteArray, saved);
        if (!stored.isEmpty()) {
            writeFile(stored);
        }
        StdProfileSettings standard;
        standard.Load(4);
        QCOMPARE(standard.RecentFiles(), recentFiles);
        QCOMPARE(standard.PreviewPages(), previewPages);
        const QByteArray before = fileStamp(SettingsStore::FilePath());
        standard.Save();
        QCOMPARE(fileText(), saved);
        if (saved == stored) {
            QCOMPARE(fileStamp(SettingsStore::FilePath()), before);
        }
        // Nothing to keep leaves no file behind.
        QCOMPARE(QFile::exists(SettingsStore::FilePath()), !saved.isEmpty());
    }

private:
    void useNewLocation() {
        m_dirs.push_back(std::make_unique<QTemporaryDir>());
        QVERIFY(m_dirs.back()->isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dirs.back()->path());
    }

    // Moves the store to a copy of its file, so the next reads parse the file afresh.
    void reopenFromCopy() {
        const QByteArray text = fileText();
        useNewLocation();
        writeFile(text);
    }

    void writeFile(const QByteArray& text) {
        const QString path = SettingsStore::FilePath();
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(text), text.size());
    }

    // Every path under root, folders marked and files with their sizes, so a stray write shows.
    static QStringList tree(const QString& root) {
        QStringList paths;
        QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo entry(it.next());
            paths << entry.filePath() + (entry.isDir() ? "/" : " " + QString::number(entry.size()));
        }
        paths.sort();
        return paths;
    }

    QByteArray fileText() {
        QFile file(SettingsStore::FilePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::vector<std::unique_ptr<QTemporaryDir>> m_dirs;
};

QTEST_GUILESS_MAIN(tst_SettingsStore)
#include "tst_settings.moc"
