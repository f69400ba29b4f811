#include "appserver/storage/DatabaseConfig.h"

#include <QUrl>
#include <stdexcept>

namespace pla {

DatabaseConfig DatabaseConfig::parse(const QString& text) {
    DatabaseConfig c;
    const QString t = text.trimmed();
    if (t.startsWith(QLatin1String("postgresql://")) ||
        t.startsWith(QLatin1String("postgres://"))) {
        const QUrl url(t, QUrl::StrictMode);
        // Messages show the address without its password.
        const QString shown = QUrl(t).toString(QUrl::RemovePassword);
        if (!url.isValid() || url.host().isEmpty())
            throw std::invalid_argument(QStringLiteral("Endereço de banco PostgreSQL inválido: %1")
                                            .arg(shown)
                                            .toStdString());
        c.kind = Kind::Postgres;
        c.host = url.host();
        c.port = url.port(5432);
        c.user = url.userName();
        c.password = url.password();
        c.databaseName = url.path().mid(1);
        if (c.databaseName.isEmpty())
            throw std::invalid_argument(
                QStringLiteral("Informe o nome do banco em %1").arg(shown).toStdString());
        return c;
    }
    c.kind = Kind::Sqlite;
    c.path = t.startsWith(QLatin1String("sqlite:")) ? t.mid(7) : t;
    if (c.path.isEmpty()) throw std::invalid_argument("Informe o arquivo do banco SQLite.");
    return c;
}

QString DatabaseConfig::driverName() const {
    return kind == Kind::Postgres ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE");
}

QString DatabaseConfig::describe() const {
    if (kind == Kind::Sqlite) return QStringLiteral("SQLite %1").arg(path);
    return QStringLiteral("PostgreSQL %1@%2:%3/%4").arg(user, host).arg(port).arg(databaseName);
}

} // namespace pla
