#include "appserver/auth/AuditTrail.h"

#include "appserver/storage/SqlUtil.h"

#include <QHash>
#include <QJsonDocument>
#include <QMap>
#include <cmath>

namespace pla {

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

// Every member of a JSON value with its texts made visible (see AuditTrail::visible).
QJsonValue visibleJson(const QJsonValue& v) {
    if (v.isString()) return AuditTrail::visible(v.toString());
    if (v.isArray()) {
        QJsonArray out;
        for (const QJsonValue& e : v.toArray())
            out.append(visibleJson(e));
        return out;
    }
    if (v.isObject()) {
        QJsonObject out;
        const QJsonObject o = v.toObject();
        for (auto it = o.begin(); it != o.end(); ++it)
            out.insert(it.key(), visibleJson(*it));
        return out;
    }
    return v;
}

QJsonObject packagingValues(const Packaging& p) {
    return QJsonObject{
        {QStringLiteral("CDCONTAINER"), p.container},
        {QStringLiteral("QTCONTAINER"), p.units},
        {QStringLiteral("DSOBSETIQUETA"), p.remark.isNull() ? QJsonValue() : QJsonValue(p.remark)},
        {QStringLiteral("QTPRATO"), p.quantity}};
}

QJsonObject rowValues(const DishRow& r) {
    return QJsonObject{{QStringLiteral("QTCOMENSAIS"), r.diners},
                       {QStringLiteral("QTPRATO"), r.quantity},
                       {QStringLiteral("QTEXTRA"), r.extra}};
}

bool same(const QJsonObject& a, const QJsonObject& b) {
    for (auto it = a.begin(); it != a.end(); ++it) {
        const QJsonValue v = b.value(it.key());
        if (it->isDouble() && v.isDouble()) {
            if (std::abs(it->toDouble() - v.toDouble()) > 1e-9) return false;
        } else if (*it != v)
            return false;
    }
    return true;
}

// The same comparison on the records themselves, so the many rows a save leaves alone are
// compared without building their JSON.
bool near(double a, double b) {
    return std::abs(a - b) <= 1e-9;
}
bool same(const Packaging& a, const Packaging& b) {
    return a.container == b.container && near(a.units, b.units) &&
           a.remark.isNull() == b.remark.isNull() && a.remark == b.remark &&
           near(a.quantity, b.quantity);
}
bool same(const DishRow& a, const DishRow& b) {
    return near(a.diners, b.diners) && near(a.quantity, b.quantity) && near(a.extra, b.extra);
}

// Appends the entries of one kind: added, changed and removed, in the order first seen.
template <class Key, class Record>
void diff(QJsonArray& out, const QString& kind, const QStringList& actions,
          const QMap<Key, const Record*>& before, const QMap<Key, const Record*>& after,
          QJsonObject (*values)(const Record&),
          const std::function<void(QJsonObject&, const Key&)>& identify) {
    QList<Key> keys = before.keys();
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        if (!before.contains(it.key())) keys.push_back(it.key());
    for (const Key& k : keys) {
        const Record* was = before.value(k, nullptr);
        const Record* is = after.value(k, nullptr);
        if (was && is && same(*was, *is)) continue;
        QJsonObject entry{{QStringLiteral("tipo"), kind},
                          {QStringLiteral("acao"), actions[!was ? 0
                                                           : is ? 1
                                                                : 2]}};
        identify(entry, k);
        entry.insert(QStringLiteral("antes"), was ? QJsonValue(values(*was)) : QJsonValue());
        entry.insert(QStringLiteral("depois"), is ? QJsonValue(values(*is)) : QJsonValue());
        out.append(entry);
    }
}

QString number(const QJsonValue& v) {
    if (v.isDouble()) return QString::number(v.toDouble(), 'g', 12);
    if (v.isNull()) return QStringLiteral("(vazio)");
    return QStringLiteral("\"%1\"").arg(AuditTrail::visible(v.toString()));
}

// A print's entry: "etiquetas da embalagem 45, unidades 1-3, preparo 08/12/2026 06:30".
QString describePrint(const QJsonObject& c) {
    QStringList parts{AuditTrail::visible(c.value(QStringLiteral("conteudo")).toString())};
    if (c.contains(QStringLiteral("NREMBDISTCARD")))
        parts = QStringList{
            QStringLiteral("%1 da embalagem %2")
                .arg(parts.first())
                .arg(c.value(QStringLiteral("NREMBDISTCARD")).toInteger()),
            QStringLiteral("unidades %1")
                .arg(AuditTrail::visible(c.value(QStringLiteral("unidades")).toString()))};
    if (c.contains(QStringLiteral("preparo")))
        parts << QStringLiteral("preparo %1")
                     .arg(AuditTrail::visible(c.value(QStringLiteral("preparo")).toString()));
    return parts.join(QStringLiteral(", "));
}

QString describeChange(const QJsonObject& c) {
    if (c.value(QStringLiteral("tipo")).toString() == AuditTrail::kPrint) return describePrint(c);
    QString what =
        c.value(QStringLiteral("tipo")).toString() == QLatin1String("embalagem")
            ? QStringLiteral("embalagem %1")
                  .arg(c.value(QStringLiteral("NREMBDISTCARD")).toInteger())
            : QStringLiteral("prato %1 (%2) na embalagem %3")
                  .arg(c.value(QStringLiteral("NRSEQPRATCAR")).toInteger())
                  .arg(AuditTrail::visible(c.value(QStringLiteral("NMPRATO")).toString()))
                  .arg(c.value(QStringLiteral("NREMBDISTCARD")).toInteger());
    const QJsonObject before = c.value(QStringLiteral("antes")).toObject();
    const QJsonObject after = c.value(QStringLiteral("depois")).toObject();
    QStringList values;
    for (const QString& k : (after.isEmpty() ? before : after).keys()) {
        if (!before.isEmpty() && !after.isEmpty()) {
            if (!same(QJsonObject{{k, before.value(k)}}, QJsonObject{{k, after.value(k)}}))
                values << QStringLiteral("%1 %2 → %3")
                              .arg(k, number(before.value(k)), number(after.value(k)));
        } else
            values << QStringLiteral("%1 %2").arg(
                k, number((after.isEmpty() ? before : after).value(k)));
    }
    return QStringLiteral("%1 %2: %3")
        .arg(what, AuditTrail::visible(c.value(QStringLiteral("acao")).toString()),
             values.join(QStringLiteral(", ")));
}

QJsonValue optionalNumber(const std::optional<qint64>& v) {
    return v ? QJsonValue(static_cast<double>(*v)) : QJsonValue();
}

// Qt SQL binds a null QString as NULL; the trail's texts are never NULL.
QString nonNull(const QString& s) {
    return s.isNull() ? QStringLiteral("") : s;
}

QVariant optionalValue(const std::optional<qint64>& v) {
    return v ? QVariant::fromValue(*v) : QVariant(QMetaType::fromType<qlonglong>());
}

} // namespace

