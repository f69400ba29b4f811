#include "appserver/storage/DistributionStore.h"

#include "amounts/DishAmounts.h"
#include "appserver/auth/AuditTrail.h"
#include "appserver/rpc/DistributionPackets.h"
#include "appserver/rpc/InputLimits.h"
#include "appserver/rpc/Refusal.h"
#include "appserver/storage/DistributionBuilder.h"
#include "appserver/storage/DistributionVersion.h"
#include "appserver/storage/DistributionWriter.h"
#include "appserver/storage/PackingPolicy.h"
#include "appserver/storage/ReadBatch.h"
#include "appserver/storage/RowCursor.h"
#include "appserver/storage/SaveValidator.h"
#include "appserver/storage/SqlTransaction.h"
#include "appserver/storage/SqlUtil.h"
#include "appserver/storage/StatementCache.h"
#include "appserver/storage/StorageError.h"

#include <QHash>
#include <QSet>
#include <QSqlError>
#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

namespace pla {

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

// Keys of the blank delivery point are stored as empty texts, never as NULL (Qt SQL binds a
// null QString as NULL).
QString keyText(const QString& s) {
    return s.isNull() ? QStringLiteral("") : s;
}

// The header row of a delivery point's distribution, and the values it is found by.
const QString kKeyWhere = QStringLiteral(
    "CDFILIAL = ? AND CDSERVFILI = ? AND DTCARDAPIO = ? AND CDCLIENTE = ? AND CDDESTFILI = ?");

QVariantList keyValues(const DistributionKey& key) {
    return {key.branch, key.service, key.date.toString(kDateFormat), keyText(key.client),
            keyText(key.destination)};
}

const QString kServiceSql =
    QStringLiteral("SELECT s.IDTRANSPORTADO, p.CDCLIENTE, p.CDDESTFILI, p.QTCOMENSAIS "
                   "FROM SERVFILI s LEFT JOIN PONTENTREGA p ON p.CDFILIAL = s.CDFILIAL "
                   "AND p.CDSERVFILI = s.CDSERVFILI WHERE s.CDFILIAL = ? AND s.CDSERVFILI = ? "
                   "ORDER BY p.CDCLIENTE, p.CDDESTFILI");

// The dishes of a menu (one row without a dish when it has none) by sequence, the key's own
// order, so that SQLite reads them without a sort; they are put in the menu's order once read.
// Each dish's containers and their capacities come apart, one row each, and the containers'
// names from the whole list of containers: a short list, read once rather than looked up again
// for every dish.
const QString kMenuSql = QStringLiteral(
    "SELECT m.NRCARDAPIO, m.QTCOMENSAIS, pc.NRSEQPRATCAR, pc.NRORDPRATCAR, pc.CDFILAUXPRAT, "
    "pc.CDPRATO, p.NMPRATO, pc.SGUNIDADE, pc.QTPORPESSOA, pc.QTEXTRA, p.CDCONTPADRAO, p.CDPRATO "
    "FROM CARDAPIO m LEFT JOIN PRATCARD pc ON pc.NRCARDAPIO = m.NRCARDAPIO "
    "LEFT JOIN PRATO p ON p.CDFILAUXPRAT = pc.CDFILAUXPRAT AND p.CDPRATO = pc.CDPRATO "
    "WHERE m.CDFILIAL = ? AND m.CDSERVFILI = ? AND m.DTCARDAPIO = ? ORDER BY pc.NRSEQPRATCAR");
const QString kMenuCapacitiesSql = QStringLiteral(
    "SELECT pc.NRSEQPRATCAR, pe.CDCONTAINER, pe.VRQTDEPRATEMB FROM CARDAPIO m "
    "JOIN PRATCARD pc ON pc.NRCARDAPIO = m.NRCARDAPIO "
    "JOIN PRATOEMB pe ON pe.CDFILAUXPRAT = pc.CDFILAUXPRAT AND pe.CDPRATO = pc.CDPRATO "
    "WHERE m.CDFILIAL = ? AND m.CDSERVFILI = ? AND m.DTCARDAPIO = ? "
    "ORDER BY pc.NRSEQPRATCAR, pe.CDCONTAINER");
const QString kContainersSql =
    QStringLiteral("SELECT CDCONTAINER, NMCONTAINER, IDPROPOSITO FROM CONTAINER");

QVariantList menuValues(const QString& branch, const QString& service, const QDate& date) {
    return {branch, service, date.toString(kDateFormat)};
}

qint64 distributionNumber(double number) {
    // The range is checked on the double so that the conversion is always defined.
    if (!(number >= 1 && number <= InputLimits::maxPackagingNumber) || number != std::floor(number))
        throw Refusal(QStringLiteral("Distribuição %1 não encontrada.").arg(number));
    return static_cast<qint64>(number);
}

} // namespace

