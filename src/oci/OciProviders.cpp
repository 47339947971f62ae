#include "OciProviders.h"

#include <string_view>

#include "ClientProvider.h"
#include "SimProvider.h"

namespace OciProviders {

OciProvider* byTag(ub1 tag) {
    static SimProvider sim;
    static ClientProvider client;
    switch (tag) {
        case kSimTag:
            return &sim;
        case kClientTag:
            return &client;
        default:
            return nullptr;
    }
}

ub1 forHost(const std::string& host, std::string& connect) {
    constexpr std::string_view kSimPrefix = "sim:";
    if (host.starts_with(kSimPrefix)) {
        connect = host.substr(kSimPrefix.size());
        return kSimTag;
    }
    connect = host;
    return kClientTag;
}

}  // namespace OciProviders
