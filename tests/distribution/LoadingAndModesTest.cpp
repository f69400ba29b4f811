#include "framework/services/Showavi.h"
#include "framework/ui/Dispatch.h"
#include "framework/ui/TBtnPesquisa.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDBEdit.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TDBMemo.h"
#include "framework/ui/TDBNavigator.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TMenuItem.h"
#include "framework/ui/TMessages.h"
#include "framework/ui/TPanel.h"
#include "framework/ui/TSpeedButton.h"
#include "tests/distribution/ScreenFixture.h"

namespace pla::test {
namespace {

using LoadingTest = ScreenTest;
using ModesTest = ScreenTest;

// Names of the governed commands that are enabled now.
QStringList EnabledCommands(TfrmDistEmbCard* s) {
    QStringList on;
    for (TControl* c : std::initializer_list<TControl*>{
             s->sbtIncluir, s->sbtProcurar, s->sbtExcluir, s->sbtAlterar, s->sbtVerificar,
             s->sbtConfirmar, s->sbtCancelar, s->sbtRedistribuir, s->sbtGerar, s->sbtApagar,
             s->btnAddPrat, s->btnAddTPrat, s->btnDelPrat, s->btnDelTPrat, s->dbnPadrao})
        if (c->Enabled()) on << c->Name();
    return on;
}

TEST_F(LoadingTest, LoadFillsTheSetsAppliesBothFiltersAndSetsTheCounter) {
    Open();
    EnterServiceList();

    EXPECT_EQ(screen->cdsDistCard->FieldByName("NRDISTCARD").AsFloat(), 55.0);
    EXPECT_EQ(screen->cdsDistCard->State(), TDataSetState::Browse);
    // The fully distributed dish is out of sight but still in the data.
    EXPECT_EQ(screen->cdsCardapioDisponivel->RecordCount(), 2);
    EXPECT_EQ(screen->cdsCardapioDisponivel->Data().Rows.size(), 3);
    EXPECT_EQ(screen->cdsCardapioDisponivel->FieldByName("NMPRATO").AsString(), "Arroz");
    EXPECT_EQ(screen->NewPackagingCounter(), 2);
    EXPECT_EQ(screen->cdsItEmbDistCard->Filter(), "NREMBDISTCARD = 10");
    EXPECT_EQ(screen->cdsItEmbDistCard->RecordCount(), 1);
    EXPECT_EQ(screen->cdsCardapioDisponivel->FieldByName("QTPRATO").DisplayText(), "1,50000");
    EXPECT_EQ(Showavi::Depth(), 0);
}

TEST_F(LoadingTest, LargePackagingNumbersScopeTheirOwnDishesOnly) {
    QByteArray fixture = StandardFixture();
    fixture.replace(
        R"([[10, "CX001", 4, "Caixa", "C"], [11, "MAR01", 20, "Marmita", "I"]])",
        R"([[100000, "MAR01", 20, "Marmita", "I"], [200000, "MAR01", 20, "Marmita", "I"],
                        [1000000, "MAR01", 20, "Marmita", "I"]])");
    fixture.replace(
        R"([[2, 10, 60, 6, 0, "Feijão", "S"], [2, 11, 60, 6, 0, "Feijão", "S"], [1, 11, 110, 16.5, 0, "Arroz", "N"]])",
        R"([[2, 100000, 60, 6, 0, "Feijão", "S"], [1, 100000, 10, 1, 0, "Arroz", "N"],
                        [2, 200000, 60, 6, 0, "Feijão", "S"], [1, 1000000, 100, 15, 0, "Arroz", "S"]])");
    Serve(fixture);
    Open();
    EnterServiceList();
    Dispatch([&] { screen->dbgEmbalagens->SetFocus(); });
    for (const auto& [number, rows] : {std::pair{100000, 2}, {200000, 1}, {1000000, 1}}) {
        ASSERT_TRUE(screen->cdsEmbDistCard->Locate("NREMBDISTCARD", number));
        EXPECT_EQ(screen->cdsItEmbDistCard->Filter(), "NREMBDISTCARD = " + QString::number(number));
        EXPECT_EQ(screen->cdsItEmbDistCard->RecordCount(), rows) << number;
    }

    // Removing every dish of packaging 1000000 leaves the other packagings' dishes alone.
    EXPECT_TRUE(Dispatch([&] { screen->btnDelTPrat->UserClick(); }));
    EXPECT_EQ(screen->cdsItEmbDistCard->TotalRecordCount(), 3);