DistributionStore::DistributionStore(QSqlDatabase db) : db_(std::move(db)) {}

bool DistributionStore::lockHeader(qint64 number) {
    // Every writer locks the header row first, so writers of one distribution never wait on
    // each other's content rows in opposite orders. SQLite writers already queue up whole.
    const QString sql =
        SqlUtil::isPostgres(db_)
            ? QStringLiteral("SELECT NRDISTCARD FROM DISTCARD WHERE NRDISTCARD = ? "
                             "FOR UPDATE")
            : QStringLiteral("SELECT NRDISTCARD FROM DISTCARD WHERE NRDISTCARD = ?");
    return StatementCache::run(db_, sql, {QVariant::fromValue(number)}).next();
}

DistributionStore::ServiceInfo DistributionStore::serviceInfo(const QString& branch,
                                                              const QString& service) {
    RowCursor q(db_, kServiceSql, {branch, service});
    return serviceInfo(q);
}

DistributionStore::ServiceInfo DistributionStore::serviceInfo(RowCursor& q) {
    ServiceInfo info;
    while (q.next()) {
        info.exists = true;
        info.transported = q.text(0) == QLatin1String("S");
        if (!q.isNull(1)) info.points.push_back(Point{q.text(1), q.text(2), q.real(3)});
    }
    return info;
}

std::optional<Menu> DistributionStore::menu(const QString& branch, const QString& service,
                                            const QDate& date) {
    ReadBatch batch(db_);
    const int first = addMenu(batch, branch, service, date);
    batch.run();
    std::optional<Menu> m = menu(batch, first);
    batch.finish();
    return m;
}

int DistributionStore::addMenu(ReadBatch& batch, const QString& branch, const QString& service,
                               const QDate& date) {
    const int first = batch.add(kMenuSql, menuValues(branch, service, date));
    batch.add(kMenuCapacitiesSql, menuValues(branch, service, date));
    batch.add(kContainersSql, {});
    return first;
}

std::optional<Menu> DistributionStore::menu(ReadBatch& batch, int first) {
    RowCursor& q = batch.rows(first);
    if (!q.next()) return std::nullopt;
    Menu m;
    m.number = q.text(0);
    m.dayDiners = q.real(1);
    QHash<QString, DishContainer> containers;
    for (RowCursor& c = batch.rows(first + 2); c.next();) {
        const QString code = c.text(0);
        containers.insert(code, DishContainer{code, c.text(1), c.text(2)});
    }
    // One menu at most: its branch, service and date are a unique key.
    do {
        // A menu without dishes gives one row without a dish; a dish missing from the dish
        // table is left out.
        if (q.isNull(11)) continue;
        MenuDish d;
        d.sequence = static_cast<int>(q.integer(2));
        d.order = static_cast<int>(q.integer(3));
        d.recipeBranch = q.text(4);
        d.dish = q.text(5);
        d.name = q.text(6);
        d.unit = q.text(7);
        d.perPerson = q.real(8);
        d.extra = q.real(9);
        const auto c = containers.constFind(q.text(10));
        if (c != containers.cend()) {
            d.defaultContainer = c->code;
            d.defaultPurpose = c->purpose;
            d.defaultContainerName = c->name;
        }
        m.dishes.push_back(std::move(d));
    } while (q.next());
    // Both lists come by sequence: each capacity finds its dish walking forward.
    qsizetype i = 0;
    for (RowCursor& capacity = batch.rows(first + 1); capacity.next();) {
        const int sequence = static_cast<int>(capacity.integer(0));
        while (i < m.dishes.size() && m.dishes[i].sequence < sequence)
            ++i;
        const auto c = containers.constFind(capacity.text(1));
        if (i == m.dishes.size() || m.dishes[i].sequence != sequence || c == containers.cend())
            continue;
        MenuDish& d = m.dishes[i];
        d.containers.push_back(*c);
        d.containers.last().capacity = capacity.real(2);
        if (c->code == d.defaultContainer) d.defaultCapacity = capacity.real(2);
    }
    std::stable_sort(m.dishes.begin(), m.dishes.end(),
                     [](const MenuDish& a, const MenuDish& b) { return a.order < b.order; });
    return m;
}

