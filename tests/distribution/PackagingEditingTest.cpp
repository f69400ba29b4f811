#include "dish_dialog/DadosPrato.h"
#include "framework/ui/Colors.h"
#include "framework/ui/Dispatch.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TColumn.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDBEdit.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TDBMemo.h"
#include "framework/ui/TSpeedButton.h"
#include "tests/distribution/PackagingFixture.h"

#include <QImage>
#include <QPainter>

namespace pla::test {
namespace {

using PackagingRecordsTest = PackagingTest;
using UndistributedTest = PackagingTest;
using DishRowsTest = PackagingTest;

QString Field(TClientDataSet& ds, const char* name) {
    return ds.FieldByName(name).AsString();
}

// ---- packaging records -------------------------------------------------------------------

TEST_F(PackagingRecordsTest, TypedCodeIsNormalisedCheckedAndItsUnitsResetOnPost) {
    TClientDataSet& pk = *screen->cdsEmbDistCard;
    Click(screen->sbtIncluir);
    ASSERT_EQ(pk.State(), TDataSetState::Insert);
    EXPECT_EQ(pk.FieldByName("NREMBDISTCARD").AsFloat(), -3);
    EXPECT_EQ(screen->cdsDistCard->State(), TDataSetState::Edit);
    EXPECT_TRUE(screen->dbgEmbalagens->HasEditButton());

    TypeInGrid(screen->dbgEmbalagens, "CDCONTAINER", " 7");
    Dispatch([&] { screen->dbgEmbalagens->UserSelectColumn("QTCONTAINER"); });
    EXPECT_EQ(Field(pk, "CDCONTAINER"), "00007");
    EXPECT_EQ(Field(pk, "NMCONTAINER"), "Caixa térmica");
    EXPECT_EQ(pk.FieldByName("IDPROPOSITO").DisplayText(), "Coletiva");
    EXPECT_EQ(pk.FieldByName("QTCONTAINER").AsFloat(), 0);
    EXPECT_EQ(server->Params("GetVdEmbalagens"), QVector<QJsonArray>({QJsonArray{"00007"}}));

    // Units typed while inserting a collective packaging give way to its default on post,
    // and the clerk is told why.
    TypeInGrid(screen->dbgEmbalagens, "QTCONTAINER", "7");
    Focus(screen->dbgCardapio);
    EXPECT_TRUE(NextMessage().contains("As 7 unidades digitadas deram lugar a 0"));
    EXPECT_EQ(pk.State(), TDataSetState::Browse);
    EXPECT_EQ(pk.FieldByName("QTCONTAINER").AsFloat(), 0);
    EXPECT_EQ(server->Count("GetVdEmbalagens"), 2); // checked again before the post
    EXPECT_TRUE(pk.FieldByName("QTMEDIA").DisplayText().trimmed().isEmpty());

    // Once stored, the units are the user's.
    Focus(screen->dbgEmbalagens);
    TypeInGrid(screen->dbgEmbalagens, "QTCONTAINER", "7");
    Focus(screen->dbgCardapio);
    EXPECT_EQ(pk.FieldByName("QTCONTAINER").AsFloat(), 7);
    EXPECT_EQ(server->Count("GetVdEmbalagens"), 2);
    EXPECT_EQ(dialogs.UncheckedCount(), 0);
}

TEST_F(PackagingRecordsTest, UnknownOrMissingCodesAreRefusedAndCancellingAlwaysWorks) {
    TClientDataSet& pk = *screen->cdsEmbDistCard;
    Click(screen->sbtIncluir);
    TypeInGrid(screen->dbgEmbalagens, "CDCONTAINER", "zz");
    Dispatch([&] { screen->dbgEmbalagens->UserSelectColumn("QTCONTAINER"); });
    EXPECT_EQ(NextMessage(), "Embalagem informada não cadastrada");
    EXPECT_EQ(screen->ActiveControl(), screen->dbgEmbalagens);
    EXPECT_EQ(screen->dbgEmbalagens->SelectedField()->FieldName(), "CDCONTAINER");
    EXPECT_EQ(Field(pk, "CDCONTAINER"), "ZZ");
    EXPECT_TRUE(pk.FieldByName("NMCONTAINER").IsNull());
    EXPECT_EQ(pk.State(), TDataSetState::Insert);
    // A post is refused too, and leaving the panel does not leave the packaging behind.
    Focus(screen->dbgCardapio);
    EXPECT_EQ(NextMessage(), "Embalagem informada não cadastrada");
    EXPECT_EQ(screen->ActiveControl(), screen->dbgEmbalagens);
    Click(screen->sbtCancelar);
    EXPECT_EQ(pk.State(), TDataSetState::Browse);
    EXPECT_EQ(pk.RecordCount(), 2);

    // An empty code passes the column but not the post.
    Click(screen->sbtIncluir);
    EXPECT_EQ(pk.FieldByName("NREMBDISTCARD").AsFloat(), -4);
    Dispatch([&] { screen->dbgEmbalagens->UserSelectColumn("QTCONTAINER"); });
    EXPECT_EQ(dialogs.UncheckedCount(), 0);
    Focus(screen->dbgCardapio);
    EXPECT_EQ(NextMessage(), "Embalagem deve ser informada");
    EXPECT_EQ(pk.State(), TDataSetState::Insert);
    Click(screen->sbtCancelar);

    // Numbers of cancelled packagings are not reused.
    Click(screen->sbtIncluir);
    EXPECT_EQ(pk.FieldByName("NREMBDISTCARD").AsFloat(), -5);
    TypeInGrid(screen->dbgEmbalagens, "CDCONTAINER", "12");
    Focus(screen->dbgCardapio);
    EXPECT_EQ(Field(pk, "CDCONTAINER"), "00012");
    EXPECT_EQ(pk.State(), TDataSetState::Browse);
    EXPECT_EQ(dialogs.UncheckedCount(), 0);
}

TEST_F(PackagingRecordsTest, LookupPicksAContainerAndStartsAPackagingOnAnEmptyList) {
    TClientDataSet& pk = *screen->cdsEmbDistCard;
    Click(screen->sbtIncluir);
    dialogs.QueuePick(1);
    EXPECT_TRUE(Dispatch([&] { screen->dbgEmbalagens->UserClickEditButton(); }));
    EXPECT_EQ(dialogs.PickCaptions().last(), "Embalagens|Não há embalagens cadastradas.");
    EXPECT_EQ(Field(pk, "CDCONTAINER"), "00001");
    EXPECT_EQ(pk.FieldByName("IDPROPOSITO").DisplayText(), "Individual");
    EXPECT_EQ(pk.FieldByName("QTCONTAINER").AsFloat(), 40); // one per diner
    EXPECT_EQ(server->Params("GetVdEmbalagens").value(0), QJsonArray({"T"}));
    Focus(screen->dbgCardapio);
    EXPECT_EQ(pk.State(), TDataSetState::Browse);

    // A stored packaging offers no lookup and takes no code.
    Focus(screen->dbgEmbalagens);
    GoToPackaging(101);
    EXPECT_FALSE(screen->dbgEmbalagens->HasEditButton());
    server->Reset();
    Dispatch([&] { screen->dbgEmbalagensEditButtonClick(*screen->dbgEmbalagens); });
    EXPECT_EQ(server->Count("GetVdEmbalagens"), 0);

    // With no packaging left the button starts one.
    for (int i = 0; i < 3; ++i)
        Click(screen->sbtExcluir);
    ASSERT_TRUE(pk.IsEmpty());
    EXPECT_TRUE(screen->dbgEmbalagens->HasEditButton());
    dialogs.QueuePick(2);
    Dispatch([&] { screen->dbgEmbalagens->UserClickEditButton(); });
    EXPECT_EQ(pk.State(), TDataSetState::Insert);
    EXPECT_EQ(pk.FieldByName("NREMBDISTCARD").AsFloat(), -4);
    EXPECT_EQ(Field(pk, "CDCONTAINER"), "00007");
    EXPECT_EQ(pk.FieldByName("QTCONTAINER").AsFloat(), 0);
}

TEST_F(PackagingRecordsTest, KeyRulesOfAStoredPackaging) {
    TClientDataSet& pk = *screen->cdsEmbDistCard;
    GoToPackaging(101);
    Dispatch([&] { screen->dbgEmbalagens->UserSelectColumn("CDCONTAINER"); });
    Dispatch([&] { screen->DeliverKey(VK_DELETE); });
    Dispatch([&] { screen->DeliverKey(VK_BACK); });
    TypeInGrid(screen->dbgEmbalagens, "CDCONTAINER", "9");
    TypeInGrid(screen->dbgEmbalagens, "NMCONTAINER", "x");
    TypeInGrid(screen->dbgEmbalagens, "IDPROPOSITO", "C");
    EXPECT_EQ(pk.State(), TDataSetState::Browse);

    // Whole units of five digits at most: no sixth digit, sign, comma or letter.
    TypeInGrid(screen->dbgEmbalagens, "QTCONTAINER", "123456-,a");
    EXPECT_EQ(screen->dbgEmbalagens->EditorText(), "12345");
    Dispatch([&] { screen->DeliverKey(VK_BACK); });
    EXPECT_EQ(screen->dbgEmbalagens->EditorText(), "1234");
    Focus(screen->dbgCardapio);
    EXPECT_EQ(PackagingValue(101, "QTCONTAINER"), 1234);

    // Ctrl+Delete deletes nothing and asks nothing.
    Focus(screen->dbgEmbalagens);
    Dispatch([&] { screen->DeliverKey(VK_DELETE, ssCtrl); });
    EXPECT_EQ(pk.RecordCount(), 2);
    EXPECT_EQ(dialogs.UncheckedCount(), 0);
}

TEST_F(PackagingRecordsTest, NothingIsTypedWhileNoDeliveryPointIsChosen) {
    Dispatch([&] { screen->cmbPontosEntrega->UserSelect(0); });
    ASSERT_EQ(screen->cmbPontosEntrega->Count(), 2);
    Focus(screen->dbgEmbalagens);
    EXPECT_FALSE(screen->sbtIncluir->Enabled());
    Dispatch([&] { screen->sbtIncluirClick(*screen->sbtIncluir); });
    Focus(screen->dbmObservacaoEtiqueta);
    Dispatch([&] { screen->DeliverChar(QLatin1Char('x')); });
    EXPECT_EQ(screen->cdsEmbDistCard->State(), TDataSetState::Browse);
    Focus(screen->dbeQtPorPessoa);
    Dispatch([&] { screen->DeliverChar(QLatin1Char('1')); });
    EXPECT_EQ(screen->cdsCardapioDisponivel->State(), TDataSetState::Browse);
    EXPECT_EQ(screen->cdsDistCard->State(), TDataSetState::Browse);
    EXPECT_EQ(dialogs.UncheckedCount(), 0);
}

TEST_F(PackagingRecordsTest, DeletingAPackagingGivesItsDishesBackFirst) {
    GoToPackaging(101);
    Click(screen->btnAddTPrat);
    ASSERT_EQ(RowCount(101), 3);
    Focus(screen->dbgEmbalagens);
    GoToPackaging(101);
    Click(screen->sbtExcluir);
    EXPECT_EQ(RowCount(101), 0);
    EXPECT_EQ(screen->cdsItEmbDistCard->Data().Rows.size(), 0);
    EXPECT_DOUBLE_EQ(Available(1).quantity, 4.8);
    EXPECT_DOUBLE_EQ(Available(3).extra, 2);
    EXPECT_EQ(screen->cdsEmbDistCard->RecordCount(), 1);
    EXPECT_EQ(screen->cdsDistCard->State(), TDataSetState::Edit);
    EXPECT_EQ(screen->cdsItEmbDistCard->Filter(), "NREMBDISTCARD = 102");
}

// ---- undistributed dishes -----------------------------------------------------------------

TEST_F(UndistributedTest, QuantityPerPersonRecomputesTheDishOnLeaving) {
    GoToDish(3); // 40 of 40 diners, 10 LT, 2 extra
    Focus(screen->dbeQtPorPessoa);
    Dispatch([&] { screen->dbeQtPorPessoa->UserClear(); });
    for (QChar ch : QStringLiteral("a.0,2,-"))
        Dispatch([&] { screen->DeliverChar(ch); });
    EXPECT_EQ(screen->dbeQtPorPessoa->Text(), "0,2");
    EXPECT_EQ(screen->cdsDistCard->State(), TDataSetState::Edit);
    Focus(screen->dbgEmbalagens);
    TClientDataSet& dishes = *screen->cdsCardapioDisponivel;
    EXPECT_EQ(dishes.State(), TDataSetState::Browse);
    EXPECT_DOUBLE_EQ(dishes.FieldByName("QTTOTPRATO").AsFloat(), 8);
    EXPECT_DOUBLE_EQ(dishes.FieldByName("QTPRATO").AsFloat(), 8);
    EXPECT_DOUBLE_EQ(dishes.FieldByName("QTEXTRA").AsFloat(), 2);

    // The amounts a move writes are not recomputed.
    GoToPackaging(101);
    Dialog([](TfrmDadosPrato& f) {
        Retype(f.edtPrato, "1,23457");
        ClickIn(f.sbtConfirma);
    });
    Click(screen->btnAddPrat);
    EXPECT_DOUBLE_EQ(Available(3).quantity, 6.76543);
}

TEST_F(UndistributedTest, ALoneCommaIsRefusedAndTheRowCanStillBeLeftOrCancelled) {
    GoToDish(2);
    Focus(screen->dbeQtPorPessoa);
    Dispatch([&] { screen->dbeQtPorPessoa->UserClear(); });
    Dispatch([&] { screen->DeliverChar(QLatin1Char(',')); });
    Focus(screen->dbgEmbalagens);
    EXPECT_FALSE(NextMessage().isEmpty()); // the number conversion's message
    EXPECT_EQ(screen->ActiveControl(), screen->dbeQtPorPessoa);
    EXPECT_EQ(screen->cdsCardapioDisponivel->State(), TDataSetState::Edit);

    dialogs.QueueAnswer(ScriptedDialogs::Answer::Yes);
    Click(screen->sbtCancelar);
    EXPECT_EQ(NextMessage(), "Cancela alteração na distribuição?");
    EXPECT_EQ(screen->cdsCardapioDisponivel->State(), TDataSetState::Browse);
    EXPECT_EQ(screen->cdsDistCard->State(), TDataSetState::Browse);
    EXPECT_DOUBLE_EQ(screen->cdsCardapioDisponivel->FieldByName("QTPORPESSOA").AsFloat(), 0.12);
}

TEST_F(UndistributedTest, TheListTakesNoKeysAndTheEditFollowsThePackedState) {
    Focus(screen->dbgCardapio);
    GoToDish(2);
    for (QChar ch : QStringLiteral("5x"))
        Dispatch([&] { screen->DeliverChar(ch); });
    for (TShiftState shift : {ssNone, ssCtrl}) {
        Dispatch([&] { screen->DeliverKey(VK_DELETE, shift); });
        Dispatch([&] { screen->DeliverKey(VK_BACK, shift); });
    }
    EXPECT_EQ(screen->cdsCardapioDisponivel->State(), TDataSetState::Browse);
    EXPECT_EQ(screen->cdsCardapioDisponivel->RecordCount(), 4);
    EXPECT_EQ(dialogs.UncheckedCount(), 0);
    EXPECT_FALSE(Dispatch([&] { screen->cdsCardapioDisponivel->Append(); }));

    EXPECT_TRUE(screen->dbeQtPorPessoa->Enabled());
    GoToPackaging(102);
    Dialog([](TfrmDadosPrato& f) {
        Retype(f.edtPrato, "1");
        ClickIn(f.sbtConfirma);
    });
    Click(screen->btnAddPrat);
    GoToDish(1);
    GoToDish(2);
    EXPECT_FALSE(screen->dbeQtPorPessoa->Enabled());
    Click(screen->btnDelTPrat);
    EXPECT_TRUE(screen->dbeQtPorPessoa->Enabled());
}

// ---- dish rows -----------------------------------------------------------------------------

class DishRowsFilled : public DishRowsTest {
protected:
    void SetUp() override {
        DishRowsTest::SetUp();
        GoToPackaging(101);
        Click(screen->btnAddTPrat); // Arroz (principal), Feijão, Suco
        NextMessage();              // Salada, left out, is named
        Focus(screen->dbgPratosEmb);
    }
    // Row of dish in the grid (rows inserted before the current one come first).
    int RowOf(double dish) {
        TClientDataSet& rows = *screen->cdsItEmbDistCard;
        for (int r = 0; r < rows.VisibleCount(); ++r)
            if (rows.VisibleValue(r, rows.FieldByName("NRSEQPRATCAR").Index()).toDouble() == dish)
                return r;
        return -1;
    }
    QString Principal(double dish) {
        const int row = RowOf(dish);
        if (row < 0) return "-";
        return screen->cdsItEmbDistCard
            ->VisibleValue(row, screen->cdsItEmbDistCard->FieldByName("IDPRINCIPAL").Index())
            .toString();
    }
    // The flags of Arroz, Feijão and Suco.
    QString Flags() { return Principal(1) + Principal(2) + Principal(3); }
    int principalColumn() { return screen->dbgPratosEmb->ColumnOf("IDPRINCIPAL"); }
};

TEST_F(DishRowsFilled, ThePrincipalDishIsMarkedByClickOrSpaceOnly) {
    ASSERT_EQ(Flags(), "SNN");
    Dispatch([&] { screen->dbgPratosEmb->UserClickCell(RowOf(2), principalColumn()); });
    EXPECT_EQ(Flags(), "NSN");
    EXPECT_FALSE(screen->dbgPratosEmb->HasOption(dgEditing));
    EXPECT_EQ(screen->cdsItEmbDistCard->FieldByName("NRSEQPRATCAR").AsFloat(), 2);
    Dispatch([&] { screen->dbgPratosEmb->UserClickCell(RowOf(2), principalColumn()); });
    EXPECT_EQ(Flags(), "NSN"); // a principal dish stays so

    // Other columns neither mark nor take typing or deleting keys.
    Dispatch([&] { screen->dbgPratosEmb->UserClickCell(RowOf(3), 0); });
    EXPECT_TRUE(screen->dbgPratosEmb->HasOption(dgEditing));
    EXPECT_EQ(Flags(), "NSN");
    TypeInGrid(screen->dbgPratosEmb, "QTPRATO", "9");
    Dispatch([&] { screen->DeliverKey(VK_DELETE, ssCtrl); });
    Dispatch([&] { screen->DeliverKey(VK_BACK); });
    EXPECT_EQ(screen->cdsItEmbDistCard->State(), TDataSetState::Browse);
    EXPECT_EQ(RowCount(101), 3);

    // Space marks whatever column is selected.
    Dispatch([&] { screen->DeliverKey(VK_SPACE); });
    EXPECT_EQ(Flags(), "NNS");
    EXPECT_EQ(dialogs.UncheckedCount(), 0);
}

TEST_F(DishRowsFilled, RemovingThePrincipalLeavesThePackagingWithoutOne) {
    screen->cdsItEmbDistCard->Locate("NRSEQPRATCAR", 1.0);
    ConfirmDialog();
    Click(screen->btnDelPrat); // Arroz, the principal
    EXPECT_EQ(Flags(), "-NN");
    GoToDish(1);
    ConfirmDialog();
    Click(screen->btnAddPrat);
    EXPECT_EQ(Flags(), "NNN");
}

TEST_F(DishRowsFilled, TickBoxesAreDrawnCentredWithoutTheirBackground) {
    TDBGrid& grid = *screen->dbgPratosEmb;
    auto boxSpan = [&](int row, int& left, int& right, int& dark) {
        QImage image(700, 120, QImage::Format_RGB32);
        grid.PaintTo(image);
        const QRect cell = grid.CellRect(row, principalColumn());
        const QRgb background = image.pixel(cell.left() + 1, cell.bottom() - 1);
        left = right = -1;
        dark = 0;
        for (int x = cell.left(); x <= cell.right(); ++x)
            for (int y = cell.top(); y <= cell.bottom(); ++y) {
                const QRgb p = image.pixel(x, y);
                EXPECT_NE(QColor(p), clOlive);
                if (p == background) continue;
                if (left < 0) left = x;
                right = x;
                if (qGray(p) < 40) ++dark;
            }
        left -= cell.left();
        right = cell.right() - right;
    };
    for (int width : {48, 31}) {
        grid.Column(principalColumn()).SetWidth(width);
        int l0, r0, d0, l1, r1, d1;
        boxSpan(RowOf(1), l0, r0, d0); // ticked
        boxSpan(RowOf(2), l1, r1, d1); // not ticked
        EXPECT_LE(std::abs(l0 - r0), 1) << width;
        EXPECT_LE(std::abs(l1 - r1), 1) << width;
        EXPECT_GT(d0, d1) << "the tick";
    }
}

TEST_F(DishRowsTest, CapacityIsAskedWithItsArgumentsInOrder) {
    EXPECT_EQ(screen->CapacidadeEmb("0001", "P3", "00007"), 5);
    EXPECT_EQ(screen->CapacidadeEmb("0001", "P4", "00001"), 0);
    EXPECT_EQ(server->Params("GetCapacidadeEmb").value(1), QJsonArray({"0001", "P4", "00001"}));
}

} // namespace
} // namespace pla::test
