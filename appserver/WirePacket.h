#pragma once

#include <QString>
#include <QVariant>
#include <QVector>

namespace pla {

// Column type of a wire packet; mirrors the client dataset field types.
enum class WireType { String, Float, Integer, Date };

// One column of a wire packet. `Typed` is false when the sender gave a bare name.
struct WireField {
    QString Name;
    WireType Type = WireType::String;
    int Size = 0;
    bool Typed = true;
};

// The content of a dataset as it travels: columns and rows of values (null = invalid QVariant,
// numbers as double, texts and dates as QString "YYYY-MM-DD").
struct WirePacket {
    QVector<WireField> Fields;
    QVector<QVector<QVariant>> Rows;

    // Index of the column `name` (case-sensitive), -1 when absent.
    int indexOf(const QString& name) const;
    // Appends a column definition; returns *this for chaining.
    WirePacket& add(const QString& name, WireType type, int size = 0);
};

} // namespace pla
