#pragma once

#include <QSqlDatabase>
#include <QStringList>
#include <QVariantList>
#include <QVector>

namespace pla {

// Writes many rows in a few statements: multi-row VALUES lists that both databases read the
// same way, cut into chunks that stay under either's limit of bound values. One statement
// per chunk instead of one per row is what keeps a save of hundreds of rows a handful of
// round trips on a networked database.
class SqlBatch {
public:
    // A column of a VALUES list that is not an INSERT's: its name in the table and its SQL
    // type (PostgreSQL cannot tell the type of a bare placeholder there).
    struct Column {
        QString name, type;
    };
    using Row = QVariantList;
    // The most rows one statement carries (fewer when they hold many values).
    static constexpr int kMaxRowsPerStatement = 256;

    explicit SqlBatch(QSqlDatabase db);

    // INSERT INTO table (columns) VALUES (…), (…).
    void insert(const QString& table, const QStringList& columns, const QVector<Row>& rows);
    // The same, giving back the identity column `generated` of the new rows in the order of
    // `rows`.
    QVector<qint64> insertReturning(const QString& table, const QStringList& columns,
                                    const QVector<Row>& rows, const QString& generated);
    // Sets the `set` columns of the rows of `table` whose `keys` match a row's first values
    // and that meet `scope` ("NRDISTCARD = ?", bound to `scopeValue`); each row holds its
    // key values, then its new values.
    void update(const QString& table, const QVector<Column>& keys, const QVector<Column>& set,
                const QVector<Row>& rows, const QString& scope, const QVariant& scopeValue);
    // Deletes the rows of `table` within `scope` whose `keys` match one of `rows`.
    void remove(const QString& table, const QVector<Column>& keys, const QVector<Row>& rows,
                const QString& scope, const QVariant& scopeValue);

private:
    // Runs `head` + placeholders of `width` values a row + `tail` for each chunk of `rows`,
    // with `after` bound behind each chunk's values; `each` sees every executed query.
    template <class Each>
    void chunked(const QString& head, const QString& row, const QString& tail,
                 const QVector<Row>& rows, const QVariantList& after, Each&& each);

    QSqlDatabase db_;
};

} // namespace pla