QJsonObject AuditEvent::toJson() const {
    return visibleJson(QJsonObject{
                           {QStringLiteral("quando"), when.toUTC().toString(Qt::ISODateWithMs)},
                           {QStringLiteral("usuario"), login},
                           {QStringLiteral("nome"), userName},
                           {QStringLiteral("endereco"), address},
                           {QStringLiteral("operacao"), operation},
                           {QStringLiteral("distribuicao"), static_cast<double>(number)},
                           {QStringLiteral("filial"), key.branch},
                           {QStringLiteral("servico"), key.service},
                           {QStringLiteral("data"), key.date.toString(kDateFormat)},
                           {QStringLiteral("cliente"), key.client},
                           {QStringLiteral("destino"), key.destination},
                           {QStringLiteral("versaoAnterior"), optionalNumber(versionBefore)},
                           {QStringLiteral("versao"), optionalNumber(versionAfter)},
                           {QStringLiteral("versionada"), versioned},
                           {QStringLiteral("alteracoes"), changes},
                       })
        .toObject();
}

QString AuditTrail::visible(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\n')
            out += QLatin1String("\\n");
        else if (u == u'\r')
            out += QLatin1String("\\r");
        else if (u == u'\t')
            out += QLatin1String("\\t");
        else if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line ||
                 c.category() == QChar::Separator_Paragraph || (u >= 0x202A && u <= 0x202E) ||
                 (u >= 0x2066 && u <= 0x2069))
            out += QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

AuditTrail::AuditTrail(QSqlDatabase db) : db_(std::move(db)) {}

