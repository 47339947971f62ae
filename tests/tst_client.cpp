// The client provider: how it finds the client library, and the release-7 calls over the
// client-library double (tests/fakeclntsh), which answers from the simulated instance.

#include <unistd.h>

#include <QtTest>
#include <cstring>

#include "ClientLibrary.h"
#include "ClientProvider.h"
#include "DbTestSupport.h"
#include "LoaderCache.h"
#include "Oci.h"
#include "OciMessages.h"
#include "OciTestSupport.h"

namespace {

const char* const kNoDriver = "ORA-03121: no interface driver connected - function not performed";
const char* const kQuery = "SELECT username, machine FROM sys.v_$session ORDER BY sid";

// sid 1 ALICE on host-a, sid 2 a background process without a user name, sid 3 BOB on a
// machine whose name is longer than the tests' buffers.
sim::ScenarioSpec threeSessions() {
    sim::ScenarioSpec setup;
    setup.sessions = {userSession(1, "ALICE"), userSession(2, ""), userSession(3, "BOB")};
    setup.sessions[0].machine = "host-a";
    setup.sessions[1].machine = "dbhost";
    setup.sessions[2].machine = "workstation-42";
    return setup;
}

// One connection through the dispatcher; the host string "client" reaches the double.
struct Connection : OciConnection {
    Connection() : OciConnection("client") {}
};

sword defineString(Cda_Def& cursor, int position, char* buffer, int width, sb2* indicators,
                   ub2* codes) {
    return odefin(&cursor, position, reinterpret_cast<ub1*>(buffer), width, kExtString, -1,
                  indicators, nullptr, -1, -1, nullptr, codes);
}

// A provider whose every log-on loads the library at file afresh, counting the loads.
ClientProvider providerFor(const std::string& file, int& loads) {
    return ClientProvider([file, &loads](std::string& error) {
        ++loads;
        ClientSearch search;
        search.override = file;
        return ClientLibrary::load(search, error);
    });
}

}  // namespace

