#include "framework/services/Consiste.h"

#include "framework/data/Abort.h"
#include "framework/data/DecimalRounding.h"
#include "framework/net/ResultEnvelope.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/TWinControl.h"

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
    return pla::DecimalRounding::Round(value, decimals);
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
