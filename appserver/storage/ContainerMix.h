#pragma once

#include <QString>
#include <QVector>

namespace pla {

// Chooses the mix of collective containers that carries an amount of one dish in the fewest
// units, and splits the dish's amounts over that mix.
class ContainerMix {
public:
    // A container type that can carry the dish, with its capacity per unit.
    struct Candidate {
        QString container;
        double capacity = 0;
    };
    // Units of one container type in a mix.
    struct Part {
        QString container;
        double capacity = 0;
        qint64 units = 0;
    };

    // The mix for quantity plus extra (summed at five decimals, as unit counts are): it holds
    // the whole amount; among those, it takes the fewest units; then it leaves the least empty
    // capacity; then it uses the fewest container types; then it uses `preferred`; then it puts
    // more units in the larger containers. Parts come largest capacity first. Empty when there
    // is nothing to carry or no candidate has a capacity.
    static QVector<Part> choose(double quantity, double extra, const QVector<Candidate>& candidates,
                                const QString& preferred);

    // `amount` split over `parts` in proportion to the capacity each part uses (units ×
    // capacity), so that every unit is filled alike; the shares are at five decimals and add
    // up exactly to the amount rounded to five decimals.
    static QVector<double> split(double amount, const QVector<Part>& parts);

    // Quantity and extra split alike, with each part's quantity plus extra the share of the
    // whole amount: so no part holds more than its units carry, as split() apiece could by a
    // step of the fifth decimal.
    struct Amounts {
        QVector<double> quantity, extra;
    };
    static Amounts splitAmounts(double quantity, double extra, const QVector<Part>& parts);
};

} // namespace pla
