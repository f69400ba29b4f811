#include "framework/print/QrCode.h"

#include <memory>
#include <qrencode.h>
#include <stdexcept>

QrCode QrCode::Encode(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString8bit(bytes.constData(), 0, QR_ECLEVEL_M), &QRcode_free);
    if (!code)
        throw std::runtime_error(QStringLiteral("Não foi possível gerar o código QR de \"%1\".")
                                     .arg(text)
                                     .toStdString());
    QrCode out;
    out.modules = code->width;
    out.dark.resize(code->width * code->width);
    // libqrencode marks a dark module with the lowest bit of its byte.
    for (int i = 0; i < out.dark.size(); ++i)
        out.dark.setBit(i, code->data[i] & 1);
    return out;
}
