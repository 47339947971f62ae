#pragma once
// The providers of this build, each known by the tag that the areas it serves carry.

#include <string>

#include "OciProvider.h"

namespace OciProviders {

inline constexpr ub1 kSimTag = 1;
inline constexpr ub1 kClientTag = 2;

// The provider for tag; null for a tag no provider has.
OciProvider* byTag(ub1 tag);
// The tag of the provider for a host string; connect gets what that provider is to log on to.
ub1 forHost(const std::string& host, std::string& connect);

}  // namespace OciProviders
