#pragma once
// The release of the server a connection reached, read once per log-on.

#include <string>

#include "Oci.h"

// Five numbers, 0 when unknown. From 18c on: release, release update, its revision, increment
// and extension (19.21.0.0.0); before: release, maintenance release, application server
// release, component and platform release (11.2.0.4.0).
struct ServerRelease {
    int major = 0;
    int minor = 0;
    int update = 0;
    int portRelease = 0;
    int portUpdate = 0;
    // The server's own text ("Oracle Database 19c Enterprise Edition Release ...").
    std::string banner;

    bool Known() const { return major != 0; }
};

// Decodes the number OCIServerRelease2 returns, as Oracle's own client layer does: the layout
// of 18c and later when the release number (bits 24 to 31) is 18 or more.
ServerRelease DecodeServerRelease(ub4 version);