std::optional<qint64> DistributionStore::numberOf(const DistributionKey& key) {
    auto q = StatementCache::run(
        db_, QStringLiteral("SELECT NRDISTCARD FROM DISTCARD WHERE ") + kKeyWhere, keyValues(key));
    if (!q.next()) return std::nullopt;
    return q.value(0).toLongLong();
}

std::optional<Distribution> DistributionStore::find(qint64 number) {
    return read(QStringLiteral("NRDISTCARD = ?"), {QVariant::fromValue(number)});
}

std::optional<Distribution> DistributionStore::read(const QString& where,
                                                    const QVariantList& values) {
    ReadBatch batch(db_);
    const int first = addDistribution(batch, where, values);
    batch.run();
    std::optional<Distribution> d = distribution(batch, first);
    batch.finish();
    return d;
}

int DistributionStore::addDistribution(ReadBatch& batch, const QString& where,
                                       const QVariantList& values) {
    // The sets find their distribution by the header's own condition, so that all four can be
    // sent before any answer is back.
    const QString number = QStringLiteral("(SELECT NRDISTCARD FROM DISTCARD WHERE %1)").arg(where);
    const int first = batch.add(
        QStringLiteral("SELECT NRDISTCARD, CDFILIAL, CDSERVFILI, DTCARDAPIO, NRCARDAPIO, "
                       "CDCLIENTE, CDDESTFILI, QTCOMENSAIS, NRVERSAO FROM DISTCARD WHERE ") +
            where,
        values);
    batch.add(QStringLiteral(
                  "SELECT NRSEQPRATCAR, NRORDPRATCAR, CDFILAUXPRAT, CDPRATO, NMPRATO, SGUNIDADE, "
                  "QTPORPESSOA, QTTOTCOMENSAIS, QTTOTPRATO, QTTOTEXTRA, QTCOMENSAIS, QTPRATO, "
                  "QTEXTRA FROM CARDDISP WHERE NRDISTCARD = %1 ORDER BY NRSEQPRATCAR")
                  .arg(number),
              values);
    batch.add(QStringLiteral("SELECT e.NREMBDISTCARD, e.CDCONTAINER, c.NMCONTAINER, c.IDPROPOSITO, "
                             "e.QTCONTAINER, e.DSOBSETIQUETA, e.QTPRATO FROM EMBDISTCARD e "
                             "JOIN CONTAINER c ON c.CDCONTAINER = e.CDCONTAINER "
                             "WHERE e.NRDISTCARD = %1 ORDER BY e.NREMBDISTCARD")
                  .arg(number),
              values);
    batch.add(QStringLiteral(
                  "SELECT NREMBDISTCARD, NRSEQPRATCAR, QTCOMENSAIS, QTPRATO, QTEXTRA, IDPRINCIPAL, "
                  "VRQTDEPRATEMB FROM ITEMBDISTCARD WHERE NRDISTCARD = %1")
                  .arg(number),
              values);
    return first;
}

