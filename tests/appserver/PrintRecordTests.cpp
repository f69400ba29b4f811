// The print record: what a job printed and at which version, read back for the warning about
// labels printed before the last change, and shown by the audit; on SQLite and, when available,
// PostgreSQL.
#include "DistributionView.h"
#include "TestDatabase.h"
#include "appserver/auth/AuditTrail.h"
#include "appserver/rpc/RemoteMethods.h"
#include "appserver/storage/PrintRecord.h"
#include "appserver/storage/SqlUtil.h"
#include "framework/data/PacketCodec.h"

#include <QHash>
#include <gtest/gtest.h>

using namespace pla;
using pla::test::Backend;
using pla::test::DistributionView;

namespace {

const QDate kDate = test::demoToday();

TDataPacket printed(double number, double version, double packaging = 0,
                    const QString& units = {}) {
    TDataPacket p;
    p.Fields = {{"NRDISTCARD", TFieldType::Float, 0}, {"NRVERSAO", TFieldType::Float, 0}};
    p.Rows = {{number, version}};
    if (packaging > 0) {
        p.Fields +=
            {{"NREMBDISTCARD", TFieldType::Float, 0}, {"DSUNIDADES", TFieldType::String, 20}};
        p.Rows[0] << packaging << units;
    }
    return p;
}

class PrintRecordTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        test::ensureApplication();
        db_ = std::make_unique<test::TestDatabase>(GetParam());
        if (!db_->available()) GTEST_SKIP() << db_->skipReason().toStdString();
        ana_ =
            std::make_unique<RemoteMethods>(db_->connection(), DistributionStore::WriteHook{},
                                            Caller{"ana", "Ana Souza", "0001", false, "10.0.0.5"});
        view_ = DistributionView::of(
            ana_->GetDistribuicao("0001", "00003", kDate, "10002", "001", false));
    }

    // Distribution number -> version of its last labels print.
    QHash<qint64, qint64> lastLabels() {
        const QJsonObject answer = ana_->GetEtiquetasImpressas("0001", kDate);
        EXPECT_TRUE(answer.value("ok").toBool())
            << answer.value("message").toString().toStdString();
        QHash<qint64, qint64> out;
        for (const auto& row : PacketCodec::FromJson(answer.value("data")).Rows)
            out.insert(row[0].toLongLong(), row[1].toLongLong());
        return out;
    }

    std::unique_ptr<test::TestDatabase> db_;
    std::unique_ptr<RemoteMethods> ana_;
    DistributionView view_;
};

TEST_P(PrintRecordTest, LabelsPrintedBeforeASaveStayAtTheirVersionAndTheAuditShowsEachPrint) {
    const auto number = static_cast<qint64>(view_.number);
    ASSERT_EQ(view_.version, 1);
    // Packing lists and a reprint of some labels are recorded but renew no distribution's labels.
    EXPECT_TRUE(ana_->SetImpressaoDistribuicao("0001", kDate, "R", {}, printed(number, 1))
                    .value("ok")
                    .toBool());
    EXPECT_TRUE(ana_->SetImpressaoDistribuicao("0001", kDate, "E", "2026-12-08 06:30",
                                               printed(number, 1, 7, "1-3"))
                    .value("ok")
                    .toBool());
    EXPECT_TRUE(lastLabels().isEmpty());
    EXPECT_TRUE(
        ana_->SetImpressaoDistribuicao("0001", kDate, "A", "2026-12-08 06:30", printed(number, 1))
            .value("ok")
            .toBool());
    EXPECT_EQ(lastLabels(), (QHash<qint64, qint64>{{number, 1}}));

    // A save after the print: the labels out there are of version 1, the distribution is at 2.
    view_.moveIntoNew(0, QStringLiteral("Frágil"));
    ASSERT_TRUE(ana_->SetDistribuicao(view_.number, view_.undistributed, view_.packagings,
                                      view_.rows, view_.version)
                    .value("ok")
                    .toBool());
    EXPECT_EQ(lastLabels(), (QHash<qint64, qint64>{{number, 1}}));
    EXPECT_EQ(
        DistributionView::of(ana_->GetDistribuicao("0001", "00003", kDate, "10002", "001", false))
            .version,
        2);

    const QVector<AuditEvent> prints = PrintRecord(db_->connection()).events({number, {}, {}});
    ASSERT_EQ(prints.size(), 3);
    QStringList lines;
    for (const AuditEvent& e : prints)
        lines << e.operation + QStringLiteral(": ") +
                     AuditTrail::describe(e.changes.first().toObject());
    EXPECT_EQ(lines, (QStringList{"impressão: romaneios",
                                  "reimpressão: etiquetas da embalagem 7, unidades 1-3, preparo "
                                  "08/12/2026 06:30",
                                  "impressão: etiquetas e romaneios, preparo 08/12/2026 06:30"}));
    EXPECT_EQ(prints[0].login, "ana");
    EXPECT_EQ(prints[0].versionAfter, 1);
    EXPECT_EQ(prints[0].key.client, "10002");
}

