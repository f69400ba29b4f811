#include "DataSetTestSupport.h"
#include "framework/data/DataSource.h"
#include "framework/data/DatabaseError.h"

#include <gtest/gtest.h>

using namespace pla::test;

namespace {

TEST(DataSetIndex, KeepsIndexOrderOnLoadInsertAndEdit) {
    TClientDataSet ds("cdsCardapioDisponivel");
    DefineDishes(ds);
    ds.SetIndexFieldNames("NRORDPRATCAR");
    ds.CreateDataSet();
    AddDish(ds, 1, 30, 1, 1, "C");
    AddDish(ds, 2, 10, 1, 1, "A");
    AddDish(ds, 3, 20, 1, 1, "B");
    EXPECT_EQ(Column(ds, "NMPRATO"), QStringList({"A", "B", "C"}));
    EXPECT_EQ(ds.FieldByName("NMPRATO").AsString(), "B"); // cursor follows the posted record

    ds.First();
    ds.Edit();
    ds.FieldByName("NRORDPRATCAR").SetAsFloat(40);
    ds.Post();
    EXPECT_EQ(Column(ds, "NMPRATO"), QStringList({"B", "C", "A"}));
    EXPECT_EQ(ds.RecNo(), 3);

    // Equal keys keep their arrival order; loading sorts too.
    AddDish(ds, 4, 20, 1, 1, "B2");
    EXPECT_EQ(Column(ds, "NMPRATO"), QStringList({"B", "B2", "C", "A"}));
    TDataPacket p = ds.Data();
    std::reverse(p.Rows.begin(), p.Rows.end());
    ds.SetData(p);
    EXPECT_EQ(Column(ds, "NMPRATO"), QStringList({"B2", "B", "C", "A"}));

    // Without an index, Insert goes before the current record and Append at the end.
    TClientDataSet plain("cdsPlain");
    DefineDishes(plain);
    plain.CreateDataSet();
    AddDish(plain, 1, 1, 0, 0, "X");
    AddDish(plain, 2, 2, 0, 0, "Y");
    plain.First();
    plain.Next();
    plain.Insert();
    plain.FieldByName("NMPRATO").SetAsString("MEIO");
    EXPECT_EQ(Column(plain, "NMPRATO"), QStringList({"X", "MEIO", "Y"})); // shown while inserting
    EXPECT_EQ(plain.RecordCount(), 2);                                    // not yet counted
    plain.Post();
    EXPECT_EQ(Column(plain, "NMPRATO"), QStringList({"X", "MEIO", "Y"}));
    EXPECT_EQ(plain.RecNo(), 2);
}

TEST(DataSetFields, StringsKeepTheirFirstSizeCharacters) {
    TClientDataSet ds("cdsTeste");
    DefineDishes(ds); // NMPRATO has 10 characters
    ds.CreateDataSet();
    ds.Append();
    ds.FieldByName("NMPRATO").SetAsString("Feijão tropeiro mineiro");
    EXPECT_EQ(ds.FieldByName("NMPRATO").AsString(), "Feijão tro");
    ds.FieldByName("NMPRATO").SetValue(QStringLiteral("ÇÃÕÉÍÓÚÂÊÔ!"));
    EXPECT_EQ(ds.FieldByName("NMPRATO").AsString().size(), 10); // characters, not bytes
    ds.Post();

    // Loading cuts too.
    TDataPacket p;
    p.Fields = {{"NMPRATO", TFieldType::String, 40}};
    p.Rows = {{QStringLiteral("Arroz à grega com passas")}};
    ds.SetData(p);
    EXPECT_EQ(ds.FieldByName("NMPRATO").AsString(), "Arroz à gr");
}

TEST(DataSetFields, TextInputUsesTheDecimalComma) {
    TClientDataSet ds("cdsTeste");
    DefineDishes(ds);
    ds.CreateDataSet();
    ds.Append();
    TField& q = ds.FieldByName("QTPRATO");
    q.SetText("1,5");
    EXPECT_DOUBLE_EQ(q.AsFloat(), 1.5);
    EXPECT_EQ(q.Text(), "1,5");
    EXPECT_EQ(q.DisplayText(), "1,50000");
    EXPECT_THROW(q.SetText("1,2,3"), EDatabaseError);
    EXPECT_THROW(q.SetText("abc"), EDatabaseError);
    EXPECT_DOUBLE_EQ(q.AsFloat(), 1.5); // refused text changes nothing
    q.SetText("");
    EXPECT_TRUE(q.IsNull());
    EXPECT_EQ(q.DisplayText(), "");
    EXPECT_EQ(q.AsFloat(), 0);
    q.SetAsFloat(0);
    EXPECT_EQ(q.DisplayText(), " ");
    q.SetAsFloat(-2.6);
    EXPECT_EQ(q.DisplayText(), "3");
}

TEST(DataSetFilter, PostedRecordLeavingTheFilterStaysInTheData) {
    TClientDataSet ds("cdsCardapioDisponivel");
    DefineDishes(ds);
    ds.SetIndexFieldNames("NRORDPRATCAR");
    ds.CreateDataSet();
    AddDish(ds, 1, 1, 1, 1, "A");
    AddDish(ds, 2, 2, 1, 1, "B");
    AddDish(ds, 3, 3, 0, 0, "C");
    AddDish(ds, 4, 4, 1, 1, "D");
    ds.SetFilter("(QTCOMENSAIS > 0) OR (QTPRATO > 0)");
    ds.SetFiltered(true);
    EXPECT_EQ(Column(ds, "NMPRATO"), QStringList({"A", "B", "D"}));
    EXPECT_EQ(ds.RecordCount(), 3);

    ASSERT_TRUE(ds.Locate("NMPRATO", "B"));
    ds.Edit();
    ds.FieldByName("QTCOMENSAIS").SetAsFloat(0);
    ds.FieldByName("QTPRATO").SetAsFloat(0);
    ds.Post();
    EXPECT_EQ(Column(ds, "NMPRATO"), QStringList({"A", "D"}));
    EXPECT_EQ(ds.FieldByName("NMPRATO").AsString(), "D"); // moved to the neighbour
    EXPECT_EQ(ds.TotalRecordCount(), 4);
    EXPECT_EQ(ds.Data().Rows.size(), 4); // all records, whatever the filter

    // Last visible record leaves: the cursor goes back to the previous one.
    ds.Edit();
    ds.FieldByName("QTCOMENSAIS").SetAsFloat(0);
    ds.FieldByName("QTPRATO").SetAsFloat(0);
    ds.Post();
    EXPECT_EQ(ds.FieldByName("NMPRATO").AsString(), "A");

    // Locate searches the visible records only; switching off shows all again.
    EXPECT_FALSE(ds.Locate("NMPRATO", "C"));
    ds.SetFiltered(false);
    EXPECT_EQ(ds.RecordCount(), 4);
    EXPECT_TRUE(ds.Locate("NMPRATO", "C"));

    // A bad filter text is refused and the previous filter stays.
    ds.SetFiltered(true);
    EXPECT_THROW(ds.SetFilter("QTPRATO >"), EDatabaseError);
    EXPECT_THROW(ds.SetFilter("QTXXX > 0"), EDatabaseError);
    EXPECT_EQ(ds.Filter(), "(QTCOMENSAIS > 0) OR (QTPRATO > 0)");
    EXPECT_EQ(ds.RecordCount(), 1);
}

// A detail list filtered by the master's current record, re-filtered from the master's
// AfterScroll, as the packagings and their dish rows are.
class MasterDetail : public ::testing::Test {
protected:
    void SetUp() override {
        master.AddField({.Name = "NREMBDISTCARD", .Type = TFieldType::Float});
        master.CreateDataSet();
        detail.AddField({.Name = "NREMBDISTCARD", .Type = TFieldType::Float});
        detail.AddField({.Name = "CDPRATO", .Type = TFieldType::String, .Size = 10});
        detail.CreateDataSet();
        for (auto [emb, prato] : {std::pair{1, "P1"}, {1, "P2"}, {2, "P3"}}) {
            detail.Append();
            detail.FieldByName("NREMBDISTCARD").SetAsFloat(emb);
            detail.FieldByName("CDPRATO").SetAsString(prato);
            detail.Post();
        }
        master.OnNewRecord = [this](TClientDataSet& m) {
            m.FieldByName("NREMBDISTCARD").SetAsFloat(--nextTemp);
        };
        master.AfterScroll = [this](TClientDataSet& m) {
            detail.SetFiltered(false);
            const QString n = m.IsEmpty() ? QString() : m.FieldByName("NREMBDISTCARD").AsString();
            detail.SetFilter("NREMBDISTCARD = " + (n.isEmpty() ? QStringLiteral("0") : n));
            detail.SetFiltered(true);
        };
        TDataPacket p;
        p.Fields = {{"NREMBDISTCARD", TFieldType::Float}};
        p.Rows = {{1.0}, {2.0}};
        master.SetData(p);
    }
    TClientDataSet master{"cdsEmbDistCard"}, detail{"cdsItEmbDistCard"};
    int nextTemp = -2;
};

TEST_F(MasterDetail, DetailFollowsEveryKindOfCursorMove) {
    EXPECT_EQ(Column(detail, "CDPRATO"), QStringList({"P1", "P2"})); // after loading
    master.Next();
    EXPECT_EQ(Column(detail, "CDPRATO"), QStringList({"P3"}));
    master.Append(); // the new record's number is already set when AfterScroll runs
    EXPECT_EQ(detail.Filter(), "NREMBDISTCARD = -3");
    EXPECT_TRUE(detail.IsEmpty());
    master.Post();
    ASSERT_TRUE(master.Locate("NREMBDISTCARD", 1));
    EXPECT_EQ(Column(detail, "CDPRATO"), QStringList({"P1", "P2"}));
    master.Delete();
    EXPECT_EQ(Column(detail, "CDPRATO"), QStringList({"P3"}));
    master.Delete();
    master.Delete();
    EXPECT_EQ(detail.Filter(), "NREMBDISTCARD = 0");
    EXPECT_EQ(detail.TotalRecordCount(), 3);
}

TEST(DataSetErrors, RefusedOperationsLeaveTheSetAsItWas) {
    TClientDataSet ds("cdsTeste");
    DefineDishes(ds);
    for (auto op : {&TClientDataSet::Append, &TClientDataSet::Insert, &TClientDataSet::Edit,
                    &TClientDataSet::Post, &TClientDataSet::First}) {
        EXPECT_THROW((ds.*op)(), EDatabaseError);
        EXPECT_EQ(ds.State(), TDataSetState::Inactive);
    }
    try {
        ds.Append();
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.Message().contains("cdsTeste")) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains(QStringLiteral("não está aberto")));
    }
    ds.CreateDataSet();
    EXPECT_THROW(ds.Post(), EDatabaseError);
    EXPECT_THROW(ds.Cancel(), EDatabaseError);
    EXPECT_THROW(ds.Delete(), EDatabaseError);                             // empty
    EXPECT_THROW(ds.FieldByName("QTPRATO").SetAsFloat(1), EDatabaseError); // browsing
    EXPECT_EQ(ds.State(), TDataSetState::Browse);
    try {
        ds.FieldByName("NAOEXISTE");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Campo 'NAOEXISTE' não encontrado no conjunto de "
                                              "dados 'cdsTeste'."));
    }
    EXPECT_THROW(ds.Locate("NAOEXISTE", 1), EDatabaseError);
    EXPECT_THROW(ds.AddField({.Name = "OUTRO"}), EDatabaseError); // open
    EXPECT_EQ(ds.FieldByName("qtprato").FieldName(), "QTPRATO");  // any letter case

    // Edit on an empty set inserts, like the desktop runtime.
    ds.Edit();
    EXPECT_EQ(ds.State(), TDataSetState::Insert);
    ds.Cancel();
    EXPECT_TRUE(ds.IsEmpty());

    // A required field must have a value.
    ds.FieldByName("NMPRATO").Required = true;
    ds.Append();
    EXPECT_THROW(ds.Post(), EDatabaseError);
    EXPECT_EQ(ds.State(), TDataSetState::Insert);
    ds.Cancel();
}

