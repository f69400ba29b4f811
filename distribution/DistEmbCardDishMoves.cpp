// Moving dishes into and out of the current packaging, one in part (through the dish dialog)
// or all at once. Amounts only move: for each dish, what is undistributed plus what lies in
// the packagings stays the same.
#include "amounts/DishAmounts.h"
#include "dish_dialog/CriaDadosPrato.h"
#include "distribution/DishMoveSection.h"
#include "distribution/DistEmbCard.h"
#include "framework/services/Consiste.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/TDBEdit.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TMessages.h"

#include <cmath>
#include <exception>
#include <functional>
#include <initializer_list>

namespace {

const QString kDish = QStringLiteral("NRSEQPRATCAR");
const QString kDiners = QStringLiteral("QTCOMENSAIS");
const QString kQuantity = QStringLiteral("QTPRATO");
const QString kExtra = QStringLiteral("QTEXTRA");
const QString kCapacity = QStringLiteral("VRQTDEPRATEMB");
const QString kUnits = QStringLiteral("QTCONTAINER");
const QString kPerPerson = QStringLiteral("QTPORPESSOA");
const QString kUnit = QStringLiteral("SGUNIDADE");
const QString kPackaging = QStringLiteral("NREMBDISTCARD");

double Num(const TClientDataSet& ds, const QString& field) {
    return ds.FieldByName(field).AsFloat();
}

void SetNum(TClientDataSet& ds, const QString& field, double v) {
    ds.FieldByName(field).SetAsFloat(v);
}

// The dish the dish dialog asks about, as the lists show it: "P1 - Arroz".
QString DishTitle(const TClientDataSet& dishes) {
    return dishes.FieldByName(QStringLiteral("CDPRATO")).AsString() + QStringLiteral(" - ") +
           dishes.FieldByName(QStringLiteral("NMPRATO")).AsString();
}

bool Collective(const TClientDataSet& packagings) {
    return packagings.FieldByName(QStringLiteral("IDPROPOSITO")).AsString() == QLatin1String("C");
}

} // namespace

using pla::DishAmounts;
using pla::DishMoveSection;

namespace {

// The steps every move takes before touching anything: a packaging or a quantity per person
// being typed is stored first (their own checks may stop the move), there must be a
// packaging, and the dish rows in sight must be that packaging's.
void PrepareMove(TfrmDistEmbCard& f) {
    TClientDataSet& packagings = *f.cdsEmbDistCard;
    if (packagings.Editing()) packagings.Post();
    if (!packagings.Active() || packagings.IsEmpty()) {
        if (f.dbgEmbalagens->CanFocus()) f.dbgEmbalagens->SetFocus();
        Consiste::MensErro(f.msgPadrao->Msg(QStringLiteral("EMB_N_INF")), true);
    }
    f.RequireDishRowsOfCurrentPackaging();
    TClientDataSet& available = *f.cdsCardapioDisponivel;
    if (available.Editing()) available.Post();
}

// Runs body inside section (entered with the given steps); however it ends, the section is
// left and the screen refreshed (change mode, commands, the quantity-per-person edit), and
// then a failure of the body goes on to the caller.
void RunMove(TfrmDistEmbCard& f, DishMoveSection& section,
             std::initializer_list<DishMoveSection::Step> enter,
             const std::function<void()>& body) {
    std::exception_ptr failure;
    try {
        section.Enter(enter);
        body();
    } catch (...) {
        failure = std::current_exception();
    }
    // Each closing step runs even when an earlier one fails; the first failure goes on.
    const std::function<void()> closing[] = {
        [&] { section.Leave(); },
        [&] { f.AlteraDistribuicao(); },
        [&] { f.Habilita(); },
        [&] { f.cdsCardapioDisponivelAfterScroll(*f.cdsCardapioDisponivel); },
    };
    for (const auto& step : closing) {
        try {
            step();
        } catch (...) {
            if (!failure) failure = std::current_exception();
        }
    }
    if (failure) std::rethrow_exception(failure);
}

// Goes to the undistributed row of the current dish row. A dish row whose dish is not on the
// menu list cannot give its amounts back anywhere: the move stops rather than credit another
// dish.
void LocateUndistributed(TfrmDistEmbCard& f) {
    const QVariant dish = f.cdsItEmbDistCard->FieldByName(kDish).Value();
    if (!f.cdsCardapioDisponivel->Locate(kDish, dish))
        Consiste::MensErro(
            QStringLiteral("O prato da embalagem não está entre os pratos do cardápio."), true);
}

// Adds the unit count and the dish quantity to a collective packaging.
void GrowCollective(TClientDataSet& packagings, double units, double quantity) {
    packagings.Edit();
    SetNum(packagings, kUnits, Num(packagings, kUnits) + units);
    SetNum(packagings, kQuantity, DishAmounts::Round5(Num(packagings, kQuantity) + quantity));
    packagings.Post();
}

// Takes the unit count and the dish quantity off a collective packaging, never below zero
// units.
void ShrinkCollective(TClientDataSet& packagings, double units, double quantity) {
    packagings.Edit();
    const double left = Num(packagings, kUnits) - units;
    SetNum(packagings, kUnits, left < 0 ? 0.0 : left);
    SetNum(packagings, kQuantity, DishAmounts::Remainder(Num(packagings, kQuantity) - quantity));
    packagings.Post();
}

// Inserts the dish row of the current undistributed dish into the current packaging.
void InsertDishRow(TClientDataSet& rows, const TClientDataSet& packagings,
                   const TClientDataSet& available, double d, double q, double e, double c) {
    rows.Insert();
    SetNum(rows, kPackaging, Num(packagings, kPackaging));
    rows.FieldByName(kDish).SetValue(available.FieldByName(kDish).Value());
    rows.FieldByName(QStringLiteral("CDPRATO"))
        .SetAsString(available.FieldByName(QStringLiteral("CDPRATO")).AsString());
    rows.FieldByName(QStringLiteral("NMPRATO"))
        .SetAsString(available.FieldByName(QStringLiteral("NMPRATO")).AsString());
    SetNum(rows, kDiners, d);
    SetNum(rows, kQuantity, q);
    SetNum(rows, kExtra, e);
    rows.FieldByName(kUnit).SetAsString(available.FieldByName(kUnit).AsString());
    SetNum(rows, kCapacity, c);
}

} // namespace

