// Storage rules of distributions, run on SQLite and, when available, on PostgreSQL.
#include "TestDatabase.h"
#include "appserver/rpc/DistributionPackets.h"
#include "appserver/rpc/Refusal.h"
#include "appserver/storage/CatalogQueries.h"
#include "appserver/storage/DistributionStore.h"
#include "appserver/storage/SqlTransaction.h"
#include "appserver/storage/SqlUtil.h"

#include <QHash>
#include <QMap>
#include <QSqlRecord>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace pla;
using pla::test::Backend;

namespace {

const QString kBranch = QStringLiteral("0001");
const QString kHospital = QStringLiteral("00001"); // three delivery points
const QString kSchool = QStringLiteral("00004");   // one point, every dish has a default container
const QString kEvents = QStringLiteral("00006");   // no delivery points

DistributionKey key(const QString& service, const QString& client = {}, const QString& dest = {},
                    QDate date = test::demoToday()) {
    return DistributionKey{kBranch, service, date, client, dest};
}

// Everything stored about a distribution, as one comparable text.
QString fingerprint(const Distribution& d) {
    QStringList parts{QString::number(d.number), d.menuNumber, QString::number(d.diners)};
    for (const auto& u : d.undistributed)
        parts << QStringLiteral("U%1:%2/%3/%4/%5/%6")
                     .arg(u.sequence)
                     .arg(u.perPerson)
                     .arg(u.totalQuantity)
                     .arg(u.diners)
                     .arg(u.quantity)
                     .arg(u.extra);
    for (const auto& p : d.packagings)
        parts << QStringLiteral("E%1:%2/%3/%4/%5")
                     .arg(p.number)
                     .arg(p.container)
                     .arg(p.units)
                     .arg(p.remark)
                     .arg(p.quantity);
    for (const auto& r : d.rows)
        parts << QStringLiteral("I%1/%2:%3/%4/%5/%6/%7")
                     .arg(r.packaging)
                     .arg(r.sequence)
                     .arg(r.diners)
                     .arg(r.quantity)
                     .arg(r.extra)
                     .arg(r.principal)
                     .arg(r.capacity);
    return parts.join(QLatin1Char('|'));
}

class StoreTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        db_ = std::make_unique<test::TestDatabase>(GetParam());
        if (!db_->available()) GTEST_SKIP() << db_->skipReason().toStdString();
        store_ = std::make_unique<DistributionStore>(db_->connection());
    }
    void TearDown() override {
        store_.reset();
        db_.reset();
    }

    Distribution loaded(const DistributionKey& k, bool redo = false) {
        const LoadResult r = store_->load(k, redo);
        EXPECT_TRUE(r.message.isEmpty()) << r.message.toStdString();
        return r.distribution;
    }
    void save(const Distribution& d, DistributionStore* store = nullptr) {
        (store ? store : store_.get())
            ->save(static_cast<double>(d.number), DistributionPackets::undistributed(d),
                   DistributionPackets::packagings(d), DistributionPackets::rows(d));
    }
    QHash<QString, QString> lights(QDate date = test::demoToday()) {
        const TDataPacket p = CatalogQueries(db_->connection()).services(kBranch, date);
        QHash<QString, QString> out;
        for (const auto& row : p.Rows)
            out.insert(row[2].toString(), row[4].toString());
        return out;
    }
    // A distribution of the first hospital point with two packagings: an individual one holding
    // all of the first dish and half of the second, a collective one with the rest of the second.
    Distribution twoPackagings() {
        Distribution d = loaded(key(kHospital, QStringLiteral("10001"), QStringLiteral("001")));
        UndistributedRow& a = d.undistributed[0];
        UndistributedRow& b = d.undistributed[1];
        Packaging ind{-1,  QStringLiteral("00001"),
                      {},  QStringLiteral("I"),
                      120, QStringLiteral("Entregar até 11h30 — portaria 2"),
                      0};
        Packaging col{-2, QStringLiteral("00010"), {}, QStringLiteral("C"), 2, {}, b.quantity / 2};
        d.packagings = {ind, col};
        d.rows = {DishRow{-1, a.sequence, a.diners, a.quantity, a.extra, QStringLiteral("S"), 0.5},
                  DishRow{-1, b.sequence, 60, b.quantity / 2, 0, QStringLiteral("N"), 0.5},
                  DishRow{-2, b.sequence, b.diners - 60, b.quantity / 2, b.extra,
                          QStringLiteral("S"), 7}};
        a.diners = a.quantity = a.extra = 0;
        b.diners = b.quantity = b.extra = 0;
        return d;
    }

    std::unique_ptr<test::TestDatabase> db_;
    std::unique_ptr<DistributionStore> store_;
};