TEST(DataSetPackets, LoadingMatchesFieldsByName) {
    TClientDataSet ds("cdsTeste");
    DefineDishes(ds);
    TDataPacket p;
    p.Fields = {{"NMPRATO", TFieldType::String, 40},
                {"EXTRA", TFieldType::Float},
                {"qtprato", TFieldType::Float}};
    p.Rows = {{QStringLiteral("Sopa"), 1.0, 2.5}};
    ds.SetData(p); // opens the set
    EXPECT_EQ(ds.State(), TDataSetState::Browse);
    EXPECT_EQ(ds.FieldByName("NMPRATO").AsString(), "Sopa");
    EXPECT_DOUBLE_EQ(ds.FieldByName("QTPRATO").AsFloat(), 2.5);
    EXPECT_TRUE(ds.FieldByName("QTCOMENSAIS").IsNull()); // missing from the packet
    EXPECT_EQ(ds.FindField("EXTRA"), nullptr);           // not defined here: ignored

    // Untyped columns take the set's types; a value that does not convert changes nothing.
    TDataPacket bare;
    bare.Fields = {{"NMPRATO", TFieldType::String, 0, false},
                   {"QTPRATO", TFieldType::String, 0, false}};
    bare.Rows = {{QStringLiteral("Arroz"), QStringLiteral("3.25")}};
    ds.SetData(bare);
    EXPECT_DOUBLE_EQ(ds.FieldByName("QTPRATO").AsFloat(), 3.25);
    bare.Rows = {{QStringLiteral("Feijão"), QStringLiteral("três")}};
    EXPECT_THROW(ds.SetData(bare), EDatabaseError);
    EXPECT_EQ(ds.FieldByName("NMPRATO").AsString(), "Arroz");
    bare.Rows = {{QStringLiteral("Feijão")}};
    EXPECT_THROW(ds.SetData(bare), EDatabaseError); // wrong row length
    EXPECT_EQ(ds.RecordCount(), 1);

    // A set without fields takes the packet's; a copy holds all records.
    TClientDataSet copy("copia");
    copy.CopyFrom(ds);
    EXPECT_EQ(copy.FieldCount(), 5);
    EXPECT_EQ(copy.FieldByName("NMPRATO").Size(), 10);
    TClientDataSet adopt("adota");
    adopt.SetData(p);
    EXPECT_EQ(adopt.FieldCount(), 3);
    EXPECT_DOUBLE_EQ(adopt.FieldByName("EXTRA").AsFloat(), 1.0);
}

