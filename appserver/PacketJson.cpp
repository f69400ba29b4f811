#include "appserver/PacketJson.h"

#include "appserver/Refusal.h"

#include <QJsonArray>
#include <QJsonObject>
#include <cmath>

namespace pla {

namespace {

QString typeName(WireType t) {
    switch (t) {
    case WireType::String:
        return QStringLiteral("string");
    case WireType::Float:
        return QStringLiteral("float");
    case WireType::Integer:
        return QStringLiteral("integer");
    case WireType::Date:
        return QStringLiteral("date");
    }
    return QStringLiteral("string");
}

bool parseType(const QString& s, WireType& out) {
    if (s == QLatin1String("string"))
        out = WireType::String;
    else if (s == QLatin1String("float"))
        out = WireType::Float;
    else if (s == QLatin1String("integer"))
        out = WireType::Integer;
    else if (s == QLatin1String("date"))
        out = WireType::Date;
    else
        return false;
    return true;
}

QJsonValue valueToJson(const QVariant& v, WireType type) {
    if (!v.isValid() || v.isNull()) return QJsonValue(QJsonValue::Null);
    switch (type) {
    case WireType::Float:
        return v.toDouble();
    case WireType::Integer:
        return static_cast<double>(v.toLongLong());
    case WireType::String:
    case WireType::Date:
        return v.toString();
    }
    return v.toString();
}

} // namespace

QJsonValue PacketJson::toJson(const WirePacket& packet) {
    QJsonArray fields;
    for (const WireField& f : packet.Fields) {
        QJsonObject o{{QStringLiteral("name"), f.Name}, {QStringLiteral("type"), typeName(f.Type)}};
        if (f.Type == WireType::String) o.insert(QStringLiteral("size"), f.Size);
        fields.append(o);
    }
    QJsonArray rows;
    for (const auto& row : packet.Rows) {
        QJsonArray r;
        for (int i = 0; i < packet.Fields.size(); ++i)
            r.append(valueToJson(i < row.size() ? row[i] : QVariant(), packet.Fields[i].Type));
        rows.append(r);
    }
    return QJsonObject{{QStringLiteral("fields"), fields}, {QStringLiteral("rows"), rows}};
}

WirePacket PacketJson::fromJson(const QJsonValue& value) {
    if (!value.isObject())
        throw Refusal(QStringLiteral("Pacote de dados inválido: esperado um objeto."));
    const QJsonObject o = value.toObject();
    const QJsonValue fieldsValue = o.value(QStringLiteral("fields"));
    const QJsonValue rowsValue = o.value(QStringLiteral("rows"));
    if (!fieldsValue.isArray() || !rowsValue.isArray())
        throw Refusal(QStringLiteral("Pacote de dados inválido: faltam \"fields\" ou \"rows\"."));

    WirePacket p;
    for (const QJsonValue& fv : fieldsValue.toArray()) {
        WireField f;
        if (fv.isString()) {
            f.Name = fv.toString();
            f.Typed = false;
        } else if (fv.isObject()) {
            const QJsonObject fo = fv.toObject();
            f.Name = fo.value(QStringLiteral("name")).toString();
            if (!parseType(fo.value(QStringLiteral("type")).toString(), f.Type))
                throw Refusal(
                    QStringLiteral("Pacote de dados inválido: tipo desconhecido no campo %1.")
                        .arg(f.Name));
            f.Size = fo.value(QStringLiteral("size")).toInt(0);
        }
        if (f.Name.isEmpty())
            throw Refusal(QStringLiteral("Pacote de dados inválido: campo sem nome."));
        if (p.indexOf(f.Name) >= 0)
            throw Refusal(
                QStringLiteral("Pacote de dados inválido: campo %1 repetido.").arg(f.Name));
        p.Fields.push_back(f);
    }

    const QJsonArray rows = rowsValue.toArray();
    p.Rows.reserve(rows.size());
    int rowNumber = 0;
    for (const QJsonValue& rv : rows) {
        ++rowNumber;
        if (!rv.isArray() || rv.toArray().size() != p.Fields.size())
            throw Refusal(QStringLiteral("Pacote de dados inválido: a linha %1 não tem %2 valores.")
                              .arg(rowNumber)
                              .arg(p.Fields.size()));
        const QJsonArray r = rv.toArray();
        QVector<QVariant> row;
        row.reserve(r.size());
        for (int i = 0; i < r.size(); ++i) {
            const QJsonValue v = r[i];
            WireField& f = p.Fields[i];
            if (v.isNull()) {
                row.push_back(QVariant());
                continue;
            }
            if (!f.Typed) {
                // A bare name takes its kind from the first non-null value.
                f.Type = v.isDouble() ? WireType::Float : WireType::String;
                f.Typed = true;
                f.Size = 0;
            }
            const bool numeric = f.Type == WireType::Float || f.Type == WireType::Integer;
            if (numeric ? !v.isDouble() : !v.isString())
                throw Refusal(
                    QStringLiteral("Pacote de dados inválido: valor do campo %1 na linha %2 "
                                   "não é do tipo declarado.")
                        .arg(f.Name)
                        .arg(rowNumber));
            if (numeric) {
                const double d = v.toDouble();
                if (!std::isfinite(d))
                    throw Refusal(
                        QStringLiteral("Pacote de dados inválido: número inválido no campo %1.")
                            .arg(f.Name));
                row.push_back(d);
            } else {
                row.push_back(v.toString());
            }
        }
        p.Rows.push_back(std::move(row));
    }
    // Bare names that only ever held null stay untyped strings; mark them typed for readers.
    for (WireField& f : p.Fields)
        f.Typed = true;
    return p;
}

} // namespace pla
