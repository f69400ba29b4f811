#pragma once

#include "framework/data/DataPacket.h"

#include <QByteArray>
#include <QJsonValue>

// Converts data packets to and from their JSON wire form:
//   {"fields":[{"name":"CDFILIAL","type":"string","size":4},"QTPRATO"],"rows":[["0001",2.5]]}
// Types are "string" (with "size"), "float", "integer" and "date"; dates travel as
// "YYYY-MM-DD", numbers as JSON numbers, null as null. Decoding is strict: any malformed
// input raises EDatabaseError and yields nothing.
class PacketCodec {
public:
    // Largest body Decode and ParseJson accept.
    static constexpr qsizetype MaxBytes = qsizetype(64) * 1024 * 1024;
    // Deepest nesting of arrays and objects Decode and ParseJson accept.
    static constexpr int MaxDepth = 64;

    // The JSON form of p. Throws EDatabaseError for a value that JSON cannot carry (a
    // non-finite number, a value of the wrong kind for its column).
    static QJsonValue ToJson(const TDataPacket& p);
    // The packet carried by v. Throws EDatabaseError when v is not an object, "fields" is not a
    // list of names or field objects, "rows" is not a list of lists, a row has the wrong
    // length, a value has the wrong type for its field, or nesting exceeds MaxDepth.
    static TDataPacket FromJson(const QJsonValue& v);
    // Throws EDatabaseError naming the first field that p names twice (case counts). For readers
    // that address columns by name, where a second column of the same name would go unseen.
    static void RequireDistinctNames(const TDataPacket& p);
    // Compact JSON bytes of p.
    static QByteArray Encode(const TDataPacket& p);
    // The packet in bytes, refusing bodies larger than MaxBytes and malformed JSON.
    static TDataPacket Decode(const QByteArray& bytes);
    // The packet in bytes read only the general way, through a JSON document: what Decode
    // answers whenever its direct reading declines. For checks that compare the two readings.
    static TDataPacket DecodeGeneral(const QByteArray& bytes);
    // Parses any JSON document with the same size and depth limits (for bodies that carry
    // packets inside other values). Throws EDatabaseError on malformed input.
    static QJsonValue ParseJson(const QByteArray& bytes);
    // Nesting depth of v (a scalar is 0, an empty array 1), counting no deeper than limit + 1.
    static int Depth(const QJsonValue& v, int limit = MaxDepth);
    // The wire name of a field type ("string", "float", "integer", "date").
    static QString TypeName(TFieldType t);
};
