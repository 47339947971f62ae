#pragma once
// What the window says about the connection and the list it shows.

#include <QString>
#include <cstddef>

// "SYSTEM@sim:demo" for the open connection: the user name as Oracle spells it, never the
// password; on a cluster "SYSTEM@sim:rac - cluster RAC, instance rac1 (1)" once its sessions
// have been read; empty while logged off.
QString ConnectionTitle();
// What the status bar says after a refresh: "61 sessions", "1 session".
QString SessionCountText(std::size_t sessions);
// What the status bar says once the connection has been lost.
QString ConnectionLostText();
// What the status bar says while nobody is logged on.
QString NotConnectedText();
