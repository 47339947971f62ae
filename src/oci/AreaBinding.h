#pragma once
// Which provider serves an area and which of its handles the area stands for, kept in the
// area's private bytes. A handle id, not a pointer: a stale or forged area can only name an
// id the provider no longer knows.

#include <optional>

#include "Oci.h"

struct AreaBinding {
    ub1 tag = 0;
    ub4 id = 0;
};

// nullopt for an area no log-on or oopen has bound (zeroed or foreign bytes).
std::optional<AreaBinding> areaBinding(const OciArea& area);
void bindArea(OciArea& area, AreaBinding binding);
void unbindArea(OciArea& area);
// hda is the 256 bytes of a HostDataArea.
void bindHostArea(ub1* hda, AreaBinding binding);