void TfrmDistEmbCard::btnAddPratClick(TComponent&) {
    PrepareMove(*this);
    TClientDataSet& packagings = *cdsEmbDistCard;
    TClientDataSet& available = *cdsCardapioDisponivel;
    TClientDataSet& rows = *cdsItEmbDistCard;
    if (!available.Active() || available.IsEmpty()) return; // no dish chosen

    // A collective packaging holds one dish only.
    if (Collective(packagings) && rows.Active() && !rows.IsEmpty() &&
        rows.FieldByName(kDish).Value() != available.FieldByName(kDish).Value())
        Consiste::MensErro(msgPadrao->Msg(QStringLiteral("EXISTE_IT_EMBCOL")), true);

    DishMoveSection section(available, rows,
                            {DishMoveSection::AvailablePost, DishMoveSection::AvailableDisplay,
                             DishMoveSection::RowsInsertGuard, DishMoveSection::RowsEditGuard,
                             DishMoveSection::RowsDisplay});
    RunMove(*this, section,
            {DishMoveSection::AvailablePost, DishMoveSection::AvailableDisplay,
             DishMoveSection::RowsInsertGuard, DishMoveSection::RowsEditGuard,
             DishMoveSection::RowsDisplay},
            [&] {
                const double c =
                    CapacidadeEmb(available.FieldByName(QStringLiteral("CDFILAUXPRAT")).AsString(),
                                  available.FieldByName(QStringLiteral("CDPRATO")).AsString(),
                                  packagings.FieldByName(QStringLiteral("CDCONTAINER")).AsString());
                if (Collective(packagings)) {
                    if (Num(available, kPerPerson) == 0) {
                        if (dbeQtPorPessoa->CanFocus()) dbeQtPorPessoa->SetFocus();
                        Consiste::MensErro(msgPadrao->Msg(QStringLiteral("QTPORPESSOA_ZERO")),
                                           true);
                    }
                    if (c == 0)
                        Consiste::MensErro(msgPadrao->Msg(QStringLiteral("PRAT_N_REL_EMB")), true);
                }

                double d = Num(available, kDiners);
                double q = Num(available, kQuantity);
                double e = Num(available, kExtra);
                if (!CriaDadosPrato(d, q, available.FieldByName(kUnit).AsString(), e,
                                    Num(available, kPerPerson), DishTitle(available)))
                    return;
                const double u = DishAmounts::UnitCount(q, e, c);

                if (rows.Locate(kDish, available.FieldByName(kDish).Value())) {
                    rows.Edit();
                    SetNum(rows, kDiners, DishAmounts::Round5(Num(rows, kDiners) + d));
                    SetNum(rows, kQuantity, DishAmounts::Round5(Num(rows, kQuantity) + q));
                    SetNum(rows, kExtra, DishAmounts::Round5(Num(rows, kExtra) + e));
                } else {
                    InsertDishRow(rows, packagings, available, DishAmounts::Round5(d),
                                  DishAmounts::Round5(q), DishAmounts::Round5(e), c);
                }
                rows.Post();

                available.Edit();
                SetNum(available, kDiners, DishAmounts::Remainder(Num(available, kDiners) - d));
                SetNum(available, kQuantity, DishAmounts::Remainder(Num(available, kQuantity) - q));
                SetNum(available, kExtra, DishAmounts::Remainder(Num(available, kExtra) - e));
                available.Post();

                if (Collective(packagings)) GrowCollective(packagings, u, q);
            });
}

