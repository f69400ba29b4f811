#pragma once

#include "remote/DistributionDay.h"

#include <QDateTime>
#include <QStringList>
#include <QVector>

namespace pla {

// The texts a food label must carry besides who and what: preparation and validity,
// conservation, allergens, gluten and lactose, the lot and the producer. They are the same on
// every unit's label of a packaging.
class LabelContents {
public:
    QString dates;            // "Preparo: 08/12/2026 10:30 · Validade: 08/12/2026 16:30"
    QStringList conservation; // one instruction, or one per instruction naming its dishes
    QString allergens;        // "ALÉRGICOS: CONTÉM TRIGO E LEITE."; empty when none
    QString glutenLactose;    // "NÃO CONTÉM GLÚTEN", with " · CONTÉM LACTOSE" when any has it
    QString lot;              // "Lote: 20261208-0001-00001"
    QStringList producer;     // legal name and CNPJ; address; "RT: NAME — CRN NUMBER"

    // The texts of p's labels for food prepared at prepared. Needs complete data (Missing).
    static LabelContents Of(const DistributionDay& day, const DayPackaging& p,
                            const QDateTime& prepared);
    // When p's food stops being fit: the earliest of its dishes' preparation plus shelf life.
    static QDateTime Validity(const DayPackaging& p, const QDateTime& prepared);
    // The lot of a service's food on the day: menu date, branch and service, "20261208-0001-00001".
    static QString Lot(const DistributionDay& day, const QString& service);
    // Why the packagings' labels cannot be printed: one line per dish (code and name) naming
    // what it lacks, and one for the branch's producer; empty when nothing lacks.
    static QString Missing(const DistributionDay& day,
                           const QVector<const DayPackaging*>& packagings);
};

} // namespace pla
