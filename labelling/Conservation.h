#pragma once

#include <QString>

namespace pla {

// How a dish is kept from preparation to serving, by its one-letter code: Q hot, R chilled,
// C frozen, A room temperature.
class Conservation {
public:
    // The codes a dish may have.
    static constexpr const char* kCodes = "QRCA";
    // The label's instruction for code ("Conservar refrigerado abaixo de 5 °C"); empty for
    // an unknown code.
    static QString Instruction(const QString& code);
    // The longest shelf life, in hours after preparation, the code allows (0: no limit):
    // 6 for hot food, 120 for chilled food.
    static int MaxHours(const QString& code);
    // One word for code ("Refrigerado"), for tables; empty for an unknown code.
    static QString Short(const QString& code);
};

} // namespace pla
