#include "DataSetTestSupport.h"
#include "framework/data/Abort.h"
#include "framework/data/DataSource.h"
#include "framework/data/DatabaseError.h"
#include "framework/data/EventSuspend.h"
#include "framework/data/PacketCodec.h"

#include <gtest/gtest.h>

using namespace pla::test;

namespace {

class DataSetEvents : public ::testing::Test {
protected:
    void SetUp() override {
        DefineDishes(ds);
        ds.CreateDataSet();
        AddDish(ds, 1, 10, 1, 1, "A");
        AddDish(ds, 2, 20, 2, 2, "B");
        AddDish(ds, 3, 30, 0, 0, "C");
        ds.First();
    }
    TClientDataSet ds{"cdsTeste"};
};

TEST_F(DataSetEvents, RecordOperationsRaiseEventsInDesktopOrder) {
    EventLog log(ds);
    ds.Append();
    EXPECT_EQ(log.Take(), QStringList({"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert",
                                       "AfterScroll"}));
    ds.FieldByName("NRSEQPRATCAR").SetAsFloat(4);
    ds.Post();
    EXPECT_EQ(log.Take(), QStringList({"BeforePost", "AfterPost"}));

    ds.Insert();
    EXPECT_EQ(log.Take(), QStringList({"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert",
                                       "AfterScroll"}));
    ds.Cancel();
    EXPECT_EQ(log.Take(), QStringList({"BeforeCancel", "AfterCancel"}));

    ds.Edit();
    EXPECT_EQ(log.Take(), QStringList({"BeforeEdit", "AfterEdit"}));
    ds.Edit(); // already editing: nothing
    EXPECT_TRUE(log.Take().isEmpty());
    ds.Cancel();
    log.Take();

    ds.Delete();
    EXPECT_EQ(log.Take(),
              QStringList({"BeforeDelete", "BeforeScroll", "AfterDelete", "AfterScroll"}));
}

TEST_F(DataSetEvents, PostAsksControlsForPendingTextFirst) {
    TDataSource src("dtsTeste", &ds);
    EventLog log(ds);
    QStringList seen;
    src.OnUpdateData = [&](TDataSource&) { seen << "OnUpdateData"; };
    src.OnDataChange = [&](TDataSource&, TField*) { seen << "OnDataChange"; };
    // A control writing its pending text while the record is still being edited.
    QString pending;
    src.AddListener([&](TDataChange c, TField*) {
        if (c != TDataChange::UpdateRecord || pending.isEmpty()) return;
        seen << "write " + pending;
        ds.FieldByName("QTPRATO").SetText(pending);
        pending.clear();
    });
    ds.Edit();
    log.Take();
    seen.clear();
    pending = "7,5";
    ds.Post();
    EXPECT_EQ(seen.mid(0, 2), QStringList({"OnUpdateData", "write 7,5"}));
    EXPECT_EQ(log.Take(), QStringList({"BeforePost", "AfterPost"}));
    EXPECT_DOUBLE_EQ(ds.FieldByName("QTPRATO").AsFloat(), 7.5);

    // A refusal stops the post before BeforePost; the record stays being edited, unchanged.
    ds.Edit();
    log.Take();
    pending = "7,5,";
    EXPECT_THROW(ds.Post(), EDatabaseError);
    EXPECT_TRUE(log.Take().isEmpty());
    EXPECT_EQ(ds.State(), TDataSetState::Edit);
    EXPECT_DOUBLE_EQ(ds.FieldByName("QTPRATO").AsFloat(), 7.5);
    pending.clear();
    ds.Post();
    EXPECT_EQ(ds.State(), TDataSetState::Browse);

    // Moving while editing posts, so the notice comes before the move too.
    ds.Edit();
    pending = "2";
    ds.Next();
    ds.Prior();
    EXPECT_DOUBLE_EQ(ds.FieldByName("QTPRATO").AsFloat(), 2);
}

TEST_F(DataSetEvents, CursorMovesRaiseScrollEvents) {
    EventLog log(ds);
    ds.Next();
    ds.Last();
    ds.Prior();
    ds.First();
    EXPECT_EQ(log.Take().count("AfterScroll"), 4);

    EXPECT_TRUE(ds.Locate("NRSEQPRATCAR", 3));
    EXPECT_EQ(log.Take(), QStringList({"BeforeScroll", "AfterScroll"}));
    EXPECT_FALSE(ds.Locate("NRSEQPRATCAR", 99));
    EXPECT_EQ(log.Take(), QStringList({"BeforeScroll"})); // no move, no AfterScroll
    EXPECT_EQ(ds.FieldByName("NRSEQPRATCAR").AsInteger(), 3);

    ds.SetFilter("QTPRATO > 0");
    EXPECT_TRUE(log.Take().isEmpty()); // filter off: text alone moves nothing
    ds.SetFiltered(true);
    EXPECT_EQ(log.Take(), QStringList({"BeforeScroll", "AfterScroll"}));
    EXPECT_EQ(ds.RecNo(), 1);
    ds.SetFiltered(true); // no change, no move
    EXPECT_TRUE(log.Take().isEmpty());
    ds.SetFilter("QTPRATO > 1");
    EXPECT_EQ(log.Take(), QStringList({"BeforeScroll", "AfterScroll"}));
    ds.SetFiltered(false);
    EXPECT_EQ(log.Take(), QStringList({"BeforeScroll", "AfterScroll"}));

    ds.SetData(ds.Data());
    EXPECT_EQ(log.Take(), QStringList({"BeforeScroll", "AfterScroll"}));
}

TEST_F(DataSetEvents, MovingWhileEditingPostsFirst) {
    ds.Edit();
    ds.FieldByName("NMPRATO").SetAsString("Editado");
    EventLog log(ds);
    ds.Next();
    EXPECT_EQ(log.Take(), QStringList({"BeforePost", "AfterPost", "BeforeScroll", "AfterScroll"}));
    EXPECT_EQ(ds.State(), TDataSetState::Browse);
    ds.First();
    EXPECT_EQ(ds.FieldByName("NMPRATO").AsString(), "Editado");

    // Appending while inserting posts the pending record first.
    ds.Append();
    ds.FieldByName("NRSEQPRATCAR").SetAsFloat(7);
    log.Take();
    ds.Append();
    EXPECT_EQ(log.Take().mid(0, 3), QStringList({"BeforePost", "AfterPost", "BeforeInsert"}));
    ds.Cancel();
    EXPECT_EQ(ds.TotalRecordCount(), 4);
}

TEST_F(DataSetEvents, AbortInBeforeHandlerCancelsTheOperation) {
    ds.BeforeInsert = [](TClientDataSet&) { throw Abort(); };
    EXPECT_THROW(ds.Append(), Abort);
    EXPECT_EQ(ds.State(), TDataSetState::Browse);
    EXPECT_EQ(ds.VisibleCount(), 3);

    ds.BeforeEdit = [](TClientDataSet&) { throw Abort(); };
    EXPECT_THROW(ds.Edit(), Abort);
    EXPECT_EQ(ds.State(), TDataSetState::Browse);

    ds.BeforeEdit.Take();
    ds.Edit();
    ds.FieldByName("QTPRATO").SetAsFloat(9);
    ds.BeforePost = [](TClientDataSet&) { throw Abort(); };
    EXPECT_THROW(ds.Post(), Abort);
    EXPECT_EQ(ds.State(), TDataSetState::Edit); // still editing, nothing stored
    EXPECT_THROW(ds.Next(), Abort);             // the move needs the post
    EXPECT_EQ(ds.RecNo(), 1);
    ds.Cancel();
    EXPECT_EQ(ds.FieldByName("QTPRATO").AsFloat(), 1);

    ds.BeforeDelete = [](TClientDataSet&) { throw Abort(); };
    EXPECT_THROW(ds.Delete(), Abort);
    EXPECT_EQ(ds.TotalRecordCount(), 3);

    // A failing OnNewRecord leaves the set browsing where it was.
    ds.BeforeInsert.Take();
    ds.Next();
    ds.OnNewRecord = [](TClientDataSet&) { throw Abort(); };
    EXPECT_THROW(ds.Insert(), Abort);
    EXPECT_EQ(ds.State(), TDataSetState::Browse);
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_EQ(ds.VisibleCount(), 3);
}

TEST_F(DataSetEvents, SuspendedEventIsRestoredOnEveryExit) {
    int scrolls = 0;
    ds.AfterScroll = [&](TClientDataSet&) { ++scrolls; };
    {
        EventSuspend<Event<TClientDataSet&>> off(ds.AfterScroll);
        ds.Next();
        EXPECT_FALSE(ds.AfterScroll);
    }
    EXPECT_EQ(scrolls, 0);
    ds.Next();
    EXPECT_EQ(scrolls, 1);

    try {
        EventSuspend<Event<TClientDataSet&>> off(ds.AfterScroll);
        throw Abort();
    } catch (const Abort&) {
    }
    ds.Prior();
    EXPECT_EQ(scrolls, 2);

    // A handler may detach its own slot while it runs.
    ds.AfterScroll = [&](TClientDataSet& d) {
        ++scrolls;
        d.AfterScroll.Take();
    };
    ds.Next();
    ds.Next();
    EXPECT_EQ(scrolls, 3);
}

TEST_F(DataSetEvents, FieldChangeAndCalculatedFields) {
    TClientDataSet emb("cdsEmb");
    emb.AddField({.Name = "QTCONTAINER", .Type = TFieldType::Float});
    emb.AddField({.Name = "QTPRATO", .Type = TFieldType::Float});
    emb.AddField({.Name = "QTMEDIA", .Type = TFieldType::Float, .Kind = TFieldKind::Calculated});
    QStringList log;
    emb.OnCalcFields = [&](TClientDataSet& d) {
        log << "calc";
        const double n = d.FieldByName("QTCONTAINER").AsFloat();
        d.FieldByName("QTMEDIA").SetAsFloat(n > 0 ? d.FieldByName("QTPRATO").AsFloat() / n : 0);
    };
    emb.FieldByName("QTPRATO").OnChange = [&](TField& f) { log << "change " + f.FieldName(); };
    emb.CreateDataSet();
    emb.Append();
    emb.FieldByName("QTCONTAINER").SetAsFloat(4);
    emb.FieldByName("QTPRATO").SetAsFloat(10);
    EXPECT_EQ(emb.FieldByName("QTMEDIA").AsFloat(), 2.5); // recomputed while editing
    EXPECT_EQ(log.count("change QTPRATO"), 1);
    const int before = log.size();
    emb.Post();
    EXPECT_GT(log.size(), before); // recomputed on post
    EXPECT_EQ(emb.FieldByName("QTMEDIA").AsFloat(), 2.5);
    // Calculated fields cannot be written outside the calculation or an edit.
    EXPECT_THROW(emb.FieldByName("QTMEDIA").SetAsFloat(1), EDatabaseError);
    // Loading computes every record; the packet never carries calculated fields.
    TDataPacket p = emb.Data();
    EXPECT_EQ(p.Fields.size(), 2);
    p.Rows.append({QVariant(2.0), QVariant(3.0)});
    emb.SetData(p);
    emb.Last();
    EXPECT_EQ(emb.FieldByName("QTMEDIA").AsFloat(), 1.5);
}

} // namespace
