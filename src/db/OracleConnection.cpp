#include "OracleConnection.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>

#include "ErrorReport.h"

namespace {
const text* asText(const char* s) {
    return reinterpret_cast<const text*>(s);
}

std::map<int, std::function<void()>>& observers() {
    static std::map<int, std::function<void()>> list;
    return list;
}

void notifyObservers() {
    // A copy: an observer may add or remove observers.
    const auto current = observers();
    for (const auto& [id, observer] : current) {
        observer();
    }
}

void setLoggedOff(OracleConnection& c) {
    c.loggedOn = false;
    c.user.clear();
    c.host.clear();
    notifyObservers();
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
        c.connectionLost = false;
        c.user = user;
        c.host = host;
        notifyObservers();
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
    if (c.loggedOn) {
        setLoggedOff(c);
    }
}

bool IsLoggedOn() {
    return TheConnection().loggedOn;
}

void DropConnection() {
    OracleConnection& c = TheConnection();
    if (c.loggedOn) {
        ologof(&c.logonArea);
        setLoggedOff(c);
    }
}

int AddConnectionObserver(std::function<void()> observer) {
    static int lastId = 0;
    observers().emplace(++lastId, std::move(observer));
    return lastId;
}

void RemoveConnectionObserver(int id) {
    observers().erase(id);
}

bool IsConnectionLostCode(int code) {
    // End of file, not connected, lost contact, killed, instance gone, timed out, network and
    // listener failures, idle time exceeded.
    constexpr int kLost[] = {28,   1012,  1089,  1092,  2396,  3113,  3114,  3135, 3136,
                             3156, 12170, 12537, 12541, 12547, 12570, 12571, 12583};
    return std::find(std::begin(kLost), std::end(kLost), code) != std::end(kLost);
}
