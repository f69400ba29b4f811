// Opening the screen for a branch and date, its refusals, and the branch and date fields.
#include "framework/ui/TBtnPesquisa.h"
#include "framework/ui/TCheckBox.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TLabel.h"
#include "tests/branch_generation/BranchGenerationFixture.h"

namespace pla::test {
namespace {

using OpeningTest = BranchGenerationTest;

TEST_F(OpeningTest, OpensOnTheDateWithTheBranchNormalisedAndListsFromTheServer) {
    bool shown = false;
    ASSERT_TRUE(Open(
        [&] {
            shown = true;
            TfrmDistribuicaoFilial& f = Form();
            EXPECT_EQ(f.Caption(), QStringLiteral("Distribuição da Filial"));
            EXPECT_EQ(f.edtCdFilial->Text(), QStringLiteral("0001"));
            EXPECT_EQ(f.edtNmFilial->Text(), QStringLiteral("Cozinha Central"));
            EXPECT_EQ(f.depCardapio->Text(), QStringLiteral("08/12/2026"));
            EXPECT_EQ(f.lblDiaDaSemanaCard->Caption(), QStringLiteral("Terça"));
            EXPECT_FALSE(f.chbSubstitui->Checked());
            EXPECT_TRUE(f.edtCdFilial->Enabled());
            EXPECT_EQ(f.ActiveControl(), f.depCardapio);
            EXPECT_EQ(f.cmbFiltroGrupo->Items(),
                      QStringList({"", "Hospitais", "Escolas", "Empresas"}));
            EXPECT_EQ(f.cmbFiltroGrupo->ItemIndex(), 0);
            EXPECT_EQ(f.GroupCodes(), QStringList({"", "001", "A'1", "002"}));
            EXPECT_EQ(Visible(), QStringList({"00010", "00020", "00030", "00040"}));
            EXPECT_EQ(Ticks(), QStringLiteral("NSNN"));
            EXPECT_EQ(f.cdsServicos->FieldByName("SERVICO").AsString(),
                      QStringLiteral("00010 - Almoço"));
        },
        QStringLiteral("1")));
    EXPECT_TRUE(shown);
    // Groups first, then the services of the normalised code.
    ASSERT_EQ(server->Requests().size(), 2);
    EXPECT_EQ(server->Requests()[0].method, QStringLiteral("GetGruposServico"));
    EXPECT_EQ(server->Params("GetServicosTransportados"), QVector<QJsonArray>({{"0001"}}));
    EXPECT_EQ(NextMessage(), QString());
}

TEST_F(OpeningTest, ReopeningReusesTheScreenAndResetsEveryChoice) {
    ASSERT_TRUE(Open([&] {
        Act([&] { Form().chbSubstitui->UserClick(); });
        ChooseGroup(2);
        ClickTickTitle();
        EXPECT_EQ(Ticks(), QStringLiteral("NSSN"));
    }));
    TfrmDistribuicaoFilial* first = frmDistribuicaoFilial;
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->Showing());

    ASSERT_TRUE(Open([&] {
        EXPECT_FALSE(Form().chbSubstitui->Checked());
        EXPECT_EQ(Form().cmbFiltroGrupo->ItemIndex(), 0);
        EXPECT_EQ(Visible().size(), 4);
        EXPECT_EQ(Ticks(), QStringLiteral("NSNN"));
        EXPECT_EQ(Form().ActiveControl(), Form().depCardapio);
    }));
    EXPECT_EQ(frmDistribuicaoFilial, first);
    EXPECT_EQ(host.runs, 2);
    EXPECT_EQ(server->Count("GetGruposServico"), 2);
}

TEST_F(OpeningTest, EmptyOrUnknownBranchEndsTheCallersActionWithoutShowing) {
    const QVector<QPair<QString, QString>> cases = {
        {QString(), QStringLiteral("Filial deve ser informada.")},
        {QStringLiteral("9"), QStringLiteral("Filial informada não cadastrada.")},
    };
    for (const auto& [code, message] : cases) {
        SCOPED_TRACE(code.toStdString());
        server->Reset();
        EXPECT_FALSE(Open([] { ADD_FAILURE() << "shown"; }, code));
        EXPECT_EQ(NextMessage(), message);
        EXPECT_EQ(server->Requests().size(), 0);
        EXPECT_TRUE(Form().edtNmFilial->Text().isEmpty());
    }
    EXPECT_EQ(host.runs, 0);
    // A later opening with a good branch starts on the date again.
    ASSERT_TRUE(Open([&] { EXPECT_EQ(Form().ActiveControl(), Form().depCardapio); }));
}

TEST_F(OpeningTest, BranchLockFollowsTheLoginAtEveryOpening) {
    Serve(BranchGenerationFixture(), true);
    ASSERT_TRUE(Open([&] {
        EXPECT_FALSE(Form().edtCdFilial->Enabled());
        EXPECT_FALSE(Form().btnFilial->Enabled());
    }));
    Serve(BranchGenerationFixture(), false);
    ASSERT_TRUE(Open([&] {
        EXPECT_TRUE(Form().edtCdFilial->Enabled());
        EXPECT_TRUE(Form().btnFilial->Enabled());
    }));
}

TEST_F(OpeningTest, RefusedRemoteCallEndsTheOpening) {
    Serve(R"({"methods": {"GetGruposServico": [{"result": {"ok": false,
              "message": "Grupos de serviço indisponíveis"}}]}})");
    EXPECT_FALSE(Open([] { ADD_FAILURE() << "shown"; }));
    EXPECT_EQ(NextMessage(), QStringLiteral("Grupos de serviço indisponíveis"));
    EXPECT_EQ(server->Count("GetServicosTransportados"), 0);
    EXPECT_EQ(host.runs, 0);
    // The connection was only lent for the opening.
    EXPECT_EQ(Form().Connection(), nullptr);
}

