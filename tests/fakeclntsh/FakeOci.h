#pragma once
// An Oracle client library double: the handle API entry points that ClientProvider calls,
// answered by the simulated instance. Declared here from Oracle's public documentation, apart
// from the provider's own declarations, so that a misread constant shows up as a failing test.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "Sim.h"

namespace fake {

using ub1 = std::uint8_t;
using ub2 = std::uint16_t;
using sb2 = std::int16_t;
using ub4 = std::uint32_t;
using sb4 = std::int32_t;
using sword = int;
using text = unsigned char;

inline constexpr sword OCI_SUCCESS = 0;
inline constexpr sword OCI_SUCCESS_WITH_INFO = 1;
inline constexpr sword OCI_NO_DATA = 100;
inline constexpr sword OCI_ERROR = -1;
inline constexpr sword OCI_INVALID_HANDLE = -2;

inline constexpr ub4 OCI_DEFAULT = 0;

inline constexpr ub4 OCI_HTYPE_ENV = 1;
inline constexpr ub4 OCI_HTYPE_ERROR = 2;
inline constexpr ub4 OCI_HTYPE_SVCCTX = 3;
inline constexpr ub4 OCI_HTYPE_STMT = 4;
inline constexpr ub4 OCI_HTYPE_DEFINE = 6;
inline constexpr ub4 OCI_HTYPE_SERVER = 8;
inline constexpr ub4 OCI_HTYPE_SESSION = 9;

inline constexpr ub4 OCI_ATTR_SERVER = 6;
inline constexpr ub4 OCI_ATTR_SESSION = 7;
inline constexpr ub4 OCI_ATTR_USERNAME = 22;
inline constexpr ub4 OCI_ATTR_PASSWORD = 23;
inline constexpr ub4 OCI_ATTR_SERVER_STATUS = 143;
inline constexpr ub4 OCI_ATTR_CALL_TIMEOUT = 531;
inline constexpr ub4 OCI_CRED_RDBMS = 1;
inline constexpr ub4 OCI_CRED_EXT = 2;
inline constexpr ub4 OCI_SERVER_NOT_CONNECTED = 0;
inline constexpr ub4 OCI_SERVER_NORMAL = 1;

inline constexpr ub4 OCI_SYSDBA = 0x2;
inline constexpr ub4 OCI_SYSOPER = 0x4;
inline constexpr ub4 OCI_SYSBKP = 0x20000;
inline constexpr ub4 OCI_SYSDGD = 0x40000;
inline constexpr ub4 OCI_SYSKMT = 0x80000;

inline constexpr ub4 OCI_NTV_SYNTAX = 1;
inline constexpr ub2 OCI_FETCH_NEXT = 2;
inline constexpr ub4 OCI_ATTR_ROW_COUNT = 9;
inline constexpr ub4 OCI_ATTR_PREFETCH_ROWS = 11;
inline constexpr ub4 OCI_ATTR_STMT_TYPE = 24;

inline constexpr ub2 SQLT_INT = 3;
inline constexpr ub2 SQLT_STR = 5;

inline constexpr ub2 OCI_STMT_SELECT = 1;

struct ErrorRecord {
    sb4 code = 0;
    std::string text;
};

struct Handle {
    explicit Handle(ub4 t) : type(t) {}
    virtual ~Handle() = default;
    ub4 type;
};

struct Env : Handle {
    Env() : Handle(OCI_HTYPE_ENV) {}
    // Diagnostics of handle allocation and release, which have no error handle.
    ErrorRecord record;
};

struct Error : Handle {
    Error() : Handle(OCI_HTYPE_ERROR) {}
    ErrorRecord record;
};

struct Service;

struct Server : Handle {
    Server() : Handle(OCI_HTYPE_SERVER) {}
    bool attached = false;
    std::string link;  // the connect string, which names the scenario
    // The service context it serves, once OCIAttrSet named it.
    Service* service = nullptr;
    // A log-on failure planned for the session rather than for the attach.
    std::optional<int> logonFailure;
};

struct Session : Handle {
    Session() : Handle(OCI_HTYPE_SESSION) {}
    std::string user;
    std::string password;
};

struct Service : Handle {
    Service() : Handle(OCI_HTYPE_SVCCTX) {}
    std::unique_ptr<sim::Connection> connection;
    std::chrono::milliseconds callTimeout{0};
    // Set by OCIAttrSet.
    Server* server = nullptr;
    Session* session = nullptr;
};

struct Statement;

struct Define : Handle {
    Define() : Handle(OCI_HTYPE_DEFINE) {}
    Statement* statement = nullptr;
    ub4 position = 0;
    void* value = nullptr;
    sb4 size = 0;
    ub2 type = 0;
    sb2* indicators = nullptr;
    ub2* lengths = nullptr;
    ub2* codes = nullptr;
};

struct Statement : Handle {
    Statement() : Handle(OCI_HTYPE_STMT) {}
    Env* env = nullptr;
    bool prepared = false;
    std::string sql;
    ub2 statementType = 0;
    std::map<ub4, Define*> defines;
    // Set by the first execute on a service context.
    Service* service = nullptr;
    std::unique_ptr<sim::Cursor> cursor;
    bool fetchable = false;
    // Rows each round trip brings beyond those asked for; the client's default is one.
    ub4 prefetchRows = 1;
    // Rows that came with the last round trip and wait for the fetches; whether that round trip
    // came short, so that a fetch past them needs none.
    std::size_t buffered = 0;
    bool endKnown = false;
    std::size_t next = 0;
    ub4 rowCount = 0;
};

// Every live handle; an address not listed here is an invalid handle.
Handle* findHandle(const void* address, ub4 type);
template <typename T>
T* find(const void* address, ub4 type) {
    return static_cast<T*>(findHandle(address, type));
}
Handle* adopt(std::unique_ptr<Handle> handle);
void release(Handle* handle);
// Live handles of a type; of every type but environments for 0.
int liveHandles(ub4 type = 0);

// Statements that ran on a service context lose their cursor when it goes.
void detachStatements(Service& service);

// OCI_ERROR with code in the record; text is the standard message when empty.
sword fail(ErrorRecord& record, int code, std::string text = {});
// The message for code: the server's catalogue, or the client's own for its codes.
std::string messageFor(int code);

// A round trip of call: takes a planned failure, or a planned delay longer than the service's call
// time limit (ORA-03156), and counts the round trip when neither came. A lost-line code, and a
// time-out that the client's cleanup does not survive, leave the service's connection lost.
std::optional<int> roundTrip(sim::Call call, Service* service);
// Whether the next call of that kind was planned to find its handle invalid.
bool takeInvalidHandle(sim::Call call);

struct Written {
    int error = 0;  // the Oracle error number that fails the fetch
    bool truncated = false;
};

// Writes value into element of the define, as the array fetch of the define's type does.
Written writeValue(const Define& define, std::size_t element, const sim::Value& value);

}  // namespace fake

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

// The real library, in threaded mode, takes calls of several threads; the double serves them one
// at a time.
struct FakeCall {
    FakeCall() { lock().lock(); }
    ~FakeCall() { lock().unlock(); }
    FakeCall(const FakeCall&) = delete;
    FakeCall& operator=(const FakeCall&) = delete;
    static std::recursive_mutex& lock() {
        static std::recursive_mutex m;
        return m;
    }
};
