#pragma once

#include <QString>

namespace pla {

// Rules for texts that come from a client: what may be stored, and how much of it a message
// may repeat.
class InputText {
public:
    // Empty when `text` may be stored; otherwise what is wrong with it, as the end of a
    // Portuguese sentence ("não é um texto Unicode válido", "contém caracteres de controle").
    // Only line breaks and tabs are allowed among the control characters.
    static QString problem(const QString& text);
    // `text` as it may appear in a message: cut to InputLimits::maxQuoted characters with an
    // ellipsis (never in the middle of a surrogate pair).
    static QString quoted(const QString& text);
    // `message` with every part between single quotes cut as quoted() does (for messages built
    // by code that quotes client input whole).
    static QString shortenQuotedParts(const QString& message);
};

} // namespace pla
