#include <algorithm>
#include <cstdio>
#include <iterator>
#include <utility>
#include <vector>

#include "FakeOci.h"

namespace fake {

namespace {

// Never destroyed: a test process may end with handles still open.
std::map<const void*, std::unique_ptr<Handle>>& registry() {
    static auto* handles = new std::map<const void*, std::unique_ptr<Handle>>;
    return *handles;
}

std::optional<sim::Call>& invalidHandleAt() {
    static std::optional<sim::Call> call;
    return call;
}

struct Message {
    int code;
    const char* text;
};

// Errors the client raises itself, which the server catalogue does not know.
constexpr Message kClientMessages[] = {
    {1002, "fetch out of sequence"},
    {1007, "variable not in select list"},
    {1405, "fetched column value is NULL"},
    {1406, "fetched column value was truncated"},
    {1455, "converting column overflows integer datatype"},
    {1460, "unimplemented or unreasonable conversion requested"},
    {1804, "failure to initialize timezone information"},
    {24300, "bad value for mode"},
    {24315, "illegal attribute type"},
    {24333, "zero iteration count"},
    {24337, "statement handle not prepared"},
    {24345, "A Truncation or null fetch error occurred"},
    {12592, "TNS:bad packet"},
};

}  // namespace

Handle* findHandle(const void* address, ub4 type) {
    auto found = registry().find(address);
    return found == registry().end() || found->second->type != type ? nullptr : found->second.get();
}

Handle* adopt(std::unique_ptr<Handle> handle) {
    Handle* raw = handle.get();
    registry()[raw] = std::move(handle);
    return raw;
}

void release(Handle* handle) {
    if (auto* statement = dynamic_cast<Statement*>(handle)) {
        for (const auto& [position, define] : statement->defines) {
            registry().erase(define);
        }
    }
    registry().erase(handle);
}

int liveHandles(ub4 type) {
    return static_cast<int>(std::count_if(registry().begin(), registry().end(), [&](const auto& e) {
        return type == 0 ? e.second->type != OCI_HTYPE_ENV : e.second->type == type;
    }));
}

void detachStatements(Service& service) {
    for (const auto& [address, handle] : registry()) {
        auto* statement = dynamic_cast<Statement*>(handle.get());
        if (statement != nullptr && statement->service == &service) {
            statement->cursor.reset();
            statement->service = nullptr;
            statement->fetchable = false;
        }
    }
}

std::string messageFor(int code) {
    const auto* known = std::find_if(std::begin(kClientMessages), std::end(kClientMessages),
                                     [code](const Message& m) { return m.code == code; });
    if (known == std::end(kClientMessages)) {
        return sim::standardMessage(code);
    }
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "ORA-%05d: ", code);
    return prefix + std::string(known->text);
}

sword fail(ErrorRecord& record, int code, std::string text) {
    record.code = code;
    record.text = text.empty() ? messageFor(code) : std::move(text);
    return OCI_ERROR;
}

// Oracle Net's transport failures (ORA-12500 to ORA-12699) leave the client not connected, as the
// instance's lost-line codes do.
bool losesLine(int code) {
    return sim::isConnectionLost(code) || (code >= 12500 && code < 12700);
}

std::optional<int> roundTrip(sim::Call call, Service* service) {
    sim::Controls& controls = sim::Controls::instance();
    std::optional<int> code = controls.takeFailure(call);
    bool lost = code && losesLine(*code);
    if (!code) {
        if (const auto delay = controls.takeDelay(call)) {
            if (service != nullptr && service->callTimeout.count() > 0 &&
                delay->duration > service->callTimeout) {
                code = sim::kCallTimedOut;
                lost = !delay->survivesTimeout;
            } else {
                controls.advanceClock(
                    std::chrono::duration_cast<std::chrono::seconds>(delay->duration).count());
            }
        }
    }
    if (!code) {
        controls.roundTrip();
    }
    if (lost && service != nullptr && service->connection) {
        service->connection->markLost();
    }
    return code;
}

bool takeInvalidHandle(sim::Call call) {
    return std::exchange(invalidHandleAt(), std::nullopt) == call;
}

}  // namespace fake

FAKE_EXPORT int nimbraFakeLiveHandles() {
    const FakeCall serial;
    return fake::liveHandles();
}

FAKE_EXPORT int nimbraFakeLiveStatements() {
    const FakeCall serial;
    return fake::liveHandles(fake::OCI_HTYPE_STMT);
}

FAKE_EXPORT int nimbraFakeLiveEnvironments() {
    const FakeCall serial;
    return fake::liveHandles(fake::OCI_HTYPE_ENV);
}

// The next call of that kind (a sim::Call) finds its handle invalid, as after a handle was freed
// twice; its error handle keeps the previous call's error.
FAKE_EXPORT void nimbraFakeInvalidHandleAtNext(int call) {
    const FakeCall serial;
    fake::invalidHandleAt() = static_cast<sim::Call>(call);
}