TEST_P(PrintRecordTest, ARecordNamingAnotherDayOrAVersionNeverStoredIsRefusedAndStoresNothing) {
    const auto number = static_cast<qint64>(view_.number);
    const struct {
        QDate date;
        QString contents, prepared;
        TDataPacket printed;
        QString message;
    } cases[] = {
        {kDate.addDays(1),
         "E",
         {},
         printed(number, 1),
         QStringLiteral("A distribuição %1 não é da filial 0001 em 09/12/2026: a impressão não "
                        "foi registrada.")
             .arg(number)},
        {kDate,
         "E",
         {},
         printed(number, 2),
         QStringLiteral("A distribuição %1 não teve a versão 2: a impressão não foi registrada.")
             .arg(number)},
        {kDate,
         "X",
         {},
         printed(number, 1),
         "Conteúdo da impressão inválido: use \"E\" (etiquetas), \"R\" (romaneios) ou \"A\" "
         "(ambos)."},
        {kDate, "E", "amanhã cedo", printed(number, 1),
         "Data e hora do preparo inválidas: use AAAA-MM-DD HH:MM."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ana_->SetImpressaoDistribuicao("0001", c.date, c.contents, c.prepared, c.printed)
                      .value("message")
                      .toString(),
                  c.message);
    // A distribution deleted since the print read is left out, the rest recorded.
    EXPECT_TRUE(ana_->SetImpressaoDistribuicao("0001", kDate, "E", {}, printed(987654, 1))
                    .value("ok")
                    .toBool());
    EXPECT_TRUE(lastLabels().isEmpty());
    EXPECT_TRUE(PrintRecord(db_->connection()).events({}).isEmpty());
}

TEST_P(PrintRecordTest, AJobOfHundredsOfDistributionsIsRecordedWhole) {
    // More distributions than one statement reads or writes, among numbers deleted meanwhile.
    TDataPacket job = printed(view_.number, 1);
    job.Rows.clear();
    for (int i = 1; i <= 250; ++i) {
        SqlUtil::exec(db_->connection(),
                      QStringLiteral("INSERT INTO DISTCARD (CDFILIAL, CDSERVFILI, DTCARDAPIO, "
                                     "NRCARDAPIO, CDCLIENTE, CDDESTFILI) VALUES ('0001', '00003', "
                                     "?, 'X', 'LOTE', ?)"),
                      {kDate.toString(Qt::ISODate), QString::number(i)});
    }
    for (int i = 1; i <= 300; ++i)
        job.Rows.push_back({double(900000 + i), 1.0});
    QSqlQuery q =
        SqlUtil::exec(db_->connection(),
                      QStringLiteral("SELECT NRDISTCARD FROM DISTCARD WHERE CDCLIENTE = 'LOTE'"));
    while (q.next())
        job.Rows.push_back({q.value(0).toDouble(), 1.0});
    ASSERT_TRUE(ana_->SetImpressaoDistribuicao("0001", kDate, "E", {}, job).value("ok").toBool());
    EXPECT_EQ(lastLabels().size(), 250);
}

INSTANTIATE_TEST_SUITE_P(Backends, PrintRecordTest,
                         ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) {
                             return info.param == Backend::Sqlite ? std::string("SQLite")
                                                                  : std::string("PostgreSQL");
                         });

} // namespace
