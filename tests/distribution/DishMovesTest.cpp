#include "dish_dialog/DadosPrato.h"
#include "framework/data/EventSuspend.h"
#include "framework/services/Showavi.h"
#include "framework/ui/Dispatch.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TDBEdit.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TGroupBox.h"
#include "framework/ui/TSpeedButton.h"
#include "tests/distribution/PackagingFixture.h"

#include <QLocale>
#include <cmath>
#include <random>

namespace pla::test {
namespace {

using DishMovesTest = PackagingTest;

constexpr double kTolerance = 1e-6;

QString Comma(double v) {
    return QString::number(v, 'f', 5).replace(QLatin1Char('.'), QLatin1Char(','));
}

// What must hold after every move, whatever came before.
void ExpectSoundState(TfrmDistEmbCard* s) {
    // Nothing the moves suspend stays suspended.
    EXPECT_TRUE(s->cdsCardapioDisponivel->BeforePost);
    EXPECT_TRUE(s->cdsCardapioDisponivel->AfterScroll);
    EXPECT_TRUE(s->cdsItEmbDistCard->BeforeInsert);
    EXPECT_TRUE(s->cdsItEmbDistCard->BeforeEdit);
    EXPECT_TRUE(s->cdsItEmbDistCard->AfterPost);
    EXPECT_TRUE(s->cdsCardapioDisponivel->Filtered());
    EXPECT_FALSE(s->cdsCardapioDisponivel->ControlsDisabled());
    EXPECT_FALSE(s->cdsItEmbDistCard->ControlsDisabled());
    EXPECT_EQ(Showavi::Depth(), 0);

    // Per packaging: units never negative, one row per dish, one dish in a collective one, at
    // most one principal dish.
    const TDataPacket packagings = s->cdsEmbDistCard->Data();
    const TDataPacket rows = s->cdsItEmbDistCard->Data();
    auto col = [](const TDataPacket& p, const char* name) {
        for (int i = 0; i < p.Fields.size(); ++i)
            if (p.Fields.at(i).Name == QLatin1String(name)) return i;
        return -1;
    };
    for (const auto& pk : packagings.Rows) {
        const double number = pk.at(col(packagings, "NREMBDISTCARD")).toDouble();
        EXPECT_GE(pk.at(col(packagings, "QTCONTAINER")).toDouble(), 0) << number;
        QList<double> dishes;
        int principals = 0;
        for (const auto& r : rows.Rows) {
            if (r.at(col(rows, "NREMBDISTCARD")).toDouble() != number) continue;
            const double dish = r.at(col(rows, "NRSEQPRATCAR")).toDouble();
            EXPECT_FALSE(dishes.contains(dish)) << "dish " << dish << " twice in " << number;
            dishes << dish;
            if (r.at(col(rows, "IDPRINCIPAL")).toString() == QLatin1String("S")) ++principals;
            for (const char* f : {"QTCOMENSAIS", "QTPRATO", "QTEXTRA"})
                EXPECT_GE(r.at(col(rows, f)).toDouble(), -kTolerance) << f;
        }
        EXPECT_LE(principals, 1) << number;
        if (pk.at(col(packagings, "IDPROPOSITO")).toString() == QLatin1String("C")) {
            EXPECT_LE(dishes.size(), 1) << number;
        }
    }
}

// The randomized moves: every sequence of adds and removes, of parts and wholes, into the
// individual and the collective packaging, keeps each dish's total where it was.
TEST_F(DishMovesTest, EverySequenceOfMovesKeepsEachDishWhole) {
    std::map<double, Amounts> totals;
    for (double dish : {1.0, 2.0, 3.0, 4.0})
        totals[dish] = Available(dish);

    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        std::mt19937 random(seed);
        auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        for (int step = 0; step < 40; ++step) {
            GoToPackaging(pick(2) == 0 ? 101 : 102);
            const int op = pick(4);
            // The user's choice in the dialog: as proposed, diners, quantity or extra lowered,
            // everything zero, or cancel.
            const int choice = pick(6);
            const double fraction = (1 + pick(9)) / 10.0;
            auto script = [choice, fraction](TfrmDadosPrato& f) {
                auto lower = [&](TEdit* e) {
                    if (!e->Enabled()) return;
                    Retype(e, Comma(TfrmDadosPrato::StoFRound(e->Text()) * fraction));
                };
                switch (choice) {
                case 1:
                    lower(f.edtComensais);
                    break;
                case 2:
                    lower(f.edtPrato);
                    break;
                case 3:
                    lower(f.edtExtra);
                    break;
                case 4:
                    for (TEdit* e : {f.edtComensais, f.edtPrato, f.edtExtra})
                        if (e->Enabled()) Retype(e, "0");
                    break;
                case 5:
                    ClickIn(f.sbtCancel);
                    return;
                default:
                    break;
                }
                ClickIn(f.sbtConfirma);
                // A recomputed amount may land above its maximum: the user gives up.
                if (f.ModalResult() == mrNone) ClickIn(f.sbtCancel);
            };
            if (op == 0 && screen->cdsCardapioDisponivel->RecordCount() > 0) {
                screen->cdsCardapioDisponivel->SetRecNo(
                    1 + pick(screen->cdsCardapioDisponivel->RecordCount()));
                Dialog(script);
                Dispatch([&] { screen->btnAddPratClick(*screen->btnAddPrat); });
                host.scripts.clear(); // refused before the dialog opened
            } else if (op == 1) {
                Dispatch([&] { screen->btnAddTPratClick(*screen->btnAddTPrat); });
            } else if (op == 2 && screen->cdsItEmbDistCard->RecordCount() > 0) {
                screen->cdsItEmbDistCard->SetRecNo(1 +
                                                   pick(screen->cdsItEmbDistCard->RecordCount()));
                Dialog(script);
                Dispatch([&] { screen->btnDelPratClick(*screen->btnDelPrat); });
            } else if (op == 3) {
                Dispatch([&] { screen->btnDelTPratClick(*screen->btnDelTPrat); });
            }
            while (dialogs.UncheckedCount() > 0)
                NextMessage(); // refusals and the dialog's own checks

            for (const auto& [dish, total] : totals) {
                const Amounts a = Available(dish), p = Packed(dish);
                EXPECT_NEAR(a.diners + p.diners, total.diners, kTolerance) << seed << '/' << step;
                EXPECT_NEAR(a.quantity + p.quantity, total.quantity, kTolerance)
                    << seed << '/' << step;
                EXPECT_NEAR(a.extra + p.extra, total.extra, kTolerance) << seed << '/' << step;
                EXPECT_GE(a.diners, -kTolerance);
                EXPECT_GE(a.quantity, -kTolerance);
                EXPECT_GE(a.extra, -kTolerance);
            }
            ExpectSoundState(screen);
            if (HasFailure()) return;
        }
    }
    EXPECT_GT(host.runs, 20); // the dialog really took part
}

// Arroz for 9 diners at 0,012345 per person: 0,111105 KG, one decimal more than the moves keep.
TEST_F(DishMovesTest, NoMoveTakesMoreThanThereIsByRounding) {
    QByteArray fixture = PackagingFixture();
    fixture.replace(R"([55,1,"0001","P1",40,4.8,0.5,40,4.8,0.5,1,0.12,"Arroz","KG"])",
                    R"([55,1,"0001","P1",9,0.111105,0,9,0.111105,0,1,0.012345,"Arroz","KG"])");
    ASSERT_TRUE(fixture.contains("0.111105"));
    const auto confirmProposal = [&](const char* quantity) {
        Dialog([quantity](TfrmDadosPrato& f) {
            EXPECT_EQ(f.edtPrato->Text(), quantity);
            ClickIn(f.sbtConfirma);
        });
    };

    // The proposal never exceeds what is undistributed; the half step left is stored as zero.
    OpenOn(fixture);
    GoToPackaging(101);
    GoToDish(1);
    confirmProposal("0,11110");
    Click(screen->btnAddPrat);
    EXPECT_EQ(Available(1).quantity, 0.0);
    EXPECT_DOUBLE_EQ(Packed(1).quantity, 0.1111);

    // Everything in, then the proposal back out: the emptied dish row goes, nothing is negative.
    OpenOn(fixture);
    GoToPackaging(101);
    Click(screen->btnAddTPrat);
    ASSERT_TRUE(screen->cdsItEmbDistCard->Locate("NRSEQPRATCAR", 1.0));
    confirmProposal("0,11110");
    Click(screen->btnDelPrat);
    EXPECT_EQ(RowCount(101), 2); // Feijão and Suco
    EXPECT_EQ(Packed(1).quantity, 0.0);
    EXPECT_DOUBLE_EQ(Available(1).quantity, 0.1111);
    ExpectSoundState(screen);
}

TEST_F(DishMovesTest, SingleAddRoundsAndAddsToTheSameRow) {
    GoToPackaging(101);
    GoToDish(1);
    // 10 diners of Arroz: 1,2 KG, and an extra with a sixth decimal; a double click on the
    // dish is the single add, and the dialog names the dish.
    Dialog([](TfrmDadosPrato& f) {
        EXPECT_TRUE(f.grbDadosRel->Caption().endsWith(" - Arroz"));
        Retype(f.edtComensais, "10");
        Retype(f.edtExtra, "0,123456");
        ClickIn(f.sbtConfirma);
    });
    Dispatch(
        [&] { screen->dbgCardapio->UserDoubleClickCell(screen->dbgCardapio->CurrentRow(), 0); });
    ASSERT_EQ(screen->cdsItEmbDistCard->RecordCount(), 1);
    TClientDataSet& rows = *screen->cdsItEmbDistCard;
    EXPECT_DOUBLE_EQ(rows.FieldByName("QTCOMENSAIS").AsFloat(), 10);
    EXPECT_DOUBLE_EQ(rows.FieldByName("QTPRATO").AsFloat(), 1.2);
    EXPECT_DOUBLE_EQ(rows.FieldByName("QTEXTRA").AsFloat(), 0.12346);
    EXPECT_DOUBLE_EQ(rows.FieldByName("VRQTDEPRATEMB").AsFloat(), 0.5);
    EXPECT_EQ(rows.FieldByName("IDPRINCIPAL").AsString(), "S");
    EXPECT_EQ(rows.FieldByName("NMPRATO").AsString(), "Arroz");
    EXPECT_EQ(rows.FieldByName("SGUNIDADE").AsString(), "KG");
    EXPECT_DOUBLE_EQ(Available(1).quantity, 3.6);
    EXPECT_DOUBLE_EQ(Available(1).extra, 0.37654);
    EXPECT_EQ(server->Params("GetCapacidadeEmb").value(0), QJsonArray({"0001", "P1", "00001"}));
    // An individual packaging keeps its units and quantity.
    EXPECT_EQ(PackagingValue(101, "QTCONTAINER"), 40);
    EXPECT_EQ(PackagingValue(101, "QTPRATO"), 0);
    EXPECT_EQ(screen->cdsDistCard->State(), TDataSetState::Edit);
    EXPECT_FALSE(screen->dbeQtPorPessoa->Enabled()); // the dish is packed now

    // The rest of the dish: the same row grows, its capacity stays, the dish leaves the list.
    ConfirmDialog();
    Click(screen->btnAddPrat);
    EXPECT_EQ(RowCount(101), 1);
    EXPECT_DOUBLE_EQ(rows.FieldByName("QTCOMENSAIS").AsFloat(), 40);
    EXPECT_DOUBLE_EQ(rows.FieldByName("QTPRATO").AsFloat(), 4.8);
    EXPECT_DOUBLE_EQ(rows.FieldByName("QTEXTRA").AsFloat(), 0.5);
    EXPECT_FALSE(screen->cdsCardapioDisponivel->Locate("NRSEQPRATCAR", 1.0));
    EXPECT_EQ(server->Count("GetCapacidadeEmb"), 2);
    ExpectSoundState(screen);
}

TEST_F(DishMovesTest, CancelledOrZeroDialogMovesNothingButStillEntersChangeMode) {
    GoToPackaging(101);
    GoToDish(2);
    Dialog([](TfrmDadosPrato& f) { ClickIn(f.sbtCancel); });
    Click(screen->btnAddPrat);
    Dialog([](TfrmDadosPrato& f) {
        Retype(f.edtComensais, "0");
        ClickIn(f.sbtConfirma);
    });
    Click(screen->btnAddPrat);
    EXPECT_EQ(RowCount(101), 0);
    EXPECT_DOUBLE_EQ(Available(2).quantity, 4);
    EXPECT_EQ(server->Count("GetCapacidadeEmb"), 2); // asked before the dialog, both times
    EXPECT_EQ(screen->cdsDistCard->State(), TDataSetState::Edit);
    ExpectSoundState(screen);
}

TEST_F(DishMovesTest, CollectivePackagingsTakeOneDishAndCountUnits) {
    GoToPackaging(102);
    GoToDish(3);
    ConfirmDialog(); // Suco: 10 LT and 2 extra in boxes of 5
    Click(screen->btnAddPrat);
    EXPECT_EQ(PackagingValue(102, "QTCONTAINER"), 3); // the extra counts for the units
    EXPECT_EQ(PackagingValue(102, "QTPRATO"), 10);    // but not for the quantity
    EXPECT_EQ(screen->cdsEmbDistCard->FieldByName("QTMEDIA").DisplayText(), "3,33333");

    // Another dish is refused before anything happens.
    GoToDish(1);
    server->Reset();
    Click(screen->btnAddPrat);
    EXPECT_EQ(NextMessage(), "Apenas um item pode ser associado a embalagens coletivas.");
    EXPECT_EQ(server->Count("GetCapacidadeEmb"), 0);

    // Adding all moves nothing more: the packaging's one dish is exhausted.
    Click(screen->btnAddTPrat);
    EXPECT_EQ(RowCount(102), 1);
    EXPECT_EQ(dialogs.UncheckedCount(), 0);
    ExpectSoundState(screen);
}

TEST_F(DishMovesTest, AddAllIntoAnEmptyCollectiveMovesTheFirstEligibleDishOnly) {
    GoToPackaging(102);
    Click(screen->btnAddTPrat);
    ASSERT_EQ(RowCount(102), 1);
    EXPECT_EQ(screen->cdsItEmbDistCard->FieldByName("NRSEQPRATCAR").AsFloat(), 1);
    EXPECT_EQ(screen->cdsItEmbDistCard->FieldByName("IDPRINCIPAL").AsString(), "S");
    EXPECT_DOUBLE_EQ(PackagingValue(102, "QTCONTAINER"), 2); // 4,8 + 0,5 in boxes of 5
    EXPECT_DOUBLE_EQ(PackagingValue(102, "QTPRATO"), 4.8);
    EXPECT_DOUBLE_EQ(Available(1).diners, 0); // set to exactly zero
    EXPECT_EQ(dialogs.UncheckedCount(), 0);
}

TEST_F(DishMovesTest, AddAllIntoAnIndividualMovesEveryDishWithCapacity) {
    GoToPackaging(101);
    Click(screen->btnAddTPrat);
    EXPECT_EQ(RowCount(101), 3); // Salada has no capacity for the container: passed over
    EXPECT_EQ(server->Count("GetCapacidadeEmb"), 4);
    EXPECT_DOUBLE_EQ(Available(4).extra, 1);
    EXPECT_EQ(screen->cdsCardapioDisponivel->RecordCount(), 1);
    // The first dish inserted into the empty packaging is its principal one.
    for (double dish : {1.0, 2.0, 3.0}) {
        ASSERT_TRUE(screen->cdsItEmbDistCard->Locate("NRSEQPRATCAR", dish));
        EXPECT_EQ(screen->cdsItEmbDistCard->FieldByName("IDPRINCIPAL").AsString(),
                  dish == 1 ? "S" : "N");
    }
    EXPECT_EQ(PackagingValue(101, "QTCONTAINER"), 40);
    EXPECT_TRUE(NextMessage().startsWith(
        "Pratos não adicionados à embalagem:\nSalada: sem relação de transporte com o container"));
    ExpectSoundState(screen);
}

TEST_F(DishMovesTest, CollectiveRefusalsInsideTheSectionStillRestoreAndEnterChangeMode) {
    GoToPackaging(102);
    GoToDish(4); // no quantity per person
    Focus(screen->dbgCardapio);
    Click(screen->btnAddPrat);
    EXPECT_EQ(NextMessage(),
              "O prato selecionado não possui quantidade por pessoa informada em sua receita.");
    EXPECT_EQ(screen->ActiveControl(), screen->dbeQtPorPessoa);
    EXPECT_EQ(server->Count("GetCapacidadeEmb"), 1);
    EXPECT_EQ(screen->cdsDistCard->State(), TDataSetState::Edit);
    EXPECT_EQ(host.runs, 0);
    ExpectSoundState(screen);
}

TEST_F(DishMovesTest, NoPackagingIsRefusedWithTheFocusOnThePackagings) {
    Focus(screen->dbgEmbalagens);
    Click(screen->sbtExcluir);
    Click(screen->sbtExcluir);
    ASSERT_TRUE(screen->cdsEmbDistCard->IsEmpty());
    Focus(screen->dbgCardapio);
    Dispatch([&] { screen->btnAddTPratClick(*screen->btnAddTPrat); });
    EXPECT_EQ(NextMessage(), "Embalagem deve ser informada");
    EXPECT_EQ(screen->ActiveControl(), screen->dbgEmbalagens);
    EXPECT_EQ(server->Count("GetCapacidadeEmb"), 0);
}

TEST_F(DishMovesTest, ACapacityRefusedHalfWayThroughAddAllRestoresEverything) {
    OpenOn(PackagingFixture("P3"));
    GoToPackaging(101);
    Focus(screen->dbgCardapio);
    Click(screen->btnAddTPrat);
    EXPECT_EQ(NextMessage(), "Servidor indisponível");
    // What moved before the refusal stays moved; nothing after it moved.
    EXPECT_EQ(RowCount(101), 2);
    EXPECT_DOUBLE_EQ(Available(3).quantity, 10);
    EXPECT_DOUBLE_EQ(Available(4).extra, 1);
    EXPECT_EQ(screen->cdsDistCard->State(), TDataSetState::Edit);
    EXPECT_EQ(screen->cdsCardapioDisponivel->RecordCount(), 2); // filter back on
    ExpectSoundState(screen);
    // The guards are not only attached but working.
    EXPECT_FALSE(Dispatch([&] { screen->cdsItEmbDistCard->Edit(); }));
    EXPECT_EQ(screen->cdsItEmbDistCard->State(), TDataSetState::Browse);
    EXPECT_TRUE(screen->btnAddPrat->Enabled());
}

TEST_F(DishMovesTest, RemovingPartRoundsAndDeletesAnEmptiedRow) {
    GoToPackaging(101);
    GoToDish(3);
    ConfirmDialog();
    Click(screen->btnAddPrat); // all of Suco: 40, 10, 2
    Dialog([](TfrmDadosPrato& f) {
        Retype(f.edtPrato, "2,5"); // 10 diners
        Retype(f.edtExtra, "0,5");
        ClickIn(f.sbtConfirma);
    });
    Click(screen->btnDelPrat);
    TClientDataSet& rows = *screen->cdsItEmbDistCard;
    EXPECT_DOUBLE_EQ(rows.FieldByName("QTCOMENSAIS").AsFloat(), 30);
    EXPECT_DOUBLE_EQ(rows.FieldByName("QTPRATO").AsFloat(), 7.5);
    EXPECT_DOUBLE_EQ(rows.FieldByName("QTEXTRA").AsFloat(), 1.5);
    EXPECT_DOUBLE_EQ(Available(3).quantity, 2.5);
    EXPECT_EQ(PackagingValue(101, "QTCONTAINER"), 40);
    // The dish is back in the list although it had been exhausted.
    EXPECT_TRUE(screen->cdsCardapioDisponivel->Locate("NRSEQPRATCAR", 3.0));

    ConfirmDialog();
    Click(screen->btnDelPrat);
    EXPECT_EQ(RowCount(101), 0);
    EXPECT_DOUBLE_EQ(Available(3).quantity, 10);
    EXPECT_TRUE(screen->dbeQtPorPessoa->Enabled());
    ExpectSoundState(screen);
}

TEST_F(DishMovesTest, RemovingFromACollectiveTakesUnitsOffButNeverBelowZero) {
    GoToPackaging(102);
    GoToDish(2); // Feijão, boxes of 5
    for (int i = 0; i < 2; ++i) {
        Dialog([](TfrmDadosPrato& f) {
            Retype(f.edtPrato, "2");
            ClickIn(f.sbtConfirma);
        });
        Click(screen->btnAddPrat);
    }
    EXPECT_EQ(PackagingValue(102, "QTCONTAINER"), 2);
    EXPECT_EQ(PackagingValue(102, "QTPRATO"), 4);

    // Removing everything: 4 back, one box off (4 fits in one).
    Click(screen->btnDelTPrat);
    EXPECT_EQ(PackagingValue(102, "QTCONTAINER"), 1);
    EXPECT_EQ(PackagingValue(102, "QTPRATO"), 0);
    EXPECT_DOUBLE_EQ(Available(2).quantity, 4);

    // Units typed lower than what the dishes need: removing stops at zero.
    Dialog([](TfrmDadosPrato& f) {
        Retype(f.edtPrato, "4");
        ClickIn(f.sbtConfirma);
    });
    Click(screen->btnAddPrat); // one more box: 2
    screen->cdsEmbDistCard->Edit();
    screen->cdsEmbDistCard->FieldByName("QTCONTAINER").SetAsFloat(0);
    screen->cdsEmbDistCard->Post();
    Dialog([](TfrmDadosPrato& f) {
        Retype(f.edtPrato, "2");
        ClickIn(f.sbtConfirma);
    });
    Click(screen->btnDelPrat);
    EXPECT_EQ(PackagingValue(102, "QTCONTAINER"), 0);
    EXPECT_EQ(PackagingValue(102, "QTPRATO"), 2);
    ExpectSoundState(screen);
}

TEST_F(DishMovesTest, ADishRowWithoutItsMenuDishIsNotCreditedToAnotherDish) {
    GoToPackaging(101);
    {
        // A row the server sent for a dish the menu list no longer holds.
        EventSuspend<Event<TClientDataSet&>> guard(screen->cdsItEmbDistCard->BeforeInsert);
        TClientDataSet& rows = *screen->cdsItEmbDistCard;
        rows.Append();
        rows.FieldByName("NRSEQPRATCAR").SetAsFloat(9);
        rows.FieldByName("NREMBDISTCARD").SetAsFloat(101);
        rows.FieldByName("QTPRATO").SetAsFloat(3);
        rows.Post();
    }
    Click(screen->btnDelTPrat);
    EXPECT_FALSE(NextMessage().isEmpty());
    EXPECT_EQ(RowCount(101), 1); // kept, its amounts not lost
    for (double dish : {1.0, 2.0, 3.0})
        EXPECT_EQ(Packed(dish).quantity, 0) << dish;
    EXPECT_DOUBLE_EQ(Available(1).quantity, 4.8);
    EXPECT_DOUBLE_EQ(Available(2).quantity, 4);
    ExpectSoundState(screen);
}

} // namespace
} // namespace pla::test
