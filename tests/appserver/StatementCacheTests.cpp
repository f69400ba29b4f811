// Statements kept prepared per connection, on SQLite and, when available, on PostgreSQL.
#include "TestDatabase.h"
#include "appserver/storage/ConnectionPool.h"
#include "appserver/storage/StatementCache.h"

#include <gtest/gtest.h>

using namespace pla;
using pla::test::Backend;

namespace {

class StatementCacheTest : public ::testing::TestWithParam<Backend> {};

TEST_P(StatementCacheTest, ANestedRunAndAReopenedConnectionEachGetAWorkingStatement) {
    test::TestDatabase db(GetParam());
    if (!db.available()) GTEST_SKIP() << db.skipReason().toStdString();
    QSqlDatabase conn = db.connection();
    const QString sql = QStringLiteral("SELECT CDCONTAINER FROM CONTAINER ORDER BY CDCONTAINER");
    auto all = [&] {
        QStringList codes;
        for (auto q = StatementCache::run(conn, sql); q.next();)
            codes << q.value(0).toString();
        return codes;
    };
    const QStringList expected = all();
    ASSERT_GE(expected.size(), 2);

    // The same text run again while the first run is half read: the first one goes on. Only
    // on SQLite: PostgreSQL's driver streams a result, and any other statement on the
    // connection ends the half-read one.
    if (GetParam() == Backend::Sqlite) {
        QStringList outer;
        auto q = StatementCache::run(conn, sql);
        ASSERT_TRUE(q.next());
        outer << q.value(0).toString();
        EXPECT_EQ(all(), expected);
        while (q.next())
            outer << q.value(0).toString();
        EXPECT_EQ(outer, expected);
    }

    // After the connection is closed and opened again, its statements are prepared anew.
    ASSERT_TRUE(ConnectionPool::reopen(conn));
    EXPECT_EQ(all(), expected);
}

INSTANTIATE_TEST_SUITE_P(Backends, StatementCacheTest,
                         ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) {
                             return info.param == Backend::Sqlite ? std::string("SQLite")
                                                                  : std::string("PostgreSQL");
                         });

} // namespace
