#pragma once

#include <QString>
#include <QVariantList>

namespace pla {

class ImportContext;

// What a packing rule of an import must meet beyond its own row: its dish is a dish of the
// branch (its own recipes or those of its central branch), and its container has a capacity for
// that dish, so that a generated packaging can count its units.
class PackingRuleCheck {
public:
    // The reason the rule `values` (per column, as stored) is refused, with `column` set to the
    // cell at fault; empty when it is accepted. The branches, dishes and capacities must be
    // known to `context`.
    static QString problem(ImportContext& context, const QVariantList& values, int& column);
};

} // namespace pla
