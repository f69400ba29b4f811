#include "appserver/transfer/MenuImporter.h"

#include "appserver/storage/SqlBatch.h"
#include "appserver/storage/SqlUtil.h"
#include "appserver/storage/StatementCache.h"

#include <algorithm>

namespace pla {

namespace {

// Columns of the menu file, in the order ExchangeFormat lists them.
enum Col {
    Branch,
    Service,
    Date,
    Number,
    Diners,
    Order,
    RecipeBranch,
    DishCode,
    PerPerson,
    Extra,
    Sequence
};
// Columns of the dish and branch rows the context knows.
constexpr int kDishUnit = 3, kDishPerPerson = 4, kDishExtra = 5, kBranchCentral = 3;
// Menu dish rows gathered before they are written: as many as one statement of a batch holds.
constexpr int kDishBatch = SqlBatch::kMaxRowsPerStatement;

QVariant value(const ParsedRow& row, int c) {
    return row.values[c] ? *row.values[c] : QVariant();
}

QString describe(const QString& branch, const QString& service, const QString& date) {
    return QStringLiteral("da filial %1, serviço %2 em %3")
        .arg(branch, service, ExchangeFormat::date(date));
}

} // namespace

MenuImporter::MenuImporter(ImportContext& context)
    : context_(context), kind_(ExchangeFormat::of(DataKind::Menus)) {}

bool MenuImporter::checkRow(FileMenu& menu, const ParsedRow& row) {
    const QString number = value(row, Number).toString();
    const double diners = value(row, Diners).toDouble();
    const QString menuKey = ImportContext::joinKey({menu.branch, menu.service, menu.date});
    if (!menu.first) {
        menu.first = &row;
        const QString owner = numberOwner_.value(number);
        if (!owner.isEmpty() && owner != menuKey) {
            const QStringList o = owner.split(QLatin1Char('\x1f'));
            context_.error(row, Number,
                           QStringLiteral("o número de cardápio %1 já é do cardápio %2")
                               .arg(number, describe(o[0], o[1], o[2])));
            return false;
        }
        numberOwner_.insert(number, menuKey);
    } else {
        const ParsedRow& first = *menu.first;
        if (number != value(first, Number).toString()) {
            context_.error(row, Number,
                           QStringLiteral("NRCARDAPIO %1 difere do %2 informado na linha %3 para "
                                          "o mesmo cardápio")
                               .arg(number, value(first, Number).toString())
                               .arg(first.line));
            return false;
        }
        if (diners != value(first, Diners).toDouble()) {
            context_.error(row, Diners,
                           QStringLiteral("QTCOMENSAIS %1 difere do %2 informado na linha %3 para "
                                          "o mesmo cardápio")
                               .arg(ExchangeFormat::number(diners),
                                    ExchangeFormat::number(value(first, Diners).toDouble()))
                               .arg(first.line));
            return false;
        }
    }

    // A branch's menus use its own dishes or those of its central branch.
    const QString central =
        context_.known(DataKind::Branches).value(menu.branch).value(kBranchCentral).toString();
    const QVariant given = value(row, RecipeBranch);
    const QString recipe = !given.isNull()     ? given.toString()
                           : central.isEmpty() ? menu.branch
                                               : central;
    const QString code = value(row, DishCode).toString();
    if (recipe != menu.branch && recipe != central) {
        context_.error(row, RecipeBranch,
                       QStringLiteral("prato de outra filial: a filial %1 não usa os pratos da "
                                      "filial %2")
                           .arg(menu.branch, recipe));
        return false;
    }
    const auto& dishes = context_.known(DataKind::Dishes);
    const auto dish = dishes.constFind(ImportContext::joinKey({recipe, code}));
    if (dish == dishes.cend()) {
        QString elsewhere;
        for (auto it = dishes.cbegin(); it != dishes.cend() && given.isNull(); ++it)
            if (it->value(1).toString() == code) elsewhere = it->value(0).toString();
        context_.error(
            row, DishCode,
            elsewhere.isEmpty()
                ? QStringLiteral("%1 não é um prato cadastrado da filial %2").arg(code, recipe)
                : QStringLiteral("prato de outra filial: %1 é um prato da filial %2, "
                                 "que a filial %3 não usa")
                      .arg(code, elsewhere, menu.branch));
        return false;
    }
    Dish d;
    d.order = value(row, Order).toInt();
    d.sequence = value(row, Sequence).toInt();
    d.recipeBranch = recipe;
    d.dish = code;
    d.unit = dish->value(kDishUnit).toString();
    d.perPerson = value(row, PerPerson).isNull() ? dish->value(kDishPerPerson).toDouble()
                                                 : value(row, PerPerson).toDouble();
    d.extra = value(row, Extra).isNull() ? dish->value(kDishExtra).toDouble()
                                         : value(row, Extra).toDouble();
    for (int i = 0; i < menu.dishes.size(); ++i) {
        const Dish& other = menu.dishes[i];
        if (other.recipeBranch == recipe && other.dish == code) {
            context_.error(row, DishCode,
                           QStringLiteral("o prato %1 já está neste cardápio (linha %2)")
                               .arg(code)
                               .arg(menu.rows[i]->line));
            return false;
        }
        if (d.sequence > 0 && other.sequence == d.sequence) {
            context_.error(row, Sequence,
                           QStringLiteral("NRSEQPRATCAR %1 já está neste cardápio (linha %2)")
                               .arg(d.sequence)
                               .arg(menu.rows[i]->line));
            return false;
        }
    }
    menu.dishes.push_back(d);
    menu.rows.push_back(&row);
    return true;
}

MenuImporter::Content MenuImporter::contentOf(FileMenu& menu, const Content* stored) const {
    Content c;
    c.number = value(*menu.first, Number).toString();
    c.diners = value(*menu.first, Diners).toDouble();
    QVector<Dish> dishes = menu.dishes;
    std::stable_sort(dishes.begin(), dishes.end(),
                     [](const Dish& a, const Dish& b) { return a.order < b.order; });
    // A dish that stays on the menu keeps its sequence, which the distributions refer to.
    QSet<int> taken;
    for (const Dish& d : dishes)
        if (d.sequence > 0) taken << d.sequence;
    QHash<QString, int> storedSequence;
    if (stored)
        for (const Dish& d : stored->dishes)
            storedSequence.insert(ImportContext::joinKey({d.recipeBranch, d.dish}), d.sequence);
    for (Dish& d : dishes) {
        const int s = storedSequence.value(ImportContext::joinKey({d.recipeBranch, d.dish}));
        if (d.sequence == 0 && s > 0 && !taken.contains(s)) {
            d.sequence = s;
            taken << s;
        }
    }
    int next = taken.isEmpty() ? 0 : *std::max_element(taken.cbegin(), taken.cend());
    for (Dish& d : dishes)
        if (d.sequence == 0) d.sequence = next += 10;
    std::sort(dishes.begin(), dishes.end(),
              [](const Dish& a, const Dish& b) { return a.sequence < b.sequence; });
    c.dishes = dishes;
    return c;
}

void MenuImporter::flushDishes() {
    if (pendingDishes_.isEmpty()) return;
    SqlBatch(context_.db())
        .insert(QStringLiteral("PRATCARD"),
                {QStringLiteral("NRCARDAPIO"), QStringLiteral("NRSEQPRATCAR"),
                 QStringLiteral("NRORDPRATCAR"), QStringLiteral("CDFILAUXPRAT"),
                 QStringLiteral("CDPRATO"), QStringLiteral("QTPORPESSOA"),
                 QStringLiteral("QTEXTRA"), QStringLiteral("SGUNIDADE")},
                pendingDishes_);
    pendingDishes_.clear();
}

void MenuImporter::write(const FileMenu& menu, const Content& content, bool exists) {
    const QString menuKey = ImportContext::joinKey({menu.branch, menu.service, menu.date});
    if (exists) {
        StatementCache::run(context_.db(),
                            QStringLiteral("DELETE FROM PRATCARD WHERE NRCARDAPIO = ?"),
                            {stored_.value(menuKey).number});
        StatementCache::run(
            context_.db(),
            QStringLiteral("UPDATE CARDAPIO SET NRCARDAPIO = ?, QTCOMENSAIS = ? WHERE CDFILIAL = "
                           "? AND CDSERVFILI = ? AND DTCARDAPIO = ?"),
            {content.number, content.diners, menu.branch, menu.service, menu.date});
    } else {
        StatementCache::run(
            context_.db(),
            QStringLiteral("INSERT INTO CARDAPIO (NRCARDAPIO, CDFILIAL, CDSERVFILI, DTCARDAPIO, "
                           "QTCOMENSAIS) VALUES (?, ?, ?, ?, ?)"),
            {content.number, menu.branch, menu.service, menu.date, content.diners});
    }
    for (const Dish& d : content.dishes) {
        pendingDishes_.push_back({content.number, d.sequence, d.order, d.recipeBranch, d.dish,
                                  d.perPerson, d.extra, d.unit});
        if (pendingDishes_.size() >= kDishBatch) flushDishes();
    }
}

void MenuImporter::run(const QVector<ParsedRow>& rows, ImportCount& count) {
    const QSqlDatabase db = context_.db();
    {
        QSqlQuery q = SqlUtil::exec(db, QStringLiteral("SELECT NRCARDAPIO, CDFILIAL, CDSERVFILI, "
                                                       "DTCARDAPIO, QTCOMENSAIS FROM CARDAPIO"));
        while (q.next()) {
            const QString key = ImportContext::joinKey(
                {q.value(1).toString(), q.value(2).toString(), q.value(3).toString()});
            stored_.insert(key, Content{q.value(0).toString(), q.value(4).toDouble(), {}});
            numberOwner_.insert(q.value(0).toString(), key);
        }
    }
    QVector<FileMenu> menus;
    QHash<QString, int> indexOf;
    for (const ParsedRow& row : rows) {
        ++count.rows;
        if (!row.ok || !context_.checkReferences(kind_, row)) continue;
        const QString branch = value(row, Branch).toString();
        const QString service = value(row, Service).toString();
        const QString date = value(row, Date).toString();
        const QString key = ImportContext::joinKey({branch, service, date});
        auto it = indexOf.constFind(key);
        if (it == indexOf.cend()) {
            it = indexOf.insert(key, menus.size());
            menus.push_back(FileMenu{branch, service, date, nullptr, {}, {}, false});
        }
        if (!checkRow(menus[*it], row)) menus[*it].bad = true;
    }
    if (menus.isEmpty()) return;

    QString from = menus.first().date, to = from;
    for (const FileMenu& m : menus) {
        from = std::min(from, m.date);
        to = std::max(to, m.date);
    }
    {
        QSqlQuery q = SqlUtil::exec(
            db,
            QStringLiteral(
                "SELECT c.CDFILIAL, c.CDSERVFILI, c.DTCARDAPIO, p.NRSEQPRATCAR, p.NRORDPRATCAR, "
                "p.CDFILAUXPRAT, p.CDPRATO, p.SGUNIDADE, p.QTPORPESSOA, p.QTEXTRA "
                "FROM PRATCARD p JOIN CARDAPIO c ON c.NRCARDAPIO = p.NRCARDAPIO "
                "WHERE c.DTCARDAPIO BETWEEN ? AND ? ORDER BY p.NRSEQPRATCAR"),
            {from, to});
        while (q.next()) {
            const QString key = ImportContext::joinKey(
                {q.value(0).toString(), q.value(1).toString(), q.value(2).toString()});
            stored_[key].dishes.push_back(Dish{q.value(3).toInt(), q.value(4).toInt(),
                                               q.value(5).toString(), q.value(6).toString(),
                                               q.value(7).toString(), q.value(8).toDouble(),
                                               q.value(9).toDouble()});
        }
    }
    QHash<QString, QVector<QPair<qint64, QString>>> distributions;
    {
        QSqlQuery q = SqlUtil::exec(
            db,
            QStringLiteral("SELECT NRDISTCARD, CDFILIAL, CDSERVFILI, DTCARDAPIO, CDCLIENTE, "
                           "CDDESTFILI FROM DISTCARD WHERE DTCARDAPIO BETWEEN ? AND ? "
                           "ORDER BY NRDISTCARD"),
            {from, to});
        while (q.next()) {
            const QString point = q.value(4).toString().isEmpty()
                                      ? QStringLiteral("sem ponto de entrega")
                                      : QStringLiteral("ponto %1/%2")
                                            .arg(q.value(4).toString(), q.value(5).toString());
            distributions[ImportContext::joinKey({q.value(1).toString(), q.value(2).toString(),
                                                  q.value(3).toString()})]
                .push_back({q.value(0).toLongLong(), point});
        }
    }

    for (FileMenu& menu : menus) {
        if (!menu.first || menu.bad) continue;
        const QString key = ImportContext::joinKey({menu.branch, menu.service, menu.date});
        const auto stored = stored_.constFind(key);
        const bool exists = stored != stored_.cend();
        const Content content = contentOf(menu, exists ? &*stored : nullptr);
        if (exists && *stored == content) {
            ++count.unchanged;
            continue;
        }
        const auto touched = distributions.value(key);
        if (!touched.isEmpty()) {
            QStringList names;
            for (const auto& [number, point] : touched)
                names << QStringLiteral("nº %1 (%2)").arg(number).arg(point);
            const QString what =
                QStringLiteral("cardápio %1 %2")
                    .arg(content.number, describe(menu.branch, menu.service, menu.date));
            if (!context_.options().replaceDistributed) {
                ++count.kept;
                context_.report().notices.push_back(
                    {menu.first->file, menu.first->line, 0,
                     QStringLiteral("%1 mantido como estava: já tem distribuição (%2); use "
                                    "--replace-distributed para substituí-lo")
                         .arg(what, names.join(QStringLiteral(", ")))});
                continue;
            }
            context_.report().notices.push_back(
                {menu.first->file, menu.first->line, 0,
                 QStringLiteral("%1 substituído; distribuições apagadas, a refazer na tela: %2")
                     .arg(what, names.join(QStringLiteral(", ")))});
            if (context_.writing())
                for (const auto& t : touched)
                    for (const char* table :
                         {"ITEMBDISTCARD", "EMBDISTCARD", "CARDDISP", "DISTCARD"})
                        SqlUtil::exec(db,
                                      QStringLiteral("DELETE FROM %1 WHERE NRDISTCARD = ?")
                                          .arg(QLatin1String(table)),
                                      {QVariant::fromValue(t.first)});
        }
        ++(exists ? count.updated : count.inserted);
        if (context_.writing()) write(menu, content, exists);
    }
    if (context_.writing()) flushDishes();
}

} // namespace pla