TEST_P(StoreTest, LoadCreatesAnUndistributedDistributionOnceAndReturnsItAfterwards) {
    const Distribution first =
        loaded(key(kHospital, QStringLiteral("10001"), QStringLiteral("001")));
    ASSERT_GT(first.number, 0);
    EXPECT_EQ(first.diners, 120);
    EXPECT_TRUE(first.packagings.isEmpty());
    ASSERT_GE(first.undistributed.size(), 8);
    ASSERT_LE(first.undistributed.size(), 15);
    bool zeroPerPerson = false;
    for (const auto& u : first.undistributed) {
        EXPECT_EQ(u.totalDiners, 120);
        EXPECT_NEAR(u.totalQuantity, 120 * u.perPerson, 1e-9) << u.name.toStdString();
        EXPECT_EQ(u.diners, u.totalDiners);
        EXPECT_EQ(u.quantity, u.totalQuantity);
        EXPECT_EQ(u.extra, u.totalExtra);
        zeroPerPerson |= u.perPerson == 0;
    }
    EXPECT_TRUE(zeroPerPerson) << "lunch menus carry a dish without quantity per person";
    const Distribution again =
        loaded(key(kHospital, QStringLiteral("10001"), QStringLiteral("001")));
    EXPECT_EQ(fingerprint(again), fingerprint(first));
}

TEST_P(StoreTest, GeneratedPackagingsFollowTheMenusOrderOfDishesNotTheirSequence) {
    SqlUtil::exec(db_->connection(),
                  QStringLiteral("UPDATE PRATCARD SET NRORDPRATCAR = 1000 - NRSEQPRATCAR"));
    TDataPacket services = CatalogQueries(db_->connection()).transportedServices(kBranch);
    const int code = services.IndexOf(QStringLiteral("CDSERVFILI"));
    for (auto& row : services.Rows)
        row[0] = row[code].toString() == kSchool ? QStringLiteral("S") : QStringLiteral("N");
    store_->generate(test::demoToday(), services, false);
    // Generated packagings are numbered in the order of their first dish.
    const Distribution d =
        *store_->findByKey(key(kSchool, QStringLiteral("10003"), QStringLiteral("001")));
    ASSERT_GT(d.rows.size(), 2);
    int highest = 0;
    for (const DishRow& r : d.rows)
        highest = std::max(highest, r.sequence);
    EXPECT_EQ(d.rows.first().sequence, highest);
    for (int i = 1; i < d.undistributed.size(); ++i)
        EXPECT_GT(d.undistributed[i - 1].sequence, d.undistributed[i].sequence);
}

