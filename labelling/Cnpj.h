#pragma once

#include <QString>

namespace pla {

// The national register number of a company: 14 digits, the last two check digits.
class Cnpj {
public:
    // The 14 digits of text written with or without its punctuation ("12.345.678/0001-95"),
    // or an empty string when it is not 14 digits with the right check digits; reason then
    // says which.
    static QString Digits(const QString& text, QString& reason);
    // "12.345.678/0001-95" from the 14 digits (other text is returned as it is).
    static QString Format(const QString& digits);
};

} // namespace pla
