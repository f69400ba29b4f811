#pragma once

#include <QDate>
#include <QSqlDatabase>

namespace pla {

// Demonstration data for a central kitchen: three branches (one without transported
// services), five service groups, a dozen services with clients and delivery points, dishes
// with containers and capacities, and a menu for every day from a week before `today` to three
// weeks after. The same `today` always gives the same data.
class DemoData {
public:
    // Fills `db` in one transaction when it holds no branch yet; returns false (and changes
    // nothing) when it already has data. Throws pla::StorageError.
    static bool fill(const QSqlDatabase& db, const QDate& today);
    // First and last menu dates that fill() writes for `today`.
    static QDate firstMenuDate(const QDate& today) { return today.addDays(-7); }
    static QDate lastMenuDate(const QDate& today) { return today.addDays(21); }
};

} // namespace pla