TEST(DataSetControls, NotificationsAreSuspendedAndCounted) {
    TClientDataSet ds("cdsTeste");
    DefineDishes(ds);
    TDataSource src("dtsTeste", &ds);
    QStringList seen;
    src.OnStateChange = [&](TDataSource&) { seen << "state"; };
    src.AddListener([&](TDataChange c, TField* f) {
        if (c == TDataChange::Field) seen << "field " + f->FieldName();
        if (c == TDataChange::DataSet) seen << "dataset";
    });
    ds.CreateDataSet();
    EXPECT_EQ(seen.first(), "state");
    seen.clear();
    ds.Append();
    ds.FieldByName("QTPRATO").SetAsFloat(1);
    EXPECT_TRUE(seen.contains("state"));
    EXPECT_TRUE(seen.contains("field QTPRATO"));
    ds.Post();
    seen.clear();

    ds.DisableControls();
    ds.DisableControls();
    EXPECT_TRUE(ds.ControlsDisabled());
    ds.Edit();
    ds.FieldByName("QTPRATO").SetAsFloat(2);
    ds.EnableControls();
    EXPECT_TRUE(seen.isEmpty());
    EXPECT_TRUE(ds.ControlsDisabled());
    ds.EnableControls();
    EXPECT_EQ(seen, QStringList({"state", "dataset"})); // state changed meanwhile, one refresh
    ds.EnableControls();                                // unbalanced: ignored
    EXPECT_FALSE(ds.ControlsDisabled());

    // A data source outliving its data set forgets it.
    auto shortLived = std::make_unique<TClientDataSet>("tmp");
    TDataSource late("dtsTmp", shortLived.get());
    shortLived.reset();
    EXPECT_EQ(late.DataSet(), nullptr);
}

