#include "distribution/DistEmbCardOpener.h"
#include "framework/services/Showavi.h"
#include "framework/ui/TBtnPesquisa.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"
#include "tests/distribution/ScreenFixture.h"

namespace pla::test {
namespace {

using CreationTest = ScreenTest;

TEST_F(CreationTest, CreationMakesOneRemoteCallAndLeavesTheScreenReady) {
    ASSERT_TRUE(Create());

    EXPECT_EQ(server->Requests().size(), 1);
    EXPECT_EQ(server->Count("GetGruposServico"), 1);
    EXPECT_TRUE(screen->netDistEmbCard.Connected());
    EXPECT_EQ(screen->netDistEmbCard.Port, server->Port());

    // The group filter holds the groups in packet order behind an empty first item.
    EXPECT_EQ(screen->cmbFiltroGrupo->Items(), QStringList({"", "Hospitais", "Escolas"}));
    EXPECT_EQ(screen->GroupCodes(), QStringList({"", "001", "A'1"}));
    EXPECT_EQ(screen->cmbFiltroGrupo->ItemIndex(), 0);
    EXPECT_EQ(screen->cmbPontosEntrega->Count(), 0);

    EXPECT_EQ(screen->edtCdFilial->Text(), "0001");
    EXPECT_EQ(screen->edtNmFilial->Text(), "Cozinha Central");
    EXPECT_TRUE(screen->edtCdFilial->Enabled());
    EXPECT_TRUE(screen->btnFilial->Enabled());
    EXPECT_FALSE(screen->edtNmFilial->Enabled());
    EXPECT_EQ(screen->depCardapio->GetDate(), QDate(2026, 12, 8));

    for (TClientDataSet* ds : {screen->cdsDistCard.get(), screen->cdsCardapioDisponivel.get(),
                               screen->cdsEmbDistCard.get(), screen->cdsItEmbDistCard.get()}) {
        EXPECT_TRUE(ds->Active()) << ds->Name().toStdString();
        EXPECT_TRUE(ds->IsEmpty()) << ds->Name().toStdString();
    }
    EXPECT_EQ(screen->NewPackagingCounter(), 0);
    EXPECT_EQ(dialogs.UncheckedCount(), 0);
    EXPECT_EQ(Showavi::Depth(), 0);
}

TEST_F(CreationTest, TiedUserCannotChangeTheBranch) {
    Serve(StandardFixture(), "0002", true);
    ASSERT_TRUE(Create());
    EXPECT_EQ(screen->edtNmFilial->Text(), "Cozinha Norte");
    EXPECT_FALSE(screen->edtCdFilial->Enabled());
    EXPECT_FALSE(screen->btnFilial->Enabled());
}

TEST_F(CreationTest, ShortBranchCodeIsNormalisedBeforeTheLookup) {
    Serve(StandardFixture(), "1", false);
    ASSERT_TRUE(Create());
    EXPECT_EQ(screen->edtCdFilial->Text(), "0001");
    EXPECT_EQ(screen->edtNmFilial->Text(), "Cozinha Central");
}

TEST_F(CreationTest, UnregisteredBranchStopsCreationBeforeTheLock) {
    // Quotes and SQL in the code are just a code that is not registered.
    Serve(StandardFixture(), "0' OR '1'='1", true);
    EXPECT_FALSE(Create());
    EXPECT_EQ(NextMessage(), "Filial informada não cadastrada.");
    // The later steps did not run: no lock, no date.
    EXPECT_TRUE(screen->edtCdFilial->Enabled());
    EXPECT_TRUE(screen->depCardapio->IsEmpty());
}

TEST_F(CreationTest, RefusedGroupsStopCreationWithTheServersText) {
    Serve(
        R"({"methods": {"GetGruposServico": [{"result": {"ok": false, "message": "Sem grupos"}}]}})");
    EXPECT_FALSE(Create());
    EXPECT_EQ(NextMessage(), "Sem grupos");
    EXPECT_EQ(screen->cmbFiltroGrupo->Count(), 0);
    EXPECT_EQ(screen->edtCdFilial->Text(), "");
    EXPECT_EQ(Showavi::Depth(), 0);
}

TEST_F(CreationTest, GroupsWithoutNamesAreAClearMessage) {
    Serve(R"({"methods": {"GetGruposServico": [{"result": {"ok": true, "data":
             {"fields": ["CDGRUPSERV"], "rows": [["001"]]}}}]}})");
    EXPECT_FALSE(Create());
    EXPECT_TRUE(NextMessage().contains("NMGRUPSERV"));
}

// A screen that tells whether its connection was down when its teardown ended.
class ProbeScreen : public TfrmDistEmbCard {
public:
    static inline bool connectedAfterTeardown = true;

protected:
    void FormDestroy() override {
        TfrmDistEmbCard::FormDestroy();
        connectedAfterTeardown = netDistEmbCard.Connected();
    }
};

TEST_F(CreationTest, DestroyingTheScreenDisconnects) {
    auto* probe = new ProbeScreen();
    probe->DoCreate();
    ASSERT_TRUE(probe->netDistEmbCard.Connected());
    TForm::Free(probe);
    EXPECT_FALSE(ProbeScreen::connectedAfterTeardown);
}

class OpenerTest : public ScreenTest {
protected:
    void TearDown() override {
        if (screen) TForm::Free(screen);
        screen = nullptr;
        ScreenTest::TearDown();
    }
    bool created = false;
};

TEST_F(OpenerTest, SecondOpenShowsTheSameInstanceWithItsState) {
    DistEmbCardOpener::Open(created, screen);
    ASSERT_TRUE(created);
    TfrmDistEmbCard* first = screen;
    EXPECT_TRUE(first->Showing());
    first->edtCdFilial->SetText("0002");

    DistEmbCardOpener::Open(created, screen);
    EXPECT_EQ(screen, first);
    EXPECT_EQ(screen->edtCdFilial->Text(), "0002");
    EXPECT_EQ(server->Count("GetGruposServico"), 1);

    // Destroying it clears both globals, so the next open builds a new screen.
    TForm::Free(screen);
    EXPECT_FALSE(created);
    EXPECT_EQ(screen, nullptr);
    DistEmbCardOpener::Open(created, screen);
    EXPECT_TRUE(created);
    EXPECT_EQ(server->Count("GetGruposServico"), 2);
}

TEST_F(OpenerTest, ServerDownAtCreationIsReportedAndALaterOpenWorks) {
    const int port = server->Port();
    server.reset(); // nothing listens on the port now

    DistEmbCardOpener::Open(created, screen);
    EXPECT_FALSE(created);
    EXPECT_EQ(screen, nullptr);
    const QString shown = NextMessage();
    EXPECT_TRUE(shown.contains(QStringLiteral("127.0.0.1:%1").arg(port))) << shown.toStdString();
    EXPECT_EQ(Showavi::Depth(), 0);

    server = std::make_unique<LoopbackServer>(StandardFixture());
    server->Start(port);
    DistEmbCardOpener::Open(created, screen);
    EXPECT_TRUE(created);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->edtNmFilial->Text(), "Cozinha Central");
}

TEST_F(OpenerTest, UnregisteredLoginBranchLeavesNoScreen) {
    Serve(StandardFixture(), "9999", false);
    DistEmbCardOpener::Open(created, screen);
    EXPECT_EQ(NextMessage(), "Filial informada não cadastrada.");
    EXPECT_FALSE(created);
    EXPECT_EQ(screen, nullptr);
}

} // namespace
} // namespace pla::test