TEST_F(OpeningTest, DestroyingTheScreenEmptiesTheGlobalAndTheNextOpeningCreatesAnew) {
    ASSERT_TRUE(Open([] {}));
    TForm::Free(frmDistribuicaoFilial);
    EXPECT_EQ(frmDistribuicaoFilial, nullptr);
    ASSERT_TRUE(Open([&] { EXPECT_EQ(Visible().size(), 4); }));
}

using BranchFieldTest = BranchGenerationTest;

TEST_F(BranchFieldTest, LeavingTheCodeValidatesAndReloadsEveryTime) {
    ASSERT_TRUE(Open([&] {
        TfrmDistribuicaoFilial& f = Form();
        server->Reset();
        Act([&] { f.edtCdFilial->SetFocus(); });
        Act([&] { f.depCardapio->SetFocus(); }); // same code: reloaded all the same
        EXPECT_EQ(server->Count("GetServicosTransportados"), 1);

        // A keystroke empties the list; leaving reloads it for the new code.
        Act([&] { f.edtCdFilial->SetFocus(); });
        Act([&] { f.DeliverChar(QLatin1Char('2')); });
        EXPECT_EQ(f.edtCdFilial->Text(), QStringLiteral("2"));
        EXPECT_TRUE(f.edtNmFilial->Text().isEmpty());
        EXPECT_EQ(f.cdsServicos->RecordCount(), 0);
        Act([&] { f.depCardapio->SetFocus(); });
        EXPECT_EQ(f.edtCdFilial->Text(), QStringLiteral("0002"));
        EXPECT_EQ(f.edtNmFilial->Text(), QStringLiteral("Cozinha Norte"));
        EXPECT_EQ(server->Params("GetServicosTransportados").last(), QJsonArray({"0002"}));

        // An empty code is refused at once; the focus stays on it.
        Act([&] { f.edtCdFilial->SetFocus(); });
        Act([&] { f.edtCdFilial->UserClear(); });
        EXPECT_FALSE(Act([&] { f.depCardapio->SetFocus(); }));
        EXPECT_EQ(NextMessage(), QStringLiteral("Filial deve ser informada."));
        EXPECT_EQ(f.ActiveControl(), f.edtCdFilial);
        EXPECT_EQ(server->Count("GetServicosTransportados"), 2);
    }));
}

TEST_F(BranchFieldTest, LookupPicksTheCodeButLoadsOnlyWhenLeavingIt) {
    ASSERT_TRUE(Open([&] {
        TfrmDistribuicaoFilial& f = Form();
        server->Reset();
        dialogs.QueuePick(2);
        Act([&] { f.btnFilial->UserClick(); });
        EXPECT_EQ(dialogs.PickCaptions().last(),
                  QStringLiteral("Filial|Não há filial cadastrada."));
        EXPECT_EQ(f.edtCdFilial->Text(), QStringLiteral("0002"));
        EXPECT_TRUE(f.edtNmFilial->Text().isEmpty());
        EXPECT_EQ(f.cdsServicos->RecordCount(), 0);
        EXPECT_EQ(server->Requests().size(), 0);

        dialogs.QueuePickNone();
        Act([&] { f.btnFilial->UserClick(); });
        EXPECT_EQ(f.edtCdFilial->Text(), QStringLiteral("0002"));
    }));
}

TEST_F(BranchFieldTest, DateChangeKeepsTheListAndAnEmptyDateBarsTheList) {
    ASSERT_TRUE(Open([&] {
        TfrmDistribuicaoFilial& f = Form();
        ClickCell(0, "IDMARCADO");
        EXPECT_EQ(Ticks(), QStringLiteral("SSNN"));
        Act([&] { f.depCardapio->SetFocus(); });
        Act([&] { f.depCardapio->SetDate(QDate(2026, 12, 13)); });
        EXPECT_EQ(f.lblDiaDaSemanaCard->Caption(), QStringLiteral("Domingo"));
        EXPECT_EQ(Ticks(), QStringLiteral("SSNN"));

        Act([&] { f.depCardapio->UserClear(); });
        EXPECT_EQ(Ticks(), QStringLiteral("SSNN"));
        EXPECT_FALSE(Act([&] { f.dbgServicos->SetFocus(); }));
        EXPECT_EQ(NextMessage(), QStringLiteral("Data do cardápio deve ser informada"));
        EXPECT_EQ(f.ActiveControl(), f.depCardapio);
    }));
}

} // namespace
} // namespace pla::test
