#include "framework/data/ReadOnlyQuery.h"

#include "framework/data/DatabaseError.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

class ReadOnlyQuery : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "geral");
        db.setDatabaseName(":memory:");
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec("CREATE TABLE FILIAL (CDFILIAL TEXT, NMFILIAL TEXT, IDCNTRRESC TEXT)"));
        ASSERT_TRUE(q.exec("INSERT INTO FILIAL VALUES ('0002','Cozinha Norte','N'),"
                           "('0001','Cozinha Central','S'),('0003','Cozinha O''Brien','N')"));
    }
    static void TearDownTestSuite() { QSqlDatabase::removeDatabase("geral"); }

    void SetUp() override {
        qry.SetConnectionName("geral");
        qry.SQL = "SELECT CDFILIAL, NMFILIAL, IDCNTRRESC FROM FILIAL "
                  "WHERE (CDFILIAL = :P_CDFILIAL OR :P_TCDFILIAL = 'T') ORDER BY CDFILIAL";
    }
    TADOIBQuery qry{"qryFilial"};
};

TEST_F(ReadOnlyQuery, BindsNamedParametersAndReadsFieldsByName) {
    qry.AddField(
        {.Name = "CDFILIAL", .Type = TFieldType::String, .Size = 4, .DisplayLabel = "Código"});
    qry.AddField(
        {.Name = "NMFILIAL", .Type = TFieldType::String, .Size = 30, .DisplayLabel = "Nome"});
    qry.SetParam("P_CDFILIAL", "0001");
    qry.SetParam("P_TCDFILIAL", "N");
    qry.Open();
    EXPECT_FALSE(qry.IsEmpty());
    EXPECT_EQ(qry.RecordCount(), 1);
    EXPECT_EQ(qry.FieldByName("NMFILIAL").AsString(), "Cozinha Central");
    EXPECT_EQ(qry.FieldByName("CDFILIAL").DisplayLabel, "Código");

    qry.SetParam("P_TCDFILIAL", "T");
    qry.Open();
    EXPECT_EQ(qry.RecordCount(), 3);
    EXPECT_EQ(qry.FieldByName("CDFILIAL").AsString(), "0001");

    // Text that looks like SQL stays a value.
    qry.SetParam("P_CDFILIAL", "x' OR '1'='1");
    qry.SetParam("P_TCDFILIAL", "N");
    qry.Open();
    EXPECT_TRUE(qry.IsEmpty());
    qry.Close();
    EXPECT_FALSE(qry.Active());
}

TEST_F(ReadOnlyQuery, RefusesChangesAndReportsFailures) {
    qry.SetParam("P_CDFILIAL", "0003");
    qry.SetParam("P_TCDFILIAL", "N");
    qry.Open(); // no fields defined: the columns become the fields
    EXPECT_EQ(qry.FieldByName("NMFILIAL").AsString(), "Cozinha O'Brien");
    EXPECT_THROW(qry.Edit(), EDatabaseError);
    EXPECT_THROW(qry.Append(), EDatabaseError);
    EXPECT_THROW(qry.Delete(), EDatabaseError);
    EXPECT_EQ(qry.State(), TDataSetState::Browse);

    TADOIBQuery missing("qryFalta");
    missing.SetConnectionName("geral");
    missing.SQL = "SELECT * FROM FILIAL WHERE CDFILIAL = :P_CDFILIAL";
    EXPECT_THROW(missing.Open(), EDatabaseError); // parameter not set
    missing.SetParam("p_cdfilial", "0001");
    missing.SQL = "SELECT * FROM TABELA_INEXISTENTE";
    EXPECT_THROW(missing.Open(), EDatabaseError);
    missing.SetConnectionName("nenhuma");
    EXPECT_THROW(missing.Open(), EDatabaseError);
    EXPECT_FALSE(missing.Active());
}

// A served connection answers instead of the database: it sees the statement and only the
// parameters it uses, its rows fill the defined fields, and its refusal reaches the caller.
TEST_F(ReadOnlyQuery, AServedConnectionIsAnsweredByItsAnswerer) {
    QString seenSql;
    QHash<QString, QVariant> seen;
    TADOIBQuery::ServeConnection("geral", [&](const QString& sql, const auto& params) {
        seenSql = sql;
        seen = params;
        if (params.value("P_CDFILIAL") == "9999") throw EDatabaseError("recusada");
        TDataPacket p;
        p.Fields = {{"CDFILIAL", TFieldType::String, 4}, {"NMFILIAL", TFieldType::String, 30}};
        p.Rows = {{"0007", "Cozinha Servida"}};
        return p;
    });
    qry.AddField({.Name = "NMFILIAL", .Type = TFieldType::String, .Size = 30});
    qry.SetParam("P_CDFILIAL", "0007");
    qry.SetParam("P_TCDFILIAL", QVariant());
    qry.SetParam("P_OUTRO", "não usado");
    qry.Open();
    EXPECT_EQ(seenSql, qry.SQL);
    EXPECT_EQ(seen,
              (QHash<QString, QVariant>{{"P_CDFILIAL", "0007"}, {"P_TCDFILIAL", QVariant()}}));
    EXPECT_EQ(qry.FieldByName("NMFILIAL").AsString(), "Cozinha Servida");
    qry.SetParam("P_CDFILIAL", "9999");
    EXPECT_THROW(qry.Open(), EDatabaseError);
    EXPECT_EQ(qry.FieldByName("NMFILIAL").AsString(), "Cozinha Servida");

    TADOIBQuery::ServeConnection("geral", {});
    qry.SetParam("P_CDFILIAL", "0001");
    qry.Open();
    EXPECT_EQ(qry.FieldByName("NMFILIAL").AsString(), "Cozinha Central");
}

} // namespace
