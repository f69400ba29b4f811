#pragma once

#include "framework/data/FilterNode.h"

#include <QString>
#include <memory>

namespace pla {

// Turns filter text into a syntax tree. The language: field names, numbers (a leading minus
// and a decimal point allowed), texts in single quotes ('' inside is one quote) or double
// quotes, the comparisons = <> < > <= >=, AND, OR, NOT (any letter case) and parentheses.
class FilterParser {
public:
    // The tree of text. Throws EDatabaseError quoting text for anything that is not a whole,
    // well-formed boolean expression.
    static std::unique_ptr<FilterNode> Parse(const QString& text);
};

} // namespace pla
