#include "framework/ui/Colors.h"
#include "framework/ui/TBtnPesquisa.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TColumn.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TImage.h"
#include "framework/ui/TLabel.h"
#include "framework/ui/TMainMenu.h"
#include "framework/ui/TMenuItem.h"
#include "framework/ui/TMessages.h"
#include "framework/ui/TPanel.h"
#include "tests/distribution/ScreenFixture.h"

#include <algorithm>

namespace pla::test {
namespace {

class LayoutTest : public ::testing::Test {
protected:
    ScriptedDialogs& dialogs = TestEnvironment::Install();
    TfrmDistEmbCard screen;
};

TEST_F(LayoutTest, WindowAndRegions) {
    EXPECT_EQ(screen.Caption(), "Distribuição do Cardápio");
    EXPECT_EQ(screen.lblCodTela->Caption(), "PLA15400");
    EXPECT_EQ(screen.BoundsRect(), QRect(29, 125, 1239, 626));
    EXPECT_EQ(screen.FormStyle(), TFormStyle::fsMDIChild);
    EXPECT_EQ(screen.panFilial->Height(), 34);
    EXPECT_EQ(screen.panDbgPadrao->Width(), 269);
    EXPECT_EQ(screen.panCardapio->Width(), 483);
    EXPECT_EQ(screen.panEmbDistr->Height(), 190);
    EXPECT_EQ(screen.edtCdFilial->Width(), 67);
    EXPECT_EQ(screen.edtNmFilial->Width(), 343);
    EXPECT_EQ(screen.depCardapio->Width(), 106);
    // The branch panel lies above the service list, which lies left of the distribution.
    EXPECT_LT(screen.panFilial->Top(), screen.panDbgPadrao->Top());
    EXPECT_FALSE(screen.edtNmFilial->Enabled());
    EXPECT_EQ(screen.edtNmFilial->Color(), clBtnFace);
    for (const char* name :
         {"edtCdFilial", "depCardapio", "cmbFiltroGrupo", "cmbPontosEntrega", "dbeQtPorPessoa",
          "dbmObservacaoEtiqueta", "dbgCardapio", "dbgEmbalagens", "dbgPratosEmb"})
        EXPECT_EQ(screen.Find<TControl>(name)->Color(), clInfoBk) << name;
    for (const char* name : {"lblFilial", "lblData", "panTServico", "panTDistribuicao"})
        EXPECT_TRUE(screen.Find<TControl>(name)->Font().Bold) << name;
    EXPECT_EQ(screen.btnFilial->Hint(), "Pesquisar filial");
}

TEST_F(LayoutTest, ToolButtonsAndMenuItemsInOrderWithShortcuts) {
    std::vector<TControl*> tools = {screen.sbtGerar,    screen.sbtRedistribuir, screen.sbtApagar,
                                    screen.sbtImprimir, screen.sbtAjuda,        screen.sbtFechar};
    for (size_t i = 1; i < tools.size(); ++i)
        EXPECT_LT(tools[i - 1]->Left(), tools[i]->Left()) << tools[i]->Name().toStdString();
    EXPECT_EQ(screen.sbtGerar->Hint(), "Distribuição da Filial");
    EXPECT_EQ(screen.sbtRedistribuir->Hint(), "Distribuir / Redistribuir");
    EXPECT_EQ(screen.sbtApagar->Hint(), "Apagar Distribuição");
    EXPECT_EQ(screen.sbtGerar->Width(), 21);

    const auto& items = screen.mnuManutencao->Items();
    const int n = static_cast<int>(items.size());
    ASSERT_GE(n, 5);
    EXPECT_EQ(items[n - 5], screen.mnuGerar);
    EXPECT_EQ(items[n - 4], screen.mnuRedistribuir);
    EXPECT_EQ(items[n - 3], screen.mnuApagar);
    EXPECT_EQ(items[n - 2], screen.mnuCopiar);
    EXPECT_EQ(items[n - 1], screen.mnuReimprimir);
    EXPECT_EQ(screen.mnuGerar->ShortCut().ToText(), "Ctrl+G");
    EXPECT_EQ(screen.mnuRedistribuir->ShortCut().ToText(), "Ctrl+R");
    EXPECT_EQ(screen.mnuApagar->ShortCut().ToText(), "Ctrl+A");
    EXPECT_EQ(screen.mnuCopiar->ShortCut().ToText(), "Ctrl+D");
    EXPECT_EQ(screen.mnuReimprimir->ShortCut().ToText(), "Ctrl+E");
    for (TMenuItem* m :
         {screen.mnuGerar, screen.mnuRedistribuir, screen.mnuApagar, screen.mnuCopiar})
        EXPECT_FALSE(m->Enabled()) << m->Name().toStdString();
    for (TControl* b :
         {static_cast<TControl*>(screen.sbtGerar), static_cast<TControl*>(screen.sbtRedistribuir),
          static_cast<TControl*>(screen.sbtApagar)})
        EXPECT_FALSE(b->Enabled());
    // A disabled item's shortcut does nothing.
    EXPECT_FALSE(screen.mnuMenu->DispatchShortCut('R', ssCtrl));
}

TEST_F(LayoutTest, HiddenPicturesAreSixteenColourGlyphsOnOlive) {
    struct Expect {
        TImage* image;
        int size;
    };
    for (const Expect& e : {Expect{screen.imgFarolVerde, 17}, Expect{screen.imgFarolCinza, 17},
                            Expect{screen.imgFarolVermelho, 17}, Expect{screen.imgChecked, 16},
                            Expect{screen.imgUnchecked, 16}}) {
        const QImage& p = e.image->Picture();
        EXPECT_FALSE(e.image->Visible());
        EXPECT_EQ(p.size(), QSize(e.size, e.size));
        EXPECT_LE(p.colorCount(), 16);
        EXPECT_EQ(QColor(p.pixel(0, 0)), QColor(128, 128, 0));
    }
    EXPECT_NE(screen.imgChecked->Picture(), screen.imgUnchecked->Picture());
    EXPECT_NE(screen.imgFarolVerde->Picture(), screen.imgFarolVermelho->Picture());
}

TEST_F(LayoutTest, MessageCatalogueHoldsEveryText) {
    EXPECT_EQ(screen.msgPadrao->Lines().size(), 27);
    EXPECT_EQ(screen.msgPadrao->Msg("FILIAL_N_CAD"), "Filial informada não cadastrada.");
    EXPECT_EQ(screen.msgPadrao->Msg("DTCARDAPIO_N_INF"), "Data do cardápio deve ser informada");
    EXPECT_EQ(screen.msgPadrao->Msg("ERRO_PRAT_CARD_ALT"),
              "Informações do cardápio foram alteradas invalidando a distribuição atual. Para "
              "corrigir refaça a distribuição através do botão \"Redistribuir cardápio\".");
    EXPECT_EQ(screen.msgPadrao->Msg("EXISTE_IT_EMBCOL"),
              "Apenas um item pode ser associado a embalagens coletivas.");
    EXPECT_EQ(screen.msgPadrao->Msg("SERV_N_INF"), "Serviço deve ser informado");
}

TEST_F(LayoutTest, DataSetsCarryTheirFieldsFormatsAndBindings) {
    const TClientDataSet& services = *screen.cdsServicos;
    EXPECT_FALSE(services.FieldByName("CDGRUPSERV").Visible);
    EXPECT_EQ(services.FieldByName("CDSERVFILI").DisplayLabel, "Código");
    EXPECT_EQ(services.FieldByName("SERVICO").FieldKind(), TFieldKind::Calculated);
    EXPECT_EQ(services.FieldByName("NMSERVICO").Size(), 40);
    EXPECT_EQ(screen.dtsPadrao()->DataSet(), screen.cdsServicos.get());

    EXPECT_EQ(screen.cdsCardapioDisponivel->IndexFieldNames(), "NRORDPRATCAR");
    EXPECT_EQ(screen.cdsCardapioDisponivel->FieldByName("QTPRATO").DisplayFormat, "##0.00000;0; ");
    EXPECT_EQ(screen.cdsEmbDistCard->FieldByName("QTMEDIA").FieldKind(), TFieldKind::Calculated);
    EXPECT_EQ(screen.cdsEmbDistCard->FieldByName("DSOBSETIQUETA").Size(), 250);
    EXPECT_EQ(screen.cdsDistCard->FieldByName("CDCLIENTE").Size(), 21);
    EXPECT_EQ(screen.cdsItEmbDistCard->FieldCount(), 10);
    EXPECT_EQ(screen.cdsVdEmbalagens->FieldCount(), 3);

    const TField& branchCode = screen.qryFilial->FieldByName("CDFILIAL");
    EXPECT_TRUE(branchCode.Required);
    EXPECT_EQ(branchCode.DisplayWidth, 6);
    EXPECT_EQ(branchCode.EditMask, ">aaaa;0; ");
    EXPECT_FALSE(screen.qryFilial->FieldByName("IDCNTRRESC").Visible);
    EXPECT_TRUE(screen.qryFilial->SQL.contains(":P_TCDFILIAL = 'T'"));

    // Grid columns: field, width and title.
    EXPECT_EQ(screen.dbgPadrao->ColumnCount(), 2);
    EXPECT_EQ(screen.dbgPadrao->Column(1).Width(), 25);
    EXPECT_FALSE(screen.dbgPadrao->HasOption(dgTitles));
    EXPECT_EQ(screen.dbgEmbalagens->Column(0).ButtonStyle(), TColumnButtonStyle::cbsEllipsis);
    EXPECT_EQ(screen.dbgEmbalagens->Column(4).Title(), "Prato / Unidade");
    EXPECT_EQ(screen.dbgPratosEmb->Column(5).Title(), "Principal");
    EXPECT_EQ(screen.dbgCardapio->Column(3).Width(), 29);
}

} // namespace
} // namespace pla::test