void TfrmDistEmbCard::btnAddTPratClick(TComponent&) {
    PrepareMove(*this);
    TClientDataSet& packagings = *cdsEmbDistCard;
    TClientDataSet& available = *cdsCardapioDisponivel;
    TClientDataSet& rows = *cdsItEmbDistCard;

    DishMoveSection section(available, rows,
                            {DishMoveSection::AvailablePost, DishMoveSection::AvailableScroll,
                             DishMoveSection::AvailableFilter, DishMoveSection::AvailableDisplay,
                             DishMoveSection::RowsInsertGuard, DishMoveSection::RowsEditGuard,
                             DishMoveSection::RowsDisplay});
    // Dishes with something left that this packaging cannot take, each with its reason.
    QStringList skipped;
    RunMove(
        *this, section,
        {DishMoveSection::AvailablePost, DishMoveSection::AvailableScroll,
         DishMoveSection::AvailableFilter, DishMoveSection::AvailableDisplay,
         DishMoveSection::RowsInsertGuard, DishMoveSection::RowsEditGuard,
         DishMoveSection::RowsDisplay},
        [&] {
            const bool collective = Collective(packagings);
            const QString container =
                packagings.FieldByName(QStringLiteral("CDCONTAINER")).AsString();
            // Every dish, in menu order, the exhausted ones included (the filter is off).
            available.First();
            for (; !available.Eof(); available.Next()) {
                if (collective && !rows.IsEmpty() &&
                    rows.FieldByName(kDish).Value() != available.FieldByName(kDish).Value())
                    continue;
                const double d = Num(available, kDiners);
                const double q = Num(available, kQuantity);
                const double e = Num(available, kExtra);
                if (!(d > 0) && !(q > 0) && !(e > 0)) continue;
                const double c = CapacidadeEmb(
                    available.FieldByName(QStringLiteral("CDFILAUXPRAT")).AsString(),
                    available.FieldByName(QStringLiteral("CDPRATO")).AsString(), container);
                const QString name = available.FieldByName(QStringLiteral("NMPRATO")).AsString();
                if (c == 0) {
                    skipped << QStringLiteral("%1: sem relação de transporte com o container %2.")
                                   .arg(name, container);
                    continue;
                }
                if (collective && !(Num(available, kPerPerson) > 0)) {
                    skipped
                        << QStringLiteral("%1: sem quantidade por pessoa na receita.").arg(name);
                    continue;
                }

                const bool found = rows.Locate(kDish, available.FieldByName(kDish).Value());
                const double u = DishAmounts::UnitCount(q, e, c);
                if (found) {
                    rows.Edit();
                    SetNum(rows, kDiners, Num(rows, kDiners) + d);
                    SetNum(rows, kQuantity, Num(rows, kQuantity) + q);
                    SetNum(rows, kExtra, Num(rows, kExtra) + e);
                } else {
                    InsertDishRow(rows, packagings, available, d, q, e, c);
                }
                rows.Post();

                available.Edit();
                SetNum(available, kDiners, 0);
                SetNum(available, kQuantity, 0);
                SetNum(available, kExtra, 0);
                available.Post();

                if (collective) GrowCollective(packagings, u, q);
            }
        });
    if (!skipped.isEmpty())
        pla::Dialogs().ShowInformation(QStringLiteral("Pratos não adicionados à embalagem:\n") +
                                       skipped.join(QLatin1Char('\n')));
}

