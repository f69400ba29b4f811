// A database made before the index of a branch's day is upgraded in place, its data kept.
#include "TestDatabase.h"
#include "appserver/storage/Schema.h"
#include "appserver/storage/SqlUtil.h"

#include <gtest/gtest.h>

using namespace pla;
using pla::test::Backend;

namespace {

bool hasIndex(const QSqlDatabase& db, const QString& name) {
    QSqlQuery q = SqlUtil::exec(
        db,
        SqlUtil::isPostgres(db)
            ? QStringLiteral("SELECT 1 FROM pg_indexes WHERE indexname = LOWER(?)")
            : QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ?"),
        {name});
    return q.next();
}

qint64 count(const QSqlDatabase& db, const QString& table) {
    QSqlQuery q = SqlUtil::exec(db, QStringLiteral("SELECT COUNT(*) FROM ") + table);
    return q.next() ? q.value(0).toLongLong() : -1;
}

class SchemaUpgradeTest : public ::testing::TestWithParam<Backend> {};

TEST_P(SchemaUpgradeTest, TheVersionBeforeGetsTheIndexOfABranchsDay) {
    test::ensureApplication();
    test::TestDatabase db(GetParam());
    if (!db.available()) GTEST_SKIP() << db.skipReason().toStdString();
    QSqlDatabase conn = db.connection();
    // Back to the indexes and version of a database made before this step.
    SqlUtil::execPlain(conn, QStringLiteral("DROP INDEX IX_DISTCARD_DIA"));
    SqlUtil::execPlain(conn, QStringLiteral("CREATE INDEX IX_DISTCARD_SERV ON DISTCARD "
                                            "(CDFILIAL, CDSERVFILI, DTCARDAPIO)"));
    // The later steps' tables and columns, too: the upgrade makes them again (the print
    // record, the delivery points' loading order, the packing rules).
    for (const char* table : {"ITDISTIMPRESSAO", "DISTIMPRESSAO"})
        SqlUtil::execPlain(conn, QStringLiteral("DROP TABLE %1").arg(QLatin1String(table)));
    SqlUtil::execPlain(conn, QStringLiteral("ALTER TABLE PONTENTREGA DROP COLUMN NRORDEMENTREGA"));
    SqlUtil::execPlain(conn, QStringLiteral("DROP TABLE REGRAEMB"));
    SqlUtil::execPlain(conn, QStringLiteral("ALTER TABLE FILIAL DROP COLUMN IDPROPOSTAEMB"));
    SqlUtil::exec(conn, QStringLiteral("UPDATE SCHEMA_VERSION SET VERSION = 5"));
    const qint64 menus = count(conn, QStringLiteral("PRATCARD"));
    ASSERT_GT(menus, 0);

    Schema::migrate(conn);

    EXPECT_EQ(Schema::storedVersion(conn), Schema::currentVersion());
    // Branches stored before the packing setting keep their default containers.
    QSqlQuery setting =
        SqlUtil::exec(conn, QStringLiteral("SELECT DISTINCT IDPROPOSTAEMB FROM FILIAL"));
    ASSERT_TRUE(setting.next());
    EXPECT_EQ(setting.value(0).toString(), QStringLiteral("P"));
    EXPECT_TRUE(hasIndex(conn, QStringLiteral("IX_DISTCARD_DIA")));
    EXPECT_FALSE(hasIndex(conn, QStringLiteral("IX_DISTCARD_SERV")));
    EXPECT_EQ(count(conn, QStringLiteral("PRATCARD")), menus);
    EXPECT_NO_THROW(SqlUtil::exec(conn, QStringLiteral("SELECT NRORDEMENTREGA FROM PONTENTREGA")));
    if (!SqlUtil::isPostgres(conn)) {
        QSqlQuery plan = SqlUtil::exec(
            conn, QStringLiteral("EXPLAIN QUERY PLAN SELECT NRDISTCARD FROM DISTCARD "
                                 "WHERE CDFILIAL = '0001' AND DTCARDAPIO = '2026-12-08'"));
        ASSERT_TRUE(plan.next());
        EXPECT_TRUE(plan.value(3).toString().contains(QLatin1String("IX_DISTCARD_DIA")))
            << plan.value(3).toString().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, SchemaUpgradeTest,
                         ::testing::Values(Backend::Sqlite, Backend::Postgres));

} // namespace
