#include <QTest>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <iterator>
#include <string>

#include "Oci.h"
#include "OciDefine.h"
#include "OciMessages.h"
#include "OciTestSupport.h"
#include "Sim.h"

namespace {

const char* const kSidQuery = "SELECT sid FROM sys.v_$session ORDER BY sid";

sim::SessionSpec sessionSpec(int sid, std::optional<std::string> user, std::string machine) {
    sim::SessionSpec s;
    s.sid = sid;
    s.serial = 10 + sid;
    s.username = std::move(user);
    s.type = s.username ? "USER" : "BACKGROUND";
    s.machine = std::move(machine);
    return s;
}

// Five sessions, sid 1 to 5; sid 2 is a background process without a user name.
sim::ScenarioSpec fiveSessions() {
    sim::ScenarioSpec scenario;
    scenario.sessions = {sessionSpec(1, "ALICE", "host-a"), sessionSpec(2, std::nullopt, "dbhost"),
                         sessionSpec(3, "BOB", "workstation-42"), sessionSpec(4, "CAROL", "host-c"),
                         sessionSpec(5, "DAVE", "host-d")};
    return scenario;
}

// One connection to the test scenario.
struct Connection : OciConnection {
    Connection() : OciConnection("sim:oci") {}
};

sword defineString(Cda_Def& cursor, int position, char* buffer, int width, sb2* indicators,
                   ub2* codes = nullptr) {
    return odefin(&cursor, position, reinterpret_cast<ub1*>(buffer), width, kExtString, -1,
                  indicators, nullptr, -1, -1, nullptr, codes);
}

}  // namespace

class tst_Oci : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void areaFieldsLieAtPublishedOffsets();
    void logOn_data();
    void logOn();
    void unboundAreasFailCleanly_data();
    void unboundAreasFailCleanly();
    void unboundLogonArea();
    void fetchesRowByRowUntilNoData();
    void statementErrorsSurfaceAtExecute_data();
    void statementErrorsSurfaceAtExecute();
    void exactFetch_data();
    void exactFetch();
    void arrayOfNoRows();
    void nullLeavesBufferUntouched();
    void nullWithoutIndicatorFails();
    void integerConversion_data();
    void integerConversion();
    void stringTruncation_data();
    void stringTruncation();
    void injectedFailure_data();
    void injectedFailure();
    void lostConnectionFailsLaterCalls();
    void cursorsReleasedByCloseAndLogOff();
    void messageKeepsServerDetailAndTruncates();
    void countsRoundTrips();
};

void tst_Oci::init() {
    sim::Controls::instance().reset();
    sim::Controls::instance().defineScenario("oci", fiveSessions());
}

void tst_Oci::cleanup() {
    QCOMPARE(sim::Controls::instance().openCursors(), 0);
}

void tst_Oci::areaFieldsLieAtPublishedOffsets() {
    OciArea area{};
    setAreaRpc(area, 0x11223344);
    setAreaFc(area, 56);
    setAreaRc(area, 1422);
    ub4 rpc = 0;
    ub2 rc = 0;
    std::memcpy(&rpc, area.bytes + 4, sizeof rpc);
    std::memcpy(&rc, area.bytes + 12, sizeof rc);
    QCOMPARE(rpc, ub4(0x11223344));
    QCOMPARE(area.bytes[10], ub1(56));
    QCOMPARE(rc, ub2(1422));
}

void tst_Oci::logOn_data() {
    QTest::addColumn<QByteArray>("user");
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<QByteArray>("host");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");

    QTest::newRow("accepted") << QByteArray("system") << QByteArray("manager")
                              << QByteArray("sim:oci") << 0 << QString();
    QTest::newRow("wrong password")
        << QByteArray("system") << QByteArray("MANAGER") << QByteArray("sim:oci") << 1017
        << "ORA-01017: invalid username/password; logon denied";
    QTest::newRow("unknown scenario")
        << QByteArray("system") << QByteArray("manager") << QByteArray("sim:nowhere") << 12154
        << "ORA-12154: TNS:could not resolve the connect identifier specified";
    QTest::newRow("net service name")
        << QByteArray("system") << QByteArray("manager") << QByteArray("orcl") << 3121
        << "ORA-03121: no interface driver connected - function not performed";
    QTest::newRow("local default database")
        << QByteArray("system") << QByteArray("manager") << QByteArray("") << 3121
        << "ORA-03121: no interface driver connected - function not performed";
}