TEST_P(StoreTest, AReadInsideTheCallersTransactionLeavesItsPlannerSettingAsItWas) {
    if (GetParam() != Backend::Postgres) GTEST_SKIP() << "a PostgreSQL setting";
    SqlTransaction tx(db_->connection(), SqlTransaction::Mode::Write);
    store_->findByKey(key(kHospital, QStringLiteral("10001"), QStringLiteral("001")));
    QSqlQuery q = SqlUtil::exec(db_->connection(),
                                QStringLiteral("SELECT current_setting('plan_cache_mode')"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("auto"));
}

TEST_P(StoreTest, LoadAnswersTheMessageKeysWhereTheyApply) {
    auto message = [&](const DistributionKey& k, bool redo = false) {
        return store_->load(k, redo).message.toStdString();
    };
    EXPECT_EQ(message(key(QStringLiteral("00007"))), "ERRO_SERV_N_TRANS"); // not transported
    EXPECT_EQ(message(key(QStringLiteral("99999"))), "ERRO_SERV_N_TRANS"); // unknown
    EXPECT_EQ(
        message(key(kHospital, QStringLiteral("10001"), QStringLiteral("001"), QDate(2027, 6, 1))),
        "ERRO_N_EXIST_CARD");
    // A ward closed for renovation has no diners.
    EXPECT_EQ(message(key(QStringLiteral("00002"), QStringLiteral("10001"), QStringLiteral("004"))),
              "ERRO_COMESTICLI_ZERO");
    // The office service has no diners on Sundays, neither to read nor to redo.
    const DistributionKey sunday = key(QStringLiteral("00005"), QStringLiteral("10004"),
                                       QStringLiteral("001"), QDate(2026, 12, 13));
    EXPECT_EQ(message(sunday), "ERRO_COMESTICAR_ZERO");
    EXPECT_EQ(message(sunday, true), "ERRO_COMESTICAR_ZERO");
    EXPECT_FALSE(message(key(kHospital, QStringLiteral("10001"), QStringLiteral("999"))).empty());

    // A stored distribution whose menu lost a dish afterwards must be redone first.
    const DistributionKey k = key(kHospital, QStringLiteral("10001"), QStringLiteral("002"));
    const Distribution d = loaded(k);
    SqlUtil::exec(db_->connection(),
                  QStringLiteral("DELETE FROM PRATCARD WHERE NRCARDAPIO = ? AND NRSEQPRATCAR = ?"),
                  {d.menuNumber, d.undistributed.last().sequence});
    EXPECT_EQ(message(k), "ERRO_PRAT_CARD_ALT");
    const Distribution redone = loaded(k, true);
    EXPECT_EQ(redone.number, d.number);
    EXPECT_EQ(redone.undistributed.size(), d.undistributed.size() - 1);
    EXPECT_EQ(message(k), "");
}

TEST_P(StoreTest, SaveThenLoadGivesTheSameAmountsWithNewPackagingsRenumbered) {
    const Distribution sent = twoPackagings();
    save(sent);
    const Distribution stored = *store_->find(sent.number);
    ASSERT_EQ(stored.packagings.size(), 2);
    const qint64 ind = stored.packagings[0].number, col = stored.packagings[1].number;
    EXPECT_GT(ind, 0);
    EXPECT_GT(col, ind);
    EXPECT_EQ(stored.packagings[0].remark, sent.packagings[0].remark);
    EXPECT_EQ(stored.packagings[0].containerName, QStringLiteral("Marmita térmica 3 divisões"));
    EXPECT_EQ(stored.packagings[1].units, 2);
    ASSERT_EQ(stored.rows.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const DishRow& s = sent.rows[i];
        EXPECT_EQ(stored.rows[i].packaging, s.packaging == -1 ? ind : col);
        EXPECT_EQ(stored.rows[i].sequence, s.sequence);
        EXPECT_DOUBLE_EQ(stored.rows[i].diners, s.diners);
        EXPECT_DOUBLE_EQ(stored.rows[i].quantity, s.quantity);
        EXPECT_DOUBLE_EQ(stored.rows[i].extra, s.extra);
        EXPECT_EQ(stored.rows[i].principal, s.principal);
        EXPECT_DOUBLE_EQ(stored.rows[i].capacity, s.capacity);
    }
    for (int i = 0; i < stored.undistributed.size(); ++i)
        EXPECT_DOUBLE_EQ(stored.undistributed[i].quantity, sent.undistributed[i].quantity);

    // A second save drops the collective packaging (its amounts back to undistributed) and
    // keeps the individual one under its number.
    Distribution next = stored;
    const DishRow back = next.rows.takeLast();
    next.packagings.removeLast();
    next.undistributed[1].diners += back.diners;
    next.undistributed[1].quantity += back.quantity;
    next.undistributed[1].extra += back.extra;
    save(next);
    const Distribution after = *store_->find(sent.number);
    ASSERT_EQ(after.packagings.size(), 1);
    EXPECT_EQ(after.packagings[0].number, ind);
    EXPECT_EQ(fingerprint(after), fingerprint(next));
}

// Every stored row of a distribution's content, by key: its physical identity (rowid on
// SQLite, ctid on PostgreSQL: a row deleted and inserted again gets a new one) and its values.
QMap<QString, QPair<QString, QString>> storedRows(const QSqlDatabase& db, qint64 number) {
    const QString identity =
        SqlUtil::isPostgres(db) ? QStringLiteral("ctid::text") : QStringLiteral("rowid");
    const struct {
        const char* table;
        const char* key;
        const char* values;
    } tables[] = {
        {"CARDDISP", "NRSEQPRATCAR",
         "NRORDPRATCAR, CDFILAUXPRAT, CDPRATO, NMPRATO, SGUNIDADE, QTPORPESSOA, QTTOTCOMENSAIS, "
         "QTTOTPRATO, QTTOTEXTRA, QTCOMENSAIS, QTPRATO, QTEXTRA"},
        {"EMBDISTCARD", "NREMBDISTCARD", "CDCONTAINER, QTCONTAINER, DSOBSETIQUETA, QTPRATO"},
        {"ITEMBDISTCARD", "NREMBDISTCARD || '/' || NRSEQPRATCAR",
         "QTCOMENSAIS, QTPRATO, QTEXTRA, IDPRINCIPAL, VRQTDEPRATEMB"},
    };
    QMap<QString, QPair<QString, QString>> rows;
    for (const auto& t : tables) {
        QSqlQuery q = SqlUtil::exec(db,
                                    QStringLiteral("SELECT %1, %2, %3 FROM %4 WHERE NRDISTCARD = ?")
                                        .arg(t.key, identity, t.values, t.table),
                                    {QVariant::fromValue(number)});
        while (q.next()) {
            QStringList values;
            for (int i = 2; i < q.record().count(); ++i)
                values << q.value(i).toString();
            rows.insert(QStringLiteral("%1 %2").arg(t.table, q.value(0).toString()),
                        {q.value(1).toString(), values.join(QLatin1Char('|'))});
        }
    }
    return rows;
}

TEST_P(StoreTest, ASaveChangingOneDishRowRewritesOnlyThatRow) {
    save(twoPackagings());
    Distribution d = *store_->find(twoPackagings().number);
    // Another distribution stored after it: rows of the first written again would now get
    // identities above this one's.
    Distribution other = loaded(key(kHospital, QStringLiteral("10001"), QStringLiteral("002")));
    other.undistributed[0].diners -= 1;
    other.packagings = {Packaging{-1, QStringLiteral("00001"), {}, QStringLiteral("I"), 1, {}, 0}};
    other.rows = {DishRow{-1, other.undistributed[0].sequence, 1, 0, 0, QStringLiteral("N"), 0}};
    save(other);

    const auto before = storedRows(db_->connection(), d.number);
    // Ten diners of the second dish go back from the individual packaging to undistributed.
    DishRow& moved = d.rows[1];
    moved.diners -= 10;
    d.undistributed[1].diners += 10;
    save(d);
    const auto after = storedRows(db_->connection(), d.number);

    const QString row =
        QStringLiteral("ITEMBDISTCARD %1/%2").arg(moved.packaging).arg(moved.sequence);
    const QString dish = QStringLiteral("CARDDISP %1").arg(d.undistributed[1].sequence);
    ASSERT_EQ(after.keys(), before.keys());
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (it.key() == row || it.key() == dish) continue;
        EXPECT_EQ(after[it.key()], it.value()) << it.key().toStdString();
    }
    EXPECT_EQ(after[row].second.section(QLatin1Char('|'), 0, 0).toDouble(), moved.diners);
    EXPECT_EQ(after[dish].second.section(QLatin1Char('|'), 9, 9).toDouble(),
              d.undistributed[1].diners);
    EXPECT_EQ(fingerprint(*store_->find(d.number)), fingerprint(d));
}

