#include "framework/ui/TMemo.h"

TMemo::TMemo(TComponent* owner) : TCustomEdit(owner) {
    multiline_ = true;
    SetBounds(0, 0, 185, 89);
}

QStringList TMemo::Lines() const {
    return Text().isEmpty() ? QStringList() : Text().split(QLatin1Char('\n'));
}

void TMemo::SetLines(const QStringList& lines) {
    SetText(lines.join(QLatin1Char('\n')));
}
