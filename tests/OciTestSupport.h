#pragma once
// Helpers of the tests that drive the release-7 calls directly.

#include <cstdint>
#include <string>
#include <vector>

#include "Oci.h"

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