void tst_Oci::logOn() {
    QFETCH(QByteArray, user);
    QFETCH(QByteArray, password);
    QFETCH(QByteArray, host);
    QFETCH(int, code);
    QFETCH(QString, message);

    Connection c;
    const sword result = c.logOn(user.constData(), password.constData(), host.constData());
    QCOMPARE(result != 0, code != 0);
    QCOMPARE(int(areaRc(c.lda)), code);
    QCOMPARE(int(areaFc(c.lda)), 0);
    if (code == 0) {
        QCOMPARE(ologof(&c.lda), 0);
        QCOMPARE(int(areaFc(c.lda)), 0);
        return;
    }
    const QString text = QString::fromStdString(c.message(code));
    QVERIFY2(text.startsWith(message), qPrintable(text));
    if (code == OraCode::NoInterfaceDriver) {
        QVERIFY2(text.contains("Instant Client") && text.contains("sim:demo"), qPrintable(text));
    }
}

void tst_Oci::unboundAreasFailCleanly_data() {
    QTest::addColumn<int>("fill");
    QTest::addColumn<bool>("closedBefore");
    QTest::newRow("zeroed") << 0x00 << false;
    QTest::newRow("stray bytes") << 0xAB << false;
    QTest::newRow("closed earlier") << 0x00 << true;
}

void tst_Oci::unboundAreasFailCleanly() {
    QFETCH(int, fill);
    QFETCH(bool, closedBefore);

    Connection c;
    Cda_Def cursor;
    std::memset(cursor.bytes, fill, sizeof cursor.bytes);
    if (closedBefore) {
        QCOMPARE(c.logOn(), 0);
        QCOMPARE(c.prepare(cursor, kSidQuery), 0);
        QCOMPARE(oclose(&cursor), 0);
    }
    std::int32_t value = 0;
    sb2 indicator = 0;
    const std::pair<std::function<sword()>, ub1> calls[] = {
        {[&] { return oparse(&cursor, asText(kSidQuery), -1, 1, 2); }, OciFunction::Parse},
        {[&] { return defineInt(cursor, 1, &value, &indicator); }, OciFunction::Define},
        {[&] { return oexec(&cursor); }, OciFunction::Exec},
        {[&] { return ofetch(&cursor); }, OciFunction::Fetch},
        {[&] { return oexfet(&cursor, 1, 0, 1); }, OciFunction::ExecFetch},
        {[&] { return oclose(&cursor); }, OciFunction::Close},
    };
    for (const auto& [call, fc] : calls) {
        QCOMPARE(int(call()), OraCode::InvalidCursor);
        QCOMPARE(areaRc(cursor), ub2(OraCode::InvalidCursor));
        QCOMPARE(areaFc(cursor), fc);
    }
}

void tst_Oci::unboundLogonArea() {
    Lda_Def lda{};
    Cda_Def cursor{};
    QCOMPARE(int(ologof(&lda)), OraCode::NotLoggedOn);
    QCOMPARE(areaRc(lda), ub2(OraCode::NotLoggedOn));
    QCOMPARE(int(oopen(&cursor, &lda, nullptr, -1, -1, nullptr, -1)), OraCode::NotLoggedOn);
    QCOMPARE(areaRc(cursor), ub2(OraCode::NotLoggedOn));
    QCOMPARE(areaFc(cursor), OciFunction::Open);
    QCOMPARE(int(oparse(&cursor, asText(kSidQuery), -1, 1, 2)), OraCode::InvalidCursor);
}

void tst_Oci::fetchesRowByRowUntilNoData() {
    Connection c;
    Cda_Def cursor{};
    std::int32_t sid = 0;
    sb2 indicator = 0;
    QCOMPARE(c.logOn(), 0);
    QCOMPARE(c.prepare(cursor, kSidQuery), 0);
    QCOMPARE(defineInt(cursor, 1, &sid, &indicator), 0);
    QCOMPARE(areaFc(cursor), OciFunction::Define);
    QCOMPARE(oexec(&cursor), 0);
    QCOMPARE(areaRpc(cursor), ub4(0));
    for (int row = 1; row <= 5; ++row) {
        QCOMPARE(ofetch(&cursor), 0);
        QCOMPARE(sid, row);
        QCOMPARE(areaRpc(cursor), ub4(row));
        QCOMPARE(areaFc(cursor), OciFunction::Fetch);
        QCOMPARE(areaRc(cursor), ub2(0));
    }
    QVERIFY(ofetch(&cursor) != 0);
    QCOMPARE(areaRc(cursor), ub2(OraCode::NoData));
    QCOMPARE(areaRpc(cursor), ub4(5));
    QCOMPARE(sid, 5);
    QCOMPARE(oclose(&cursor), 0);
}

