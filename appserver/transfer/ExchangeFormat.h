#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <optional>

namespace pla {

// The kinds of file a kitchen exchanges with the server, in the order an import stores them
// (every kind refers only to kinds before it).
enum class DataKind {
    Branches,
    ServiceGroups,
    Services,
    Clients,
    Destinations,
    DeliveryPoints,
    Containers,
    Dishes,
    Capacities,
    Menus,
    PackingRules,
    Distributions, // written by export only
};

// How a column's text is read and written.
enum class ValueType {
    Code,      // trimmed, upper case; digits only left-padded with zeros to the size where `pad`
    Text,      // trimmed
    Number,    // decimal comma or point, never negative
    Integer,   // whole number, never negative
    Date,      // dd/mm/aaaa or aaaa-mm-dd; stored as aaaa-mm-dd
    Flag,      // one letter out of `letters`
    Cnpj,      // a company's register number, check digits verified; stored as 14 digits
    Allergens, // comma-separated legal allergen names; stored in the law's order
};

struct ExchangeColumn {
    QString name; // the database field, also the header name
    ValueType type = ValueType::Text;
    int size = 0; // characters, for codes and texts
    bool required = false;
    QString letters;       // flags: the letters allowed
    QVariant fallback;     // stored for an empty optional cell (null: NULL)
    bool positive = false; // numbers: zero refused as well
    bool pad = false;      // codes written at full width ("1" is "0001"), lost by spreadsheets
};

// A column group of one kind that must name a row of another kind.
struct ExchangeReference {
    QStringList columns; // in the order of the target's key
    DataKind target;
    QString what; // Portuguese, "%1".. take the column values, e.g. "filial %1"
};

struct ExchangeKind {
    DataKind kind;
    QString file;  // file name stem: "filiais" for filiais.csv
    QString table; // the table its rows go to
    QVector<ExchangeColumn> columns;
    QStringList key; // the columns that identify a row
    QVector<ExchangeReference> references;

    // Index of column `name` (case-insensitive), -1 when it has none.
    int indexOf(const QString& name) const;
};

// Column lists of every kind and the conversion of values between file text and database.
class ExchangeFormat {
public:
    // Every kind, in import order.
    static const QVector<ExchangeKind>& kinds();
    static const ExchangeKind& of(DataKind kind);
    // The kind a file is, from the start of its name ("cardapios_2026-12-08.csv" is a menu
    // file); none when the name starts with no kind.
    static const ExchangeKind* forFileName(const QString& fileName);

    // Reads `text` for `column`: the stored value (null for an empty optional cell without
    // fallback), or nothing with `error` set to the Portuguese reason. Texts and amounts are
    // held to the same rules as a save's; the apostrophe format() put before a text that a
    // spreadsheet would run as a formula is taken away.
    static std::optional<QVariant> parse(const ExchangeColumn& column, const QString& text,
                                         QString& error);
    // The file text of a stored value (decimal comma, dd/mm/aaaa), read back to the same value.
    // A text starting with '=', '+', '-', '@', a tab or a carriage return is written behind an
    // apostrophe, so a spreadsheet shows it instead of running it.
    static QString format(const ExchangeColumn& column, const QVariant& value);
    // A number as the files write it: shortest text that reads back exactly, decimal comma.
    static QString number(double value);
    // A stored date (aaaa-mm-dd) as dd/mm/aaaa.
    static QString date(const QString& iso);
    // The rule a whole row of `kind` breaks although each of its values reads well (values
    // per column, as stored after the import), with column set to the cell at fault; empty
    // when it breaks none.
    static QString rowRule(const ExchangeKind& kind, const QVariantList& values, int& column);
};

} // namespace pla