QJsonArray AuditTrail::changes(const Distribution* before, const Distribution* after) {
    QMap<qint64, const Packaging*> packsBefore, packsAfter;
    QMap<QPair<qint64, int>, const DishRow*> rowsBefore, rowsAfter;
    QHash<int, QString> names;
    for (const Distribution* d : {before, after}) {
        if (!d) continue;
        for (const UndistributedRow& u : d->undistributed)
            names.insert(u.sequence, u.name);
        auto& packs = d == before ? packsBefore : packsAfter;
        auto& rows = d == before ? rowsBefore : rowsAfter;
        for (const Packaging& p : d->packagings)
            packs.insert(p.number, &p);
        for (const DishRow& r : d->rows)
            rows.insert({r.packaging, r.sequence}, &r);
    }
    QJsonArray out;
    diff<qint64, Packaging>(
        out, QStringLiteral("embalagem"),
        {QStringLiteral("incluída"), QStringLiteral("alterada"), QStringLiteral("removida")},
        packsBefore, packsAfter, packagingValues, [](QJsonObject& e, const qint64& n) {
            e.insert(QStringLiteral("NREMBDISTCARD"), static_cast<double>(n));
        });
    diff<QPair<qint64, int>, DishRow>(
        out, QStringLiteral("prato"),
        {QStringLiteral("incluído"), QStringLiteral("alterado"), QStringLiteral("removido")},
        rowsBefore, rowsAfter, rowValues, [&](QJsonObject& e, const QPair<qint64, int>& k) {
            e.insert(QStringLiteral("NREMBDISTCARD"), static_cast<double>(k.first));
            e.insert(QStringLiteral("NRSEQPRATCAR"), k.second);
            e.insert(QStringLiteral("NMPRATO"), names.value(k.second));
        });
    return out;
}

void AuditTrail::record(const Caller& who, const QString& operation, const QDateTime& now,
                        const Distribution* before, const Distribution* after,
                        std::optional<qint64> versionBefore, std::optional<qint64> versionAfter,
                        bool versioned) {
    const Distribution& d = after ? *after : *before;
    SqlUtil::exec(
        db_,
        QStringLiteral("INSERT INTO DISTAUDIT (DTHRAUDIT, CDUSUARIO, NMUSUARIO, DSENDERECO, "
                       "DSOPERACAO, NRDISTCARD, CDFILIAL, CDSERVFILI, DTCARDAPIO, CDCLIENTE, "
                       "CDDESTFILI, NRVERSAOANT, NRVERSAO, IDVERSIONADA, DSALTERACOES) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {now.toUTC().toString(Qt::ISODateWithMs), nonNull(who.login), who.displayName(),
         nonNull(who.address), operation, QVariant::fromValue(d.number), d.key.branch,
         d.key.service, d.key.date.toString(kDateFormat), nonNull(d.key.client),
         nonNull(d.key.destination), optionalValue(versionBefore), optionalValue(versionAfter),
         versioned ? QStringLiteral("S") : QStringLiteral("N"),
         QString::fromUtf8(QJsonDocument(changes(before, after)).toJson(QJsonDocument::Compact))});
}

AuditEvent AuditTrail::readEvent(const QSqlQuery& q, int number) {
    AuditEvent e;
    e.when = QDateTime::fromString(q.value(0).toString(), Qt::ISODateWithMs);
    e.login = q.value(1).toString();
    e.userName = q.value(2).toString();
    e.address = q.value(3).toString();
    e.number = q.value(number).toLongLong();
    e.key = DistributionKey{q.value(number + 1).toString(), q.value(number + 2).toString(),
                            QDate::fromString(q.value(number + 3).toString(), kDateFormat),
                            q.value(number + 4).toString(), q.value(number + 5).toString()};
    return e;
}

