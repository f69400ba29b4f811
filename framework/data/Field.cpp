#include "framework/data/Field.h"

#include "framework/data/ClientDataSet.h"
#include "framework/data/DatabaseError.h"
#include "framework/data/NumberFormat.h"

#include <QDateTime>
#include <cmath>
#include <limits>

namespace {

bool isNull(const QVariant& v) {
    return !v.isValid() || v.isNull();
}

// The number a value stands for: a text read with the comma (and, from the wire, also with
// the point), other values as Qt converts them; dates are never numbers.
bool toNumber(const QVariant& v, bool wire, double& d) {
    bool ok = false;
    if (v.typeId() == QMetaType::QString) {
        if (wire) d = v.toString().trimmed().toDouble(&ok);
        if (!ok) {
            const auto p = NumberFormat::Parse(v.toString());
            ok = p.has_value();
            if (ok) d = *p;
        }
    } else if (v.typeId() != QMetaType::QDate && v.typeId() != QMetaType::QDateTime) {
        d = v.toDouble(&ok);
    }
    return ok;
}

} // namespace

TField::TField(TClientDataSet& ds, int index, const TFieldDef& def)
    : DisplayLabel(def.DisplayLabel.isEmpty() ? def.Name : def.DisplayLabel), Visible(def.Visible),
      DisplayFormat(def.DisplayFormat), EditMask(def.EditMask), Required(def.Required),
      DisplayWidth(def.DisplayWidth), ds_(ds), index_(index), def_(def) {}

QString TField::FieldName() const {
    return def_.Name;
}

TFieldType TField::DataType() const {
    return def_.Type;
}

int TField::Size() const {
    return def_.Size;
}

TFieldKind TField::FieldKind() const {
    return def_.Kind;
}

int TField::Index() const {
    return index_;
}

TClientDataSet& TField::DataSet() const {
    return ds_;
}

QVariant TField::Value() const {
    return ds_.readValue(index_);
}

bool TField::IsNull() const {
    return isNull(ds_.readValue(index_));
}

void TField::SetValue(const QVariant& v) {
    ds_.writeValue(*this, v);
}

void TField::Clear() {
    ds_.writeValue(*this, QVariant());
}

QVariant TField::convert(const QVariant& v, bool wire) const {
    if (isNull(v)) return QVariant();
    auto refuse = [&]() -> QVariant {
        throw EDatabaseError(
            QStringLiteral("Valor '%1' inválido para o campo '%2'.").arg(v.toString(), def_.Name));
    };
    const bool isText = v.typeId() == QMetaType::QString;
    switch (def_.Type) {
    case TFieldType::String: {
        QString s;
        if (v.typeId() == QMetaType::Double)
            s = NumberFormat::General(v.toDouble());
        else if (v.typeId() == QMetaType::QDate)
            s = NumberFormat::FormatDate(v.toDate());
        else
            s = v.toString();
        if (def_.Size > 0 && s.size() > def_.Size) s.truncate(def_.Size);
        return s;
    }
    case TFieldType::Float: {
        if (v.typeId() == QMetaType::Double) return v;
        double d = 0;
        const bool ok = toNumber(v, wire, d);
        if (!ok) return refuse();
        return d;
    }
    case TFieldType::Integer: {
        if (v.typeId() == QMetaType::Int) return v;
        double d = 0;
        const bool ok = toNumber(v, wire, d);
        if (!ok || !std::isfinite(d) || std::fabs(d) > std::numeric_limits<int>::max())
            return refuse();
        return int(std::llround(d));
    }
    case TFieldType::Date: {
        if (v.typeId() == QMetaType::QDate) return v.toDate().isValid() ? v : refuse();
        if (v.typeId() == QMetaType::QDateTime) {
            const QDate d = v.toDateTime().date();
            return d.isValid() ? QVariant(d) : refuse();
        }
        if (isText) {
            const QString t = v.toString().trimmed();
            const QDate iso = QDate::fromString(t, Qt::ISODate);
            if (iso.isValid() && t.size() == 10) return iso;
            const auto d = NumberFormat::ParseDate(t);
            if (d) return *d;
        }
        return refuse();
    }
    }
    return refuse();
}

