#include "appserver/rpc/PacketFieldReader.h"

#include "amounts/DishAmounts.h"
#include "appserver/rpc/InputAmount.h"
#include "appserver/rpc/InputText.h"
#include "appserver/rpc/Refusal.h"

#include <cmath>

namespace pla {

namespace {

bool isNumber(const QVariant& v) {
    const int t = v.metaType().id();
    return t == QMetaType::Double || t == QMetaType::Int || t == QMetaType::LongLong;
}

} // namespace

PacketFieldReader::PacketFieldReader(const TDataPacket& p, QString what,
                                     QHash<QString, int> textSizes, const QStringList& required,
                                     int maxRows)
    : p_(p), what_(std::move(what)) {
    for (auto it = textSizes.cbegin(); it != textSizes.cend(); ++it)
        sizes_.push_back({it.key(), p_.IndexOf(it.key()), it.value()});
    for (const QString& f : required)
        if (p_.IndexOf(f) < 0)
            throw Refusal(QStringLiteral("O pacote de %1 não tem o campo %2.").arg(what_, f));
    if (p_.Rows.size() > maxRows)
        throw Refusal(QStringLiteral("O pacote de %1 tem %2 linhas; o máximo por gravação é %3.")
                          .arg(what_, InputAmount::figure(double(p_.Rows.size())),
                               InputAmount::figure(maxRows)));
}

int PacketFieldReader::column(const char* field) const {
    const QLatin1StringView name(field);
    for (int i = 0; i < p_.Fields.size(); ++i)
        if (p_.Fields[i].Name == name) return i;
    return -1;
}

QVariant PacketFieldReader::value(int row, const char* field) const {
    const int i = column(field);
    return i < 0 ? QVariant() : p_.Rows[row][i];
}

bool PacketFieldReader::isNull(int row, const char* field) const {
    const QVariant v = value(row, field);
    return !v.isValid() || v.isNull();
}

qint64 PacketFieldReader::integer(int row, const char* field, const Label& label, qint64 min,
                                  qint64 max) const {
    const QVariant v = value(row, field);
    const double d = v.toDouble();
    // The range is checked on the double, so the conversion below is always defined.
    if (!isNumber(v) || d != std::floor(d) || d < double(min) || d > double(max))
        throw Refusal(QStringLiteral("O campo %1 %2 deve ser um número inteiro entre %3 e %4.")
                          .arg(QLatin1StringView(field), label.text(),
                               InputAmount::figure(double(min)), InputAmount::figure(double(max))));
    return static_cast<qint64>(d);
}

double PacketFieldReader::amount(int row, const char* field, const Label& label, double max) const {
    if (isNull(row, field)) return 0;
    const QVariant v = value(row, field);
    if (!isNumber(v))
        throw Refusal(QStringLiteral("O campo %1 %2 deve ser um número.")
                          .arg(QLatin1StringView(field), label.text()));
    const double d = v.toDouble();
    if (d < 0)
        throw Refusal(QStringLiteral("Quantidade negativa no campo %1 %2.")
                          .arg(QLatin1StringView(field), label.text()));
    const QString problem = InputAmount::problem(d, max);
    if (!problem.isEmpty())
        throw Refusal(QStringLiteral("O campo %1 %2 %3.")
                          .arg(QLatin1StringView(field), label.text(), problem));
    return DishAmounts::Round5(d);
}

QString PacketFieldReader::text(int row, const char* field, const Label& label) const {
    const int i = column(field);
    return i < 0 ? QString() : text(row, i, label);
}

QString PacketFieldReader::text(int row, int column, const Label& label) const {
    const QVariant& v = p_.Rows[row][column];
    if (!v.isValid() || v.isNull()) return {};
    if (v.metaType().id() != QMetaType::QString)
        throw Refusal(QStringLiteral("O campo %1 %2 deve ser um texto.")
                          .arg(p_.Fields[column].Name, label.text()));
    return v.toString();
}

void PacketFieldReader::checkTexts(int row, const Label& label) const {
    for (const Sized& s : sizes_) {
        if (s.column < 0) continue;
        const QString t = text(row, s.column, label);
        const QString problem = InputText::problem(t);
        if (!problem.isEmpty())
            throw Refusal(QStringLiteral("O campo %1 %2 %3.").arg(s.field, label.text(), problem));
        if (t.size() > s.size)
            throw Refusal(QStringLiteral("O campo %1 %2 tem %3 caracteres; o máximo é %4.")
                              .arg(s.field, label.text())
                              .arg(t.size())
                              .arg(s.size));
    }
}

} // namespace pla