TEST_P(StoreTest, EveryRefusedSaveNamesTheFaultAndStoresNothing) {
    save(twoPackagings());
    const Distribution base = *store_->find(twoPackagings().number);
    const QString before = fingerprint(base);
    const QString firstDish = base.undistributed[0].name;
    const Distribution other =
        loaded(key(kHospital, QStringLiteral("10001"), QStringLiteral("002")), true);
    ASSERT_FALSE(other.packagings.isEmpty());

    struct Case {
        const char* what;
        std::function<void(Distribution&)> change;
        QString expected; // part of the message
    };
    const QVector<Case> cases = {
        {"quantity not conserved", [](Distribution& d) { d.rows[0].quantity += 1; }, firstDish},
        {"negative undistributed diners",
         [](Distribution& d) {
             d.undistributed[0].diners = -1;
             d.rows[0].diners += 1;
         },
         firstDish},
        {"negative extra in a dish row",
         [](Distribution& d) {
             d.undistributed[0].extra += d.rows[0].extra + 0.5;
             d.rows[0].extra = -0.5;
         },
         QStringLiteral("negativa")},
        {"negative units", [](Distribution& d) { d.packagings[0].units = -3; },
         QStringLiteral("negativa")},
        {"dish row in a packaging not sent", [](Distribution& d) { d.rows[0].packaging = -77; },
         QStringLiteral("-77")},
        {"dish twice in one packaging",
         [](Distribution& d) {
             DishRow half = d.rows[0];
             half.diners /= 2;
             half.quantity /= 2;
             half.extra /= 2;
             d.rows[0].diners -= half.diners;
             d.rows[0].quantity -= half.quantity;
             d.rows[0].extra -= half.extra;
             d.rows.push_back(half);
         },
         QStringLiteral("duas vezes")},
        {"collective packaging with a second dish",
         [](Distribution& d) {
             UndistributedRow& c = d.undistributed[2];
             d.rows.push_back(DishRow{d.packagings[1].number, c.sequence, c.diners, c.quantity,
                                      c.extra, QStringLiteral("N"), 0});
             c.diners = c.quantity = c.extra = 0;
         },
         QStringLiteral("mais de um prato")},
        {"unknown container",
         [](Distribution& d) { d.packagings[0].container = QStringLiteral("99999"); },
         QStringLiteral("99999")},
        {"label remark too long",
         [](Distribution& d) { d.packagings[0].remark = QString(251, QLatin1Char('x')); },
         QStringLiteral("DSOBSETIQUETA")},
        {"packaging of another distribution",
         [&](Distribution& d) {
             Packaging foreign = other.packagings[0];
             d.packagings.push_back(foreign);
         },
         QStringLiteral("não pertence")},
        {"dish of another menu",
         [](Distribution& d) {
             d.rows.push_back(
                 DishRow{d.packagings[0].number, 9999, 1, 1, 0, QStringLiteral("N"), 0});
         },
         QStringLiteral("não pertence")},
        {"dish missing from the undistributed list",
         [](Distribution& d) { d.undistributed.removeLast(); }, QStringLiteral("Faltam")},
    };
    for (const Case& c : cases) {
        Distribution d = base;
        c.change(d);
        try {
            save(d);
            ADD_FAILURE() << "accepted: " << c.what;
        } catch (const Refusal& r) {
            EXPECT_TRUE(r.message().contains(c.expected))
                << c.what << ": " << r.message().toStdString();
        }
        EXPECT_EQ(fingerprint(*store_->find(base.number)), before) << c.what;
    }
    try {
        store_->save(987654, DistributionPackets::undistributed(base),
                     DistributionPackets::packagings(base), DistributionPackets::rows(base));
        ADD_FAILURE() << "unknown number accepted";
    } catch (const Refusal& r) {
        EXPECT_TRUE(r.message().contains(QStringLiteral("987654")));
    }
    EXPECT_EQ(fingerprint(*store_->find(base.number)), before);
}