void tst_Oci::statementErrorsSurfaceAtExecute_data() {
    QTest::addColumn<QByteArray>("sql");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("code");
    QTest::newRow("missing table") << QByteArray("SELECT sid FROM sys.no_such_view") << 1 << 942;
    QTest::newRow("define beyond select list") << QByteArray(kSidQuery) << 2 << 1007;
}

void tst_Oci::statementErrorsSurfaceAtExecute() {
    QFETCH(QByteArray, sql);
    QFETCH(int, position);
    QFETCH(int, code);

    Connection c;
    Cda_Def cursor{};
    std::int32_t value = 0;
    sb2 indicator = 0;
    QCOMPARE(c.logOn(), 0);
    QCOMPARE(c.prepare(cursor, sql.constData()), 0);
    QCOMPARE(defineInt(cursor, position, &value, &indicator), 0);
    QCOMPARE(int(oexec(&cursor)), code);
    QCOMPARE(int(areaRc(cursor)), code);
    QCOMPARE(areaFc(cursor), OciFunction::Exec);
    QVERIFY(ofetch(&cursor) != 0);
}

void tst_Oci::exactFetch_data() {
    QTest::addColumn<int>("wanted");
    QTest::addColumn<int>("exact");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("delivered");

    QTest::newRow("exact, fewer exist") << 6 << 1 << 1403 << 5;
    QTest::newRow("exact, as many exist") << 5 << 1 << 0 << 5;
    QTest::newRow("exact, more exist") << 4 << 1 << 1422 << 4;
    QTest::newRow("any, fewer exist") << 6 << 0 << 1403 << 5;
    QTest::newRow("any, more exist") << 4 << 0 << 0 << 4;
}

void tst_Oci::exactFetch() {
    QFETCH(int, wanted);
    QFETCH(int, exact);
    QFETCH(int, code);
    QFETCH(int, delivered);

    Connection c;
    Cda_Def cursor{};
    std::int32_t sids[8];
    sb2 indicators[8];
    std::fill(std::begin(sids), std::end(sids), -99);
    QCOMPARE(c.logOn(), 0);
    QCOMPARE(c.prepare(cursor, kSidQuery), 0);
    QCOMPARE(defineInt(cursor, 1, sids, indicators), 0);
    const sword result = oexfet(&cursor, ub4(wanted), 0, exact);
    QCOMPARE(result != 0, code != 0);
    QCOMPARE(int(areaRc(cursor)), code);
    QCOMPARE(areaFc(cursor), OciFunction::ExecFetch);
    QCOMPARE(int(areaRpc(cursor)), delivered);
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(sids[i], i < delivered ? i + 1 : -99);
    }
    QCOMPARE(oclose(&cursor), 0);
}

void tst_Oci::arrayOfNoRows() {
    Connection c;
    Cda_Def cursor{};
    QCOMPARE(c.logOn(), 0);
    QCOMPARE(c.prepare(cursor, kSidQuery), 0);
    QCOMPARE(defineString(cursor, 1, nullptr, 30, nullptr), 0);
    QCOMPARE(int(oexfet(&cursor, 0, 0, 1)), OraCode::TooManyRows);
    QCOMPARE(areaRpc(cursor), ub4(0));
    QCOMPARE(oclose(&cursor), 0);
}

void tst_Oci::nullLeavesBufferUntouched() {
    Connection c;
    Cda_Def cursor{};
    char names[3][8] = {"XXXXXXX", "XXXXXXX", "XXXXXXX"};
    sb2 indicators[3] = {7, 7, 7};
    ub2 codes[3] = {};
    QCOMPARE(c.logOn(), 0);
    QCOMPARE(c.prepare(cursor, "SELECT username FROM sys.v_$session WHERE sid <= 3 ORDER BY sid"),
             0);
    QCOMPARE(defineString(cursor, 1, names[0], 8, indicators, codes), 0);
    QCOMPARE(oexfet(&cursor, 3, 0, 1), 0);
    QCOMPARE(QByteArray(names[0]), QByteArray("ALICE"));
    QCOMPARE(QByteArray(names[1], 8), QByteArray("XXXXXXX\0", 8));
    QCOMPARE(QByteArray(names[2]), QByteArray("BOB"));
    QCOMPARE(indicators[0], sb2(0));
    QCOMPARE(indicators[1], sb2(-1));
    QCOMPARE(indicators[2], sb2(0));
    QCOMPARE(codes[1], ub2(OraCode::NullWithoutIndicator));
    QCOMPARE(oclose(&cursor), 0);
}

