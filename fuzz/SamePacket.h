#pragma once

#include "framework/data/DataPacket.h"

#include <QVariant>
#include <cstring>

namespace pla::fuzz {

// Values equal in kind and bits: 0.0 and -0.0, or an int and the same double, are different
// answers from a reader.
inline bool sameValue(const QVariant& a, const QVariant& b) {
    if (a.isValid() != b.isValid() || a.typeId() != b.typeId()) return false;
    if (!a.isValid()) return true;
    if (a.typeId() == QMetaType::Double) {
        const double x = a.toDouble(), y = b.toDouble();
        return std::memcmp(&x, &y, sizeof x) == 0;
    }
    return a == b;
}

// Equal packets; sizes compared only where the wire carries them (typed fields).
inline bool samePacket(const TDataPacket& a, const TDataPacket& b) {
    if (a.Fields.size() != b.Fields.size() || a.Rows.size() != b.Rows.size()) return false;
    for (int i = 0; i < a.Fields.size(); ++i) {
        const TPacketField &x = a.Fields[i], &y = b.Fields[i];
        if (x.Name != y.Name || x.Type != y.Type || x.Typed != y.Typed) return false;
        if (x.Typed && x.Size != y.Size) return false;
    }
    for (int r = 0; r < a.Rows.size(); ++r) {
        if (a.Rows[r].size() != b.Rows[r].size()) return false;
        for (int c = 0; c < a.Rows[r].size(); ++c)
            if (!sameValue(a.Rows[r][c], b.Rows[r][c])) return false;
    }
    return true;
}

} // namespace pla::fuzz
