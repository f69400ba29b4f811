#pragma once

#include "appserver/DistributionModel.h"
#include "appserver/WirePacket.h"

namespace pla {

// Turns distributions into the four wire packets of a distribution load, and reads the three
// packets of a save back into records, refusing malformed ones with a message.
class DistributionPackets {
public:
    // The header packet: one row for `d`, none when `d` is null (the fields are always there).
    static WirePacket header(const Distribution* d);
    // Undistributed dishes in menu order.
    static WirePacket undistributed(const Distribution& d);
    // Packagings in the order held.
    static WirePacket packagings(const Distribution& d);
    // Dish rows, with code, name and unit of the dish taken from the undistributed rows.
    static WirePacket rows(const Distribution& d);

    // Reads the undistributed dishes of a save; throws pla::Refusal naming the dish or field
    // (missing field, text too long, missing dish number).
    static QVector<UndistributedRow> readUndistributed(const WirePacket& p);
    // Reads the packagings of a save; throws pla::Refusal naming the packaging or field.
    static QVector<Packaging> readPackagings(const WirePacket& p);
    // Reads the dish rows of a save; throws pla::Refusal naming the dish row or field.
    static QVector<DishRow> readRows(const WirePacket& p);
};

} // namespace pla
