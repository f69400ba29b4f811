#include "framework/data/PacketCodec.h"

#include "framework/data/DatabaseError.h"
#include "framework/data/PacketScanner.h"
#include "framework/data/PacketWriter.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QSet>
#include <cmath>
#include <limits>

namespace {

[[noreturn]] void fail(const QString& what) {
    throw EDatabaseError(QStringLiteral("Pacote de dados inválido: %1.").arg(what));
}

bool parseType(const QString& s, TFieldType& t) {
    if (s == QLatin1String("string"))
        t = TFieldType::String;
    else if (s == QLatin1String("float"))
        t = TFieldType::Float;
    else if (s == QLatin1String("integer"))
        t = TFieldType::Integer;
    else if (s == QLatin1String("date"))
        t = TFieldType::Date;
    else
        return false;
    return true;
}

QString typeWord(TFieldType t) {
    switch (t) {
    case TFieldType::String:
        return QStringLiteral("texto");
    case TFieldType::Float:
        return QStringLiteral("número");
    case TFieldType::Integer:
        return QStringLiteral("número inteiro");
    case TFieldType::Date:
        return QStringLiteral("data (AAAA-MM-DD)");
    }
    return {};
}

// A nested value where a scalar belongs: say "too deep" when it is, so that an attacker's
// deeply nested value is reported as such rather than as a mere type mismatch.
void checkNested(const QJsonValue& v, const QString& where) {
    if (PacketCodec::Depth(v) > PacketCodec::MaxDepth)
        fail(QStringLiteral("aninhamento acima de %1 níveis em %2")
                 .arg(PacketCodec::MaxDepth)
                 .arg(where));
}

// Appends the value of one cell to out. Takes the array element by reference, and builds the
// value in place: a QJsonValue or a returned QVariant per cell would add a large share to the
// cost of loading a large packet.
void appendValue(QVector<QVariant>& out, const QJsonValueConstRef& v, const TPacketField& f,
                 int row) {
    const QJsonValue::Type t = v.type();
    if (t == QJsonValue::Double) {
        if (f.Type == TFieldType::Float) {
            out.emplaceBack(v.toDouble());
            return;
        }
        if (f.Type == TFieldType::Integer) {
            const double d = v.toDouble();
            if (d == std::floor(d) && d >= std::numeric_limits<int>::min() &&
                d <= std::numeric_limits<int>::max()) {
                out.emplaceBack(int(d));
                return;
            }
        }
    } else if (t == QJsonValue::String) {
        if (f.Type == TFieldType::String) {
            out.emplaceBack(v.toString());
            return;
        }
        if (f.Type == TFieldType::Date) {
            const QString s = v.toString();
            const QDate d = QDate::fromString(s, Qt::ISODate);
            if (d.isValid() && s.size() == 10) {
                out.emplaceBack(d);
                return;
            }
        }
    } else if (t == QJsonValue::Null) {
        out.emplaceBack();
        return;
    }
    checkNested(QJsonValue(v), QStringLiteral("linha %1, campo '%2'").arg(row + 1).arg(f.Name));
    fail(QStringLiteral("valor de tipo errado na linha %1, campo '%2': esperado %3")
             .arg(row + 1)
             .arg(f.Name, typeWord(f.Type)));
}

// Type of a field given as a bare name, guessed from its values: numbers make it a float,
// anything else a string. Mixed numbers and texts are refused.
TPacketField guessField(const QString& name, int column, const QJsonArray& rows) {
    TPacketField f;
    f.Name = name;
    f.Typed = false;
    bool numbers = false, texts = false;
    for (const QJsonValue& r : rows) {
        if (!r.isArray()) continue; // reported by the row pass
        const QJsonArray a = r.toArray();
        if (column >= a.size()) continue;
        const QJsonValue v = a.at(column);
        if (v.isDouble())
            numbers = true;
        else if (v.isString())
            texts = true;
    }
    if (numbers && texts) fail(QStringLiteral("o campo '%1' mistura números e textos").arg(name));
    f.Type = numbers ? TFieldType::Float : TFieldType::String;
    return f;
}

void requireWithinLimit(const QByteArray& bytes) {
    if (bytes.size() > PacketCodec::MaxBytes)
        throw EDatabaseError(QStringLiteral("Dados recebidos excedem o limite de %1 MiB.")
                                 .arg(PacketCodec::MaxBytes / (1024 * 1024)));
}

} // namespace