std::optional<Distribution> DistributionStore::distribution(ReadBatch& batch, int first) {
    Distribution d;
    RowCursor& header = batch.rows(first);
    if (!header.next()) return std::nullopt;
    d.number = header.integer(0);
    d.key.branch = header.text(1);
    d.key.service = header.text(2);
    d.key.date = QDate::fromString(header.text(3), kDateFormat);
    d.menuNumber = header.text(4);
    d.key.client = header.text(5);
    d.key.destination = header.text(6);
    d.diners = header.real(7);
    d.version = header.integer(8);
    for (RowCursor& q = batch.rows(first + 1); q.next();) {
        UndistributedRow u;
        u.sequence = static_cast<int>(q.integer(0));
        u.order = static_cast<int>(q.integer(1));
        u.recipeBranch = q.text(2);
        u.dish = q.text(3);
        u.name = q.text(4);
        u.unit = q.text(5);
        u.perPerson = q.real(6);
        u.totalDiners = q.real(7);
        u.totalQuantity = q.real(8);
        u.totalExtra = q.real(9);
        u.diners = q.real(10);
        u.quantity = q.real(11);
        u.extra = q.real(12);
        d.undistributed.push_back(u);
    }
    // In the menu's order; read in the key's order, which needs no sort in the query.
    std::stable_sort(
        d.undistributed.begin(), d.undistributed.end(),
        [](const UndistributedRow& a, const UndistributedRow& b) { return a.order < b.order; });
    for (RowCursor& q = batch.rows(first + 2); q.next();) {
        Packaging p;
        p.number = q.integer(0);
        p.container = q.text(1);
        p.containerName = q.text(2);
        p.purpose = q.text(3);
        p.units = q.real(4);
        p.remark = q.text(5);
        p.quantity = q.real(6);
        d.packagings.push_back(p);
    }
    for (RowCursor& q = batch.rows(first + 3); q.next();) {
        DishRow r;
        r.packaging = q.integer(0);
        r.sequence = static_cast<int>(q.integer(1));
        r.diners = q.real(2);
        r.quantity = q.real(3);
        r.extra = q.real(4);
        r.principal = q.text(5);
        r.capacity = q.real(6);
        d.rows.push_back(r);
    }
    // By packaging, then in the menu's order of the dishes: sorted here, where the dishes'
    // order is at hand, rather than by a join in the query; each row's key is looked up once.
    QHash<int, int> order;
    for (const UndistributedRow& u : d.undistributed)
        order.insert(u.sequence, u.order);
    std::vector<std::tuple<qint64, int, int, qsizetype>> keys;
    keys.reserve(size_t(d.rows.size()));
    for (qsizetype i = 0; i < d.rows.size(); ++i) {
        const DishRow& r = d.rows[i];
        keys.emplace_back(r.packaging, order.value(r.sequence), r.sequence, i);
    }
    std::sort(keys.begin(), keys.end());
    QVector<DishRow> sorted;
    sorted.reserve(d.rows.size());
    for (const auto& key : keys)
        sorted.push_back(std::move(d.rows[std::get<3>(key)]));
    d.rows = std::move(sorted);
    return d;
}

std::optional<Distribution> DistributionStore::findByKey(const DistributionKey& key) {
    return read(kKeyWhere, keyValues(key));
}

bool DistributionStore::menuChanged(const Distribution& stored, const Menu& menu) const {
    if (stored.menuNumber != menu.number || stored.undistributed.size() != menu.dishes.size())
        return true;
    QHash<int, const MenuDish*> dishes;
    for (const MenuDish& m : menu.dishes)
        dishes.insert(m.sequence, &m);
    for (const UndistributedRow& u : stored.undistributed) {
        const MenuDish* m = dishes.value(u.sequence, nullptr);
        if (!m || m->dish != u.dish || m->recipeBranch != u.recipeBranch) return true;
    }
    return false;
}

