#include "ServerRelease.h"

namespace {
int bits(ub4 version, int shift, ub4 mask) {
    return static_cast<int>((version >> shift) & mask);
}
}  // namespace

ServerRelease DecodeServerRelease(ub4 version) {
    ServerRelease release;
    release.major = bits(version, 24, 0xFF);
    if (release.major >= 18) {
        release.minor = bits(version, 16, 0xFF);
        release.update = bits(version, 12, 0x0F);
        release.portRelease = bits(version, 4, 0xFF);
        release.portUpdate = bits(version, 0, 0x0F);
    } else {
        release.minor = bits(version, 20, 0x0F);
        release.update = bits(version, 12, 0xFF);
        release.portRelease = bits(version, 8, 0x0F);
        release.portUpdate = bits(version, 0, 0xFF);
    }
    return release;
}
