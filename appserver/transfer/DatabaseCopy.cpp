#include "appserver/transfer/DatabaseCopy.h"

#include "appserver/storage/Schema.h"
#include "appserver/storage/SqlTransaction.h"
#include "appserver/storage/SqlUtil.h"
#include "appserver/storage/StorageError.h"
#include "appserver/transfer/ScopedConnection.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlRecord>
#include <atomic>
#include <stdexcept>

namespace pla {

namespace {

std::atomic<int> copyCounter{0};

// Tables of the source in the order they were created, which is an order their references
// allow; the schema version is written by the migration of the target.
QStringList sourceTables(const QSqlDatabase& db) {
    QStringList tables;
    QSqlQuery q = SqlUtil::exec(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = "
                                                   "'table' AND name NOT LIKE 'sqlite_%' "
                                                   "ORDER BY rowid"));
    while (q.next())
        if (q.value(0).toString().compare(QLatin1String("SCHEMA_VERSION"), Qt::CaseInsensitive))
            tables << q.value(0).toString();
    return tables;
}

qint64 count(const QSqlDatabase& db, const QString& table) {
    QSqlQuery q = SqlUtil::exec(db, QStringLiteral("SELECT COUNT(*) FROM %1").arg(table));
    return q.next() ? q.value(0).toLongLong() : 0;
}

} // namespace

DatabaseCopy::Result DatabaseCopy::run(const DatabaseConfig& from, const DatabaseConfig& to) {
    if (from.kind != DatabaseConfig::Kind::Sqlite)
        throw std::runtime_error("A origem da cópia deve ser um arquivo SQLite.");
    if (!QFileInfo::exists(from.path))
        throw std::runtime_error(
            QStringLiteral("O banco %1 não existe.").arg(from.path).toStdString());
    if (to.kind != DatabaseConfig::Kind::Postgres)
        throw std::runtime_error("O destino da cópia deve ser um banco PostgreSQL "
                                 "(postgresql://usuario@host:porta/banco).");
    const int serial = copyCounter.fetch_add(1);
    Result result;
    try {
        ScopedConnection source(from, QStringLiteral("pla_copy_source_%1").arg(serial));
        ScopedConnection target(to, QStringLiteral("pla_copy_target_%1").arg(serial));
        const QSqlDatabase& src = source.db();
        const QSqlDatabase& dst = target.db();
        // The source is brought to this build's schema, as a server start would do.
        Schema::migrate(src);
        for (const QString& table : dst.tables())
            if (table.compare(QLatin1String("schema_version"), Qt::CaseInsensitive) &&
                count(dst, table) > 0)
                throw std::runtime_error(
                    QStringLiteral("O banco %1 não está vazio (a tabela %2 tem dados); a cópia "
                                   "só é feita para um banco vazio.")
                        .arg(to.describe(), table)
                        .toStdString());
        Schema::migrate(dst);
        result.schemaVersion = Schema::storedVersion(dst);

        SqlTransaction read(src, SqlTransaction::Mode::Read);
        SqlTransaction write(dst, SqlTransaction::Mode::Write);
        for (const QString& table : sourceTables(src)) {
            QSqlQuery rows = SqlUtil::exec(src, QStringLiteral("SELECT * FROM %1").arg(table));
            const QSqlRecord record = rows.record();
            QStringList columns;
            for (int i = 0; i < record.count(); ++i)
                columns << record.fieldName(i);
            QSqlQuery insert(dst);
            const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                    .arg(table, columns.join(QStringLiteral(", ")),
                                         QStringList(columns.size(), QStringLiteral("?"))
                                             .join(QStringLiteral(", ")));
            if (!insert.prepare(sql))
                throw StorageError(QStringLiteral("%1 [%2]").arg(insert.lastError().text(), sql));
            qint64 copied = 0;
            while (rows.next()) {
                for (int i = 0; i < columns.size(); ++i)
                    insert.bindValue(i, rows.value(i));
                if (!insert.exec())
                    throw StorageError(
                        QStringLiteral("%1: %2").arg(table, insert.lastError().text()));
                ++copied;
            }
            if (count(dst, table) != copied)
                throw StorageError(
                    QStringLiteral("a tabela %1 não foi copiada inteira").arg(table));
            ++result.tables;
            result.rows += copied;
        }
        // Identity columns continue after the copied numbers.
        QSqlQuery identities = SqlUtil::exec(
            dst, QStringLiteral("SELECT table_name, column_name FROM information_schema.columns "
                                "WHERE table_schema = current_schema() AND is_identity = 'YES'"));
        QVector<QPair<QString, QString>> columns;
        while (identities.next())
            columns.push_back({identities.value(0).toString(), identities.value(1).toString()});
        for (const auto& [table, column] : columns)
            SqlUtil::exec(dst, QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', '%2'), "
                                              "COALESCE((SELECT MAX(%2) FROM %1), 0) + 1, false)")
                                   .arg(table, column));
        write.commit();
        read.commit();
    } catch (const StorageError& e) {
        throw std::runtime_error(QStringLiteral("A cópia falhou e nada foi gravado no destino: %1")
                                     .arg(e.message())
                                     .toStdString());
    }
    return result;
}

} // namespace pla
