#pragma once

#include "appserver/storage/DistributionModel.h"
#include "framework/data/DataPacket.h"

namespace pla {

// Turns distributions into the four wire packets of a distribution load, and reads the three
// packets of a save back into records, refusing malformed ones with a message.
class DistributionPackets {
public:
    // The header packet: one row for `d`, none when `d` is null (the fields are always there).
    static TDataPacket header(const Distribution* d);
    // Undistributed dishes in menu order.
    static TDataPacket undistributed(const Distribution& d);
    // Packagings in the order held.
    static TDataPacket packagings(const Distribution& d);
    // Dish rows, with code, name and unit of the dish taken from the undistributed rows.
    static TDataPacket rows(const Distribution& d);
    // Appends the four packets of a load, comma-separated, byte for byte as PacketWriter writes
    // header(), undistributed(), packagings() and rows(), straight from the records: the
    // packets' own rows of QVariant cost as much as reading the distribution.
    static void appendLoad(const Distribution* header, const Distribution& d, QByteArray& out);

    // Reads the undistributed dishes of a save; throws pla::Refusal naming the dish or field
    // (missing field, text too long, missing dish number).
    static QVector<UndistributedRow> readUndistributed(const TDataPacket& p);
    // Reads the packagings of a save; throws pla::Refusal naming the packaging or field.
    static QVector<Packaging> readPackagings(const TDataPacket& p);
    // Reads the dish rows of a save; throws pla::Refusal naming the dish row or field.
    static QVector<DishRow> readRows(const TDataPacket& p);
    // Branch and service codes of the ticked rows (IDMARCADO "S") of a branch generation;
    // throws pla::Refusal naming the row or field.
    static QVector<QPair<QString, QString>> readTickedServices(const TDataPacket& p);
};

} // namespace pla