Distribution DistributionStore::view(const DistributionKey& key, const Menu& menu,
                                     const QVector<Point>& points) {
    Distribution all = DistributionBuilder::undistributed(menu, 0);
    all.key = key;
    all.menuNumber = menu.number;
    QHash<int, int> indexOf;
    for (int i = 0; i < all.undistributed.size(); ++i)
        indexOf.insert(all.undistributed[i].sequence, i);
    for (const Point& p : points) {
        DistributionKey k = key;
        k.client = p.client;
        k.destination = p.destination;
        const std::optional<Distribution> stored = findByKey(k);
        const Distribution d =
            stored ? *stored : DistributionBuilder::undistributed(menu, p.diners);
        for (const UndistributedRow& u : d.undistributed) {
            const int i = indexOf.value(u.sequence, -1);
            if (i < 0) continue; // a dish no longer on the menu
            UndistributedRow& a = all.undistributed[i];
            a.totalDiners += u.totalDiners;
            a.totalQuantity = DishAmounts::Round5(a.totalQuantity + u.totalQuantity);
            a.totalExtra = DishAmounts::Round5(a.totalExtra + u.totalExtra);
            a.diners += u.diners;
            a.quantity = DishAmounts::Round5(a.quantity + u.quantity);
            a.extra = DishAmounts::Round5(a.extra + u.extra);
        }
        all.diners += d.diners;
        all.packagings += d.packagings;
        all.rows += d.rows;
    }
    return all;
}

LoadResult DistributionStore::load(const DistributionKey& key, bool redo) {
    LoadResult result;
    ServiceInfo info;
    std::optional<Menu> m;
    std::optional<Distribution> stored;
    {
        // The service, its menu and the stored distribution from one snapshot: on a database
        // server, in one round trip.
        ReadBatch batch(db_);
        const int service = batch.add(kServiceSql, {key.branch, key.service});
        const int menuRows = addMenu(batch, key.branch, key.service, key.date);
        const int distributionRows = redo ? -1 : addDistribution(batch, kKeyWhere, keyValues(key));
        batch.run();
        info = serviceInfo(batch.rows(service));
        m = menu(batch, menuRows);
        if (!redo) stored = distribution(batch, distributionRows);
        batch.finish();
    }
    if (!info.exists || !info.transported) {
        result.message = QStringLiteral("ERRO_SERV_N_TRANS");
        return result;
    }
    if (!m) {
        result.message = QStringLiteral("ERRO_N_EXIST_CARD");
        return result;
    }
    const bool blank = key.client.isEmpty() && key.destination.isEmpty();
    double diners = m->dayDiners;
    if (blank && !info.points.isEmpty()) {
        if (redo) {
            result.message =
                QStringLiteral("Escolha um ponto de entrega para refazer a distribuição.");
            return result;
        }
        SqlTransaction tx(db_, SqlTransaction::Mode::Read);
        result.distribution = view(key, *m, info.points);
        tx.commit();
        result.hasHeader = false;
        return result;
    }
    if (!blank) {
        const auto it = std::find_if(info.points.cbegin(), info.points.cend(), [&](const Point& p) {
            return p.client == key.client && p.destination == key.destination;
        });
        if (it == info.points.cend()) {
            result.message = QStringLiteral("Ponto de entrega não cadastrado para o serviço.");
            return result;
        }
        diners = it->diners;
    }

    if (stored) {
        if (menuChanged(*stored, *m)) {
            result.message = QStringLiteral("ERRO_PRAT_CARD_ALT");
            return result;
        }
        result.distribution = std::move(*stored);
        return result;
    }
    if (m->dayDiners <= 0) {
        result.message = QStringLiteral("ERRO_COMESTICAR_ZERO");
        return result;
    }
    if (diners <= 0) {
        result.message = QStringLiteral("ERRO_COMESTICLI_ZERO");
        return result;
    }

    const Distribution built =
        redo ? DistributionBuilder::automatic(
                   *m, diners,
                   PackingPolicy::load(db_, key.branch, key.service)
                       .choiceFor(key.service, key.client, key.destination, *m))
             : DistributionBuilder::undistributed(*m, diners);
    SqlTransaction tx(db_, SqlTransaction::Mode::Write);
    std::optional<qint64> number = numberOf(key);
    if (!number && !redo) {
        // Two clerks opening the same new point on two servers at once: the second insert
        // waits for the first and then finds its distribution, which both load at version 1.
        number = insertNew(key, built);
        if (number)
            recordChange(QString(), std::nullopt, *number, std::nullopt, false);
        else
            number = numberOf(key);
    }
    if (!number || redo) number = store(key, built, redo ? AuditTrail::kRedo : QString());
    result.distribution = *find(*number);
    tx.commit();
    if (!redo && menuChanged(result.distribution, *m)) {
        // Another server stored it meanwhile from an older menu.
        result.message = QStringLiteral("ERRO_PRAT_CARD_ALT");
        result.distribution = Distribution();
    }
    return result;
}

