#pragma once
// Helpers of the tests that drive the release-7 calls directly.

#include <cstdint>
#include <string>

#include <QtTest>
#include <vector>

#include "Oci.h"
#include "Sim.h"

inline const text* asText(const char* s) {
    return reinterpret_cast<const text*>(s);
}

// One connection through the call set to a default host; the destructor logs it off, and the
// connection's cursors with it.
struct OciConnection {
    explicit OciConnection(const char* defaultHost) : host(defaultHost) {}
    ~OciConnection() {
        // A planned failure of the first log-off leaves the connection for a second one.
        if (ologof(&lda) != 0) {
            ologof(&lda);
        }
    }
    OciConnection(const OciConnection&) = delete;
    OciConnection& operator=(const OciConnection&) = delete;

    sword logOn(const char* user = "system", const char* password = "manager",
                const char* otherHost = nullptr) {
        const char* h = otherHost ? otherHost : host;
        return olog(&lda, hda.bytes, asText(user), -1, asText(password), -1, asText(h), -1, 0);
    }
    std::string message(int code) {
        text buffer[512];
        oerhms(&lda, sb2(code), buffer, sizeof buffer);
        return reinterpret_cast<const char*>(buffer);
    }
    sword prepare(Cda_Def& cursor, const char* sql) {
        if (sword code = oopen(&cursor, &lda, nullptr, -1, -1, nullptr, -1)) {
            return code;
        }
        return oparse(&cursor, asText(sql), -1, 1, 2);
    }

    const char* host;
    Lda_Def lda{};
    HostDataArea hda{};
};

inline sword defineInt(Cda_Def& cursor, int position, std::int32_t* values, sb2* indicators) {
    return odefin(&cursor, position, reinterpret_cast<ub1*>(values), 4, kExtInteger, -1, indicators,
                  nullptr, -1, -1, nullptr, nullptr);
}

// Makes every call once, in the order a statement uses them, on a scenario of exactly rows
// sessions; stops at the first call that fails and returns its area (null when none failed).
inline OciArea* RunEveryCallUntilFailure(OciConnection& c, Cda_Def& cursor, ub4 rows) {
    std::vector<std::int32_t> sids(rows);
    std::vector<sb2> indicators(rows);
    OciArea* failed = nullptr;
    auto ok = [&](sword result, OciArea& area) {
        failed = result == 0 ? nullptr : &area;
        return failed == nullptr;
    };
    ok(c.logOn(), c.lda) && ok(oopen(&cursor, &c.lda, nullptr, -1, -1, nullptr, -1), cursor) &&
        ok(oparse(&cursor, asText("SELECT sid FROM sys.v_$session ORDER BY sid"), -1, 1, 2),
           cursor) &&
        ok(defineInt(cursor, 1, sids.data(), indicators.data()), cursor) &&
        ok(oexec(&cursor), cursor) && ok(ofetch(&cursor), cursor) &&
        ok(oexfet(&cursor, rows, 0, 1), cursor) && ok(oclose(&cursor), cursor) &&
        ok(ologof(&c.lda), c.lda);
    return failed;
}

// The rows of an injected-failure table: the call made to fail, the function code the failed
// area must carry, and the Oracle error it fails with.
inline void AddInjectedFailureRows() {
    QTest::addColumn<int>("call");
    QTest::addColumn<int>("fc");
    QTest::addColumn<int>("code");
    QTest::newRow("log-on") << int(sim::Call::Logon) << 0 << 28000;
    QTest::newRow("open") << int(sim::Call::Open) << 14 << 1000;
    QTest::newRow("parse") << int(sim::Call::Parse) << 54 << 900;
    QTest::newRow("define") << int(sim::Call::Define) << 8 << 1031;
    QTest::newRow("exec") << int(sim::Call::Exec) << 4 << 942;
    QTest::newRow("fetch") << int(sim::Call::Fetch) << 12 << 3113;
    QTest::newRow("exec-fetch") << int(sim::Call::ExecFetch) << 56 << 1031;
    QTest::newRow("close") << int(sim::Call::Close) << 16 << 1031;
    QTest::newRow("log-off") << int(sim::Call::Logoff) << 0 << 3114;
}
