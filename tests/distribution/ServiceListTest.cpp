#include "framework/services/Showavi.h"
#include "framework/ui/Dispatch.h"
#include "framework/ui/TBtnPesquisa.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TLabel.h"
#include "tests/distribution/ScreenFixture.h"

#include <QPainter>

namespace pla::test {
namespace {

using ServiceListTest = ScreenTest;

QString CurrentService(TfrmDistEmbCard* s) {
    return s->cdsServicos->FieldByName("CDSERVFILI").AsString();
}

TEST_F(ServiceListTest, LeavingTheBranchPanelLoadsServicesWithExactCalls) {
    Open();
    EXPECT_EQ(screen->ActiveControl(), screen->depCardapio);
    EnterServiceList();

    EXPECT_EQ(server->Count("GetServicos"), 1);
    EXPECT_EQ(server->Count("GetPontosEntrega"), 1);
    EXPECT_EQ(server->Count("GetDistribuicao"), 2);
    EXPECT_EQ(server->Requests().size(), 4);
    EXPECT_EQ(screen->cdsServicos->RecordCount(), 3);
    EXPECT_EQ(screen->cdsServicos->FieldByName("SERVICO").AsString(), "00010 - Almoço");

    // Client names are cut to 25 characters; a point without one shows its destination.
    EXPECT_EQ(screen->cmbPontosEntrega->Items(),
              QStringList({"", "Hospital São Lucas Unidad  Portaria", "Cozinha"}));
    EXPECT_EQ(screen->DeliveryPointKeys(), QStringList({"", "001_12345", "002_777"}));
    EXPECT_EQ(screen->cmbPontosEntrega->ItemIndex(), 1);
    EXPECT_EQ(server->Params("GetDistribuicao").last(),
              QJsonArray({"0001", "00010", "2026-12-08", "12345", "001", "N"}));
    EXPECT_EQ(Showavi::Depth(), 0);
    EXPECT_EQ(dialogs.UncheckedCount(), 0);
}

TEST_F(ServiceListTest, GroupFilterMatchesCodesWithQuotesExactly) {
    Open();
    EnterServiceList();
    server->Reset();

    ASSERT_TRUE(screen->cmbFiltroGrupo->UserSelect(2)); // "Escolas", code A'1
    EXPECT_EQ(screen->cdsServicos->RecordCount(), 1);
    EXPECT_EQ(CurrentService(screen), "00020");
    EXPECT_EQ(server->Count("GetPontosEntrega"), 1);
    EXPECT_EQ(server->Count("GetDistribuicao"), 1);
    EXPECT_EQ(server->Requests().size(), 2);

    ASSERT_TRUE(screen->cmbFiltroGrupo->UserSelect(0));
    EXPECT_EQ(screen->cdsServicos->RecordCount(), 3);
}

TEST_F(ServiceListTest, ReloadKeepsServiceAndDeliveryPoint) {
    Open();
    EnterServiceList();
    screen->dbgPadrao->UserSelectRow(1);
    ASSERT_EQ(CurrentService(screen), "00020");
    ASSERT_TRUE(screen->cmbPontosEntrega->UserSelect(2));
    server->Reset();

    Dispatch([&] { screen->sbtVerificar->Click(); });

    EXPECT_EQ(CurrentService(screen), "00020");
    EXPECT_EQ(screen->cmbPontosEntrega->ItemIndex(), 2);
    EXPECT_EQ(server->Count("GetServicos"), 1);
    EXPECT_EQ(server->Count("GetPontosEntrega"), 1);
    ASSERT_EQ(server->Count("GetDistribuicao"), 2);
    // The last load is the one of the delivery point the user had chosen.
    EXPECT_EQ(server->Params("GetDistribuicao").last(),
              QJsonArray({"0001", "00020", "2026-12-08", "777", "002", "N"}));
}

TEST_F(ServiceListTest, FailedReloadLeavesEventsAttachedAndNoAnimation) {
    Open();
    EnterServiceList();
    const int port = server->Port();
    server.reset();

    Dispatch([&] { screen->sbtVerificar->Click(); });
    // The refused list, then the delivery points of the service still current, which the
    // reload asks for in any case.
    EXPECT_TRUE(NextMessage().contains(QString::number(port)));
    EXPECT_TRUE(NextMessage().contains(QString::number(port)));
    EXPECT_EQ(screen->cdsServicos->RecordCount(), 3);
    EXPECT_EQ(Showavi::Depth(), 0);
    EXPECT_TRUE(static_cast<bool>(screen->cdsServicos->AfterScroll));
    EXPECT_TRUE(static_cast<bool>(screen->cmbPontosEntrega->OnChange));

    // Back up, the screen works again.
    server = std::make_unique<LoopbackServer>(StandardFixture());
    server->Start(port);
    Dispatch([&] { screen->dbgPadrao->UserSelectRow(1); });
    EXPECT_EQ(CurrentService(screen), "00020");
    EXPECT_EQ(server->Count("GetPontosEntrega"), 1);
    EXPECT_EQ(server->Count("GetDistribuicao"), 1);
    EXPECT_EQ(dialogs.UncheckedCount(), 0);
}

TEST_F(ServiceListTest, EmptyServiceListAsksForNothingMore) {
    Open();
    screen->depCardapio->SetText("09/12/2026");
    EnterServiceList();
    EXPECT_EQ(server->Count("GetServicos"), 1);
    EXPECT_EQ(server->Count("GetPontosEntrega"), 0);
    EXPECT_EQ(server->Count("GetDistribuicao"), 0);
    EXPECT_TRUE(screen->cdsServicos->IsEmpty());
}

TEST_F(ServiceListTest, BranchOrDateChangeEmptiesEverything) {
    Open();
    EnterServiceList();
    ASSERT_FALSE(screen->cdsDistCard->IsEmpty());

    screen->depCardapio->SetText("");
    EXPECT_TRUE(screen->cdsServicos->IsEmpty());
    EXPECT_EQ(screen->cmbPontosEntrega->Count(), 0);
    EXPECT_TRUE(screen->cdsDistCard->IsEmpty());
    EXPECT_TRUE(screen->cdsItEmbDistCard->IsEmpty());

    // Leaving the panel with no date is refused with the focus on the date.
    Dispatch([&] { screen->depCardapio->SetFocus(); });
    Dispatch([&] { screen->dbgPadrao->SetFocus(); });
    EXPECT_EQ(NextMessage(), "Data do cardápio deve ser informada");
    EXPECT_EQ(screen->ActiveControl(), screen->depCardapio);
}

TEST_F(ServiceListTest, EmptyCodeIsAcceptedOnTheFieldButNotOnThePanel) {
    Open();
    Dispatch([&] { screen->edtCdFilial->SetFocus(); });
    screen->edtCdFilial->UserClear();
    Dispatch([&] { screen->depCardapio->SetFocus(); });
    EXPECT_EQ(dialogs.UncheckedCount(), 0);
    EXPECT_EQ(screen->edtNmFilial->Text(), "");

    Dispatch([&] { screen->dbgPadrao->SetFocus(); });
    EXPECT_EQ(NextMessage(), "Filial deve ser informada.");
    EXPECT_EQ(screen->ActiveControl(), screen->edtCdFilial);
}

TEST_F(ServiceListTest, LookupWritesThePickedCodeAndCancelChangesNothing) {
    Open();
    dialogs.QueuePickNone();
    Dispatch([&] { screen->btnFilial->Click(); });
    EXPECT_EQ(screen->edtCdFilial->Text(), "0001");
    EXPECT_EQ(screen->edtNmFilial->Text(), "Cozinha Central");
    EXPECT_EQ(dialogs.PickCaptions().last(), "Filial|Não há filial cadastrada.");

    dialogs.QueuePick(2);
    Dispatch([&] { screen->btnFilial->Click(); });
    EXPECT_EQ(screen->edtCdFilial->Text(), "0002");
    // The name waits for the next validation.
    EXPECT_EQ(screen->edtNmFilial->Text(), "");
    EXPECT_EQ(dialogs.UncheckedCount(), 0);
}

TEST_F(ServiceListTest, TypedCodeIsUpperCaseAndFourCharactersLong) {
    Open();
    Dispatch([&] { screen->edtCdFilial->SetFocus(); });
    screen->edtCdFilial->UserClear();
    for (QChar c : QStringLiteral("ab12x"))
        screen->DeliverChar(c);
    EXPECT_EQ(screen->edtCdFilial->Text(), "AB12");
    Dispatch([&] { screen->depCardapio->SetFocus(); });
    EXPECT_EQ(NextMessage(), "Filial informada não cadastrada.");
    EXPECT_EQ(screen->ActiveControl(), screen->edtCdFilial);
    EXPECT_TRUE(screen->cdsServicos->IsEmpty());
    // The wrong code is selected: the next one typed replaces it.
    screen->DeliverChar(QLatin1Char('2'));
    EXPECT_EQ(screen->edtCdFilial->Text(), "2");
}

TEST_F(ServiceListTest, StatusColumnIsNeverEditable) {
    Open();
    EnterServiceList();
    screen->dbgPadrao->UserSelectColumn("IDSITUACAO");
    EXPECT_FALSE(screen->dbgPadrao->HasOption(dgEditing));
    screen->dbgPadrao->UserSelectColumn("SERVICO");
    EXPECT_TRUE(screen->dbgPadrao->HasOption(dgEditing));
}

TEST_F(ServiceListTest, WeekDayLabelFollowsTheDate) {
    Open();
    screen->depCardapio->SetText("06/12/2026"); // a Sunday
    EXPECT_EQ(screen->lblDiaDaSemanaCard->Caption(), "Domingo");
    screen->depCardapio->SetText("12/12/2026");
    EXPECT_EQ(screen->lblDiaDaSemanaCard->Caption(), "Sábado");
}

TEST_F(ServiceListTest, StatusLightsAreDrawnByStatus) {
    Open();
    EnterServiceList();
    TDBGrid& grid = *screen->dbgPadrao;
    QImage image(grid.Width() > 0 ? grid.Width() : 260, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    grid.PaintTo(image);

    const QColor expected[] = {QColor(192, 192, 192), QColor(255, 0, 0), QColor(0, 255, 0)};
    for (int row = 0; row < 3; ++row) {
        const QRect cell = grid.CellRect(row, 1);
        const QPoint centre(cell.left() + (cell.width() - 17) / 2 + 8, cell.top() + 8);
        EXPECT_EQ(QColor(image.pixel(centre)), expected[row]) << "row " << row;
    }
}

TEST_F(ServiceListTest, ServiceListCannotBeEditedFromTheKeyboard) {
    Open();
    EnterServiceList();
    screen->DeliverKey(VK_DELETE, ssCtrl);
    screen->DeliverKey(VK_BACK);
    screen->DeliverChar(QChar('x'));
    EXPECT_EQ(screen->cdsServicos->RecordCount(), 3);
    EXPECT_EQ(screen->cdsServicos->State(), TDataSetState::Browse);
    EXPECT_EQ(dialogs.UncheckedCount(), 0);
}

} // namespace
} // namespace pla::test
