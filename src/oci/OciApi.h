#pragma once
// The part of the Oracle Call Interface's handle API that ClientProvider calls, declared here
// from Oracle's public documentation: the client library is loaded at run time, never built
// against.

#include <cstddef>

#include "Oci.h"

namespace oci {

// Return codes.
inline constexpr sword Success = 0;
inline constexpr sword SuccessWithInfo = 1;
inline constexpr sword NoData = 100;
inline constexpr sword Error = -1;
inline constexpr sword InvalidHandle = -2;

inline constexpr ub4 Default = 0;
inline constexpr ub4 Threaded = 0x1;  // OCI_THREADED: handles of several threads

// Handle types.
inline constexpr ub4 HtypeEnv = 1;
inline constexpr ub4 HtypeError = 2;
inline constexpr ub4 HtypeSvcctx = 3;
inline constexpr ub4 HtypeStmt = 4;
inline constexpr ub4 HtypeServer = 8;
inline constexpr ub4 HtypeSession = 9;

// Service context and session attributes, and the credentials of a session: a user name and
// password, or a wallet or the operating system vouching for the user.
inline constexpr ub4 AttrServer = 6;
inline constexpr ub4 AttrSession = 7;
inline constexpr ub4 AttrUsername = 22;
inline constexpr ub4 AttrPassword = 23;
inline constexpr ub4 AttrCallTimeout = 531;
inline constexpr ub4 CredRdbms = 1;
inline constexpr ub4 CredExt = 2;
// The first client release that knows the call timeout and OCIServerRelease2.
inline constexpr int CallTimeoutRelease = 18;

// The server handle's status: whether the client still holds the connection as usable.
inline constexpr ub4 AttrServerStatus = 143;
inline constexpr ub4 ServerNormal = 1;

inline constexpr ub4 NtvSyntax = 1;
inline constexpr ub2 FetchNext = 2;
inline constexpr ub4 AttrRowCount = 9;
inline constexpr ub4 AttrPrefetchRows = 11;
inline constexpr ub4 AttrStmtType = 24;
inline constexpr ub2 StmtSelect = 1;

inline constexpr ub2 SqltInt = 3;
inline constexpr ub2 SqltStr = 5;
inline constexpr ub2 CharsetAl32Utf8 = 873;

inline bool succeeded(sword status) {
    return status == Success || status == SuccessWithInfo;
}

// The library's data type for a release-7 external type of odefin.
inline ub2 externalType(sword type) {
    return type == kExtInteger ? SqltInt : SqltStr;
}

// The classic maximum length of an error text.
inline constexpr std::size_t ErrorTextSize = 1024;

using EnvNlsCreate = sword (*)(void** env, ub4 mode, void* context,
                               void* (*allocate)(void*, std::size_t),
                               void* (*reallocate)(void*, void*, std::size_t),
                               void (*release)(void*, void*), std::size_t extraMemory,
                               void** userMemory, ub2 charset, ub2 ncharset);
using HandleAlloc = sword (*)(const void* parent, void** handle, ub4 type, std::size_t extraMemory,
                              void** userMemory);
using HandleFree = sword (*)(void* handle, ub4 type);
using ErrorGet = sword (*)(void* handle, ub4 record, text* sqlstate, sb4* code, text* buffer,
                           ub4 size, ub4 type);
using StmtPrepare = sword (*)(void* statement, void* error, const text* sql, ub4 length,
                              ub4 language, ub4 mode);
using DefineByPos = sword (*)(void* statement, void** define, void* error, ub4 position,
                              void* value, sb4 valueSize, ub2 type, void* indicators, ub2* lengths,
                              ub2* codes, ub4 mode);
using StmtExecute = sword (*)(void* service, void* statement, void* error, ub4 iters, ub4 rowOffset,
                              const void* snapshotIn, void* snapshotOut, ub4 mode);
using StmtFetch2 = sword (*)(void* statement, void* error, ub4 rows, ub2 orientation, sb4 offset,
                             ub4 mode);
using AttrGet = sword (*)(const void* handle, ub4 type, void* value, ub4* size, ub4 attribute,
                          void* error);
using AttrSet = sword (*)(void* handle, ub4 type, void* value, ub4 size, ub4 attribute,
                          void* error);
using ClientVersion = void (*)(sword* major, sword* minor, sword* update, sword* patch,
                               sword* portUpdate);
using ServerAttach = sword (*)(void* server, void* error, const text* link, sb4 linkLength,
                               ub4 mode);
using ServerDetach = sword (*)(void* server, void* error, ub4 mode);
using SessionBegin = sword (*)(void* service, void* error, void* session, ub4 credentials,
                               ub4 mode);
using SessionEnd = sword (*)(void* service, void* error, void* session, ub4 mode);
using ServerRelease = sword (*)(void* handle, void* error, text* buffer, ub4 size, ub1 type,
                                ub4* version);
using ServerRelease2 = sword (*)(void* handle, void* error, text* buffer, ub4 size, ub1 type,
                                 ub4* version, ub4 mode);

// The entry points, resolved from one loaded library.
struct Api {
    EnvNlsCreate envNlsCreate = nullptr;
    HandleAlloc handleAlloc = nullptr;
    HandleFree handleFree = nullptr;
    ErrorGet errorGet = nullptr;
    StmtPrepare stmtPrepare = nullptr;
    DefineByPos defineByPos = nullptr;
    StmtExecute stmtExecute = nullptr;
    StmtFetch2 stmtFetch2 = nullptr;
    AttrGet attrGet = nullptr;
    AttrSet attrSet = nullptr;
    ServerAttach serverAttach = nullptr;
    ServerDetach serverDetach = nullptr;
    SessionBegin sessionBegin = nullptr;
    SessionEnd sessionEnd = nullptr;
    ServerRelease serverRelease = nullptr;
    // Null in a library older than release 18.
    ServerRelease2 serverRelease2 = nullptr;
    // Null in a library too old to tell its release.
    ClientVersion clientVersion = nullptr;
};

}  // namespace oci