    // Dish rows not filtered to the current packaging: the removal stops before anything moves.
    ASSERT_TRUE(screen->cdsEmbDistCard->Locate("NREMBDISTCARD", 100000));
    screen->cdsItEmbDistCard->SetFiltered(false);
    EXPECT_FALSE(Dispatch([&] { screen->btnDelTPrat->Click(); }));
    EXPECT_EQ(NextMessage(), "Os pratos listados não são os da embalagem atual: nada foi alterado. "
                             "Selecione a embalagem novamente.");
    EXPECT_EQ(screen->cdsItEmbDistCard->TotalRecordCount(), 3);
    EXPECT_EQ(NextMessage(), "");
}

TEST_F(LoadingTest, ServerMessagesAreShownAndTheSetsKeepTheirContent) {
    Open();
    EnterServiceList();
    const TDataPacket before = screen->cdsEmbDistCard->Data();

    // Service 00030: its first delivery point answers with a catalogue key.
    Dispatch([&] { screen->dbgPadrao->UserSelectRow(2); });
    EXPECT_EQ(NextMessage(), "Não existe cardápio para os dados informados.");
    EXPECT_EQ(screen->cdsEmbDistCard->Data().Rows, before.Rows);
    EXPECT_EQ(screen->cdsDistCard->FieldByName("NRDISTCARD").AsFloat(), 55.0);

    // Its second answers with a text that is no key: shown as received.
    Dispatch([&] { screen->cmbPontosEntrega->UserSelect(2); });
    EXPECT_EQ(NextMessage(), "Cardápio bloqueado pelo nutricionista");
    EXPECT_EQ(screen->cdsEmbDistCard->Data().Rows, before.Rows);
    EXPECT_EQ(Showavi::Depth(), 0);
}

TEST_F(LoadingTest, BlankDeliveryPointLoadsWithEmptyCodes) {
    Open();
    EnterServiceList();
    server->Reset();
    Dispatch([&] { screen->cmbPontosEntrega->UserSelect(0); });
    EXPECT_EQ(server->Params("GetDistribuicao").last(),
              QJsonArray({"0001", "00010", "2026-12-08", "", "", "N"}));
}

TEST_F(LoadingTest, RedistributionAsksThenRedoesAndReloads) {
    Open();
    EnterServiceList();
    server->Reset();

    dialogs.QueueAnswer(ScriptedDialogs::Answer::Cancel);
    Dispatch([&] { screen->sbtRedistribuirClick(*screen->sbtRedistribuir); });
    EXPECT_EQ(NextMessage(), screen->msgPadrao->Msg("CONF_REDISTRIBUICAO"));
    EXPECT_EQ(server->Requests().size(), 0);

    dialogs.QueueAnswer(ScriptedDialogs::Answer::OK);
    Dispatch([&] { screen->sbtRedistribuirClick(*screen->sbtRedistribuir); });
    NextMessage();
    const auto loads = server->Params("GetDistribuicao");
    ASSERT_EQ(loads.size(), 3);
    EXPECT_EQ(loads[0].at(5).toString(), "S");
    EXPECT_EQ(loads[2].at(5).toString(), "N");
    EXPECT_EQ(server->Count("GetServicos"), 1);
}

TEST_F(ModesTest, EnablingFollowsTheFocusedControl) {
    Open();
    Dispatch([&] { screen->edtCdFilial->SetFocus(); });
    EXPECT_EQ(EnabledCommands(screen), QStringList({"sbtGerar"}));
    EXPECT_TRUE(screen->mnuGerar->Enabled());
    EXPECT_FALSE(screen->mnuRedistribuir->Enabled());

    EnterServiceList();
    EXPECT_EQ(EnabledCommands(screen), QStringList({"sbtAlterar", "sbtVerificar", "sbtRedistribuir",
                                                    "sbtGerar", "sbtApagar", "dbnPadrao"}));

    Dispatch([&] { screen->dbgEmbalagens->SetFocus(); });
    EXPECT_EQ(EnabledCommands(screen),
              QStringList({"sbtIncluir", "sbtExcluir", "sbtAlterar", "sbtVerificar",
                           "sbtRedistribuir", "sbtGerar", "sbtApagar", "btnAddPrat", "btnAddTPrat",
                           "btnDelPrat", "btnDelTPrat", "dbnPadrao"}));

    // No delivery point chosen among several: nothing moves, nothing is redone.
    Dispatch([&] { screen->cmbPontosEntrega->UserSelect(0); });
    Dispatch([&] { screen->dbgEmbalagens->SetFocus(); });
    EXPECT_FALSE(screen->btnAddPrat->Enabled());
    EXPECT_FALSE(screen->sbtIncluir->Enabled());
    EXPECT_FALSE(screen->sbtRedistribuir->Enabled());
    EXPECT_TRUE(screen->sbtApagar->Enabled());
}