void TfrmDistEmbCard::btnDelPratClick(TComponent&) {
    PrepareMove(*this);
    TClientDataSet& packagings = *cdsEmbDistCard;
    TClientDataSet& available = *cdsCardapioDisponivel;
    TClientDataSet& rows = *cdsItEmbDistCard;
    if (!rows.Active() || rows.IsEmpty()) return; // no dish row chosen

    DishMoveSection section(available, rows,
                            {DishMoveSection::AvailableFilter, DishMoveSection::AvailablePost,
                             DishMoveSection::AvailableScroll, DishMoveSection::AvailableDisplay,
                             DishMoveSection::RowsInsertGuard, DishMoveSection::RowsEditGuard,
                             DishMoveSection::RowsDisplay});
    RunMove(*this, section,
            {DishMoveSection::AvailablePost, DishMoveSection::AvailableScroll,
             DishMoveSection::AvailableDisplay, DishMoveSection::AvailableFilter,
             DishMoveSection::RowsInsertGuard, DishMoveSection::RowsEditGuard,
             DishMoveSection::RowsDisplay},
            [&] {
                LocateUndistributed(*this);
                double d = Num(rows, kDiners);
                double q = Num(rows, kQuantity);
                double e = Num(rows, kExtra);
                if (!CriaDadosPrato(d, q, available.FieldByName(kUnit).AsString(), e,
                                    Num(available, kPerPerson), DishTitle(available)))
                    return;
                const double u = DishAmounts::UnitCount(q, e, Num(rows, kCapacity));

                available.Edit();
                SetNum(available, kDiners, DishAmounts::Round5(Num(available, kDiners) + d));
                SetNum(available, kQuantity, DishAmounts::Round5(Num(available, kQuantity) + q));
                SetNum(available, kExtra, DishAmounts::Round5(Num(available, kExtra) + e));
                available.Post();

                if (Collective(packagings)) ShrinkCollective(packagings, u, q);

                const double leftDiners = DishAmounts::Remainder(Num(rows, kDiners) - d);
                const double leftQuantity = DishAmounts::Remainder(Num(rows, kQuantity) - q);
                const double leftExtra = DishAmounts::Remainder(Num(rows, kExtra) - e);
                if (leftDiners == 0 && leftQuantity == 0 && leftExtra == 0) {
                    rows.Delete();
                } else {
                    rows.Edit();
                    SetNum(rows, kDiners, leftDiners);
                    SetNum(rows, kQuantity, leftQuantity);
                    SetNum(rows, kExtra, leftExtra);
                    rows.Post();
                }
            });
}

void TfrmDistEmbCard::btnDelTPratClick(TComponent&) {
    PrepareMove(*this);
    TClientDataSet& packagings = *cdsEmbDistCard;
    TClientDataSet& available = *cdsCardapioDisponivel;
    TClientDataSet& rows = *cdsItEmbDistCard;

    DishMoveSection section(available, rows,
                            {DishMoveSection::AvailableFilter, DishMoveSection::AvailablePost,
                             DishMoveSection::AvailableScroll, DishMoveSection::AvailableDisplay,
                             DishMoveSection::RowsInsertGuard, DishMoveSection::RowsDisplay});
    RunMove(*this, section,
            {DishMoveSection::AvailableDisplay, DishMoveSection::AvailableFilter,
             DishMoveSection::AvailablePost, DishMoveSection::AvailableScroll,
             DishMoveSection::RowsInsertGuard, DishMoveSection::RowsDisplay},
            [&] {
                const bool collective = Collective(packagings);
                rows.First();
                // Each pass deletes the current row; the next one becomes current.
                while (!rows.IsEmpty()) {
                    const double d = Num(rows, kDiners);
                    const double q = Num(rows, kQuantity);
                    const double e = Num(rows, kExtra);
                    const double u = DishAmounts::UnitCount(q, e, Num(rows, kCapacity));

                    LocateUndistributed(*this);
                    available.Edit();
                    SetNum(available, kDiners, Num(available, kDiners) + d);
                    SetNum(available, kQuantity, Num(available, kQuantity) + q);
                    SetNum(available, kExtra, Num(available, kExtra) + e);
                    available.Post();

                    if (collective) ShrinkCollective(packagings, u, q);
                    rows.Delete();
                }
            });
}