class tst_Client : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("NIMBRA_OCI_LIBRARY", FAKECLNTSH); }
    void init() {
        sim::Controls::instance().reset();
        sim::Controls::instance().defineScenario("client", threeSessions());
    }
    void cleanup() {
        QCOMPARE(sim::Controls::instance().openCursors(), 0);
        QCOMPARE(liveClientHandles(), 0);
    }

    // Each name where the loader would find it, then the folders; only full paths, as an empty
    // or relative folder would be the working folder.
    void searchOrder() {
        ClientSearch search;
        search.libraryPath = {"/ic/a", "", "lib", ".", "/ic/b"};
        search.cached["libclntsh.so.19.1"] = {"/usr/lib/oracle/19.3/client64/lib/libclntsh.so.19.1",
                                              "relative/libclntsh.so.19.1"};
        search.oracleHome = "/u01/home";
        search.installFolders = {"/opt/oracle/instantclient_23_4",
                                 "/opt/oracle/instantclient_19_8"};
        std::vector<std::string> files = search.candidates();
        QCOMPARE(files.size(), std::size_t(8 * 2 + 1 + 8 * 3));
        QCOMPARE(files[0], std::string("/ic/a/libclntsh.so"));
        QCOMPARE(files[1], std::string("/ic/b/libclntsh.so"));
        QCOMPARE(files[2], std::string("/ic/a/libclntsh.so.23.1"));
        QCOMPARE(files[9], std::string("/ic/b/libclntsh.so.19.1"));
        QCOMPARE(files[10], search.cached["libclntsh.so.19.1"][0]);
        QCOMPARE(files[17], std::string("/u01/home/lib/libclntsh.so"));
        QCOMPARE(files[25], std::string("/opt/oracle/instantclient_23_4/libclntsh.so"));
        QCOMPARE(files[40], std::string("/opt/oracle/instantclient_19_8/libclntsh.so.11.1"));
        search.oracleHome = ".";
        files = search.candidates();
        QCOMPARE(files.size(), std::size_t(8 * 2 + 1 + 8 * 2));
        QCOMPARE(files[17], std::string("/opt/oracle/instantclient_23_4/libclntsh.so"));
        search.override = "/somewhere/libclntsh.so.19.1";
        QCOMPARE(search.candidates(), std::vector<std::string>{search.override});

        // Releases compare as numbers, newest first.
        std::vector<std::string> folders = {
            "/opt/oracle/instantclient_19_3", "/usr/lib/oracle/19.3/client64/lib",
            "/opt/oracle/instantclient_19_25", "/opt/oracle/instantclient_21_1",
            "/usr/lib/oracle/19.25/client64/lib"};
        SortNewestFirst(folders);
        QCOMPARE(folders,
                 (std::vector<std::string>{
                     "/usr/lib/oracle/19.25/client64/lib", "/usr/lib/oracle/19.3/client64/lib",
                     "/opt/oracle/instantclient_21_1", "/opt/oracle/instantclient_19_25",
                     "/opt/oracle/instantclient_19_3"}));
    }

    // A library that ldconfig registered is found in both layouts of its cache. ldconfig works
    // in a folder of its own as its root, so that it leaves the machine's caches alone.
    void loaderCache_data() {
        QTest::addColumn<QString>("format");
        QTest::newRow("new") << "new";
        QTest::newRow("old and new") << "compat";
    }
    void loaderCache() {
        QFETCH(QString, format);
        const QString ldconfig = QStandardPaths::findExecutable("ldconfig", {"/usr/sbin", "/sbin"});
        if (ldconfig.isEmpty() || ::geteuid() != 0) {
            QSKIP("ldconfig is missing, or may not change its root");
        }
        QTemporaryDir root;
        const QString name = "libnimbra-cache-probe.so.19.1";
        QVERIFY(QDir(root.path()).mkdir("ic"));
        QVERIFY(QFile::copy(PLANTED_LIBRARY, root.filePath("ic/" + name)));
        QFile conf(root.filePath("ld.so.conf"));
        QVERIFY(conf.open(QIODevice::WriteOnly) && conf.write("/ic\n") == 4);
        conf.close();
        QCOMPARE(QProcess::execute(ldconfig, {"-r", root.path(), "-X", "-c", format, "-C",
                                              "/ld.so.cache", "-f", "/ld.so.conf"}),
                 0);
        const std::string cache = root.filePath("ld.so.cache").toStdString();
        const auto found = ReadLoaderCache(cache, {name.toStdString(), "libnimbra-absent.so"});
        QCOMPARE(found.size(), std::size_t(1));
        QCOMPARE(found.at(name.toStdString()),
                 std::vector<std::string>{"/ic/" + name.toStdString()});
        QVERIFY(ReadLoaderCache(PLANTED_LIBRARY, {name.toStdString()}).empty());
    }

    // A library that lacks an entry point is passed over for the next candidate.
    void searchGoesOnPastAnUnusableLibrary() {
        const auto open = [](const std::string& file, std::string& error) -> void* {
            const char* actual = file == "/ic/libclntsh.so"        ? FAKECLNTSH_INCOMPLETE
                                 : file == "/ic/libclntsh.so.21.1" ? FAKECLNTSH
                                                                   : nullptr;
            return actual ? openSharedLibrary(actual, error)
                          : (error = file +
                                     ": cannot open "
                                     "shared object file",
                             nullptr);
        };
        ClientSearch search;
        search.libraryPath = {"/ic"};
        std::string error;
        const auto library = ClientLibrary::load(search, error, open);
        QVERIFY2(library != nullptr, error.c_str());
        QCOMPARE(library->file(), std::string("/ic/libclntsh.so.21.1"));
    }

    // The message names what was searched and what to install, and oerhms' 512 bytes hold it.
    void unfoundLibraryMessage_data() {
        QTest::addColumn<QString>("override");
        QTest::addColumn<QString>("dependencyMissing");
        QTest::addColumn<int>("attempts");
        QTest::addColumn<QStringList>("says");
        QTest::newRow("found nowhere")
            << ""
            << "" << 8
            << QStringList{"No Oracle client library was found",
                           "libclntsh.so (also .23.1, .21.1, .20.1, .19.1, .18.1, .12.1, .11.1)",
                           "loader path",
                           "$ORACLE_HOME/lib (not set)",
                           "/usr/lib/oracle/*/client64/lib",
                           "/opt/oracle/instantclient*"};
        QTest::newRow("found, a dependency missing")
            << ""
            << "/ic/libclntsh.so.19.1" << 8
            << QStringList{
                   "/ic/libclntsh.so.19.1 was found but could not be loaded: libaio.so.1: "
                   "cannot open shared object file"};
        QTest::newRow("named file missing")
            << "/opt/ic/libclntsh.so"
            << "" << 1
            << QStringList{
                   "NIMBRA_OCI_LIBRARY names /opt/ic/libclntsh.so, which could not be "
                   "loaded: /opt/ic/libclntsh.so: cannot open shared object file"};
        QTest::newRow("named file not a full path")
            << "./libclntsh.so"
            << "" << 0
            << QStringList{
                   "NIMBRA_OCI_LIBRARY names ./libclntsh.so, which is not a full path: it "
                   "must begin with /, so that no library is taken from the working "
                   "folder."};
    }
    void unfoundLibraryMessage() {
        QFETCH(QString, override);
        QFETCH(QString, dependencyMissing);
        QFETCH(int, attempts);
        QFETCH(QStringList, says);
        ClientSearch search;
        search.override = override.toStdString();
        search.libraryPath = {"/ic"};
        int tried = 0;
        const auto open = [&](const std::string& file, std::string& error) -> void* {
            ++tried;
            error = file == dependencyMissing.toStdString() ? "libaio.so.1" : file;
            error += ": cannot open shared object file: No such file or directory";
            return nullptr;
        };
        std::string error;
        QVERIFY(ClientLibrary::load(search, error, open) == nullptr);
        QCOMPARE(tried, attempts);
        const QString text = QString::fromStdString(error);
        says << "Install Oracle Instant Client (Basic or Basic Light)"
             << "LD_LIBRARY_PATH, ORACLE_HOME or NIMBRA_OCI_LIBRARY";
        for (const QString& part : says) {
            QVERIFY2(text.contains(part), qPrintable(text));
        }
        QVERIFY2(std::strlen(kNoDriver) + 1 + error.size() <= 511, qPrintable(text));
    }

    // Every log-on tries the library again; each fails with one explanation.
    void unusableLibrary_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("says");
        QTest::newRow("missing") << "/nonexistent/libclntsh.so"
                                 << "NIMBRA_OCI_LIBRARY names /nonexistent/libclntsh.so, which "
                                    "could not be loaded";
        QTest::newRow("an entry point missing")
            << FAKECLNTSH_INCOMPLETE << "lacks the entry point OCIStmtFetch2.";
        QTest::newRow("not a client library")
            << NOT_A_CLIENT_LIBRARY << "lacks the entry point OCIEnvNlsCreate.";
    }
    void unusableLibrary() {
        QFETCH(QString, file);
        QFETCH(QString, says);
        int loads = 0;
        ClientProvider provider = providerFor(file.toStdString(), loads);
        for (int attempt = 1; attempt <= 2; ++attempt) {
            ub4 connection = 0;
            std::string error;
            int warning = 0;
            QCOMPARE(provider.logon("system", "manager", "client", 0, connection, warning, error),
                     OraCode::NoInterfaceDriver);
            QCOMPARE(loads, attempt);
            const QString text = QString::fromStdString(error);
            QVERIFY2(text.startsWith(QString(kNoDriver) + "\n") && text.contains(says),
                     qPrintable(text));
        }
    }

    // NULL reads as an empty string and a long value is cut with a NUL, on every fetch path.
    void nullsAndTruncation_data() {
        QTest::addColumn<int>("path");
        QTest::newRow("fetch row by row") << 0;
        QTest::newRow("exact execute-and-fetch") << 1;
        QTest::newRow("execute-and-fetch") << 2;
    }
    void nullsAndTruncation() {
        QFETCH(int, path);
        Connection c;
        Cda_Def cursor{};
        char names[3][6];
        char machines[3][8];
        std::memset(names, 'X', sizeof names);
        std::memset(machines, 'X', sizeof machines);
        sb2 nameIndicators[3] = {9, 9, 9};
        sb2 machineIndicators[3] = {9, 9, 9};
        ub2 machineCodes[3] = {9, 9, 9};
        QCOMPARE(c.logOn(), 0);
        QCOMPARE(c.prepare(cursor, kQuery), 0);
        QCOMPARE(defineString(cursor, 1, names[0], 6, nameIndicators, nullptr), 0);
        QCOMPARE(defineString(cursor, 2, machines[0], 8, machineIndicators, machineCodes), 0);
        QList<QByteArray> rows;
        const auto row = [&](int i) {
            return QByteArray(names[i], qstrnlen(names[i], 6)) + "|" +
                   QByteArray::number(nameIndicators[i]) + "|" +
                   QByteArray(machines[i], qstrnlen(machines[i], 8)) + "|" +
                   QByteArray::number(machineIndicators[i]) + "|" +
                   QByteArray::number(machineCodes[i]);
        };
        if (path == 0) {
            QCOMPARE(oexec(&cursor), 0);
            for (int i = 0; i < 3; ++i) {
                QCOMPARE(ofetch(&cursor), 0);
                rows << row(0);
            }
        } else {
            QCOMPARE(oexfet(&cursor, 3, 0, path == 1 ? 1 : 0), 0);
            rows << row(0) << row(1) << row(2);
        }
        QCOMPARE(areaRpc(cursor), ub4(3));
        QCOMPARE(rows, (QList<QByteArray>{"ALICE|0|host-a|0|0", "|-1|dbhost|0|0",
                                          "BOB|0|worksta|14|1406"}));
        QCOMPARE(oclose(&cursor), 0);
    }

    // One round trip whatever the outcome, and nothing written beyond the rows wanted.
    void exactFetch_data() {
        QTest::addColumn<int>("wanted");
        QTest::addColumn<int>("exact");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("delivered");
        QTest::newRow("exact, fewer exist") << 4 << 1 << 1403 << 3;
        QTest::newRow("exact, as many exist") << 3 << 1 << 0 << 3;
        QTest::newRow("exact, more exist") << 2 << 1 << 1422 << 2;
        QTest::newRow("exact, none wanted") << 0 << 1 << 1422 << 0;
        QTest::newRow("any, fewer exist") << 4 << 0 << 1403 << 3;
        QTest::newRow("any, more exist") << 2 << 0 << 0 << 2;
    }
    void exactFetch() {
        QFETCH(int, wanted);
        QFETCH(int, exact);
        QFETCH(int, code);
        QFETCH(int, delivered);
        Connection c;
        Cda_Def cursor{};
        std::int32_t sids[5] = {-9, -9, -9, -9, -9};
        sb2 indicators[5] = {};
        QCOMPARE(c.logOn(), 0);
        QCOMPARE(c.prepare(cursor, "SELECT sid FROM sys.v_$session ORDER BY sid"), 0);
        QCOMPARE(odefin(&cursor, 1, reinterpret_cast<ub1*>(sids), 4, kExtInteger, -1, indicators,
                        nullptr, -1, -1, nullptr, nullptr),
                 0);
        const int before = sim::Controls::instance().roundTrips();
        QCOMPARE(int(oexfet(&cursor, ub4(wanted), 0, exact)), code);
        QCOMPARE(sim::Controls::instance().roundTrips() - before, 1);
        QCOMPARE(int(areaRc(cursor)), code);
        QCOMPARE(int(areaRpc(cursor)), delivered);
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(sids[i], i < delivered ? i + 1 : -9);
        }
        if (code != 0) {
            QCOMPARE(c.message(code), sim::standardMessage(code));
        }
        QCOMPARE(oclose(&cursor), 0);
    }

    // A failure planned for one release-7 call fails that call alone, with the library's text.
    void injectedFailure_data() {
        AddInjectedFailureRows();
        QTest::newRow("number above 32767") << int(sim::Call::Exec) << 4 << 38029;
    }
    void injectedFailure() {
        QFETCH(int, call);
        QFETCH(int, fc);
        QFETCH(int, code);
        sim::Controls::instance().failCall(sim::Call(call), 1, code);
        Connection c;
        Cda_Def cursor{};
        OciArea* failed = RunEveryCallUntilFailure(c, cursor, 3);
        // Allocating, preparing, defining, freeing and a fetch of rows that came with the execute
        // are the client's own work: no server error can come of them.
        const sim::Call local[] = {sim::Call::Open, sim::Call::Parse, sim::Call::Define,
                                   sim::Call::Fetch, sim::Call::Close};
        if (std::find(std::begin(local), std::end(local), sim::Call(call)) != std::end(local)) {
            QCOMPARE(failed, nullptr);
            return;
        }
        QVERIFY(failed != nullptr);
        QCOMPARE(int(areaFc(*failed)), fc);
        QCOMPARE(int(areaRc(*failed)), code & 0xFFFF);
        if (call != int(sim::Call::Logoff)) {
            QCOMPARE(c.message(code), sim::standardMessage(code));
        }
        oclose(&cursor);
    }

    void countsRoundTrips() {
        sim::Controls& controls = sim::Controls::instance();
        Connection c;
        Cda_Def cursor{};
        std::int32_t sids[3];
        sb2 indicators[3];
        const int before = controls.roundTrips();
        // The attach, the session and the server's release.
        QCOMPARE(c.logOn(), 0);
        QCOMPARE(controls.roundTrips(), before + 3);
        QCOMPARE(c.prepare(cursor, "SELECT sid FROM sys.v_$session"), 0);
        QCOMPARE(odefin(&cursor, 1, reinterpret_cast<ub1*>(sids), 4, kExtInteger, -1, indicators,
                        nullptr, -1, -1, nullptr, nullptr),
                 0);
        QCOMPARE(controls.roundTrips(), before + 3);
        QCOMPARE(oexec(&cursor), 0);
        // The rows arrive with the execute, up to the prefetch; the fetches go nowhere.
        QCOMPARE(ofetch(&cursor), 0);
        QCOMPARE(ofetch(&cursor), 0);
        QCOMPARE(controls.roundTrips(), before + 4);
        QCOMPARE(oclose(&cursor), 0);
        QCOMPARE(ologof(&c.lda), 0);
        QCOMPARE(controls.roundTrips(), before + 5);
    }

    // Cursors left open, and a failed log-on, leave no handle behind.
    void noHandleOutlivesItsConnection() {
        Connection failedLogOn;
        QCOMPARE(int(failedLogOn.logOn("system", "manager", "nowhere")), 12154);
        QCOMPARE(liveClientHandles(), 0);

        Connection c;
        Cda_Def cursors[3] = {};
        QCOMPARE(c.logOn(), 0);
        for (Cda_Def& cursor : cursors) {
            QCOMPARE(c.prepare(cursor, "SELECT sid FROM sys.v_$session"), 0);
            QCOMPARE(oexec(&cursor), 0);
        }
        QCOMPARE(sim::Controls::instance().openCursors(), 3);
        QCOMPARE(oclose(&cursors[1]), 0);
        QVERIFY(liveClientHandles() > 0);
        QCOMPARE(ologof(&c.lda), 0);
        QCOMPARE(int(oexec(&cursors[2])), OraCode::InvalidCursor);
    }

    // An Instant Client folder found by the folder search loads without LD_LIBRARY_PATH: its
    // siblings come first from the same folder, and what the library never calls need not
    // resolve. This one lacks an entry point, which only a loaded library can tell.
    void instantClientFolderLoads() {
        ClientSearch search;
        search.installFolders = {INSTANT_CLIENT_FOLDER};
        std::string error;
        QVERIFY(ClientLibrary::load(search, error) == nullptr);
        const std::string loaded = std::string(INSTANT_CLIENT_FOLDER) +
                                   "/libclntsh.so.19.1 is not a usable Oracle client library: it "
                                   "lacks the entry point OCIStmtFetch2.";
        QVERIFY2(error.starts_with(loaded), error.c_str());
    }

    // A broken install leaves an environment with the reason; it is told and the handle freed.
    void brokenInstallIsExplained() {
        qputenv("NIMBRA_FAKE_ENV_ERROR", "1804");
        int loads = 0;
        ClientProvider provider = providerFor(FAKECLNTSH, loads);
        const int environments = clientDoubleCount("nimbraFakeLiveEnvironments");
        ub4 connection = 0;
        std::string error;
        int warning = 0;
        const int code =
            provider.logon("system", "manager", "client", 0, connection, warning, error);
        qunsetenv("NIMBRA_FAKE_ENV_ERROR");
        QCOMPARE(code, OraCode::NoInterfaceDriver);
        QCOMPARE(error, std::string(kNoDriver) + "\n" + FAKECLNTSH +
                            " could not set up its environment (OCIEnvNlsCreate returned -1: "
                            "ORA-01804: failure to initialize timezone information): check the "
                            "Instant Client installation.");
        QCOMPARE(clientDoubleCount("nimbraFakeLiveEnvironments"), environments);
    }

    // After OCI_INVALID_HANDLE the error handle still holds the call before's error: the invalid
    // handle is reported, never that error.
    void invalidHandleIsReportedAsSuch() {
        Connection c;
        Cda_Def cursor{};
        QCOMPARE(c.logOn(), 0);
        QCOMPARE(c.prepare(cursor, "SELECT foo FROM sys.v_$session"), 0);
        QCOMPARE(int(oexec(&cursor)), 904);
        void* library = dlopen(FAKECLNTSH, RTLD_NOW | RTLD_NOLOAD);
        QVERIFY(library != nullptr);
        reinterpret_cast<void (*)(int)>(dlsym(library, "nimbraFakeInvalidHandleAtNext"))(
            int(sim::Call::Exec));
        dlclose(library);
        QCOMPARE(int(oexec(&cursor)), OraCode::InvalidCursor);
        QCOMPARE(c.message(OraCode::InvalidCursor),
                 std::string("ORA-01001: invalid cursor\nThe Oracle client library answered "
                             "OCIStmtExecute with OCI_INVALID_HANDLE: a handle it was given is "
                             "not one it knows."));
        QCOMPARE(oclose(&cursor), 0);
    }

    void messageIsTheServerTextWithoutNewline() {
        Connection c;
        Cda_Def cursor{};
        QCOMPARE(c.logOn(), 0);
        QCOMPARE(c.prepare(cursor, "SELECT foo FROM sys.v_$session"), 0);
        QCOMPARE(int(oexec(&cursor)), 904);
        const std::string detail = c.message(904);
        QVERIFY2(detail.starts_with("ORA-00904: ") && detail.find("FOO") != std::string::npos &&
                     detail.back() != '\n',
                 detail.c_str());
        QCOMPARE(oclose(&cursor), 0);
    }
};

QTEST_GUILESS_MAIN(tst_Client)
#include "tst_client.moc"
