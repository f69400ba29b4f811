#pragma once

#include "appserver/WirePacket.h"

#include <QByteArray>
#include <QJsonValue>

namespace pla {

// Converts wire packets to and from their JSON form
// {"fields":[{"name":..,"type":..,"size":..}|"NAME",...],"rows":[[...],...]}.
// Kept apart so that it can later be replaced by the shared packet codec.
class PacketJson {
public:
    // The JSON form of `packet`; strings carry their size, null stays null.
    static QJsonValue toJson(const WirePacket& packet);
    // Reads a packet; throws pla::Refusal with a Portuguese message naming the fault when
    // the value is not a well-formed packet (unknown type, row width, value of the wrong kind).
    static WirePacket fromJson(const QJsonValue& value);
};

} // namespace pla
