#include "framework/data/FilterExpression.h"

#include "framework/data/DatabaseError.h"
#include "framework/data/FilterParser.h"
#include "framework/data/NumberFormat.h"

#include <QLocale>

namespace pla {

namespace {

using Node = FilterNode;

[[noreturn]] void bindFail(const QString& text, const QString& detail) {
    throw EDatabaseError(QStringLiteral("Filtro inválido \"%1\": %2.").arg(text, detail));
}

bool isNumericType(TFieldType t) {
    return t == TFieldType::Float || t == TFieldType::Integer;
}

void bindNode(Node& n, const FilterExpression::Resolver& resolve, const QString& text) {
    switch (n.kind) {
    case Node::Kind::And:
    case Node::Kind::Or:
        bindNode(*n.left, resolve, text);
        bindNode(*n.right, resolve, text);
        return;
    case Node::Kind::Not:
        bindNode(*n.left, resolve, text);
        return;
    case Node::Kind::Field: {
        const auto col = resolve(n.text);
        if (!col) bindFail(text, QStringLiteral("campo '%1' não encontrado").arg(n.text));
        n.slot = col->slot;
        n.calculated = col->calculated;
        n.type = col->type;
        return;
    }
    case Node::Kind::Number:
    case Node::Kind::String:
        return;
    case Node::Kind::Compare:
        break;
    }
    bindNode(*n.left, resolve, text);
    bindNode(*n.right, resolve, text);
    Node* sides[2] = {n.left.get(), n.right.get()};
    bool numericField = false, dateField = false, textSide = false;
    for (Node* s : sides) {
        if (s->kind == Node::Kind::Field) {
            numericField = numericField || isNumericType(s->type);
            dateField = dateField || s->type == TFieldType::Date;
            textSide = textSide || s->type == TFieldType::String;
        } else if (s->kind == Node::Kind::String) {
            textSide = true;
        }
    }
    n.mode = numericField ? Node::Mode::Numeric
             : dateField  ? Node::Mode::Date
             : textSide   ? Node::Mode::Text
                          : Node::Mode::Numeric;
    for (Node* s : sides) {
        if (s->kind == Node::Kind::Field) continue;
        switch (n.mode) {
        case Node::Mode::Numeric:
            if (s->kind == Node::Kind::Number) {
                s->num = s->number;
            } else {
                bool ok = false;
                s->num = s->text.trimmed().toDouble(&ok);
                if (!ok) {
                    const auto v = NumberFormat::Parse(s->text);
                    if (!v) bindFail(text, QStringLiteral("'%1' não é um número").arg(s->text));
                    s->num = *v;
                }
            }
            break;
        case Node::Mode::Text:
            s->str = s->text;
            break;
        case Node::Mode::Date: {
            if (s->kind == Node::Kind::Number)
                bindFail(text, QStringLiteral("%1 não é uma data").arg(s->text));
            QDate d = QDate::fromString(s->text, Qt::ISODate);
            if (!d.isValid()) {
                const auto p = NumberFormat::ParseDate(s->text);
                if (!p) bindFail(text, QStringLiteral("'%1' não é uma data").arg(s->text));
                d = *p;
            }
            s->date = d;
            break;
        }
        }
    }
}

const QVariant* fieldValue(const Node& n, const QVector<QVariant>& data,
                           const QVector<QVariant>* calc) {
    const QVector<QVariant>* src = n.calculated ? calc : &data;
    if (!src || n.slot < 0 || n.slot >= src->size()) return nullptr;
    const QVariant& v = src->at(n.slot);
    return v.isValid() && !v.isNull() ? &v : nullptr;
}

bool numberOf(const Node& n, const QVector<QVariant>& data, const QVector<QVariant>* calc,
              double& out) {
    if (n.kind != Node::Kind::Field) {
        out = n.num;
        return true;
    }
    const QVariant* v = fieldValue(n, data, calc);
    if (!v) return false;
    if (v->typeId() == QMetaType::Double) {
        out = *static_cast<const double*>(v->constData());
        return true;
    }
    bool ok = false;
    out = v->toDouble(&ok);
    if (!ok && v->typeId() == QMetaType::QString) {
        const auto p = NumberFormat::Parse(v->toString());
        if (p) out = *p, ok = true;
    }
    return ok;
}

template <class T> bool compare(Node::Op op, const T& a, const T& b) {
    switch (op) {
    case Node::Op::Eq:
        return a == b;
    case Node::Op::Ne:
        return a != b;
    case Node::Op::Lt:
        return a < b;
    case Node::Op::Gt:
        return b < a;
    case Node::Op::Le:
        return !(b < a);
    case Node::Op::Ge:
        return !(a < b);
    }
    return false;
}

bool evalCompare(const Node& n, const QVector<QVariant>& data, const QVector<QVariant>* calc) {
    const Node& l = *n.left;
    const Node& r = *n.right;
    const bool nullResult = n.op == Node::Op::Ne;
    switch (n.mode) {
    case Node::Mode::Numeric: {
        double a = 0, b = 0;
        if (!numberOf(l, data, calc, a) || !numberOf(r, data, calc, b)) return nullResult;
        return compare(n.op, a, b);
    }
    case Node::Mode::Text: {
        QString ta, tb;
        const QString* a = &l.str;
        const QString* b = &r.str;
        if (l.kind == Node::Kind::Field) {
            const QVariant* v = fieldValue(l, data, calc);
            if (!v) return nullResult;
            if (v->typeId() == QMetaType::QString)
                a = static_cast<const QString*>(v->constData());
            else
                ta = v->toString(), a = &ta;
        }
        if (r.kind == Node::Kind::Field) {
            const QVariant* v = fieldValue(r, data, calc);
            if (!v) return nullResult;
            if (v->typeId() == QMetaType::QString)
                b = static_cast<const QString*>(v->constData());
            else
                tb = v->toString(), b = &tb;
        }
        return compare(n.op, *a, *b);
    }
    case Node::Mode::Date: {
        QDate a = l.date, b = r.date;
        if (l.kind == Node::Kind::Field) {
            const QVariant* v = fieldValue(l, data, calc);
            if (!v) return nullResult;
            a = v->toDate();
        }
        if (r.kind == Node::Kind::Field) {
            const QVariant* v = fieldValue(r, data, calc);
            if (!v) return nullResult;
            b = v->toDate();
        }
        if (!a.isValid() || !b.isValid()) return nullResult;
        return compare(n.op, a, b);
    }
    }
    return false;
}

bool eval(const Node& n, const QVector<QVariant>& data, const QVector<QVariant>* calc) {
    switch (n.kind) {
    case Node::Kind::And:
        return eval(*n.left, data, calc) && eval(*n.right, data, calc);
    case Node::Kind::Or:
        return eval(*n.left, data, calc) || eval(*n.right, data, calc);
    case Node::Kind::Not:
        return !eval(*n.left, data, calc);
    case Node::Kind::Compare:
        return evalCompare(n, data, calc);
    default:
        return false;
    }
}

} // namespace

FilterExpression::FilterExpression() = default;
FilterExpression::~FilterExpression() = default;
FilterExpression::FilterExpression(FilterExpression&&) noexcept = default;
FilterExpression& FilterExpression::operator=(FilterExpression&&) noexcept = default;

QString FilterExpression::QuoteString(const QString& value) {
    QString quoted = value;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString FilterExpression::NumberLiteral(double value) {
    // Negative zero would read back as zero anyway; "-0" only looks odd in a filter text.
    if (value == 0) return QStringLiteral("0");
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

FilterExpression FilterExpression::Parse(const QString& text) {
    FilterExpression e;
    e.text_ = text;
    if (!text.trimmed().isEmpty()) e.root_ = FilterParser::Parse(text);
    e.bound_ = !e.root_;
    return e;
}

QString FilterExpression::Text() const {
    return text_;
}

bool FilterExpression::IsEmpty() const {
    return !root_;
}

void FilterExpression::Bind(const Resolver& resolve) {
    if (!root_) return;
    bound_ = false;
    bindNode(*root_, resolve, text_);
    bound_ = true;
}

bool FilterExpression::IsBound() const {
    return bound_;
}

bool FilterExpression::Matches(const QVector<QVariant>& data, const QVector<QVariant>* calc) const {
    return !root_ || eval(*root_, data, calc);
}

} // namespace pla
