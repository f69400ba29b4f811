// The labels of the loaded distribution: the warning when they were printed before its last
// change, and the reprint of one stored packaging's labels.
#include "distribution/DistEmbCard.h"
#include "framework/services/Consiste.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/ModalResult.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TPanel.h"
#include "remote/DistributionDayReader.h"
#include "reprint/PackagingReprint.h"
#include "reprint/ReimpEtiquetas.h"
#include "reprint/UnitRange.h"

void TfrmDistEmbCard::VerificaEtiquetas() {
    labelsPrint_.reset();
    bool stale = false;
    // A server that keeps no version keeps no print record either.
    if (const std::optional<qint64> version = LoadedVersion()) {
        const auto number =
            static_cast<qint64>(cdsDistCard->FieldByName(QStringLiteral("NRDISTCARD")).AsFloat());
        const QHash<qint64, pla::LabelsPrint> prints = server_.GetEtiquetasImpressas(
            cdsServicos->FieldByName(QStringLiteral("CDFILIAL")).AsString(), depCardapio->GetDate(),
            number);
        if (const auto it = prints.constFind(number); it != prints.constEnd()) {
            labelsPrint_ = *it;
            stale = it->version < *version;
            panAvisoEtiquetas->SetHint(
                QStringLiteral("Impressas por %1 em %2, na versão %3; a distribuição está na "
                               "versão %4.")
                    .arg(it->who, it->when)
                    .arg(it->version)
                    .arg(*version));
        }
    }
    panAvisoEtiquetas->SetVisible(stale);
}

void TfrmDistEmbCard::mnuReimprimirClick(TComponent&) {
    VdDadosCardapio();
    if (!cdsEmbDistCard->Active() || cdsEmbDistCard->IsEmpty())
        Consiste::MensErro(QStringLiteral("Não há embalagem para reimprimir: escolha uma "
                                          "embalagem gravada."),
                           true);
    const auto number =
        static_cast<qint64>(cdsEmbDistCard->FieldByName(QStringLiteral("NREMBDISTCARD")).AsFloat());
    if (number <= 0)
        Consiste::MensErro(QStringLiteral("A embalagem atual ainda não foi gravada: confirme a "
                                          "distribuição antes de reimprimir as suas etiquetas."),
                           true);
    if (PendingChange() &&
        pla::Dialogs().MessageBox(
            QStringLiteral("A distribuição tem alterações não confirmadas, e as etiquetas saem "
                           "como a embalagem está gravada, sem elas. Reimprimir assim mesmo?"),
            pla::MsgDlgType::Confirmation, pla::mbYesNo | pla::mbDefaultNo) != mrYes)
        return;

    const QString branch = cdsServicos->FieldByName(QStringLiteral("CDFILIAL")).AsString();
    const QDate date = depCardapio->GetDate();
    const pla::DistributionDay day =
        pla::DistributionDayReader::Read(netDistEmbCard, branch, edtNmFilial->Text(), date);
    const pla::DayPackaging* packaging = nullptr;
    for (const pla::DayPackaging& p : day.packagings)
        if (p.number == number) packaging = &p;
    if (!packaging)
        Consiste::MensErro(QStringLiteral("A embalagem %1 não está mais gravada: recarregue a "
                                          "distribuição.")
                               .arg(number),
                           true);

    // The torn label is reprinted as it was: the preparation of the last labels print.
    const QTime now = QTime::currentTime();
    const QDateTime prepared = labelsPrint_ && labelsPrint_->prepared.isValid()
                                   ? labelsPrint_->prepared
                                   : QDateTime(date, QTime(now.hour(), now.minute()));
    TfrmReimpEtiquetas dialog;
    const std::optional<TfrmReimpEtiquetas::Choice> choice = dialog.Ask(*packaging, prepared);
    if (!choice) return;
    if (!pla::PackagingReprint::Print(day, *packaging, choice->units, *choice->stock,
                                      choice->prepared))
        return;
    pla::PrintJob job;
    job.branch = branch;
    job.date = date;
    job.contents = QLatin1Char('E');
    job.prepared = choice->prepared;
    job.versions.insert(packaging->distribution, packaging->version);
    job.packaging = number;
    job.units = pla::UnitRange::Text(choice->units);
    server_.SetImpressaoDistribuicao(job);
    pla::Dialogs().ShowStatus(QStringLiteral("Etiquetas reimpressas: %1 da embalagem %2.")
                                  .arg(choice->units.size())
                                  .arg(number));
}