QString PacketCodec::TypeName(TFieldType t) {
    switch (t) {
    case TFieldType::String:
        return QStringLiteral("string");
    case TFieldType::Float:
        return QStringLiteral("float");
    case TFieldType::Integer:
        return QStringLiteral("integer");
    case TFieldType::Date:
        return QStringLiteral("date");
    }
    return {};
}

int PacketCodec::Depth(const QJsonValue& v, int limit) {
    if (limit < 0) return 1;
    int deepest = 0;
    if (v.isArray()) {
        for (const QJsonValue& e : v.toArray()) {
            deepest = std::max(deepest, Depth(e, limit - 1));
            if (deepest > limit) break;
        }
        return deepest + 1;
    }
    if (v.isObject()) {
        const QJsonObject o = v.toObject();
        for (auto it = o.begin(); it != o.end(); ++it) {
            deepest = std::max(deepest, Depth(it.value(), limit - 1));
            if (deepest > limit) break;
        }
        return deepest + 1;
    }
    return 0;
}

QJsonValue PacketCodec::ToJson(const TDataPacket& p) {
    QJsonArray fields;
    for (const TPacketField& f : p.Fields) {
        if (!f.Typed) {
            fields.append(f.Name);
            continue;
        }
        QJsonObject o{{QStringLiteral("name"), f.Name}, {QStringLiteral("type"), TypeName(f.Type)}};
        if (f.Type == TFieldType::String && f.Size > 0) o.insert(QStringLiteral("size"), f.Size);
        fields.append(o);
    }
    QJsonArray rows;
    for (int r = 0; r < p.Rows.size(); ++r) {
        const QVector<QVariant>& row = p.Rows.at(r);
        if (row.size() != p.Fields.size())
            fail(QStringLiteral("a linha %1 tem %2 valores; esperados %3")
                     .arg(r + 1)
                     .arg(row.size())
                     .arg(p.Fields.size()));
        QJsonArray out;
        for (int c = 0; c < row.size(); ++c) {
            const QVariant& v = row.at(c);
            if (!v.isValid() || v.isNull()) {
                out.append(QJsonValue::Null);
                continue;
            }
            switch (p.Fields.at(c).Type) {
            case TFieldType::String:
                out.append(v.toString());
                break;
            case TFieldType::Float:
            case TFieldType::Integer: {
                bool ok = false;
                const double d = v.toDouble(&ok);
                if (!ok || !std::isfinite(d))
                    fail(QStringLiteral("valor numérico inválido na linha %1, campo '%2'")
                             .arg(r + 1)
                             .arg(p.Fields.at(c).Name));
                out.append(d);
                break;
            }
            case TFieldType::Date: {
                const QDate d = v.toDate();
                if (!d.isValid())
                    fail(QStringLiteral("data inválida na linha %1, campo '%2'")
                             .arg(r + 1)
                             .arg(p.Fields.at(c).Name));
                out.append(d.toString(Qt::ISODate));
                break;
            }
            }
        }
        rows.append(out);
    }
    return QJsonObject{{QStringLiteral("fields"), fields}, {QStringLiteral("rows"), rows}};
}

