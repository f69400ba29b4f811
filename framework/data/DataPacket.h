#pragma once

#include "framework/data/FieldTypes.h"

#include <QString>
#include <QVariant>
#include <QVector>

// One column of a data packet. Typed is false when the packet named the field without a type;
// Type then is only a guess from the values, and the receiving data set's own type wins.
struct TPacketField {
    QString Name{};
    TFieldType Type = TFieldType::String;
    int Size = 0;
    bool Typed = true;
};

// The content of a data set as it travels: column definitions and rows of values in column
// order. Values are QString, double, int or QDate; null is an invalid QVariant.
struct TDataPacket {
    QVector<TPacketField> Fields{};
    QVector<QVector<QVariant>> Rows{};

    // Position of the first field named exactly name (case counts), -1 when there is none.
    int IndexOf(const QString& name) const;
};
