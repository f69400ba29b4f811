// Packet bytes from the network: the direct reader and the general decoder must agree, the
// direct writer must write what the JSON document writes, and a refusal is an EDatabaseError
// with a message, never another exception or a partial packet.
#include "framework/data/DatabaseError.h"
#include "framework/data/PacketCodec.h"
#include "framework/data/PacketScanner.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/SamePacket.h"

#include <QDate>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <optional>

using pla::fuzz::require;
using pla::fuzz::samePacket;

namespace {

QString describe(const TDataPacket& p) {
    try {
        return QString::fromUtf8(PacketCodec::Encode(p));
    } catch (const EDatabaseError& e) {
        return e.Message();
    }
}

// What a returned packet promises: named fields, whole rows, each value null or of its
// field's type.
void requireWellFormed(const TDataPacket& p) {
    for (const TPacketField& f : p.Fields)
        require(!f.Name.isEmpty(), "every field has a name");
    for (const QVector<QVariant>& row : p.Rows) {
        require(row.size() == p.Fields.size(), "every row has one value per field");
        for (int c = 0; c < row.size(); ++c) {
            const QVariant& v = row[c];
            if (!v.isValid()) continue;
            int expected = QMetaType::QString;
            switch (p.Fields[c].Type) {
            case TFieldType::String:
                expected = QMetaType::QString;
                break;
            case TFieldType::Float:
                expected = QMetaType::Double;
                require(std::isfinite(v.toDouble()), "numbers are finite");
                break;
            case TFieldType::Integer:
                expected = QMetaType::Int;
                break;
            case TFieldType::Date:
                expected = QMetaType::QDate;
                require(v.toDate().isValid(), "dates are valid");
                break;
            }
            require(v.typeId() == expected, "each value has its field's type", p.Fields[c].Name);
        }
    }
}

std::optional<TDataPacket> decodeGeneral(const QByteArray& bytes) {
    try {
        return PacketCodec::DecodeGeneral(bytes);
    } catch (const EDatabaseError& e) {
        require(!e.Message().isEmpty(), "a refusal has a message");
        return std::nullopt;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<TDataPacket> fast = pla::PacketScanner::TryRead(bytes);
    const std::optional<TDataPacket> general = decodeGeneral(bytes);
    if (fast) {
        require(general.has_value(),
                "the direct reader accepts only what the general decoder accepts");
        require(samePacket(*fast, *general), "both readers give the same packet",
                describe(*fast) + QStringLiteral("\n  ") + describe(*general));
    }
    if (!general) return 0;
    requireWellFormed(*general);
    // What was read is written back and read again as the same packet, by either reader.
    QByteArray encoded;
    try {
        encoded = PacketCodec::Encode(*general);
    } catch (const EDatabaseError& e) {
        pla::fuzz::breach("a decoded packet can be encoded", e.Message());
    }
    // The direct writer writes what the JSON document writes, byte for byte.
    const QByteArray tree =
        QJsonDocument(PacketCodec::ToJson(*general).toObject()).toJson(QJsonDocument::Compact);
    require(encoded == tree, "the direct writer writes what the JSON document writes",
            QString::fromUtf8(encoded) + QStringLiteral("\n  ") + QString::fromUtf8(tree));
    try {
        const TDataPacket again = PacketCodec::Decode(encoded);
        require(samePacket(again, *general), "encoding and decoding gives the same packet",
                QString::fromUtf8(encoded));
    } catch (const EDatabaseError& e) {
        pla::fuzz::breach("an encoded packet decodes",
                          e.Message() + QStringLiteral("\n  ") + QString::fromUtf8(encoded));
    }
    return 0;
}
