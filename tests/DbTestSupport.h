#pragma once
// Shared fixtures for tests that reach the simulated instance through the database layer, either
// directly ("sim:" host strings) or through the client provider and the client-library double.

#include <dlfcn.h>

#include <QString>
#include <QStringList>
#include <QtTest>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ErrorReport.h"
#include "OracleConnection.h"
#include "Sim.h"

// Whether this run reaches the instance through the client provider: CTest runs the suites once
// each way.
inline bool throughClient() {
    return std::getenv("NIMBRA_TEST_THROUGH_CLIENT") != nullptr;
}

// Whether a failure planned for call can come in this run: through the client library only a
// round trip fails with the server's error, and a fetch of rows that came with the execute
// makes none.
inline bool failureCanCome(sim::Call call, bool fetchGoesToServer) {
    using C = sim::Call;
    const bool local = call == C::Open || call == C::Parse || call == C::Define ||
                       call == C::Close || (call == C::Fetch && !fetchGoesToServer);
    return !throughClient() || !local;
}

// The host string of a scenario for this run; the client-library double reads a bare host string
// as the scenario's name.
inline std::string testHost(const std::string& scenario) {
    return throughClient() ? scenario : "sim:" + scenario;
}

// One of the client-library double's counters; 0 while it is not loaded.
inline int clientDoubleCount(const char* counter) {
    const char* file = std::getenv("NIMBRA_OCI_LIBRARY");
    void* library = file == nullptr ? nullptr : dlopen(file, RTLD_NOW | RTLD_NOLOAD);
    if (library == nullptr) {
        return 0;
    }
    auto* count = reinterpret_cast<int (*)()>(dlsym(library, counter));
    const int value = count == nullptr ? 0 : count();
    dlclose(library);
    return value;
}

// Handles the client-library double holds besides its environment.
inline int liveClientHandles() {
    return clientDoubleCount("nimbraFakeLiveHandles");
}

// Fails the running test when a cursor or a client statement handle is still open. Called when
// the operations have finished and before log-off, which would free them.
inline void VerifyNoCursorOpen() {
    QCOMPARE(sim::Controls::instance().openCursors(), 0);
    QCOMPARE(clientDoubleCount("nimbraFakeLiveStatements"), 0);
}

// Collects every failure message the database layer shows.
class MessageRecorder {
public:
    MessageRecorder() {
        SetMessageSink(
            [this](const std::string& text) { messages << QString::fromStdString(text); });
    }
    ~MessageRecorder() { SetMessageSink({}); }
    QStringList messages;
};

// A user session of a test scenario; username empty means a background process (NULL).
inline sim::SessionSpec userSession(int sid, const std::string& username, int serial = 1) {
    sim::SessionSpec s;
    if (!username.empty()) {
        s.username = username;
    } else {
        s.type = "BACKGROUND";
    }
    s.sid = sid;
    s.serial = serial;
    s.osuser = "oracle";
    s.machine = "dbhost01";
    s.program = username.empty() ? "oracle@dbhost01 (PMON)" : "sqlplus@client (TNS V1-V3)";
    s.logonTime = 1709647629;  // 2024-03-05 14:07:09 UTC
    s.schemaname = username.empty() ? "SYS" : username;
    return s;
}

// total sessions of which withoutUser have no user name; user names USER01, USER02, ...
inline sim::ScenarioSpec mixedScenario(int total, int withoutUser) {
    sim::ScenarioSpec setup;
    for (int i = 1; i <= total; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "USER%02d", i);
        setup.sessions.push_back(userSession(i, i <= withoutUser ? "" : name, 100 + i));
    }
    return setup;
}

// Fresh instance state and a logged-off connection before each test.
inline void resetDatabase() {
    LogOff();
    sim::Controls::instance().reset();
}

inline int countOf(const std::vector<std::string>& log, const std::string& text) {
    int n = 0;
    for (const std::string& s : log) {
        n += s == text ? 1 : 0;
    }
    return n;
}
