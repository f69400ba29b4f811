#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace pla {

// Which units of a packaging to reprint, as the user types them: one unit ("2"), a range
// ("1-3"), or nothing for all of them.
class UnitRange {
public:
    // The units `text` names among a packaging's `count` labels, in order; nullopt with a
    // message in `error` that says what was wrong and what is accepted.
    static std::optional<QList<int>> Parse(const QString& text, int count, QString& error);
    // The units written back the way they are typed: "2", "1-3".
    static QString Text(const QList<int>& units);
};

} // namespace pla
