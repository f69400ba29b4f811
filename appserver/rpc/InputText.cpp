#include "appserver/rpc/InputText.h"

#include "appserver/rpc/InputLimits.h"

#include <QRegularExpression>

namespace pla {

QString InputText::problem(const QString& text) {
    if (!text.isValidUtf16()) return QStringLiteral("não é um texto Unicode válido");
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control && c != QLatin1Char('\n') &&
            c != QLatin1Char('\r') && c != QLatin1Char('\t'))
            return QStringLiteral("contém caracteres de controle");
    return {};
}

QString InputText::quoted(const QString& text) {
    if (text.size() <= InputLimits::maxQuoted) return text;
    qsizetype cut = InputLimits::maxQuoted;
    if (text.at(cut - 1).isHighSurrogate()) --cut;
    return text.left(cut) + QChar(0x2026);
}

QString InputText::shortenQuotedParts(const QString& message) {
    static const QRegularExpression quote(
        QStringLiteral("'([^']{%1,})'").arg(InputLimits::maxQuoted + 1));
    QString out;
    qsizetype from = 0;
    for (auto it = quote.globalMatch(message); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += message.mid(from, m.capturedStart(1) - from) + quoted(m.captured(1));
        from = m.capturedEnd(1);
    }
    return out + message.mid(from);
}

} // namespace pla