TDataPacket PacketCodec::FromJson(const QJsonValue& v) {
    if (!v.isObject()) fail(QStringLiteral("esperado um objeto JSON"));
    const QJsonObject o = v.toObject();
    const QJsonValue fv = o.value(QLatin1String("fields"));
    const QJsonValue rv = o.value(QLatin1String("rows"));
    if (!fv.isArray()) fail(QStringLiteral("\"fields\" deve ser uma lista"));
    if (!rv.isArray()) fail(QStringLiteral("\"rows\" deve ser uma lista"));
    // Members other than the two lists are ignored, but not when they are nested absurdly deep.
    for (auto it = o.begin(); it != o.end(); ++it)
        if (it.key() != QLatin1String("fields") && it.key() != QLatin1String("rows"))
            checkNested(it.value(), it.key());

    const QJsonArray fa = fv.toArray();
    const QJsonArray ra = rv.toArray();
    TDataPacket p;
    p.Fields.reserve(fa.size());
    for (int i = 0; i < fa.size(); ++i) {
        const QJsonValue f = fa.at(i);
        if (f.isString()) {
            if (f.toString().isEmpty()) fail(QStringLiteral("campo %1 sem nome").arg(i + 1));
            p.Fields.append(guessField(f.toString(), i, ra));
            continue;
        }
        if (!f.isObject())
            fail(QStringLiteral("o campo %1 deve ser um nome ou um objeto").arg(i + 1));
        checkNested(f, QStringLiteral("campo %1").arg(i + 1));
        const QJsonObject fo = f.toObject();
        TPacketField pf;
        pf.Name = fo.value(QLatin1String("name")).toString();
        if (pf.Name.isEmpty()) fail(QStringLiteral("campo %1 sem nome").arg(i + 1));
        const QJsonValue tv = fo.value(QLatin1String("type"));
        if (tv.isUndefined()) {
            pf = guessField(pf.Name, i, ra);
        } else if (!tv.isString() || !parseType(tv.toString(), pf.Type)) {
            fail(QStringLiteral("tipo desconhecido no campo '%1'").arg(pf.Name));
        }
        const QJsonValue sv = fo.value(QLatin1String("size"));
        if (!sv.isUndefined()) {
            if (!sv.isDouble() || sv.toDouble() < 0 || sv.toDouble() != std::floor(sv.toDouble()) ||
                sv.toDouble() > std::numeric_limits<int>::max())
                fail(QStringLiteral("tamanho inválido no campo '%1'").arg(pf.Name));
            // A size bounds texts only; on another type it is read and dropped, as the
            // encoder never writes it there.
            if (pf.Type == TFieldType::String) pf.Size = sv.toInt();
        }
        p.Fields.append(pf);
    }

    const int nf = p.Fields.size();
    p.Rows.reserve(ra.size());
    int r = 0;
    for (const QJsonValue& rowv : ra) {
        if (!rowv.isArray()) {
            checkNested(rowv, QStringLiteral("linha %1").arg(r + 1));
            fail(QStringLiteral("a linha %1 deve ser uma lista").arg(r + 1));
        }
        const QJsonArray row = rowv.toArray();
        if (row.size() != nf)
            fail(QStringLiteral("a linha %1 tem %2 valores; esperados %3")
                     .arg(r + 1)
                     .arg(row.size())
                     .arg(nf));
        QVector<QVariant> out;
        out.reserve(nf);
        int c = 0;
        const TPacketField* field = p.Fields.constData();
        for (const auto cell : row)
            appendValue(out, cell, field[c++], r);
        p.Rows.append(std::move(out));
        ++r;
    }
    return p;
}

void PacketCodec::RequireDistinctNames(const TDataPacket& p) {
    QSet<QString> seen;
    for (const TPacketField& f : p.Fields) {
        if (seen.contains(f.Name)) fail(QStringLiteral("campo '%1' repetido").arg(f.Name));
        seen.insert(f.Name);
    }
}

QByteArray PacketCodec::Encode(const TDataPacket& p) {
    QByteArray out;
    PacketWriter::Append(p, out);
    return out;
}

QJsonValue PacketCodec::ParseJson(const QByteArray& bytes) {
    requireWithinLimit(bytes);
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &err);
    if (err.error != QJsonParseError::NoError)
        throw EDatabaseError(QStringLiteral("JSON inválido na posição %1: %2.")
                                 .arg(err.offset)
                                 .arg(err.errorString()));
    const QJsonValue v = doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object());
    if (Depth(v) > MaxDepth)
        throw EDatabaseError(
            QStringLiteral("JSON com aninhamento acima de %1 níveis.").arg(MaxDepth));
    return v;
}

TDataPacket PacketCodec::Decode(const QByteArray& bytes) {
    requireWithinLimit(bytes);
    // The usual packet is read straight from the bytes; building a JSON document first more
    // than doubles the cost of a large one. Whatever the direct reading declines (including
    // every malformed input) goes the general way below, which judges it.
    if (std::optional<TDataPacket> p = pla::PacketScanner::TryRead(bytes)) return std::move(*p);
    return DecodeGeneral(bytes);
}

TDataPacket PacketCodec::DecodeGeneral(const QByteArray& bytes) {
    requireWithinLimit(bytes);
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &err);
    if (err.error != QJsonParseError::NoError)
        throw EDatabaseError(QStringLiteral("JSON inválido na posição %1: %2.")
                                 .arg(err.offset)
                                 .arg(err.errorString()));
    if (!doc.isObject()) fail(QStringLiteral("esperado um objeto JSON"));
    // FromJson checks the depth of everything it does not take apart itself, so the whole
    // document is not walked twice.
    return FromJson(doc.object());
}
