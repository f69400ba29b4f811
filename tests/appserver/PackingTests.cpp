// A branch generation with packing rules and the fewest containers, from the import files to
// the stored packagings, on SQLite and, when available, on PostgreSQL.
#include "TestDatabase.h"
#include "TestDistributions.h"
#include "appserver/DemoData.h"
#include "appserver/storage/DistributionStore.h"
#include "appserver/storage/SqlUtil.h"
#include "appserver/transfer/DataImporter.h"

#include <QMap>
#include <gtest/gtest.h>

using namespace pla;
using test::Backend;

namespace {

const QString kBranch = QStringLiteral("0100");
const QDate kDay(2027, 5, 4);

// A kitchen with 4 kg and 2 kg pans; rice, beans, beef and juice on both services' menus.
const char* const kFiles[][2] = {
    {"filiais.csv", "CDFILIAL;NMFILIAL;IDPROPOSTAEMB\n0100;Cozinha Teste;V\n"},
    {"grupos.csv", "CDGRUPSERV;NMGRUPSERV\n100;Testes\n"},
    {"servicos.csv", "CDFILIAL;CDSERVFILI;NMSERVICO;CDGRUPSERV\n0100;00001;Almoço;100\n"
                     "0100;00002;Jantar;100\n"},
    {"clientes.csv", "CDCLIENTE;NMRAZSOCCLIE\nC1;Cliente\n"},
    {"destinos.csv", "CDCLIENTE;CDDESTFILI;NMDESTFILI\nC1;001;Ala 1\nC1;002;Ala 2\n"},
    {"pontos.csv", "CDFILIAL;CDSERVFILI;CDCLIENTE;CDDESTFILI;QTCOMENSAIS\n"
                   "0100;00001;C1;001;50\n0100;00001;C1;002;40\n0100;00002;C1;001;30\n"},
    {"embalagens.csv", "CDCONTAINER;NMCONTAINER;IDPROPOSITO\n00001;Marmita;I\n00010;Cuba 4 kg;C\n"
                       "00011;Cuba 2 kg;C\n00012;Garrafa;C\n"},
    {"pratos.csv", "CDFILAUXPRAT;CDPRATO;NMPRATO;SGUNIDADE;QTPORPESSOA;QTEXTRA;CDCONTPADRAO\n"
                   "0100;ARROZ;Arroz;KG;0,2;0;00010\n0100;FEIJAO;Feijão;KG;0,1;0,5;00010\n"
                   "0100;CARNE;Carne;KG;0,15;0;00001\n0100;SUCO;Suco;LT;0,25;0;00012\n"},
    {"capacidades.csv", "CDFILAUXPRAT;CDPRATO;CDCONTAINER;VRQTDEPRATEMB\n"
                        "0100;ARROZ;00010;4\n0100;ARROZ;00011;2\n0100;ARROZ;00001;0,5\n"
                        "0100;FEIJAO;00010;4\n0100;FEIJAO;00011;2\n0100;CARNE;00001;0,5\n"
                        "0100;CARNE;00010;4\n0100;SUCO;00012;5\n"},
    {"cardapios.csv", "CDFILIAL;CDSERVFILI;DTCARDAPIO;NRCARDAPIO;QTCOMENSAIS;NRORDPRATCAR;CDPRATO\n"
                      "0100;00001;04/05/2027;T1;90;1;ARROZ\n0100;00001;04/05/2027;T1;90;2;FEIJAO\n"
                      "0100;00001;04/05/2027;T1;90;3;CARNE\n0100;00001;04/05/2027;T1;90;4;SUCO\n"
                      "0100;00002;04/05/2027;T2;30;1;ARROZ\n0100;00002;04/05/2027;T2;30;2;FEIJAO\n"
                      "0100;00002;04/05/2027;T2;30;3;CARNE\n0100;00002;04/05/2027;T2;30;4;SUCO\n"},
    {"regras_embalagem.csv", "CDFILIAL;CDSERVFILI;CDCLIENTE;CDDESTFILI;CDPRATO;CDCONTAINER\n"
                             "0100;00001;C1;002;;00011\n"      // point: 2 kg pans
                             "0100;00001;C1;001;ARROZ;00001\n" // point and dish
                             "0100;00002;;;FEIJAO;00010\n"     // service and dish
                             "0100;;;;CARNE;00010\n"},         // branch and dish
};

QVector<ImportTable> tables() {
    QVector<ImportTable> out;
    for (const auto& f : kFiles) {
        const QString name = QString::fromLatin1(f[0]);
        out.push_back({ExchangeFormat::forFileName(name), name, CsvReader::read(QByteArray(f[1]))});
    }
    return out;
}

// The packagings of a distribution, one "container×units dish diners/quantity/extra..." each.
QStringList packagingList(const Distribution& d) {
    QMap<int, QString> dishes;
    for (const UndistributedRow& u : d.undistributed)
        dishes.insert(u.sequence, u.dish);
    QStringList out;
    for (const Packaging& p : d.packagings) {
        QString text = QStringLiteral("%1×%2").arg(p.container).arg(p.units);
        for (const DishRow& r : d.rows)
            if (r.packaging == p.number)
                text += QStringLiteral(" %1 %2/%3/%4")
                            .arg(dishes.value(r.sequence))
                            .arg(r.diners)
                            .arg(r.quantity)
                            .arg(r.extra);
        out << text;
    }
    return out;
}

// The same, one line each, as gtest prints it when a comparison fails.
std::string packagings(const Distribution& d) {
    return packagingList(d).join(QLatin1Char('\n')).toStdString();
}

std::string lines(const QStringList& expected) {
    return expected.join(QLatin1Char('\n')).toStdString();
}

class PackingTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        db_ = std::make_unique<test::TestDatabase>(GetParam(), false);
        if (!db_->available()) GTEST_SKIP() << db_->skipReason().toStdString();
    }
    Distribution stored(const QString& service, const QString& destination) {
        const auto d = DistributionStore(db_->connection())
                           .findByKey({kBranch, service, kDay, QStringLiteral("C1"), destination});
        EXPECT_TRUE(d.has_value()) << service.toStdString() << "/" << destination.toStdString();
        return d.value_or(Distribution());
    }
    std::unique_ptr<test::TestDatabase> db_;
};

