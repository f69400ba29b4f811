#pragma once

#include <QString>

namespace pla {

// The label printer of this workstation and its roll, kept between sessions in the user's
// settings on this computer: each kitchen workstation has its own printer beside it.
struct LabelPrinterChoice {
    QString printer;                               // a CUPS queue, or HOST:PORT (raw port 9100)
    QString stock = QStringLiteral("ROLO-100x60"); // a roll LabelStock
    int dpi = 203;

    // The choice saved on this workstation (the defaults and no printer when none was).
    static LabelPrinterChoice Load();
    void Save() const;
};

} // namespace pla
