#include "framework/services/Consiste.h"

#include "framework/data/Abort.h"
#include "framework/net/ResultEnvelope.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/TWinControl.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace Consiste {

void MensErro(const QString& text, bool abortAction) {
    pla::Dialogs().ShowError(text);
    if (abortAction) throw Abort();
}

QJsonValue CheckResultServ(const QJsonValue& raw, bool showMessage, int /*helpContext*/) {
    const pla::ResultEnvelope::Decoded d = pla::ResultEnvelope::Decode(raw);
    if (d.IsSuccess()) return d.data;
    if (showMessage) pla::Dialogs().ShowError(d.message);
    throw Abort();
}

double RoundDec(double value, int decimals) {
    if (!std::isfinite(value)) return value;
    if (value == 0.0) return 0.0;
    // 15 significant digits: one before the point and 14 after, in scientific notation.
    // to_chars is locale-independent, unlike printf, whose decimal point follows the user's
    // locale once the application has set it.
    char buf[40];
    const double magnitude = std::fabs(value);
    const auto written =
        std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
    const std::string text(buf, written.ptr);
    const size_t e = text.find('e');
    std::int64_t mantissa = 0; // the 15 digits as an integer
    for (size_t i = 0; i < e; ++i)
        if (text[i] != '.') mantissa = mantissa * 10 + (text[i] - '0');
    const int exponent = std::stoi(text.substr(e + 1));

    // mantissa * 10^(exponent - 14) == magnitude; it has (14 - exponent) fractional digits.
    const int drop = (14 - exponent) - decimals;
    if (drop <= 0) return value;
    std::int64_t kept = 0;
    if (drop <= 15) {
        std::int64_t unit = 1;
        for (int i = 0; i < drop; ++i)
            unit *= 10;
        kept = mantissa / unit;
        if (mantissa % unit >= unit / 2) ++kept;
    }
    if (kept == 0) return 0.0;
    const std::string rounded = std::to_string(kept) + "e" + std::to_string(-decimals);
    double result = 0.0;
    std::from_chars(rounded.data(), rounded.data() + rounded.size(), result);
    return value < 0 ? -result : result;
}

bool EmptyString(const QString& text) {
    return text.trimmed().isEmpty();
}

QString Ajusta(const QString& code, int width) {
    const QString c = code.trimmed().toUpper();
    if (c.isEmpty() || c.size() >= width) return c;
    for (const QChar ch : c)
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9')) return c;
    return c.rightJustified(width, QLatin1Char('0'));
}

QString DiaSemana(const QString& day) {
    static const char* const names[] = {"Domingo", "Segunda", "Terça", "Quarta",
                                        "Quinta",  "Sexta",   "Sábado"};
    const QString d = day.trimmed();
    if (d.size() != 1 || d[0] < QLatin1Char('1') || d[0] > QLatin1Char('7')) return {};
    return QString::fromUtf8(names[d[0].unicode() - '1']);
}

void SetChildEnabled(TWinControl& container, bool enabled) {
    container.SetEnabled(enabled);
    for (TControl* c : container.Controls()) {
        if (auto* w = dynamic_cast<TWinControl*>(c))
            SetChildEnabled(*w, enabled);
        else
            c->SetEnabled(enabled);
    }
}

} // namespace Consiste
