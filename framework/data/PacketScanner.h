#pragma once

#include "framework/data/DataPacket.h"

#include <QByteArrayView>
#include <optional>

namespace pla {

// Reads the common form of a data packet straight from its JSON bytes, without building a
// JSON document first: an object holding "fields" (objects with "name", "type" and optionally
// "size") followed by "rows" (lists of null, numbers and texts that fit their columns).
// Anything else (bare field names, other members, a value of the wrong kind, a \u escape,
// malformed JSON) makes it decline without judging, so that the general decoder reads the
// bytes and gives its own refusal. A packet it does return is the very packet the general
// decoder would return for the same bytes.
class PacketScanner {
public:
    // The packet in bytes, or nothing when the bytes are not in the form read here.
    static std::optional<TDataPacket> TryRead(QByteArrayView bytes);
};

} // namespace pla
