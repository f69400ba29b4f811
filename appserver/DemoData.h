#pragma once

#include <QDate>
#include <QSqlDatabase>

namespace pla {

// Demonstration data for a central kitchen: three branches (one without transported
// services), five service groups, a dozen services with clients and delivery points, dishes
// with containers and capacities, and a menu for every day from a week before `today` to three
// weeks after. Branch 0002 packs collective dishes in the fewest pans and has packing rules
// (its lunch service 00001 packs each of its two delivery points differently), and that
// service's distributions of a week before `today` are stored. The same `today` always gives
// the same data.
class DemoData {
public:
    // Fills `db` when it holds no branch yet (the data in one transaction, then the stored
    // distributions); returns false (and changes nothing) when it already has data. Throws
    // pla::StorageError.
    static bool fill(const QSqlDatabase& db, const QDate& today);
    // The date of the stored distributions that fill() writes for `today`.
    static QDate copySourceDate(const QDate& today) { return today.addDays(-7); }
    // First and last menu dates that fill() writes for `today`.
    static QDate firstMenuDate(const QDate& today) { return today.addDays(-7); }
    static QDate lastMenuDate(const QDate& today) { return today.addDays(21); }
};

} // namespace pla