TEST_P(StoreTest, ASaveFailingPartWayLeavesTheStoredDistributionAsItWas) {
    save(twoPackagings());
    const Distribution base = *store_->find(twoPackagings().number);
    const QString before = fingerprint(base);
    Distribution changed = base;
    changed.packagings[0].remark = QStringLiteral("alterada");
    changed.packagings.push_back(
        Packaging{-9, QStringLiteral("00004"), {}, QStringLiteral("I"), 120, {}, 0});
    UndistributedRow& free = changed.undistributed[2]; // in no packaging
    free.perPerson = 0.2;
    free.totalQuantity = free.totalDiners * 0.2;
    free.quantity = free.diners * 0.2;

    for (const char* table : {"EMBDISTCARD", "ITEMBDISTCARD"}) {
        store_->setWriteHook([table](const QString& t) {
            if (t == QLatin1String(table)) throw std::runtime_error("falha simulada");
        });
        EXPECT_THROW(save(changed), std::runtime_error) << table;
        EXPECT_EQ(fingerprint(*store_->find(base.number)), before) << table;
    }
    store_->setWriteHook({});
    save(changed); // the connection is still usable and the same save now goes through
    EXPECT_EQ(store_->find(base.number)->packagings.size(), 3);
}

TEST_P(StoreTest, StatusLightsFollowTheStoredDistributions) {
    QHash<QString, QString> s = lights();
    EXPECT_EQ(s.size(), 6); // the branch's transported services with a menu
    for (const QString& v : s)
        EXPECT_EQ(v, QStringLiteral("N"));

    loaded(key(kHospital, QStringLiteral("10001"), QStringLiteral("001")));
    loaded(key(kSchool, QStringLiteral("10003"), QStringLiteral("001")), true);
    loaded(key(kEvents), true);
    s = lights();
    EXPECT_EQ(s.value(kHospital), QStringLiteral("N")); // looked at only: nothing packed
    EXPECT_EQ(s.value(kSchool), QStringLiteral("S"));   // the only point fully distributed
    EXPECT_EQ(s.value(kEvents), QStringLiteral("S"));   // no delivery points: the blank one
    EXPECT_EQ(s.value(QStringLiteral("00003")), QStringLiteral("N"));

    save(twoPackagings()); // one point packed, two missing
    EXPECT_EQ(lights().value(kHospital), QStringLiteral("I"));

    // Every point present but something left over still shows red.
    for (const char* dest : {"001", "002", "003"})
        loaded(key(kHospital, QStringLiteral("10001"), QString::fromLatin1(dest)), true);
    EXPECT_EQ(lights().value(kHospital), QStringLiteral("I"));

    store_->remove(static_cast<double>(store_->findByKey(key(kSchool, "10003", "001"))->number));
    EXPECT_EQ(lights().value(kSchool), QStringLiteral("N"));
    EXPECT_THROW(store_->remove(424242), Refusal);

    // Branch without transported services; transported list ticks nothing.
    EXPECT_TRUE(CatalogQueries(db_->connection())
                    .transportedServices(QStringLiteral("0003"))
                    .Rows.isEmpty());
    const TDataPacket t = CatalogQueries(db_->connection()).transportedServices(kBranch);
    EXPECT_EQ(t.Rows.size(), 6);
    for (const auto& row : t.Rows)
        EXPECT_EQ(row[0].toString(), QStringLiteral("N"));
}

