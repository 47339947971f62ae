#include "AreaBinding.h"

#include <cstring>

namespace {

// Marks bytes written by bindArea, so that zeroed or stray bytes never pass for a binding.
constexpr ub4 kMagic = 0x4E6D4F37;
constexpr int kMagicOffset = 0;
constexpr int kTagOffset = 4;
constexpr int kIdOffset = 8;
constexpr int kBindingSize = 12;

void writeBinding(ub1* bytes, AreaBinding binding) {
    std::memcpy(bytes + kMagicOffset, &kMagic, sizeof kMagic);
    std::memcpy(bytes + kTagOffset, &binding.tag, sizeof binding.tag);
    std::memcpy(bytes + kIdOffset, &binding.id, sizeof binding.id);
}

}  // namespace

static_assert(kAreaPrivateOffset + kBindingSize <= int(sizeof(OciArea)));

std::optional<AreaBinding> areaBinding(const OciArea& area) {
    const ub1* bytes = area.bytes + kAreaPrivateOffset;
    ub4 magic = 0;
    AreaBinding binding;
    std::memcpy(&magic, bytes + kMagicOffset, sizeof magic);
    std::memcpy(&binding.tag, bytes + kTagOffset, sizeof binding.tag);
    std::memcpy(&binding.id, bytes + kIdOffset, sizeof binding.id);
    if (magic != kMagic || binding.tag == 0 || binding.id == 0) {
        return std::nullopt;
    }
    return binding;
}

void bindArea(OciArea& area, AreaBinding binding) {
    writeBinding(area.bytes + kAreaPrivateOffset, binding);
}

void unbindArea(OciArea& area) {
    std::memset(area.bytes + kAreaPrivateOffset, 0, kBindingSize);
}

void bindHostArea(ub1* hda, AreaBinding binding) {
    writeBinding(hda, binding);
}