TEST_F(ModesTest, ChangeModeLocksTheContextUntilCancelled) {
    Serve(StandardFixture(), "0001", true);
    Open();
    EnterServiceList();
    Dispatch([&] { screen->dbgCardapio->SetFocus(); });
    Dispatch([&] { screen->sbtAlterar->Click(); });

    EXPECT_EQ(screen->cdsDistCard->State(), TDataSetState::Edit);
    EXPECT_TRUE(screen->sbtConfirmar->Enabled());
    EXPECT_TRUE(screen->mnuConfirmar->Enabled());
    EXPECT_FALSE(screen->sbtVerificar->Enabled());
    EXPECT_FALSE(screen->sbtGerar->Enabled());
    EXPECT_FALSE(screen->mnuApagar->Enabled());
    EXPECT_FALSE(screen->panFilial->Enabled());
    EXPECT_FALSE(screen->cmbPontosEntrega->Enabled());
    EXPECT_FALSE(screen->dbgPadrao->Enabled());
    EXPECT_FALSE(screen->dbnPadrao->Enabled());

    server->Reset();
    dialogs.QueueAnswer(ScriptedDialogs::Answer::No);
    Dispatch([&] { screen->sbtCancelar->Click(); });
    EXPECT_EQ(NextMessage(), "Cancela alteração na distribuição?");
    EXPECT_EQ(screen->cdsDistCard->State(), TDataSetState::Edit);

    dialogs.QueueAnswer(ScriptedDialogs::Answer::Yes);
    Dispatch([&] { screen->sbtCancelar->Click(); });
    NextMessage();
    EXPECT_EQ(screen->cdsDistCard->State(), TDataSetState::Browse);
    EXPECT_EQ(server->Count("GetDistribuicao"), 1);
    EXPECT_TRUE(screen->panFilial->Enabled());
    EXPECT_TRUE(screen->cmbPontosEntrega->Enabled());
    // The branch lock and the name display survive every pass.
    EXPECT_FALSE(screen->edtCdFilial->Enabled());
    EXPECT_FALSE(screen->btnFilial->Enabled());
    EXPECT_FALSE(screen->edtNmFilial->Enabled());
}

TEST_F(ModesTest, ChangeModeInThePackagingArea) {
    Open();
    EnterServiceList();
    Dispatch([&] { screen->dbgEmbalagens->SetFocus(); });
    Dispatch([&] { screen->sbtAlterar->Click(); }); // edits the packaging: change mode
    ASSERT_EQ(screen->cdsDistCard->State(), TDataSetState::Edit);
    screen->cdsEmbDistCard->Cancel(); // the row typing ends, change mode stays

    EXPECT_EQ(EnabledCommands(screen),
              QStringList({"sbtIncluir", "sbtExcluir", "sbtAlterar", "sbtConfirmar", "sbtCancelar",
                           "btnAddPrat", "btnAddTPrat", "btnDelPrat", "btnDelTPrat"}));
    // The label remark allows no record action.
    Dispatch([&] { screen->dbmObservacaoEtiqueta->SetFocus(); });
    EXPECT_EQ(EnabledCommands(screen), QStringList({"sbtConfirmar", "sbtCancelar", "btnAddPrat",
                                                    "btnAddTPrat", "btnDelPrat", "btnDelTPrat"}));
    for (TMenuItem* m : {screen->mnuIncluir, screen->mnuAlterar, screen->mnuVerificar,
                         screen->mnuRedistribuir, screen->mnuGerar, screen->mnuApagar})
        EXPECT_FALSE(m->Enabled()) << m->Name().toStdString();
    EXPECT_TRUE(screen->mnuConfirmar->Enabled());
    // A disabled command's shortcut does nothing.
    server->Reset();
    screen->DeliverKey('R', ssCtrl);
    EXPECT_EQ(dialogs.UncheckedCount(), 0);
    EXPECT_EQ(server->Requests().size(), 0);
}

TEST_F(ModesTest, OpeningOffersWhatTheTableGivesWithoutADistribution) {
    Open();
    EXPECT_EQ(EnabledCommands(screen), QStringList({"sbtGerar"}));
    for (TMenuItem* m :
         {screen->mnuIncluir, screen->mnuAlterar, screen->mnuExcluir, screen->mnuVerificar,
          screen->mnuConfirmar, screen->mnuCancelar, screen->mnuRedistribuir, screen->mnuApagar})
        EXPECT_FALSE(m->Enabled()) << m->Name().toStdString();
    EXPECT_TRUE(screen->mnuGerar->Enabled());
}

