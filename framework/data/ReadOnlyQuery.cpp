#include "framework/data/ReadOnlyQuery.h"

#include "framework/data/DatabaseError.h"

#include <QMetaType>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

namespace {

// Parameter names used in sql, in order of appearance, skipping quoted text and "::" casts.
QStringList placeholders(const QString& sql) {
    QStringList names;
    QChar quote;
    for (int i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            continue;
        }
        if (c != QLatin1Char(':')) continue;
        if (i + 1 < sql.size() && sql[i + 1] == QLatin1Char(':')) {
            ++i;
            continue;
        }
        int j = i + 1;
        while (j < sql.size() && (sql[j].isLetterOrNumber() || sql[j] == QLatin1Char('_')))
            ++j;
        if (j > i + 1) {
            const QString n = sql.mid(i + 1, j - i - 1);
            if (!names.contains(n)) names << n;
        }
        i = j - 1;
    }
    return names;
}

TFieldType typeOf(const QSqlField& f) {
    switch (f.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return TFieldType::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
        return TFieldType::Float;
    case QMetaType::QDate:
    case QMetaType::QDateTime:
        return TFieldType::Date;
    default:
        return TFieldType::String;
    }
}

QHash<QString, TADOIBQuery::Answerer>& ServedConnections() {
    static QHash<QString, TADOIBQuery::Answerer> served;
    return served;
}

} // namespace

void TADOIBQuery::ServeConnection(const QString& connection, Answerer answerer) {
    if (answerer)
        ServedConnections().insert(connection, std::move(answerer));
    else
        ServedConnections().remove(connection);
}

TADOIBQuery::TADOIBQuery(const QString& name) : TClientDataSet(name) {
    SetReadOnly(true);
}

void TADOIBQuery::SetConnectionName(const QString& name) {
    connection_ = name;
}

QString TADOIBQuery::ConnectionName() const {
    return connection_;
}

void TADOIBQuery::SetParam(const QString& name, const QVariant& value) {
    QString n = name;
    if (n.startsWith(QLatin1Char(':'))) n.remove(0, 1);
    params_.insert(n.toUpper(), value);
}

void TADOIBQuery::Open() {
    const QString who = Name().isEmpty() ? QStringLiteral("(sem nome)") : Name();
    const QString conn =
        connection_.isEmpty() ? QString::fromLatin1(QSqlDatabase::defaultConnection) : connection_;
    QHash<QString, QVariant> bound;
    for (const QString& n : placeholders(SQL)) {
        const auto it = params_.constFind(n.toUpper());
        if (it == params_.constEnd())
            throw EDatabaseError(
                QStringLiteral("Parâmetro '%1' não informado na consulta '%2'.").arg(n, who));
        bound.insert(n.toUpper(), *it);
    }
    if (const auto served = ServedConnections().constFind(conn);
        served != ServedConnections().constEnd()) {
        SetData((*served)(SQL, bound));
        return;
    }
    if (!QSqlDatabase::contains(conn))
        throw EDatabaseError(
            QStringLiteral("Conexão de banco de dados '%1' não encontrada para a consulta '%2'.")
                .arg(conn, who));
    QSqlDatabase db = QSqlDatabase::database(conn, false);
    if (!db.isOpen() && !db.open())
        throw EDatabaseError(QStringLiteral("Não foi possível abrir a conexão '%1': %2")
                                 .arg(conn, db.lastError().text()));

    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(SQL))
        throw EDatabaseError(
            QStringLiteral("Erro na consulta '%1': %2").arg(who, q.lastError().text()));
    for (const QString& n : placeholders(SQL))
        q.bindValue(QLatin1Char(':') + n, bound.value(n.toUpper()));
    if (!q.exec())
        throw EDatabaseError(
            QStringLiteral("Erro na consulta '%1': %2").arg(who, q.lastError().text()));

    const QSqlRecord rec = q.record();
    TDataPacket p;
    for (int c = 0; c < rec.count(); ++c)
        p.Fields.append({rec.fieldName(c), typeOf(rec.field(c)), 0, true});
    while (q.next()) {
        QVector<QVariant> row(rec.count());
        for (int c = 0; c < rec.count(); ++c) {
            QVariant v = q.value(c);
            if (v.isNull())
                v = QVariant();
            else if (p.Fields[c].Type == TFieldType::Integer)
                v = QVariant(v.toInt());
            else if (p.Fields[c].Type == TFieldType::Float)
                v = QVariant(v.toDouble());
            else if (p.Fields[c].Type == TFieldType::Date)
                v = QVariant(v.toDate());
            else
                v = QVariant(v.toString());
            row[c] = std::move(v);
        }
        p.Rows.append(std::move(row));
    }
    SetData(p);
}
