// Confirming a changed distribution (validated, stored in one remote call, reloaded) and
// deleting the loaded one.
#include "distribution/DistEmbCard.h"
#include "framework/data/Abort.h"
#include "framework/data/DataSource.h"
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

std::optional<qint64> TfrmDistEmbCard::LoadedVersion() const {
    const TField* version = cdsDistCard->FindField(QStringLiteral("NRVERSAO"));
    if (!cdsDistCard->Active() || cdsDistCard->IsEmpty() || !version || version->IsNull())
        return std::nullopt;
    return static_cast<qint64>(version->AsFloat());
}

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

    const double number = cdsDistCard->FieldByName(QStringLiteral("NRDISTCARD")).AsFloat();
    const std::optional<qint64> version = LoadedVersion();
    try {
        pla::BusyScope busy(Zelvora::MainWindow());
        // Every record of each set whatever its filter: dishes fully distributed are out of
        // sight but still belong to the distribution.
        server_.SetDistribuicao(number, cdsCardapioDisponivel->Data(), cdsEmbDistCard->Data(),
                                cdsItEmbDistCard->Data(), version);
    } catch (const Abort&) {
        // The refusal has been shown. When another clerk stored a newer version meanwhile,
        // the clerk decides what becomes of his work instead of being left to discard it.
        std::optional<pla::StoredChanges> newer;
        if (version) newer = server_.GetAlteracoesDistribuicao(number, *version);
        if (!newer) throw;
        ResolveConflict(*newer);
    }

    if (cdsDistCard->Editing()) cdsDistCard->Post();
    sbtVerificar->Click();
    pla::Dialogs().ShowStatus(QStringLiteral("Distribuição gravada."));
}

void TfrmDistEmbCard::ResolveConflict(const pla::StoredChanges& newer) {
    const QString who =
        newer.changedBy.isEmpty() ? QStringLiteral("outro usuário") : newer.changedBy;
    pla::Dialogs().ShowWarning(
        QStringLiteral("Depois que esta distribuição foi carregada, %1 gravou:\n\n%2")
            .arg(who, newer.lines.isEmpty() ? QStringLiteral("(sem detalhes)")
                                            : newer.lines.join(QLatin1Char('\n'))));

    TClientDataSet choices(QStringLiteral("cdsConflito"));
    choices.AddField({.Name = QStringLiteral("OPCAO"),
                      .Type = TFieldType::String,
                      .Size = 80,
                      .DisplayLabel = QStringLiteral("O que fazer com as suas alterações"),
                      .DisplayWidth = 70});
    choices.CreateDataSet();
    const QStringList options = {
        QStringLiteral("Continuar editando (nada é gravado agora)"),
        QStringLiteral("Recarregar a distribuição gravada (descarta as suas alterações)"),
        QStringLiteral("Gravar a sua versão por cima da de %1").arg(who)};
    for (const QString& option : options) {
        choices.Append();
        choices.FieldByName(QStringLiteral("OPCAO")).SetAsString(option);
        choices.Post();
    }
    choices.First();
    TDataSource source(QStringLiteral("dtsConflito"), &choices);
    const int choice =
        pla::Dialogs().PickList(source, QStringLiteral("Distribuição alterada"))
            ? options.indexOf(choices.FieldByName(QStringLiteral("OPCAO")).AsString())
            : 0;
    const auto ask = [](const QString& question) {
        return pla::Dialogs().MessageBox(question, pla::MsgDlgType::Confirmation,
                                         pla::mbYesNo | pla::mbDefaultNo) == mrYes;
    };
    if (choice == 1 &&
        ask(QStringLiteral("Descartar as suas alterações e carregar a distribuição gravada "
                           "por %1?")
                .arg(who))) {
        CancelaAltDistribuicao();
        // The list's light with it: the stored state is the other clerk's.
        GetServicos(edtCdFilial->Text(), depCardapio->GetDate(), true);
        Habilita();
    }
    if (choice == 2 && ask(QStringLiteral("Gravar a sua versão por cima da gravada por %1 em "
                                          "%2? As alterações de %1 serão substituídas pelas "
                                          "suas.")
                               .arg(who, newer.changedAt))) {
        pla::BusyScope busy(Zelvora::MainWindow());
        server_.SetDistribuicao(cdsDistCard->FieldByName(QStringLiteral("NRDISTCARD")).AsFloat(),
                                cdsCardapioDisponivel->Data(), cdsEmbDistCard->Data(),
                                cdsItEmbDistCard->Data(), newer.version);
        return;
    }
    throw Abort();
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
                              LoadedVersion());
    GetServicos(edtCdFilial->Text(), depCardapio->GetDate(), true);
}

void TfrmDistEmbCard::mnuApagarClick(TComponent&) {
    sbtApagar->Click();
}
