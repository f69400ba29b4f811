#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace pla {

// The allergens a label must declare, by the common names the law lists, in the law's order.
class Allergens {
public:
    // Every name, lower case, in the order a label declares them.
    static const QStringList& Names();
    // Reads a comma-separated list (any case, blanks around names ignored): the known names
    // in the law's order without repeats, or nullopt with unknown set to the first name that
    // is not on the list.
    static std::optional<QStringList> Parse(const QString& text, QString& unknown);
    // The declaration for the union of lists (each as Parse reads them), in capitals:
    // "ALÉRGICOS: CONTÉM TRIGO, OVOS E LEITE."; empty when no list names anything.
    static QString Declaration(const QStringList& lists);
};

} // namespace pla
