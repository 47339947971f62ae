#include <string>

#include "Sim.h"

namespace sim {

namespace {

// From 23ai the last number is a month and keeps two digits: 23.5.0.24.07.
std::string dotted(const Release& r) {
    const std::string last = std::to_string(r.fifth);
    return std::to_string(r.major) + '.' + std::to_string(r.second) + '.' +
           std::to_string(r.third) + '.' + std::to_string(r.fourth) + '.' +
           (r.major >= 23 && last.size() < 2 ? '0' + last : last);
}

std::uint32_t bits(int value, int width, int shift) {
    return (static_cast<std::uint32_t>(value) & ((1u << width) - 1)) << shift;
}

// From 18c the release number packs release update, revision, increment and extension;
// before it maintenance, application server, component and platform release.
std::uint32_t versionNumber(const Release& r) {
    if (r.major >= 18) {
        return bits(r.major, 8, 24) | bits(r.second, 8, 16) | bits(r.third, 4, 12) |
               bits(r.fourth, 8, 4) | bits(r.fifth, 4, 0);
    }
    return bits(r.major, 8, 24) | bits(r.second, 4, 20) | bits(r.third, 8, 12) |
           bits(r.fourth, 4, 8) | bits(r.fifth, 8, 0);
}

// The marketing letter of each generation: 8i, 9i, 10g, 11g, 12c ... 21c, 23ai.
std::string generation(const Release& r) {
    const std::string number = std::to_string(r.major);
    if (r.major >= 23)
        return number + (r.major == 23 && r.second < 4 ? "c" : "ai");
    if (r.major >= 12)
        return number + "c";
    if (r.major >= 10)
        return number + "g";
    return number + (r.major == 9 || r.second >= 1 ? "i" : "");
}

}  // namespace

ServerRelease serverRelease(const Release& release) {
    ServerRelease result;
    result.version = versionNumber(release);
    const std::string edition = " Enterprise Edition Release ";
    if (release.major >= 18) {
        result.banner = "Oracle Database " + generation(release) + edition +
                        std::to_string(release.major) + ".0.0.0.0 - Production\nVersion " +
                        dotted(release);
    } else if (release.major >= 10) {
        result.banner = "Oracle Database " + generation(release) + edition + dotted(release) +
                        " - 64bit Production";
    } else {
        result.banner = "Oracle" + generation(release) + edition + dotted(release) +
                        (release.major >= 9 ? " - 64bit Production" : " - Production");
    }
    return result;
}

}  // namespace sim
