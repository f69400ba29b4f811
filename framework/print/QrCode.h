#pragma once

#include <QBitArray>
#include <QString>

// A QR code (libqrencode, error correction level M) as a square of modules.
class QrCode {
public:
    int modules = 0; // modules per side
    QBitArray dark;  // row by row, true for a dark module

    // Encodes text as UTF-8 bytes. Throws std::runtime_error when libqrencode refuses it.
    static QrCode Encode(const QString& text);
};
