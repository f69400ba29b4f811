#pragma once

#include "framework/data/DataPacket.h"

#include <QByteArray>
#include <QString>

// Writes packets as compact JSON text directly, byte for byte what QJsonDocument writes for
// PacketCodec::ToJson, without building the JSON tree first: answers carry hundreds of rows,
// and the tree costs more than the rest of reading them.
class PacketWriter {
public:
    // Appends the JSON of p to out. A packet the tree's encoder refuses (a row of the wrong
    // length, a non-finite number, an invalid date) is refused the same way, with its error.
    static void Append(const TDataPacket& p, QByteArray& out);
    // Appends s as a JSON string, escaped as QJsonDocument escapes it.
    static void AppendString(const QString& s, QByteArray& out);
    // Appends d as a JSON number as QJsonDocument writes it: integral values up to 2^53 as
    // integers, others in the shortest form that reads back the same.
    static void AppendNumber(double d, QByteArray& out);
    // Writes d as AppendNumber does into room for kMaxNumberBytes at `out`; returns its end.
    static char* WriteNumber(double d, char* out);
    static constexpr qsizetype kMaxNumberBytes = 32;

private:
    // False, leaving out as it was, for a packet only the tree's encoder may describe.
    static bool TryAppend(const TDataPacket& p, QByteArray& out);
};
