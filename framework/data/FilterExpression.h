#pragma once

#include "framework/data/FieldTypes.h"
#include "framework/data/FilterNode.h"

#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>

namespace pla {

// Where a field named in a filter lives in a data set's records.
struct FilterColumn {
    int slot = -1;           // index into the record's data (or calculated) values
    bool calculated = false; // the value lives among the calculated values
    TFieldType type = TFieldType::String;
};

// A filter text parsed once and then evaluated per record. Comparisons with a null value are
// false, except <> which is true. A number written without quotes and compared with a text
// field is compared as written ("CDGRUPSERV = 001" matches "001").
class FilterExpression {
public:
    using Resolver = std::function<std::optional<FilterColumn>(const QString& name)>;

    // The empty filter: matches every record.
    FilterExpression();
    ~FilterExpression();
    FilterExpression(FilterExpression&&) noexcept;
    FilterExpression& operator=(FilterExpression&&) noexcept;

    // Parses text; an empty or blank text gives the empty filter. Throws EDatabaseError
    // quoting text when it is malformed.
    static FilterExpression Parse(const QString& text);
    // value as a string literal of the filter language, so that any text (a quote included)
    // compares as itself: 'A''1' for A'1.
    static QString QuoteString(const QString& value);
    // value as a number literal of the filter language: plain decimal digits whatever its
    // size, a whole number without a decimal part, a point as the decimal separator, never an
    // exponent nor a locale's separator (100000 -> "100000", -3 -> "-3", 0.5 -> "0.5").
    static QString NumberLiteral(double value);

    // The text this filter was parsed from.
    QString Text() const;
    // True for the filter that matches everything.
    bool IsEmpty() const;
    // Resolves every field name through resolve and fixes how each comparison is made. Throws
    // EDatabaseError quoting the text (and naming the field) for an unknown field or a literal
    // that cannot be compared with its field; the filter is then left unbound.
    void Bind(const Resolver& resolve);
    // True once Bind succeeded.
    bool IsBound() const;
    // Whether the record with these data and calculated values passes (calc may be null when
    // the set has no calculated fields). Requires a bound filter.
    bool Matches(const QVector<QVariant>& data, const QVector<QVariant>* calc) const;

private:
    QString text_;
    std::unique_ptr<FilterNode> root_;
    bool bound_ = false;
};

} // namespace pla
