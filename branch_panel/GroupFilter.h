#pragma once

#include <QString>

namespace pla {

// Filter texts of the branch generation list. Values are always quoted, with a quote inside
// a value doubled, so any group code selects exactly its own rows.
class GroupFilter {
public:
    // "CDGRUPSERV = '<code>'": the services of one group.
    static QString For(const QString& groupCode);
    // The rows of listFilter (every row when it is empty) whose IDMARCADO equals tick.
    static QString WithTick(const QString& listFilter, const QString& tick);
};

} // namespace pla
