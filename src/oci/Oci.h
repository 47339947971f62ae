#pragma once
// The release-7 call set of the Oracle client library, as the database layer calls it.
// Every call returns 0 on success; on failure it returns non-zero and leaves the Oracle error
// number in the area's rc and the function code in its fc.

#include <cstdint>

using ub1 = std::uint8_t;
using sb1 = std::int8_t;
using ub2 = std::uint16_t;
using sb2 = std::int16_t;
using ub4 = std::uint32_t;
using sb4 = std::int32_t;
using sword = int;
using text = unsigned char;

// A logon or cursor data area: 64 bytes of which the caller reads rpc, fc and rc; the rest is
// the provider's private state. After a successful olog, a non-zero rc is the log-on's warning
// (ORA-28002 for a password about to expire), whose text oerhms gives.
struct OciArea {
    alignas(8) ub1 bytes[64];
};
using Lda_Def = OciArea;
using Cda_Def = OciArea;

// The host data area of a connection: the provider's state, zero before the first log-on.
struct HostDataArea {
    alignas(8) ub1 bytes[256];
};

inline constexpr int kAreaRpcOffset = 4;
inline constexpr int kAreaFcOffset = 10;
inline constexpr int kAreaRcOffset = 12;
// First byte of an area that a provider may use for its own state.
inline constexpr int kAreaPrivateOffset = 16;

ub4 areaRpc(const OciArea& area);
ub1 areaFc(const OciArea& area);
ub2 areaRc(const OciArea& area);
void setAreaRpc(OciArea& area, ub4 rpc);
void setAreaFc(OciArea& area, ub1 fc);
void setAreaRc(OciArea& area, ub2 rc);

// Function codes left in fc.
namespace OciFunction {
inline constexpr ub1 None = 0;  // log-on and log-off
inline constexpr ub1 Exec = 4;
inline constexpr ub1 Define = 8;
inline constexpr ub1 Fetch = 12;
inline constexpr ub1 Open = 14;
inline constexpr ub1 Close = 16;
inline constexpr ub1 Parse = 54;
inline constexpr ub1 ExecFetch = 56;
}  // namespace OciFunction

// External data types of odefin.
inline constexpr sword kExtInteger = 3;  // signed 32-bit integer
inline constexpr sword kExtString = 5;   // NUL-terminated string; length includes the NUL

// olog's mode: 0 logs on as an ordinary user; an administrative privilege is asked for with the
// value OCISessionBegin takes for it.
namespace OciLogonMode {
inline constexpr ub4 Normal = 0;
inline constexpr ub4 SysDba = 0x2;
inline constexpr ub4 SysOper = 0x4;
inline constexpr ub4 SysBackup = 0x20000;
inline constexpr ub4 SysDg = 0x40000;
inline constexpr ub4 SysKm = 0x80000;
inline constexpr ub4 Privileges = SysDba | SysOper | SysBackup | SysDg | SysKm;
}  // namespace OciLogonMode

sword olog(Lda_Def* lda, ub1* hda, const text* uid, sword uidl, const text* pswd, sword pswdl,
           const text* conn, sword connl, ub4 mode);
sword ologof(Lda_Def* lda);
sword oopen(Cda_Def* cursor, Lda_Def* lda, const text* dbn, sword dbnl, sword arsize,
            const text* uid, sword uidl);
sword oparse(Cda_Def* cursor, const text* sqlstm, sb4 sqllen, sword defflg, ub4 lngflg);
sword odefin(Cda_Def* cursor, sword pos, ub1* buf, sword bufl, sword ftype, sword scale, sb2* indp,
             const text* fmt, sword fmtl, sword fmtt, ub2* rlen, ub2* rcode);
sword oexec(Cda_Def* cursor);
sword ofetch(Cda_Def* cursor);
sword oexfet(Cda_Def* cursor, ub4 nrows, sword cancel, sword exact);
sword oclose(Cda_Def* cursor);
sword oerhms(Lda_Def* lda, sb2 rcode, text* buf, sword bufsiz);

// Not of the release-7 set: limits how long any later round trip of the connection may take
// (0 = no limit). Non-zero, with rc set, when the client library cannot limit it.
sword ocalltimeout(Lda_Def* lda, ub4 milliseconds);
// Not of the release-7 set: 0 when the client library still holds the connection as usable (a
// call it cut at the time limit may have left it so); non-zero with rc set when it is gone. No
// round trip.
sword ocheckconn(Lda_Def* lda);
// Not of the release-7 set: the server's release as read once at the log-on, encoded as
// OCIServerRelease2 returns it; 0 when unknown. banner gets the server's release text,
// NUL-terminated within bufsiz bytes.
sword oserverrelease(Lda_Def* lda, ub4* version, text* banner, sword bufsiz);
