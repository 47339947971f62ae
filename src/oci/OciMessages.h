#pragma once
// Oracle error numbers the client library raises itself, and the texts oerhms gives.

#include <string>

namespace OraCode {
inline constexpr int InvalidCursor = 1001;
inline constexpr int FetchOutOfSequence = 1002;
inline constexpr int NotInSelectList = 1007;
inline constexpr int NotLoggedOn = 1012;
inline constexpr int NoData = 1403;
inline constexpr int NullWithoutIndicator = 1405;
inline constexpr int Truncated = 1406;
inline constexpr int TooManyRows = 1422;
inline constexpr int IntegerOverflow = 1455;
inline constexpr int UnsupportedConversion = 1460;
inline constexpr int InvalidNumber = 1722;
inline constexpr int NotConnected = 3114;
inline constexpr int NoInterfaceDriver = 3121;
inline constexpr int IllegalAttribute = 24315;
}  // namespace OraCode

// "ORA-01001: invalid cursor" and the like, for any error number.
std::string oracleMessage(int code);
