#pragma once
// The privilege a log-on asks for: an ordinary user's, or one of the administrative ones that
// DBAs log on with (SYS as SYSDBA).

#include <optional>
#include <string>
#include <string_view>

#include "Oci.h"

enum class ConnectAs { Normal, SysDba, SysOper, SysBackup, SysDg, SysKm };

// Every mode, in the order a list offers them.
inline constexpr ConnectAs kConnectAsModes[] = {ConnectAs::Normal,  ConnectAs::SysDba,
                                                ConnectAs::SysOper, ConnectAs::SysBackup,
                                                ConnectAs::SysDg,   ConnectAs::SysKm};

// "Normal", "SYSDBA", "SYSOPER", "SYSBACKUP", "SYSDG", "SYSKM".
const char* ConnectAsName(ConnectAs mode);
// The mode of a name, letter case ignored; none for a text that names no mode.
std::optional<ConnectAs> ConnectAsNamed(std::string_view name);
// olog's mode for the privilege.
ub4 OciLogonModeOf(ConnectAs mode);
// Takes SQL*Plus's " as sysdba" and the like, letter case ignored, off the end of logon; the mode
// it named, or none when logon does not end so (and is left as it was). "sys as sysdba" leaves
// "sys", "/ as sysdba" leaves "/".
std::optional<ConnectAs> TakeConnectAsSuffix(std::string& logon);