void tst_Oci::nullWithoutIndicatorFails() {
    Connection c;
    Cda_Def cursor{};
    char name[8] = {};
    QCOMPARE(c.logOn(), 0);
    QCOMPARE(c.prepare(cursor, "SELECT username FROM sys.v_$session WHERE sid = 2"), 0);
    QCOMPARE(defineString(cursor, 1, name, sizeof name, nullptr), 0);
    QCOMPARE(oexec(&cursor), 0);
    QCOMPARE(int(ofetch(&cursor)), OraCode::NullWithoutIndicator);
    QCOMPARE(areaRc(cursor), ub2(OraCode::NullWithoutIndicator));
    QCOMPARE(c.message(OraCode::NullWithoutIndicator),
             std::string("ORA-01405: fetched column value is NULL"));
}

void tst_Oci::integerConversion_data() {
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("expected");

    QTest::newRow("count") << QByteArray("42") << 0 << 42;
    QTest::newRow("negative") << QByteArray("-7") << 0 << -7;
    QTest::newRow("largest") << QByteArray("2147483647") << 0 << 2147483647;
    QTest::newRow("smallest") << QByteArray("-2147483648") << 0 << int(-2147483648LL);
    QTest::newRow("fraction rounds") << QByteArray("2.5") << 0 << 3;
    QTest::newRow("above range") << QByteArray("2147483648") << OraCode::IntegerOverflow << -99;
    QTest::newRow("below range") << QByteArray("-2147483649") << OraCode::IntegerOverflow << -99;
    QTest::newRow("huge") << QByteArray("1e300") << OraCode::IntegerOverflow << -99;
    QTest::newRow("text") << QByteArray("ALICE") << OraCode::InvalidNumber << -99;
    QTest::newRow("trailing text") << QByteArray("12abc") << OraCode::InvalidNumber << -99;
    QTest::newRow("empty") << QByteArray("") << OraCode::InvalidNumber << -99;
    QTest::newRow("not a number") << QByteArray("nan") << OraCode::InvalidNumber << -99;
}

void tst_Oci::integerConversion() {
    QFETCH(QByteArray, value);
    QFETCH(int, code);
    QFETCH(int, expected);

    std::int32_t numbers[2] = {-99, -99};
    sb2 indicators[2] = {5, 5};
    const OciDefine define{
        reinterpret_cast<ub1*>(numbers), 4, kExtInteger, indicators, nullptr, nullptr};
    QCOMPARE(checkDefine(define), 0);
    QCOMPARE(deliverValue(define, 1, value.toStdString()), code);
    QCOMPARE(numbers[0], -99);
    QCOMPARE(numbers[1], expected);
}

void tst_Oci::stringTruncation_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("indicator");
    QTest::addColumn<int>("columnCode");

    QTest::newRow("fits") << 8 << 7 << 0 << 0;
    QTest::newRow("one too long") << 8 << 8 << 8 << 1406;
    QTest::newRow("much too long") << 4 << 30 << 30 << 1406;
    QTest::newRow("length beyond sb2") << 4 << 40000 << -2 << 1406;
    QTest::newRow("room for the NUL only") << 1 << 3 << 3 << 1406;
}

void tst_Oci::stringTruncation() {
    QFETCH(int, width);
    QFETCH(int, size);
    QFETCH(int, indicator);
    QFETCH(int, columnCode);

    std::string buffer(std::size_t(width) * 2, '#');
    sb2 indicators[2] = {};
    ub2 lengths[2] = {};
    ub2 codes[2] = {};
    const OciDefine define{
        reinterpret_cast<ub1*>(buffer.data()), width, kExtString, indicators, lengths, codes};
    const std::string value(std::size_t(size), 'v');
    QCOMPARE(deliverValue(define, 1, value), 0);
    const int kept = std::min(size, width - 1);
    QCOMPARE(buffer.substr(0, std::size_t(width)), std::string(std::size_t(width), '#'));
    QCOMPARE(buffer.substr(std::size_t(width), std::size_t(kept)), value.substr(0, kept));
    QCOMPARE(buffer[std::size_t(width + kept)], '\0');
    QCOMPARE(int(indicators[1]), indicator);
    QCOMPARE(int(codes[1]), columnCode);
    QCOMPARE(int(lengths[1]), kept);
}

void tst_Oci::injectedFailure_data() {
    AddInjectedFailureRows();
}

void tst_Oci::injectedFailure() {
    QFETCH(int, call);
    QFETCH(int, fc);
    QFETCH(int, code);

    sim::Controls::instance().failCall(sim::Call(call), 1, code);
    Connection c;
    Cda_Def cursor{};
    OciArea* failed = RunEveryCallUntilFailure(c, cursor, 5);

    QVERIFY(failed != nullptr);
    QCOMPARE(int(areaFc(*failed)), fc);
    QCOMPARE(int(areaRc(*failed)), code);
    QCOMPARE(c.message(code), sim::standardMessage(code));
    oclose(&cursor);
}