qint64 DistributionStore::store(const DistributionKey& key, const Distribution& built,
                                const QString& operation) {
    std::optional<qint64> number = numberOf(key);
    std::optional<Distribution> before;
    std::optional<qint64> versionBefore;
    if (number) {
        // Another server may have deleted it since the look-up: then it is made anew.
        if (const auto stamp = DistributionVersion(db_).lock(*number)) {
            versionBefore = stamp->version;
            if (!operation.isEmpty()) before = find(*number);
        } else {
            number.reset();
        }
    }
    const qint64 stored = replace(key, built, number);
    recordChange(operation, before, stored, versionBefore, false);
    return stored;
}

std::optional<qint64> DistributionStore::insertNew(const DistributionKey& key,
                                                   const Distribution& built) {
    auto q = StatementCache::run(
        db_,
        QStringLiteral("INSERT INTO DISTCARD (CDFILIAL, CDSERVFILI, DTCARDAPIO, NRCARDAPIO, "
                       "CDCLIENTE, CDDESTFILI, QTCOMENSAIS, NRVERSAO) VALUES (?, ?, ?, ?, ?, ?, ?, "
                       "0) ON CONFLICT DO NOTHING RETURNING NRDISTCARD"),
        {key.branch, key.service, key.date.toString(kDateFormat), built.menuNumber,
         keyText(key.client), keyText(key.destination), built.diners});
    if (!q.next()) return std::nullopt;
    const qint64 n = q.value(0).toLongLong();
    q.query().finish();
    DistributionWriter(db_, n).insert(built);
    return n;
}

qint64 DistributionStore::replace(const DistributionKey& key, const Distribution& built,
                                  std::optional<qint64> number) {
    if (!number) {
        if (const std::optional<qint64> n = insertNew(key, built)) return *n;
        // Another server inserted it between our look-up and our insert: replace its content.
        number = numberOf(key);
        if (!number) throw Refusal(QStringLiteral("Não foi possível gravar a distribuição."));
    }
    lockHeader(*number);
    deleteContent(*number);
    StatementCache::run(
        db_,
        QStringLiteral("UPDATE DISTCARD SET NRCARDAPIO = ?, QTCOMENSAIS = ? WHERE NRDISTCARD = ?"),
        {built.menuNumber, built.diners, QVariant::fromValue(*number)});
    DistributionWriter(db_, *number).insert(built);
    return *number;
}

void DistributionStore::recordChange(const QString& operation,
                                     const std::optional<Distribution>& before, qint64 number,
                                     std::optional<qint64> versionBefore, bool versioned,
                                     const Distribution* written) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const qint64 version = DistributionVersion(db_).advance(number, caller_, now);
    if (operation.isEmpty()) return;
    const std::optional<Distribution> after = written ? *written : find(number);
    AuditTrail(db_).record(caller_, operation, now, before ? &*before : nullptr, &*after,
                           versionBefore, version, versioned);
}

void DistributionStore::deleteContent(qint64 number) {
    const QVariant n = QVariant::fromValue(number);
    StatementCache::run(db_, QStringLiteral("DELETE FROM ITEMBDISTCARD WHERE NRDISTCARD = ?"), {n});
    StatementCache::run(db_, QStringLiteral("DELETE FROM EMBDISTCARD WHERE NRDISTCARD = ?"), {n});
    StatementCache::run(db_, QStringLiteral("DELETE FROM CARDDISP WHERE NRDISTCARD = ?"), {n});
}

