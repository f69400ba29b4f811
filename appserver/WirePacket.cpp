#include "appserver/WirePacket.h"

namespace pla {

int WirePacket::indexOf(const QString& name) const {
    for (int i = 0; i < Fields.size(); ++i)
        if (Fields[i].Name == name) return i;
    return -1;
}

WirePacket& WirePacket::add(const QString& name, WireType type, int size) {
    Fields.push_back(WireField{name, type, size, true});
    return *this;
}

} // namespace pla
