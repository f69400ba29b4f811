#include "labelling/Conservation.h"

namespace pla {

namespace {

struct Kind {
    const char* code;
    const char* instruction;
    const char* word;
    int maxHours; // hot food above 60 °C keeps 6 hours; chilled food at 4 °C or less, 5 days
};

const Kind kKinds[] = {
    {"Q", "Conservar aquecido acima de 60 °C", "Quente", 6},
    {"R", "Conservar refrigerado abaixo de 5 °C", "Refrigerado", 120},
    {"C", "Conservar congelado a -18 °C ou menos", "Congelado", 0},
    {"A", "Conservar em temperatura ambiente", "Ambiente", 0},
};

const Kind* Find(const QString& code) {
    for (const Kind& k : kKinds)
        if (code == QLatin1String(k.code)) return &k;
    return nullptr;
}

} // namespace

QString Conservation::Instruction(const QString& code) {
    const Kind* k = Find(code);
    return k ? QString::fromUtf8(k->instruction) : QString();
}

int Conservation::MaxHours(const QString& code) {
    const Kind* k = Find(code);
    return k ? k->maxHours : 0;
}

QString Conservation::Short(const QString& code) {
    const Kind* k = Find(code);
    return k ? QString::fromUtf8(k->word) : QString();
}

} // namespace pla
