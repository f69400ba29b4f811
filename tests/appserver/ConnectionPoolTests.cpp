// How the pool opens SQLite files: new ones in UTF-16, files made before in UTF-8 kept so.
#include "appserver/storage/ConnectionPool.h"
#include "appserver/storage/DatabaseConfig.h"
#include "appserver/storage/SqlUtil.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pla;

namespace {

TEST(ConnectionPoolTest, ANewFileIsUtf16AndAnOlderUtf8FileKeepsItsTextAndEncoding) {
    QTemporaryDir dir;
    const QString older = dir.filePath(QStringLiteral("antigo.sqlite"));
    {
        QSqlDatabase made = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "made_before");
        made.setDatabaseName(older);
        ASSERT_TRUE(made.open());
        SqlUtil::execPlain(made, QStringLiteral("CREATE TABLE T (TEXTO VARCHAR(40))"));
        made.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("made_before"));

    const struct {
        QString file;
        const char* encoding;
    } cases[] = {{dir.filePath(QStringLiteral("novo.sqlite")), "UTF-16le"}, {older, "UTF-8"}};
    const QString accented = QStringLiteral("Purê de maçã à moda, 1½ porção");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        {
            QSqlDatabase db = ConnectionPool::open(DatabaseConfig::parse(c.file), "pool_encoding");
            SqlUtil::execPlain(db,
                               QStringLiteral("CREATE TABLE IF NOT EXISTS T (TEXTO VARCHAR(40))"));
            SqlUtil::exec(db, QStringLiteral("INSERT INTO T VALUES (?)"), {accented});
            QSqlQuery q = SqlUtil::exec(db, QStringLiteral("SELECT TEXTO, length(TEXTO) FROM T"));
            ASSERT_TRUE(q.next());
            EXPECT_EQ(q.value(0).toString(), accented);
            EXPECT_EQ(q.value(1).toInt(), accented.size());
            q = SqlUtil::exec(db, QStringLiteral("PRAGMA encoding"));
            ASSERT_TRUE(q.next());
            EXPECT_EQ(q.value(0).toString(), QString::fromLatin1(c.encoding));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("pool_encoding"));
    }
}

} // namespace
