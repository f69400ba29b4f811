// Confirming a changed distribution (validated, stored in one remote call, reloaded) and
// deleting the loaded one.
#include "distribution/DistEmbCard.h"
#include "framework/services/BusyScope.h"
#include "framework/services/Consiste.h"
#include "framework/services/Zelvora.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/ModalResult.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TMessages.h"

#include <QSet>
#include <optional>

namespace {

const QString kPackagingNumber = QStringLiteral("NREMBDISTCARD");

// The version the distribution was loaded at, sent back with a save or a delete; none when
// the header came without one.
std::optional<qint64> LoadedVersion(const TClientDataSet& header) {
    const TField* version = header.FindField(QStringLiteral("NRVERSAO"));
    if (!header.Active() || header.IsEmpty() || !version || version->IsNull()) return std::nullopt;
    return static_cast<qint64>(version->AsFloat());
}

// The packaging numbers that own at least one dish row, read from every stored row, so the
// check does not depend on the filter the dish rows happen to have while the packagings are
// walked.
QSet<double> PackagingsWithDishes(const TClientDataSet& dishRows) {
    QSet<double> owners;
    const TDataPacket rows = dishRows.Data();
    int column = -1;
    for (int i = 0; i < rows.Fields.size(); ++i)
        if (rows.Fields.at(i).Name.compare(kPackagingNumber, Qt::CaseInsensitive) == 0) column = i;
    if (column < 0) return owners;
    // An empty number reads as 0, as the dish-row filter reads it.
    for (const QVector<QVariant>& row : rows.Rows)
        owners.insert(row.at(column).isNull() ? 0.0 : row.at(column).toDouble());
    return owners;
}

} // namespace

void TfrmDistEmbCard::sbtConfirmarClick(TComponent&) {
    if (cdsEmbDistCard->Editing()) {
        cdsEmbDistCard->Post();
        return;
    }
    ConfirmaAltDistribuicao();
}

void TfrmDistEmbCard::ConfirmaAltDistribuicao() {
    VdDistribuicao();

    // The packets carry stored records only: a dish row still being typed would be left out
    // and lost by the reload, so it is posted first, as every other pending edit was.
    if (cdsItEmbDistCard->Editing()) cdsItEmbDistCard->Post();

    {
        pla::BusyScope busy(Zelvora::MainWindow());
        // Every record of each set whatever its filter: dishes fully distributed are out of
        // sight but still belong to the distribution.
        server_.SetDistribuicao(cdsDistCard->FieldByName(QStringLiteral("NRDISTCARD")).AsFloat(),
                                cdsCardapioDisponivel->Data(), cdsEmbDistCard->Data(),
                                cdsItEmbDistCard->Data(), LoadedVersion(*cdsDistCard));
    }

    if (cdsDistCard->Editing()) cdsDistCard->Post();
    sbtVerificar->Click();
}

void TfrmDistEmbCard::VdDistribuicao() {
    bool suspended = false;
    auto finish = [&] {
        if (suspended) {
            // The dish rows follow whichever packaging the walk left current.
            AplicaFiltroItEmb();
            cdsItEmbDistCard->EnableControls();
            cdsEmbDistCard->EnableControls();
            suspended = false;
        }
        Habilita();
    };

    try {
        if (cdsCardapioDisponivel->Editing()) cdsCardapioDisponivel->Post();
        if (cdsEmbDistCard->Editing()) cdsEmbDistCard->Post();

        cdsEmbDistCard->DisableControls();
        cdsItEmbDistCard->DisableControls();
        suspended = true;

        if (cdsEmbDistCard->Active() && !cdsEmbDistCard->IsEmpty()) {
            const QSet<double> withDishes = PackagingsWithDishes(*cdsItEmbDistCard);
            const TField& number = cdsEmbDistCard->FieldByName(kPackagingNumber);
            const TField& units = cdsEmbDistCard->FieldByName(QStringLiteral("QTCONTAINER"));
            const QVariant wasCurrent = number.Value();

            cdsEmbDistCard->First();
            while (!cdsEmbDistCard->Eof()) {
                if (!withDishes.contains(number.IsNull() ? 0.0 : number.AsFloat())) {
                    dbgEmbalagens->FocusIfPossible();
                    Consiste::MensErro(msgPadrao->Msg(QStringLiteral("EMB_SEM_PRATO")), true);
                }
                // An empty value reads as zero.
                if (!(units.AsFloat() > 0)) {
                    dbgEmbalagens->FocusIfPossible();
                    const int column = dbgEmbalagens->ColumnOf(QStringLiteral("QTCONTAINER"));
                    if (column >= 0) dbgEmbalagens->SetSelectedIndex(column);
                    Consiste::MensErro(msgPadrao->Msg(QStringLiteral("QTEMB_ZERO")), true);
                }
                cdsEmbDistCard->Next();
            }
            // Every packaging passed: the user's packaging is current again, so a save the
            // server refuses leaves the grids where the user was.
            cdsEmbDistCard->Locate(kPackagingNumber, wasCurrent);
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TfrmDistEmbCard::sbtApagarClick(TComponent&) {
    ConfirmLeavingChange();
    const int answer =
        pla::Dialogs().MessageBox(msgPadrao->Msg(QStringLiteral("APAGAR_DISTR")),
                                  pla::MsgDlgType::Information, pla::mbYesNo | pla::mbDefaultNo);
    if (answer != mrYes) return;

    pla::BusyScope busy(Zelvora::MainWindow());
    server_.ApagaDistribuicao(cdsDistCard->FieldByName(QStringLiteral("NRDISTCARD")).AsFloat(),
                              LoadedVersion(*cdsDistCard));
    GetServicos(edtCdFilial->Text(), depCardapio->GetDate(), true);
}

void TfrmDistEmbCard::mnuApagarClick(TComponent&) {
    sbtApagar->Click();
}