QString TField::AsString() const {
    const QVariant& v = ds_.readValue(index_);
    if (isNull(v)) return QString();
    switch (def_.Type) {
    case TFieldType::String:
        return v.toString();
    case TFieldType::Float:
        return NumberFormat::General(v.toDouble());
    case TFieldType::Integer:
        return QString::number(v.toInt());
    case TFieldType::Date:
        return NumberFormat::FormatDate(v.toDate());
    }
    return v.toString();
}

void TField::SetAsString(const QString& s) {
    if (def_.Type == TFieldType::String)
        SetValue(s);
    else
        SetText(s);
}

double TField::AsFloat() const {
    // Read in place: a walk reads a field per row, and a copy of each value shows there.
    const QVariant& v = ds_.readValue(index_);
    if (v.typeId() == QMetaType::Double) return *static_cast<const double*>(v.constData());
    if (isNull(v)) return 0;
    if (def_.Type == TFieldType::Float || def_.Type == TFieldType::Integer) return v.toDouble();
    if (def_.Type == TFieldType::String) {
        const auto p = NumberFormat::Parse(v.toString());
        if (p) return *p;
    }
    throw EDatabaseError(
        QStringLiteral("O valor '%1' do campo '%2' não é um número.").arg(AsString(), def_.Name));
}

void TField::SetAsFloat(double v) {
    SetValue(v);
}

int TField::AsInteger() const {
    const double d = AsFloat();
    if (!std::isfinite(d) || std::fabs(d) > std::numeric_limits<int>::max())
        throw EDatabaseError(
            QStringLiteral("O valor do campo '%1' não cabe em um número inteiro.").arg(def_.Name));
    return int(std::llround(d));
}

void TField::SetAsInteger(int v) {
    SetValue(v);
}

QDate TField::AsDate() const {
    const QVariant v = Value();
    if (isNull(v)) return QDate();
    if (def_.Type == TFieldType::Date) return v.toDate();
    if (def_.Type == TFieldType::String) {
        const auto d = NumberFormat::ParseDate(v.toString());
        if (d) return *d;
        return QDate::fromString(v.toString(), Qt::ISODate);
    }
    return QDate();
}

void TField::SetAsDate(const QDate& d) {
    SetValue(d.isValid() ? QVariant(d) : QVariant());
}

QString TField::formatted(bool display) const {
    const QVariant v = Value();
    QString text;
    if (!isNull(v)) {
        switch (def_.Type) {
        case TFieldType::Float:
        case TFieldType::Integer:
            text = display && !DisplayFormat.isEmpty()
                       ? NumberFormat::Format(DisplayFormat, v.toDouble())
                   : def_.Type == TFieldType::Integer ? QString::number(v.toInt())
                                                      : NumberFormat::General(v.toDouble());
            break;
        case TFieldType::Date:
            text = NumberFormat::FormatDate(v.toDate());
            break;
        case TFieldType::String:
            text = v.toString();
            break;
        }
    }
    OnGetText(const_cast<TField&>(*this), text, display);
    return text;
}

QString TField::DisplayText() const {
    return formatted(true);
}

QString TField::Text() const {
    return formatted(false);
}

void TField::SetText(const QString& text) {
    if (def_.Type == TFieldType::String) {
        SetValue(text);
        return;
    }
    if (text.trimmed().isEmpty()) {
        Clear();
        return;
    }
    switch (def_.Type) {
    case TFieldType::Float:
    case TFieldType::Integer: {
        const auto p = NumberFormat::Parse(text);
        if (!p)
            throw EDatabaseError(
                QStringLiteral("'%1' não é um valor numérico válido para o campo '%2'.")
                    .arg(text, DisplayLabel));
        if (def_.Type == TFieldType::Integer &&
            (*p != std::floor(*p) || std::fabs(*p) > std::numeric_limits<int>::max()))
            throw EDatabaseError(
                QStringLiteral("'%1' não é um número inteiro válido para o campo '%2'.")
                    .arg(text, DisplayLabel));
        SetValue(def_.Type == TFieldType::Integer ? QVariant(int(*p)) : QVariant(*p));
        return;
    }
    case TFieldType::Date: {
        const auto d = NumberFormat::ParseDate(text);
        if (!d)
            throw EDatabaseError(QStringLiteral("'%1' não é uma data válida para o campo '%2'.")
                                     .arg(text, DisplayLabel));
        SetValue(*d);
        return;
    }
    case TFieldType::String:
        break;
    }
}