TEST(DataSetGrid, VisibleRowsShowFormatsAndGetTextWithoutMoving) {
    TClientDataSet ds("cdsEmbDistCard");
    ds.AddField({.Name = "IDPROPOSITO", .Type = TFieldType::String, .Size = 1});
    ds.AddField({.Name = "QTPRATO",
                 .Type = TFieldType::Float,
                 .Visible = false,
                 .DisplayFormat = "##0.00000;0; "});
    ds.FieldByName("IDPROPOSITO").OnGetText = [](TField& f, QString& text, bool display) {
        if (display) text = f.AsString() == "I" ? "Individual" : "Coletiva";
    };
    TDataPacket p;
    p.Fields = {{"IDPROPOSITO", TFieldType::String, 1}, {"QTPRATO", TFieldType::Float}};
    p.Rows = {{QStringLiteral("I"), 1.5}, {QStringLiteral("C"), 0.0}};
    ds.SetData(p);
    int scrolls = 0;
    ds.AfterScroll = [&](TClientDataSet&) { ++scrolls; };
    EXPECT_EQ(ds.VisibleDisplayText(1, 0), "Coletiva");
    EXPECT_EQ(ds.VisibleDisplayText(0, 0), "Individual");
    EXPECT_EQ(ds.VisibleDisplayText(0, 1), "1,50000");
    EXPECT_EQ(ds.VisibleDisplayText(1, 1), " ");
    EXPECT_EQ(ds.FieldByName("IDPROPOSITO").Text(), "I"); // editing text is not replaced
    EXPECT_EQ(ds.RecNo(), 1);
    EXPECT_EQ(scrolls, 0);
    EXPECT_FALSE(ds.FieldByName("QTPRATO").Visible);
}