QVector<AuditEvent> AuditTrail::select(const QString& where, const QVariantList& values) {
    QSqlQuery q = SqlUtil::execList(
        db_,
        QStringLiteral("SELECT DTHRAUDIT, CDUSUARIO, NMUSUARIO, DSENDERECO, DSOPERACAO, "
                       "NRDISTCARD, CDFILIAL, CDSERVFILI, DTCARDAPIO, CDCLIENTE, CDDESTFILI, "
                       "NRVERSAOANT, NRVERSAO, IDVERSIONADA, DSALTERACOES FROM DISTAUDIT") +
            where,
        values);
    QVector<AuditEvent> events;
    while (q.next()) {
        AuditEvent e = readEvent(q, 5);
        e.operation = q.value(4).toString();
        if (!q.value(11).isNull()) e.versionBefore = q.value(11).toLongLong();
        if (!q.value(12).isNull()) e.versionAfter = q.value(12).toLongLong();
        e.versioned = q.value(13).toString() == QLatin1String("S");
        e.changes = QJsonDocument::fromJson(q.value(14).toString().toUtf8()).array();
        events.push_back(e);
    }
    return events;
}

QString AuditTrail::Filter::where(const QString& numberColumn, const QString& branchColumn,
                                  const QString& timeColumn, QVariantList& values) const {
    QStringList conditions;
    if (number) {
        conditions << numberColumn + QStringLiteral(" = ?");
        values << QVariant::fromValue(*number);
    }
    if (!branch.isEmpty()) {
        conditions << branchColumn + QStringLiteral(" = ?");
        values << branch;
    }
    if (since.isValid()) {
        conditions << timeColumn + QStringLiteral(" >= ?");
        values << since.startOfDay().toUTC().toString(Qt::ISODateWithMs);
    }
    return conditions.isEmpty()
               ? QString()
               : QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
}

QVector<AuditEvent> AuditTrail::events(const Filter& filter) {
    QVariantList values;
    const QString where = filter.where(QStringLiteral("NRDISTCARD"), QStringLiteral("CDFILIAL"),
                                       QStringLiteral("DTHRAUDIT"), values);
    return select(where + QStringLiteral(" ORDER BY NRAUDIT"), values);
}

QVector<AuditEvent> AuditTrail::eventsAfter(qint64 number, qint64 version) {
    return select(QStringLiteral(" WHERE NRDISTCARD = ? AND NRVERSAOANT >= ? ORDER BY NRAUDIT"),
                  {QVariant::fromValue(number), QVariant::fromValue(version)});
}

QString AuditTrail::describe(const QJsonObject& change) {
    return describeChange(change);
}

std::optional<AuditEvent> AuditTrail::lastDeletion(qint64 number) {
    const QVector<AuditEvent> e =
        select(QStringLiteral(" WHERE NRDISTCARD = ? AND DSOPERACAO = ? ORDER BY NRAUDIT DESC"),
               {QVariant::fromValue(number), kDelete});
    if (e.isEmpty()) return std::nullopt;
    return e.first();
}

QString AuditTrail::table(const QVector<AuditEvent>& events) {
    const QString format = QStringLiteral("%1  %2  %3  %4  %5  %6  %7\n");
    QString out = format.arg(QStringLiteral("Quando"), -16)
                      .arg(QStringLiteral("Usuário"), -16)
                      .arg(QStringLiteral("Endereço"), -15)
                      .arg(QStringLiteral("Operação"), -14)
                      .arg(QStringLiteral("Distribuição"), -12)
                      .arg(QStringLiteral("Filial/serviço/data/ponto"), -38)
                      .arg(QStringLiteral("Versão"));
    for (const AuditEvent& e : events) {
        const auto v = [](const std::optional<qint64>& n) {
            return n ? QString::number(*n) : QStringLiteral("-");
        };
        out += format.arg(e.when.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm")), -16)
                   .arg(visible(e.login.isEmpty() ? e.userName : e.login), -16)
                   .arg(visible(e.address), -15)
                   .arg(visible(e.operation), -14)
                   .arg(QString::number(e.number), -12)
                   .arg(visible(QStringLiteral("%1/%2/%3/%4-%5")
                                    .arg(e.key.branch, e.key.service,
                                         e.key.date.toString(QStringLiteral("dd/MM/yyyy")),
                                         e.key.client, e.key.destination)),
                        -38)
                   .arg(QStringLiteral("%1 → %2%3")
                            .arg(v(e.versionBefore), v(e.versionAfter),
                                 e.versioned ? QString() : QStringLiteral(" (sem versão)")));
        for (const QJsonValue& c : e.changes)
            out += QStringLiteral("    ") + describeChange(c.toObject()) + QLatin1Char('\n');
    }
    return out;
}

} // namespace pla