void DistributionStore::save(double numberValue, const TDataPacket& undistributedPacket,
                             const TDataPacket& packagingPacket, const TDataPacket& rowPacket,
                             std::optional<qint64> version) {
    const qint64 number = distributionNumber(numberValue);
    QVector<UndistributedRow> undistributed =
        DistributionPackets::readUndistributed(undistributedPacket);
    QVector<Packaging> packagings = DistributionPackets::readPackagings(packagingPacket);
    QVector<DishRow> rows = DistributionPackets::readRows(rowPacket);

    SqlTransaction tx(db_, SqlTransaction::Mode::Write);
    const auto stamp = DistributionVersion(db_).require(number, version);
    const std::optional<Distribution> stored = find(number);
    if (!stored) throw Refusal(QStringLiteral("Distribuição %1 não encontrada.").arg(number));

    SaveValidator(db_, *stored).check(undistributed, packagings, rows);

    DistributionWriter writer(db_, number);
    hook(QStringLiteral("CARDDISP"));
    writer.updateUndistributed(stored->undistributed, undistributed);
    hook(QStringLiteral("EMBDISTCARD"));
    writer.removeRows(stored->rows, rows);
    const QHash<qint64, qint64> numbers = writer.writePackagings(stored->packagings, packagings);
    for (DishRow& r : rows)
        r.packaging = numbers.value(r.packaging);
    hook(QStringLiteral("ITEMBDISTCARD"));
    writer.writeRows(stored->rows, rows);
    // What the trail compares is what was just written: no need to read it back.
    Distribution written = *stored;
    written.packagings = packagings;
    for (Packaging& p : written.packagings)
        p.number = numbers.value(p.number);
    written.rows = rows;
    recordChange(AuditTrail::kSave, stored, number, stamp->version, version.has_value(), &written);
    tx.commit();
}

void DistributionStore::remove(double numberValue, std::optional<qint64> version) {
    const qint64 number = distributionNumber(numberValue);
    SqlTransaction tx(db_, SqlTransaction::Mode::Write);
    const QVariant n = QVariant::fromValue(number);
    const auto stamp = DistributionVersion(db_).require(number, version);
    if (!stamp) throw Refusal(QStringLiteral("Distribuição %1 não encontrada.").arg(number));
    const std::optional<Distribution> before = find(number);
    deleteContent(number);
    StatementCache::run(db_, QStringLiteral("DELETE FROM DISTCARD WHERE NRDISTCARD = ?"), {n});
    AuditTrail(db_).record(caller_, AuditTrail::kDelete, QDateTime::currentDateTimeUtc(), &*before,
                           nullptr, stamp->version, std::nullopt, version.has_value());
    tx.commit();
}

GenerationSummary DistributionStore::generate(const QDate& date, const TDataPacket& services,
                                              bool replace) {
    const QVector<QPair<QString, QString>> ticked =
        DistributionPackets::readTickedServices(services);
    if (ticked.isEmpty())
        throw Refusal(QStringLiteral("Nenhum serviço marcado para gerar a distribuição."));

    GenerationSummary summary;
    SqlTransaction tx(db_, SqlTransaction::Mode::Write);
    QHash<QString, PackingPolicy> policies; // by branch, read once per call
    for (const auto& [branch, service] : ticked) {
        const ServiceInfo info = serviceInfo(branch, service);
        if (!info.exists || !info.transported)
            throw Refusal(QStringLiteral("O serviço %1 da filial %2 não é transportado.")
                              .arg(service, branch));
        const std::optional<Menu> m = menu(branch, service, date);
        QVector<Point> points = info.points;
        if (points.isEmpty()) points.push_back(Point{QString(), QString(), m ? m->dayDiners : 0});
        if (!m) {
            summary.skipped += points.size();
            continue;
        }
        auto policy = policies.find(branch);
        if (policy == policies.end())
            policy = policies.insert(branch, PackingPolicy::load(db_, branch));
        for (const Point& p : points) {
            const DistributionKey key{branch, service, date, p.client, p.destination};
            if (!replace && numberOf(key)) {
                ++summary.kept;
                continue;
            }
            if (m->dayDiners <= 0 || p.diners <= 0) {
                ++summary.skipped;
                continue;
            }
            store(key,
                  DistributionBuilder::automatic(
                      *m, p.diners, policy->choiceFor(service, p.client, p.destination, *m)),
                  AuditTrail::kGenerate);
            ++summary.generated;
        }
    }
    tx.commit();
    return summary;
}

} // namespace pla