TEST(DataSetCursor, WalkingAndDeletingVisitEveryRecordOnce) {
    TClientDataSet ds("cdsTeste");
    DefineDishes(ds);
    ds.CreateDataSet();
    EXPECT_TRUE(ds.Eof());
    EXPECT_TRUE(ds.Bof());
    EXPECT_EQ(ds.RecNo(), 0);
    for (int i = 1; i <= 4; ++i)
        AddDish(ds, i, i, 0, 0, QString::number(i));
    QStringList walked;
    for (ds.First(); !ds.Eof(); ds.Next())
        walked << ds.FieldByName("NMPRATO").AsString();
    EXPECT_EQ(walked, QStringList({"1", "2", "3", "4"}));
    walked.clear();
    for (ds.Last(); !ds.Bof(); ds.Prior())
        walked << ds.FieldByName("NMPRATO").AsString();
    EXPECT_EQ(walked, QStringList({"4", "3", "2", "1"}));

    ds.SetRecNo(2);
    ds.Delete();
    EXPECT_EQ(ds.FieldByName("NMPRATO").AsString(), "3"); // the next one takes its place
    ds.Last();
    ds.Delete();
    EXPECT_EQ(ds.FieldByName("NMPRATO").AsString(), "3"); // last gone: the previous one
    while (!ds.IsEmpty())
        ds.Delete();
    EXPECT_TRUE(ds.Eof());
    ds.EmptyDataSet();
    EXPECT_EQ(ds.State(), TDataSetState::Browse);
}

} // namespace