void tst_Oci::lostConnectionFailsLaterCalls() {
    Connection c;
    Cda_Def first{};
    Cda_Def second{};
    QCOMPARE(c.logOn(), 0);
    QCOMPARE(c.prepare(first, kSidQuery), 0);
    QCOMPARE(c.prepare(second, kSidQuery), 0);
    sim::Controls::instance().failCall(sim::Call::Exec, 1, 3113);
    QCOMPARE(int(oexec(&first)), 3113);

    const int lost = int(areaRc(first));
    QCOMPARE(lost, 3113);
    QVERIFY(oexec(&second) != 0);
    const int later = int(areaRc(second));
    QVERIFY(later != 0);
    QVERIFY(sim::isConnectionLost(later));
    Cda_Def third{};
    QCOMPARE(int(oopen(&third, &c.lda, nullptr, -1, -1, nullptr, -1)), later);

    QCOMPARE(int(oclose(&first)), later);
    QCOMPARE(sim::Controls::instance().openCursors(), 1);
    QCOMPARE(int(ologof(&c.lda)), later);
    QCOMPARE(sim::Controls::instance().openCursors(), 0);
    QCOMPARE(int(ologof(&c.lda)), OraCode::NotLoggedOn);
    QCOMPARE(int(oclose(&second)), OraCode::InvalidCursor);
}

void tst_Oci::cursorsReleasedByCloseAndLogOff() {
    Connection c;
    Cda_Def cursors[3] = {};
    QCOMPARE(c.logOn(), 0);
    for (Cda_Def& cursor : cursors) {
        QCOMPARE(c.prepare(cursor, kSidQuery), 0);
    }
    QCOMPARE(sim::Controls::instance().openCursors(), 3);
    QCOMPARE(oclose(&cursors[0]), 0);
    QCOMPARE(sim::Controls::instance().openCursors(), 2);
    QCOMPARE(int(oclose(&cursors[0])), OraCode::InvalidCursor);
    QCOMPARE(ologof(&c.lda), 0);
    QCOMPARE(sim::Controls::instance().openCursors(), 0);
    QCOMPARE(int(oexec(&cursors[1])), OraCode::InvalidCursor);
}

void tst_Oci::messageKeepsServerDetailAndTruncates() {
    Connection c;
    Cda_Def cursor{};
    QCOMPARE(c.logOn(), 0);
    QCOMPARE(c.prepare(cursor, "SELECT foo FROM sys.v_$session"), 0);
    QCOMPARE(int(oexec(&cursor)), 904);

    const std::string detail = c.message(904);
    QVERIFY2(detail.starts_with("ORA-00904: ") && detail.find("FOO") != std::string::npos,
             detail.c_str());
    QCOMPARE(c.message(942), sim::standardMessage(942));

    text small[10];
    std::memset(small, '#', sizeof small);
    QCOMPARE(int(oerhms(&c.lda, 904, small, sizeof small)), 9);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(small)), QByteArray("ORA-00904"));
    QCOMPARE(oclose(&cursor), 0);
}

void tst_Oci::countsRoundTrips() {
    sim::Controls& controls = sim::Controls::instance();
    Connection c;
    Cda_Def cursor{};
    std::int32_t sids[5];
    sb2 indicators[5];
    const int before = controls.roundTrips();
    QCOMPARE(c.logOn(), 0);
    QCOMPARE(controls.roundTrips(), before + 1);
    QCOMPARE(c.prepare(cursor, kSidQuery), 0);
    QCOMPARE(defineInt(cursor, 1, sids, indicators), 0);
    QCOMPARE(controls.roundTrips(), before + 1);
    QCOMPARE(oexec(&cursor), 0);
    // The rows arrive with the execute, up to the prefetch; the fetches go nowhere.
    QCOMPARE(ofetch(&cursor), 0);
    QCOMPARE(ofetch(&cursor), 0);
    QCOMPARE(controls.roundTrips(), before + 2);
    QCOMPARE(oexfet(&cursor, 5, 0, 1), 0);
    QCOMPARE(oclose(&cursor), 0);
    QCOMPARE(controls.roundTrips(), before + 3);
    QCOMPARE(ologof(&c.lda), 0);
    QCOMPARE(controls.roundTrips(), before + 4);
}

QTEST_GUILESS_MAIN(tst_Oci)
#include "tst_oci.moc"