TEST_F(ModesTest, ChangeModeLocksTheWaysOutWhateverHasTheFocus) {
    Open();
    EnterServiceList();
    const auto state = [&] { return screen->cdsDistCard->State(); };
    // Two controls the table does not name (the branch lookup button is a speed button here:
    // it takes no focus, a click on it leaves the focus where it was).
    for (TWinControl* focus :
         std::initializer_list<TWinControl*>{screen->depCardapio, screen->dbnPadrao}) {
        SCOPED_TRACE(focus->Name().toStdString());
        Dispatch([&] { screen->dbgEmbalagens->SetFocus(); });
        Dispatch([&] { focus->SetFocus(); });
        ASSERT_TRUE(Dispatch([&] { screen->sbtAlterar->UserClick(); }));
        ASSERT_EQ(state(), TDataSetState::Edit);
        EXPECT_EQ(
            EnabledCommands(screen),
            QStringList({"sbtIncluir", "sbtExcluir", "sbtAlterar", "sbtConfirmar", "sbtCancelar",
                         "btnAddPrat", "btnAddTPrat", "btnDelPrat", "btnDelTPrat"}));
        for (TControl* c : std::initializer_list<TControl*>{
                 screen->depCardapio, screen->edtCdFilial, screen->btnFilial, screen->dbgPadrao,
                 screen->cmbFiltroGrupo, screen->cmbPontosEntrega, screen->dbnPadrao})
            EXPECT_FALSE(c->Enabled()) << c->Name().toStdString();

        // Closing the window asks; No keeps it open with the change.
        dialogs.QueueAnswer(ScriptedDialogs::Answer::No);
        EXPECT_FALSE(Dispatch([&] { screen->sbtFechar->UserClick(); }));
        EXPECT_EQ(NextMessage(), "Cancela alteração na distribuição?");
        EXPECT_TRUE(screen->Showing());
        EXPECT_EQ(state(), TDataSetState::Edit);

        // The pass that sees the change end gives back what the lock took.
        dialogs.QueueAnswer(ScriptedDialogs::Answer::Yes);
        EXPECT_TRUE(Dispatch([&] { screen->sbtCancelar->UserClick(); }));
        NextMessage();
        EXPECT_EQ(state(), TDataSetState::Browse);
        EXPECT_TRUE(screen->depCardapio->Enabled());
        EXPECT_TRUE(screen->dbgPadrao->Enabled());
        EXPECT_FALSE(screen->sbtConfirmar->Enabled());
    }

    // From the service list, whose own commands the table leaves on, they ask first.
    EnterServiceList();
    ASSERT_TRUE(Dispatch([&] { screen->sbtAlterar->UserClick(); }));
    EXPECT_TRUE(screen->sbtConfirmar->Enabled());
    server->Reset();
    dialogs.QueueAnswer(ScriptedDialogs::Answer::No);
    EXPECT_FALSE(Dispatch([&] { screen->sbtVerificar->UserClick(); }));
    EXPECT_EQ(NextMessage(), "Cancela alteração na distribuição?");
    EXPECT_EQ(server->Requests().size(), 0);
    EXPECT_EQ(state(), TDataSetState::Edit);
}

TEST_F(ModesTest, ServiceWithoutDeliveryPointsCountsAsChosen) {
    QByteArray fixture = StandardFixture();
    fixture.replace(R"(["Hospital São Lucas Unidade Centro", "Portaria", "001", "12345"],
                 [null, "Cozinha", "002", "777"])",
                    "");
    Serve(fixture);
    Open();
    EnterServiceList();
    EXPECT_EQ(screen->cmbPontosEntrega->Items(), QStringList({""}));
    EXPECT_EQ(screen->cmbPontosEntrega->ItemIndex(), 0);
    Dispatch([&] { screen->dbgCardapio->SetFocus(); });
    EXPECT_TRUE(screen->btnAddPrat->Enabled());
    EXPECT_TRUE(screen->sbtRedistribuir->Enabled());
}

TEST_F(ModesTest, QuantityPerPersonIsEditableOnlyForDishesInNoPackaging) {
    Open();
    EnterServiceList();
    // Arroz (dish 1) lies in packaging 11, which is not the current one.
    Dispatch([&] { screen->dbgCardapio->SetFocus(); });
    EXPECT_FALSE(screen->dbeQtPorPessoa->Enabled());
    Dispatch([&] { screen->dbgEmbalagens->SetFocus(); });
    screen->cdsCardapioDisponivel->Next(); // Salada, in no packaging
    Dispatch([&] { screen->dbgCardapio->SetFocus(); });
    EXPECT_TRUE(screen->dbeQtPorPessoa->Enabled());
}

} // namespace
} // namespace pla::test
