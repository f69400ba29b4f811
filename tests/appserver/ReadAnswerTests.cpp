// The answers of GetDistribuicao, byte for byte, on the demo day and on a generated day: the
// reading of a distribution may change how it reaches the rows, never what it answers.
#include "TestDatabase.h"
#include "TestDistributions.h"
#include "appserver/auth/Caller.h"
#include "appserver/rpc/JsonRpcDispatcher.h"
#include "appserver/storage/DistributionStore.h"
#include "appserver/storage/SqlUtil.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace pla;
using pla::test::Backend;

namespace {

// SHA-256 of every answer below, one after the other, as the server gave them before its reads
// went through SQLite's own interface and one statement per distribution (numbered after the
// demo's stored distributions of the week before).
const std::string kAnswers = "770255f324a00ba37491d6055134924a7aaf6d15ebbce075d98f22237c6244ad";

QByteArray request(const QJsonArray& params) {
    return QJsonDocument(QJsonObject{{"jsonrpc", "2.0"},
                                     {"id", 1},
                                     {"method", "GetDistribuicao"},
                                     {"params", params}})
        .toJson(QJsonDocument::Compact);
}

class ReadAnswerTest : public ::testing::TestWithParam<Backend> {};

TEST_P(ReadAnswerTest, AnswersStayByteForByte) {
    test::ensureApplication();
    test::TestDatabase db(GetParam());
    if (!db.available()) GTEST_SKIP() << db.skipReason().toStdString();
    QSqlDatabase conn = db.connection();
    const QDate demoDay = test::demoToday();
    const QDate generatedDay = demoDay.addDays(1);
    QVector<QStringList> points; // service, client, destination; blank for the whole service
    {
        QSqlQuery q = SqlUtil::exec(
            conn, QStringLiteral("SELECT s.CDSERVFILI, p.CDCLIENTE, p.CDDESTFILI FROM SERVFILI s "
                                 "LEFT JOIN PONTENTREGA p ON p.CDFILIAL = s.CDFILIAL AND "
                                 "p.CDSERVFILI = s.CDSERVFILI WHERE s.CDFILIAL = '0001' "
                                 "AND s.IDTRANSPORTADO = 'S' "
                                 "ORDER BY 1, 2, 3"));
        QString last;
        while (q.next()) {
            const QString service = q.value(0).toString();
            if (service != last) points.push_back({service, QString(), QString()});
            last = service;
            if (!q.value(1).isNull())
                points.push_back({service, q.value(1).toString(), q.value(2).toString()});
        }
    }
    ASSERT_GT(points.size(), 4);
    DistributionStore store(conn);
    store.setCaller(Caller{QStringLiteral("teste"), QStringLiteral("Teste"), QString(), false,
                           QStringLiteral("127.0.0.1")});
    for (const QStringList& p : points)
        if (p[1].isEmpty())
            store.generate(generatedDay, test::tickedServices(QStringLiteral("0001"), p[0]), false);

    const JsonRpcDispatcher dispatcher([conn] { return conn; });
    const RequestContext local{"127.0.0.1", {}};
    QCryptographicHash all(QCryptographicHash::Sha256);
    int withRows = 0;
    // Twice each: the first Get of the demo day stores the distribution, the second reads it.
    for (const QDate& date : {demoDay, generatedDay})
        for (int pass = 0; pass < 2; ++pass)
            for (const QStringList& p : points) {
                const QByteArray answer = dispatcher.handle(
                    request({"0001", p[0], date.toString(Qt::ISODate), p[1], p[2], "N"}), local);
                all.addData(answer);
                withRows +=
                    answer.contains("\"NREMBDISTCARD\"") &&
                    QJsonDocument::fromJson(answer)["result"]["data"][4]["rows"].toArray().size() >
                        0;
            }
    EXPECT_GT(withRows, 0) << "the generated day should give packed dishes";
    EXPECT_EQ(all.result().toHex().toStdString(), kAnswers);
}

INSTANTIATE_TEST_SUITE_P(Backends, ReadAnswerTest,
                         ::testing::Values(Backend::Sqlite, Backend::Postgres));

} // namespace