TEST_P(StoreTest, BranchGenerationKeepsOrRedoesExistingDistributions) {
    TDataPacket services = CatalogQueries(db_->connection()).transportedServices(kBranch);
    const int code = services.IndexOf(QStringLiteral("CDSERVFILI"));
    auto tick = [&](const QStringList& codes) {
        for (auto& row : services.Rows)
            row[0] =
                codes.contains(row[code].toString()) ? QStringLiteral("S") : QStringLiteral("N");
    };
    tick({});
    EXPECT_THROW(store_->generate(test::demoToday(), services, false), Refusal);

    tick({kHospital, kEvents, QStringLiteral("00002")});
    GenerationSummary g = store_->generate(test::demoToday(), services, false);
    EXPECT_EQ(g.generated, 3 + 1 + 2);
    EXPECT_EQ(g.skipped, 1); // the ward without diners
    EXPECT_EQ(g.kept, 0);

    const DistributionKey k = key(kHospital, QStringLiteral("10001"), QStringLiteral("001"));
    Distribution mine = *store_->findByKey(k);
    ASSERT_FALSE(mine.packagings.isEmpty());
    mine.packagings[0].remark = QStringLiteral("Conferido pela nutricionista");
    save(mine);
    const QString kept = fingerprint(*store_->findByKey(k));

    g = store_->generate(test::demoToday(), services, false);
    EXPECT_EQ(g.kept, 6);
    EXPECT_EQ(g.generated, 0);
    EXPECT_EQ(fingerprint(*store_->findByKey(k)), kept);

    g = store_->generate(test::demoToday(), services, true);
    EXPECT_EQ(g.generated, 6);
    const Distribution redone = *store_->findByKey(k);
    EXPECT_EQ(redone.number, mine.number);
    EXPECT_TRUE(redone.packagings[0].remark.isEmpty());

    // No menu on the date: passed over, nothing stored.
    g = store_->generate(QDate(2027, 6, 1), services, true);
    EXPECT_EQ(g.generated, 0);
    EXPECT_GT(g.skipped, 0);

    TDataPacket wrong = services;
    wrong.Rows = {{QStringLiteral("S"), QStringLiteral("004"), kBranch, QStringLiteral("00007"),
                   QStringLiteral("x")}};
    EXPECT_THROW(store_->generate(test::demoToday(), wrong, false), Refusal);
}

TEST_P(StoreTest, BlankPointOfAServiceWithPointsIsAReadOnlySumOfAllPoints) {
    const Distribution one =
        loaded(key(kHospital, QStringLiteral("10001"), QStringLiteral("001")), true);
    const LoadResult view = store_->load(key(kHospital), false);
    ASSERT_TRUE(view.message.isEmpty());
    EXPECT_FALSE(view.hasHeader);
    EXPECT_EQ(view.distribution.packagings.size(), one.packagings.size());
    EXPECT_EQ(view.distribution.undistributed[0].totalDiners, 120 + 85 + 24);
    // Viewing stores nothing.
    EXPECT_FALSE(store_->findByKey(key(kHospital, QStringLiteral("10001"), QStringLiteral("002"))));
    EXPECT_FALSE(store_->findByKey(key(kHospital)));
    EXPECT_FALSE(store_->load(key(kHospital), true).message.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Backends, StoreTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) {
                             return info.param == Backend::Sqlite ? std::string("SQLite")
                                                                  : std::string("PostgreSQL");
                         });

} // namespace
