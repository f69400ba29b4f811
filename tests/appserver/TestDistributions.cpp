#include "TestDistributions.h"

#include "appserver/storage/SqlUtil.h"

#include <QSqlQuery>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace pla::test {

namespace {

bool near(double a, double b) {
    return std::abs(a - b) <= 1e-6 * std::max(1.0, std::abs(b));
}

} // namespace

TDataPacket tickedServices(const QString& branch, const QString& service) {
    TDataPacket services;
    services.Fields = {{"IDMARCADO", TFieldType::String, 1},
                       {"CDFILIAL", TFieldType::String, 4},
                       {"CDSERVFILI", TFieldType::String, 5}};
    services.Rows = {{QStringLiteral("S"), branch, service}};
    return services;
}

void checkEveryDistribution(const QSqlDatabase& db) {
    // One query at a time: a PostgreSQL connection streams one result set.
    {
        QSqlQuery q = SqlUtil::exec(
            db, QStringLiteral(
                    "SELECT c.NRDISTCARD, c.NRSEQPRATCAR, c.QTTOTCOMENSAIS, c.QTTOTPRATO, "
                    "c.QTTOTEXTRA, c.QTCOMENSAIS + COALESCE(SUM(i.QTCOMENSAIS), 0), "
                    "c.QTPRATO + COALESCE(SUM(i.QTPRATO), 0), "
                    "c.QTEXTRA + COALESCE(SUM(i.QTEXTRA), 0) "
                    "FROM CARDDISP c LEFT JOIN ITEMBDISTCARD i ON i.NRDISTCARD = c.NRDISTCARD "
                    "AND i.NRSEQPRATCAR = c.NRSEQPRATCAR "
                    "GROUP BY c.NRDISTCARD, c.NRSEQPRATCAR, c.QTTOTCOMENSAIS, c.QTTOTPRATO, "
                    "c.QTTOTEXTRA, c.QTCOMENSAIS, c.QTPRATO, c.QTEXTRA"));
        while (q.next())
            for (int k = 0; k < 3; ++k)
                EXPECT_TRUE(near(q.value(5 + k).toDouble(), q.value(2 + k).toDouble()))
                    << "distribution " << q.value(0).toLongLong() << " dish " << q.value(1).toInt()
                    << " amount " << k << ": " << q.value(5 + k).toDouble()
                    << " != " << q.value(2 + k).toDouble();
    }
    const struct {
        const char* what;
        const char* sql;
    } orphans[] = {
        {"dish rows outside a packaging of their distribution",
         "SELECT COUNT(*) FROM ITEMBDISTCARD i LEFT JOIN EMBDISTCARD e "
         "ON e.NREMBDISTCARD = i.NREMBDISTCARD "
         "WHERE e.NREMBDISTCARD IS NULL OR e.NRDISTCARD <> i.NRDISTCARD"},
        {"dish rows of a dish not in their distribution",
         "SELECT COUNT(*) FROM ITEMBDISTCARD i LEFT JOIN CARDDISP c "
         "ON c.NRDISTCARD = i.NRDISTCARD AND c.NRSEQPRATCAR = i.NRSEQPRATCAR "
         "WHERE c.NRDISTCARD IS NULL"},
        {"packagings without header", "SELECT COUNT(*) FROM EMBDISTCARD e LEFT JOIN DISTCARD d "
                                      "ON d.NRDISTCARD = e.NRDISTCARD WHERE d.NRDISTCARD IS NULL"},
        {"undistributed rows without header",
         "SELECT COUNT(*) FROM CARDDISP c LEFT JOIN DISTCARD d "
         "ON d.NRDISTCARD = c.NRDISTCARD WHERE d.NRDISTCARD IS NULL"},
        {"headers missing dishes of their menu",
         "SELECT COUNT(*) FROM DISTCARD d WHERE (SELECT COUNT(*) FROM CARDDISP c "
         "WHERE c.NRDISTCARD = d.NRDISTCARD) <> (SELECT COUNT(*) FROM PRATCARD p "
         "WHERE p.NRCARDAPIO = d.NRCARDAPIO)"},
    };
    for (const auto& o : orphans) {
        QSqlQuery c = SqlUtil::exec(db, QString::fromLatin1(o.sql));
        ASSERT_TRUE(c.next());
        EXPECT_EQ(c.value(0).toLongLong(), 0) << o.what;
    }
}

} // namespace pla::test
