#include "appserver/storage/SaveValidator.h"

#include "amounts/DishAmounts.h"
#include "appserver/rpc/InputLimits.h"
#include "appserver/rpc/InputText.h"
#include "appserver/rpc/Refusal.h"
#include "appserver/storage/SqlUtil.h"
#include "appserver/storage/StatementCache.h"

#include <QSet>
#include <array>
#include <cmath>
#include <limits>

namespace pla {

namespace {

// A total that is no finite number, refused by the limit on amounts like any too large one.
constexpr double kBeyondAnyLimit = std::numeric_limits<double>::infinity();

// Amounts agree when they match to the kept decimals, give or take one unit of the last: every
// amount read is rounded to those decimals, and so is every sum before it is compared, so the
// tolerance is one per comparison however many rows a sum has (one per row would let a save of
// many rows create food). The small relative part absorbs binary rounding of large values.
bool differs(double a, double b) {
    return std::abs(DishAmounts::Round5(a) - DishAmounts::Round5(b)) >
           0.00001 + 1e-12 * std::max(1.0, std::abs(b));
}

QString amount(double v) {
    return QString::number(v, 'f', 5).replace(QLatin1Char('.'), QLatin1Char(','));
}

QString packagingLabel(const Packaging& p) {
    const QString container = InputText::quoted(p.container);
    return p.number > 0 ? QStringLiteral("%1 (%2)").arg(p.number).arg(container)
                        : QStringLiteral("nova (%1)").arg(container);
}

} // namespace

SaveValidator::SaveValidator(const QSqlDatabase& db, const Distribution& stored)
    : db_(db), stored_(stored) {
    for (const UndistributedRow& u : stored_.undistributed)
        storedDish_.insert(u.sequence, &u);
}

QString SaveValidator::dishName(int sequence) const {
    const UndistributedRow* u = storedDish_.value(sequence, nullptr);
    return u ? u->name : QStringLiteral("nº %1").arg(sequence);
}

void SaveValidator::check(QVector<UndistributedRow>& undistributed, QVector<Packaging>& packagings,
                          QVector<DishRow>& rows) {
    checkDishes(undistributed, rows);
    const QHash<qint64, Packaging*> byNumber = checkPackagings(packagings);
    checkRows(rows, byNumber);
    checkConservation(undistributed, rows);
    checkPackagingTotals(packagings, rows);
}

void SaveValidator::checkDishes(QVector<UndistributedRow>& undistributed,
                                const QVector<DishRow>& rows) {
    QSet<int> placedBefore, placedNow;
    for (const DishRow& r : stored_.rows)
        placedBefore.insert(r.sequence);
    for (const DishRow& r : rows)
        placedNow.insert(r.sequence);
    QSet<int> sent;
    for (UndistributedRow& u : undistributed) {
        const UndistributedRow* s = storedDish_.value(u.sequence, nullptr);
        if (!s)
            throw Refusal(QStringLiteral("O prato %1 não pertence a esta distribuição.")
                              .arg(dishName(u.sequence)));
        if (sent.contains(u.sequence))
            throw Refusal(
                QStringLiteral("O prato %1 aparece mais de uma vez nos pratos não distribuídos.")
                    .arg(s->name));
        sent.insert(u.sequence);
        // The screen lets the quantity per person change only while no part of the dish is in
        // a packaging; a dish that stays in one keeps the stored quantity per person.
        const bool perPersonChanged = differs(u.perPerson, s->perPerson);
        if (perPersonChanged && placedBefore.contains(u.sequence) && placedNow.contains(u.sequence))
            throw Refusal(QStringLiteral("A quantidade por pessoa do prato %1 não pode ser "
                                         "alterada enquanto ele estiver em uma embalagem.")
                              .arg(s->name));
        const double totalQuantity =
            perPersonChanged
                ? DishAmounts::QuantityFor(s->totalDiners, u.perPerson).value_or(kBeyondAnyLimit)
                : s->totalQuantity;
        if (differs(u.totalDiners, s->totalDiners) || differs(u.totalExtra, s->totalExtra) ||
            differs(u.totalQuantity, totalQuantity))
            throw Refusal(
                QStringLiteral("Os totais do prato %1 diferem dos da distribuição gravada.")
                    .arg(s->name));
        if (totalQuantity > InputLimits::maxAmount)
            throw Refusal(QStringLiteral("O total do prato %1 passa do limite de uma quantidade.")
                              .arg(s->name));
        if (!perPersonChanged) u.perPerson = s->perPerson;
        u.totalDiners = s->totalDiners;
        u.totalExtra = s->totalExtra;
        u.totalQuantity = totalQuantity;
    }
    for (const UndistributedRow& u : stored_.undistributed)
        if (!sent.contains(u.sequence))
            throw Refusal(QStringLiteral("Faltam os dados do prato %1 nos pratos não distribuídos.")
                              .arg(u.name));
}

QHash<qint64, Packaging*> SaveValidator::checkPackagings(QVector<Packaging>& packagings) {
    QHash<QString, QPair<QString, QString>> containers;
    {
        auto q = StatementCache::run(
            db_, QStringLiteral("SELECT CDCONTAINER, NMCONTAINER, IDPROPOSITO FROM CONTAINER"));
        while (q.next())
            containers.insert(q.value(0).toString(),
                              {q.value(1).toString(), q.value(2).toString()});
    }
    QSet<qint64> storedPackagings;
    for (const Packaging& p : stored_.packagings)
        storedPackagings.insert(p.number);
    QHash<qint64, Packaging*> byNumber;
    for (Packaging& p : packagings) {
        if (byNumber.contains(p.number))
            throw Refusal(
                QStringLiteral("A embalagem %1 aparece mais de uma vez.").arg(packagingLabel(p)));
        if (p.number > 0 && !storedPackagings.contains(p.number))
            throw Refusal(QStringLiteral("A embalagem %1 não pertence a esta distribuição.")
                              .arg(packagingLabel(p)));
        const auto c = containers.constFind(p.container);
        if (c == containers.cend())
            throw Refusal(QStringLiteral("Embalagem %1: tipo de embalagem %2 não cadastrado.")
                              .arg(packagingLabel(p), InputText::quoted(p.container)));
        p.containerName = c->first;
        p.purpose = c->second;
        byNumber.insert(p.number, &p);
    }
    return byNumber;
}

void SaveValidator::checkRows(QVector<DishRow>& rows, const QHash<qint64, Packaging*>& byNumber) {
    QSet<QPair<qint64, int>> seen;
    QHash<qint64, int> collectiveDish;
    for (DishRow& r : rows) {
        const UndistributedRow* dish = storedDish_.value(r.sequence, nullptr);
        const QString name = dishName(r.sequence);
        if (!dish)
            throw Refusal(QStringLiteral("O prato %1 não pertence a esta distribuição.").arg(name));
        const Packaging* p = byNumber.value(r.packaging, nullptr);
        if (!p)
            throw Refusal(QStringLiteral(
                              "O prato %1 está na embalagem %2, que não faz parte da distribuição.")
                              .arg(name)
                              .arg(r.packaging));
        if (seen.contains({r.packaging, r.sequence}))
            throw Refusal(QStringLiteral("O prato %1 aparece duas vezes na embalagem %2.")
                              .arg(name, packagingLabel(*p)));
        seen.insert({r.packaging, r.sequence});
        if (p->purpose == QLatin1String("C")) {
            const int other = collectiveDish.value(r.packaging, r.sequence);
            if (other != r.sequence)
                throw Refusal(
                    QStringLiteral("A embalagem coletiva %1 contém mais de um prato (%2 e %3).")
                        .arg(packagingLabel(*p), dishName(other), name));
            collectiveDish.insert(r.packaging, r.sequence);
        }
        r.capacity = capacity(*dish, p->container);
    }
}

void SaveValidator::checkConservation(const QVector<UndistributedRow>& undistributed,
                                      const QVector<DishRow>& rows) {
    QHash<int, std::array<double, 3>> placed; // diners, quantity, extra
    for (const DishRow& r : rows) {
        auto& p = placed[r.sequence];
        p[0] += r.diners;
        p[1] += r.quantity;
        p[2] += r.extra;
    }
    for (const UndistributedRow& u : undistributed) {
        const auto p = placed.value(u.sequence, {0, 0, 0});
        const struct {
            const char* what;
            double have, total;
        } checks[] = {{"comensais", u.diners + p[0], u.totalDiners},
                      {"quantidade", u.quantity + p[1], u.totalQuantity},
                      {"extra", u.extra + p[2], u.totalExtra}};
        for (const auto& c : checks)
            if (differs(c.have, c.total))
                throw Refusal(
                    QStringLiteral(
                        "Prato %1: %2 distribuída e não distribuída somam %3, mas o total é %4.")
                        .arg(dishName(u.sequence), QString::fromLatin1(c.what), amount(c.have),
                             amount(c.total)));
    }
}

void SaveValidator::checkPackagingTotals(QVector<Packaging>& packagings,
                                         const QVector<DishRow>& rows) {
    QHash<qint64, double> held; // quantity of the rows
    for (const DishRow& r : rows)
        held[r.packaging] += r.quantity;
    for (Packaging& p : packagings) {
        if (held.contains(p.number) && p.units < 1)
            throw Refusal(QStringLiteral("A embalagem %1 tem pratos, mas nenhuma unidade: informe "
                                         "ao menos 1 em QTCONTAINER.")
                              .arg(packagingLabel(p)));
        const double sum = DishAmounts::Round5(held.value(p.number, 0.0));
        // Collective packagings carry the quantity of their dish; an individual one keeps what
        // it was loaded with (nothing) or that same sum.
        const bool collective = p.purpose == QLatin1String("C");
        const bool agrees = !differs(p.quantity, sum) || (!collective && p.quantity == 0);
        if (!agrees)
            throw Refusal(QStringLiteral("A quantidade da embalagem %1 (%2) difere da soma dos "
                                         "seus pratos (%3).")
                              .arg(packagingLabel(p), amount(p.quantity), amount(sum)));
        if (collective) p.quantity = sum;
    }
}

double SaveValidator::capacity(const UndistributedRow& dish, const QString& container) {
    if (!capacities_) {
        capacities_.emplace();
        auto q = StatementCache::run(
            db_,
            QStringLiteral("SELECT d.NRSEQPRATCAR, pe.CDCONTAINER, pe.VRQTDEPRATEMB "
                           "FROM CARDDISP d JOIN PRATOEMB pe ON pe.CDFILAUXPRAT = d.CDFILAUXPRAT "
                           "AND pe.CDPRATO = d.CDPRATO WHERE d.NRDISTCARD = ?"),
            {QVariant::fromValue(stored_.number)});
        while (q.next())
            capacities_->insert({q.value(0).toInt(), q.value(1).toString()}, q.value(2).toDouble());
    }
    return capacities_->value({dish.sequence, container}, 0);
}

} // namespace pla
