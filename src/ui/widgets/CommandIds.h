#pragma once
// Command ids, kept as the original resources number them; every QAction carries its id as data.

namespace CommandId {
inline constexpr int Refresh = 3;  // View > Refresh, Ctrl+R
inline constexpr int Connect = 32772;
inline constexpr int RefreshToolbar = 32774;
inline constexpr int Options = 32778;
inline constexpr int KillSession = 32779;
inline constexpr int Properties = 32780;
inline constexpr int Filter = 32781;
inline constexpr int HideIdle = 32782;
inline constexpr int ServerOrder = 32783;
inline constexpr int Columns = 32784;
inline constexpr int Export = 32785;
inline constexpr int KillImmediately = 32786;
inline constexpr int Disconnect = 32787;
inline constexpr int CancelSql = 32788;
inline constexpr int BlockingSessions = 32789;
inline constexpr int Activity = 32790;
inline constexpr int FileNew = 57600;
inline constexpr int FileOpen = 57601;
inline constexpr int Print = 57608;
inline constexpr int Copy = 57634;
inline constexpr int Cut = 57635;
inline constexpr int Paste = 57637;
inline constexpr int Undo = 57643;
inline constexpr int About = 57664;
inline constexpr int Exit = 57665;
inline constexpr int NextPane = 57680;
inline constexpr int PreviousPane = 57681;
inline constexpr int ViewToolbar = 59392;
inline constexpr int ViewStatusBar = 59393;
}  // namespace CommandId

// The refresh timer's event id.
inline constexpr int kRefreshTimerEvent = 10010;
