#pragma once

#include "framework/print/PrintPage.h"

#include <QByteArray>
#include <QVector>

// Writes printed pages in ZPL II, the language of thermal label printers, so that a roll of
// labels is printed by the printer itself instead of as a picture through a driver: sharper
// small text and codes, and a fraction of the bytes. Each page is one label (^XA … ^XZ) of
// the page's size. Texts use the printer's scalable font 0 at the size the layout fitted them
// at; that font is narrower than the one the layout measures with, so a text that fits its
// box on paper fits it on the roll, and a field block of the box's width keeps it inside
// whatever the printer's font. Accents go as UTF-8 (^CI28); codes as the printer's own QR
// code (^BQ), error correction M like the page's.
class ZplWriter {
public:
    // The ZPL of pages at dpi dots per inch (203 or 300 for the usual printers).
    static QByteArray Write(const QVector<PrintPage>& pages, int dpi);
    // One page's label.
    static QByteArray Label(const PrintPage& page, int dpi);
};