TEST_P(PackingTest, AGeneratedBranchFollowsTheRulesAndTheFewestContainers) {
    const ImportReport imported = DataImporter(db_->connection()).run(tables());
    ASSERT_TRUE(imported.stored) << imported.errors.value(0).text().toStdString();
    TDataPacket both = test::tickedServices(kBranch, QStringLiteral("00001"));
    both.Rows.push_back({QStringLiteral("S"), kBranch, QStringLiteral("00002")});
    DistributionStore store(db_->connection());
    EXPECT_EQ(store.generate(kDay, both, false).generated, 3);

    // Lunch, point 001, 50 diners: rice by its own rule in boxes, beans (5 kg + 0,5) in the
    // fewest pans filled alike, beef by the branch's rule alone in 4 kg pans, juice by default.
    EXPECT_EQ(packagings(stored(QStringLiteral("00001"), QStringLiteral("001"))),
              lines({"00001×50 ARROZ 50/10/0", "00010×1 FEIJAO 33.3333/3.33333/0.33334",
                     "00011×1 FEIJAO 16.6667/1.66667/0.16666", "00010×2 CARNE 50/7.5/0",
                     "00012×3 SUCO 50/12.5/0"}));
    // Lunch, point 002, 40 diners: 2 kg pans for what they carry; beef and juice cannot go in
    // them and take the next rule or their default.
    EXPECT_EQ(packagings(stored(QStringLiteral("00001"), QStringLiteral("002"))),
              lines({"00011×4 ARROZ 40/8/0", "00011×3 FEIJAO 40/4/0.5", "00010×2 CARNE 40/6/0",
                     "00012×2 SUCO 40/10/0"}));
    // Dinner, 30 diners: 6 kg of rice fits exactly in one pan of each size.
    const QStringList dinner{"00010×1 ARROZ 20/4/0", "00011×1 ARROZ 10/2/0",
                             "00010×1 FEIJAO 30/3/0.5", "00010×2 CARNE 30/4.5/0",
                             "00012×2 SUCO 30/7.5/0"};
    EXPECT_EQ(packagings(stored(QStringLiteral("00002"), QStringLiteral("001"))), lines(dinner));
    test::checkEveryDistribution(db_->connection());

    // Redistributing one point gives what the generation gave.
    const LoadResult redone = store.load(
        {kBranch, QStringLiteral("00002"), kDay, QStringLiteral("C1"), QStringLiteral("001")},
        true);
    EXPECT_EQ(packagings(redone.distribution), lines(dinner));

    // Back to default containers: the beans of lunch point 001 go in 4 kg pans alone.
    SqlUtil::exec(db_->connection(), QStringLiteral("UPDATE FILIAL SET IDPROPOSTAEMB = 'P'"));
    store.generate(kDay, both, true);
    EXPECT_EQ(packagingList(stored(QStringLiteral("00001"), QStringLiteral("001"))).value(1),
              QStringLiteral("00010×2 FEIJAO 50/5/0.5"));
}

TEST_P(PackingTest, TheDemoBranchWithRulesHasLastWeeksDistributionStored) {
    test::TestDatabase demo(GetParam());
    const QDate source = DemoData::copySourceDate(test::demoToday());
    DistributionStore store(demo.connection());
    for (const char* destination : {"001", "002"})
        EXPECT_TRUE(store.findByKey({QStringLiteral("0002"), QStringLiteral("00001"), source,
                                     QStringLiteral("10005"), QString::fromLatin1(destination)}))
            << destination;
    // The main hall's pans carry one dish each; the weaving hall's main dish is boxed.
    const auto hall = store.findByKey({QStringLiteral("0002"), QStringLiteral("00001"), source,
                                       QStringLiteral("10005"), QStringLiteral("001")});
    const auto weaving = store.findByKey({QStringLiteral("0002"), QStringLiteral("00001"), source,
                                          QStringLiteral("10005"), QStringLiteral("002")});
    ASSERT_TRUE(hall && weaving);
    EXPECT_NE(packagings(*hall), packagings(*weaving));
    EXPECT_NE(packagings(*weaving).find("00001×130"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Backends, PackingTest,
                         ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) {
                             return info.param == Backend::Sqlite ? std::string("SQLite")
                                                                  : std::string("PostgreSQL");
                         });

} // namespace
