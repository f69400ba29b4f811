#include "appserver/transfer/DatabaseBackup.h"

#include "appserver/storage/Schema.h"
#include "appserver/storage/SqlUtil.h"
#include "appserver/storage/StorageError.h"
#include "appserver/transfer/ScopedConnection.h"

#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <stdexcept>

namespace pla {

namespace {

std::atomic<int> backupCounter{0};

} // namespace

DatabaseBackup::Result DatabaseBackup::run(const DatabaseConfig& source, const QString& target) {
    if (source.kind != DatabaseConfig::Kind::Sqlite)
        throw std::runtime_error("A cópia de segurança é de bancos SQLite; para PostgreSQL use "
                                 "pg_dump.");
    if (!QFileInfo::exists(source.path))
        throw std::runtime_error(
            QStringLiteral("O banco %1 não existe.").arg(source.path).toStdString());
    if (QFileInfo::exists(target))
        throw std::runtime_error(
            QStringLiteral("%1 já existe; informe um arquivo novo.").arg(target).toStdString());
    const QString partial = target + QStringLiteral(".parcial");
    QFile::remove(partial);
    const int serial = backupCounter.fetch_add(1);
    Result result;
    try {
        {
            ScopedConnection db(source, QStringLiteral("pla_backup_source_%1").arg(serial));
            SqlUtil::exec(db.db(), QStringLiteral("VACUUM INTO ?"), {partial});
        }
        DatabaseConfig copy = source;
        copy.path = partial;
        {
            ScopedConnection db(copy, QStringLiteral("pla_backup_check_%1").arg(serial));
            QSqlQuery q = SqlUtil::exec(db.db(), QStringLiteral("PRAGMA integrity_check"));
            const QString verdict = q.next() ? q.value(0).toString() : QString();
            if (verdict != QLatin1String("ok"))
                throw StorageError(
                    QStringLiteral("a cópia não passou na verificação: %1").arg(verdict));
            q.finish();
            result.schemaVersion = Schema::storedVersion(db.db());
            // A WAL-mode copy keeps its journal beside it until the last connection leaves.
            SqlUtil::execPlain(db.db(), QStringLiteral("PRAGMA journal_mode=DELETE"));
        }
    } catch (const StorageError& e) {
        QFile::remove(partial);
        throw std::runtime_error(
            QStringLiteral("Cópia de segurança falhou: %1").arg(e.message()).toStdString());
    }
    if (!QFile::rename(partial, target)) {
        QFile::remove(partial);
        throw std::runtime_error(
            QStringLiteral("Não foi possível criar %1.").arg(target).toStdString());
    }
    result.bytes = QFileInfo(target).size();
    return result;
}

} // namespace pla
