#include "OracleConnection.h"

#include <cstdio>

#include "ErrorReport.h"

namespace {
const text* asText(const char* s) {
    return reinterpret_cast<const text*>(s);
}
}  // namespace

OracleConnection& TheConnection() {
    static OracleConnection connection;
    return connection;
}

bool LogOn(const char* user, const char* password, const char* host) {
    OracleConnection& c = TheConnection();
    if (olog(&c.logonArea, c.hostArea.bytes, asText(user), -1, asText(password), -1, asText(host),
             -1, 0) == 0) {
        c.loggedOn = true;
        return true;
    }
    c.loggedOn = false;
    ReportOciError(c.logonArea);
    return false;
}

void LogOff() {
    OracleConnection& c = TheConnection();
    if (!c.loggedOn) {
        return;
    }
    if (ologof(&c.logonArea) != 0) {
        std::fputs("Error on disconnect.\n", stdout);
        std::fflush(stdout);
        DropConnection();
    }
    c.loggedOn = false;
}

bool IsLoggedOn() {
    return TheConnection().loggedOn;
}

void DropConnection() {
    OracleConnection& c = TheConnection();
    if (c.loggedOn) {
        ologof(&c.logonArea);
        c.loggedOn = false;
    }
}
