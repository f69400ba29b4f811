#pragma once

#include "framework/data/DataPacket.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QJsonDocument>
#include <optional>
#include <utility>
#include <vector>

namespace pla {

// Finds, in a request body that is one JSON object, the elements of its "params" list that
// are objects, so that the packets among them can be read straight from their bytes instead
// of through a JSON document of the whole body. The scan trusts nothing it cannot see: a body
// that is not one object, whose keys hold escapes, that names "params" twice or that has
// anything but white space after its end is not split, and a split body is only worth its
// envelope if that envelope parses; the general reading answers everything else.
class RequestScanner {
public:
    struct Split {
        // The body with each object element of "params" written as {}.
        QByteArray envelope;
        // Index in "params" and bytes of each object element, in order.
        std::vector<std::pair<int, QByteArrayView>> objects;
    };
    // The split of `body`, or nothing when it has no object in "params" or is not in the form
    // above. `body` must outlive the split.
    static std::optional<Split> split(const QByteArray& body);

    // Packets of a request's params read from their bytes, by position in the params.
    using Packets = std::vector<std::optional<TDataPacket>>;
    struct Read {
        QJsonDocument envelope; // the request with each of those packets written as {}
        Packets packets;
    };
    // The request in `body` read that way: when it splits, every object in its params is a
    // packet the direct reader takes, and the envelope parses. Nothing otherwise, and the body
    // is to be read whole (and refused as a whole).
    static std::optional<Read> read(const QByteArray& body);
};

} // namespace pla
