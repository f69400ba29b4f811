#include "labelling/Cnpj.h"

#include <QRegularExpression>

namespace pla {

namespace {

// The check digit of the first n digits: weights 2..9 from the right, repeating.
int CheckDigit(const QString& digits, int n) {
    int sum = 0, weight = 2;
    for (int i = n - 1; i >= 0; --i) {
        sum += digits[i].digitValue() * weight;
        weight = weight == 9 ? 2 : weight + 1;
    }
    const int rest = sum % 11;
    return rest < 2 ? 0 : 11 - rest;
}

} // namespace

QString Cnpj::Digits(const QString& text, QString& reason) {
    static const QRegularExpression punctuation(QStringLiteral("[.\\-/\\s]"));
    static const QRegularExpression fourteen(QStringLiteral("^[0-9]{14}$"));
    const QString digits = QString(text).remove(punctuation);
    if (!fourteen.match(digits).hasMatch()) {
        reason = QStringLiteral("não tem 14 dígitos");
        return {};
    }
    // Fourteen equal digits pass the arithmetic but are no company's number.
    if (digits.count(digits[0]) == 14 || CheckDigit(digits, 12) != digits[12].digitValue() ||
        CheckDigit(digits, 13) != digits[13].digitValue()) {
        reason = QStringLiteral("tem dígitos verificadores errados");
        return {};
    }
    return digits;
}

QString Cnpj::Format(const QString& digits) {
    if (digits.size() != 14) return digits;
    return QStringLiteral("%1.%2.%3/%4-%5")
        .arg(digits.left(2), digits.mid(2, 3), digits.mid(5, 3), digits.mid(8, 4),
             digits.mid(12, 2));
}

} // namespace pla
