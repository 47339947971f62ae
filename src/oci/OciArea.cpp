#include <cstring>

#include "Oci.h"

namespace {

template <typename T>
T read(const OciArea& area, int offset) {
    T value;
    std::memcpy(&value, area.bytes + offset, sizeof value);
    return value;
}

template <typename T>
void write(OciArea& area, int offset, T value) {
    std::memcpy(area.bytes + offset, &value, sizeof value);
}

}  // namespace

ub4 areaRpc(const OciArea& area) {
    return read<ub4>(area, kAreaRpcOffset);
}
ub1 areaFc(const OciArea& area) {
    return read<ub1>(area, kAreaFcOffset);
}
ub2 areaRc(const OciArea& area) {
    return read<ub2>(area, kAreaRcOffset);
}
void setAreaRpc(OciArea& area, ub4 rpc) {
    write(area, kAreaRpcOffset, rpc);
}
void setAreaFc(OciArea& area, ub1 fc) {
    write(area, kAreaFcOffset, fc);
}
void setAreaRc(OciArea& area, ub2 rc) {
    write(area, kAreaRcOffset, rc);
}
