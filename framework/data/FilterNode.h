#pragma once

#include "framework/data/FieldTypes.h"

#include <QDate>
#include <QString>
#include <memory>

namespace pla {

// One node of a parsed filter expression. Parsing fills the syntax; binding to a data set
// fills the column references and converts literals to the type they are compared with.
struct FilterNode {
    enum class Kind { And, Or, Not, Compare, Field, Number, String };
    enum class Op { Eq, Ne, Lt, Gt, Le, Ge };
    enum class Mode { Numeric, Text, Date };

    Kind kind = Kind::Number;
    Op op = Op::Eq;
    std::unique_ptr<FilterNode> left, right;
    QString text;      // field name, string literal, or a number as written
    double number = 0; // number literal
    int position = 0;  // where the node starts in the filter text (0-based)

    // Filled by binding.
    int slot = -1;
    bool calculated = false;
    TFieldType type = TFieldType::String;
    Mode mode = Mode::Numeric; // comparisons: how both sides are compared
    QString str;               // literal as text (Text mode)
    double num = 0;            // literal as number (Numeric mode)
    QDate date;                // literal as date (Date mode)

    // True for nodes that yield true/false rather than a value.
    bool IsBoolean() const {
        return kind == Kind::And || kind == Kind::Or || kind == Kind::Not || kind == Kind::Compare;
    }
};

} // namespace pla
