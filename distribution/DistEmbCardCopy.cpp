// Copying another day's distribution of the same service and delivery point into the loaded
// one: the date asked in the copy dialog, that day read as stored (the print read, which
// never creates a distribution where none is stored), the copy planned by
// pla::DistributionCopy and loaded into the three sets in one step, in change mode.
#include "amounts/DishAmounts.h"
#include "copy_dialog/CriaCopiaDistribuicao.h"
#include "distribution/DistEmbCard.h"
#include "distribution/DistributionCopy.h"
#include "framework/services/BusyScope.h"
#include "framework/services/Consiste.h"
#include "framework/services/Zelvora.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/TDateEditPlus.h"
#include "remote/DistributionDayReader.h"

#include <QHash>
#include <array>

namespace {

QString DateText(const QDate& date) {
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

// A data packet's rows read and written by field name.
class PacketRows {
public:
    explicit PacketRows(TDataPacket& p) : p_(p) {}
    QVariant Get(int row, const char* field) const {
        const int i = p_.IndexOf(QString::fromLatin1(field));
        return i >= 0 ? p_.Rows[row][i] : QVariant();
    }
    double Number(int row, const char* field) const { return Get(row, field).toDouble(); }
    QString Text(int row, const char* field) const { return Get(row, field).toString(); }
    void Set(int row, const char* field, const QVariant& value) {
        const int i = p_.IndexOf(QString::fromLatin1(field));
        if (i >= 0) p_.Rows[row][i] = value;
    }
    // Appends a row of nulls and gives its index.
    int Append() {
        p_.Rows.push_back(QVector<QVariant>(p_.Fields.size()));
        return static_cast<int>(p_.Rows.size()) - 1;
    }
    int Count() const { return static_cast<int>(p_.Rows.size()); }

private:
    TDataPacket& p_;
};

} // namespace

void TfrmDistEmbCard::mnuCopiarClick(TComponent&) {
    ConfirmLeavingChange();
    VdDadosCardapio();
    if (!cdsDistCard->Active() || cdsDistCard->IsEmpty())
        Consiste::MensErro(QStringLiteral("Não há distribuição carregada para receber a cópia: "
                                          "escolha o ponto de entrega."),
                           true);
    const std::optional<QDate> date = CriaCopiaDistribuicao(depCardapio->GetDate());
    if (date) CopiaDistribuicao(*date);
}

void TfrmDistEmbCard::CopiaDistribuicao(const QDate& date) {
    const QString branch = cdsServicos->FieldByName(QStringLiteral("CDFILIAL")).AsString();
    const QString service = cdsServicos->FieldByName(QStringLiteral("CDSERVFILI")).AsString();
    const auto [client, destination] = SelectedDeliveryPoint();

    TDataPacket available = cdsCardapioDisponivel->Data();
    PacketRows dishes(available);
    QVector<pla::CopyDish> menu;
    QHash<double, int> dishRow; // NRSEQPRATCAR -> row of available
    for (int r = 0; r < dishes.Count(); ++r) {
        menu.push_back({dishes.Number(r, "NRSEQPRATCAR"), dishes.Text(r, "CDPRATO"),
                        dishes.Text(r, "CDFILAUXPRAT"), dishes.Text(r, "NMPRATO"),
                        dishes.Number(r, "QTTOTCOMENSAIS"), dishes.Number(r, "QTTOTPRATO"),
                        dishes.Number(r, "QTTOTEXTRA"), dishes.Number(r, "QTPORPESSOA")});
        dishRow.insert(menu.back().sequence, r);
    }

    pla::CopyPlan plan;
    {
        // One animation for the read and every capacity asked.
        pla::BusyScope busy(Zelvora::MainWindow());
        const pla::DistributionDay day =
            pla::DistributionDayReader::Read(netDistEmbCard, branch, QString(), date);
        QVector<pla::DayPackaging> source;
        for (const pla::DayPackaging& p : day.packagings)
            if (p.service == service && p.client == client && p.destination == destination)
                source.push_back(p);
        if (source.isEmpty()) {
            busy.Release();
            Consiste::MensErro(QStringLiteral("Não há distribuição gravada em %1 para este serviço "
                                              "e ponto de entrega: nada foi copiado.")
                                   .arg(DateText(date)),
                               true);
        }
        plan = pla::DistributionCopy::Plan(
            source, menu, cdsDistCard->FieldByName(QStringLiteral("QTCOMENSAIS")).AsFloat(),
            [this](const pla::CopyDish& dish, const QString& container) {
                return CapacidadeEmb(dish.recipeBranch, dish.code, container);
            });
    }
    if (!plan.commonDish)
        Consiste::MensErro(QStringLiteral("Nenhum prato da distribuição de %1 está no cardápio de "
                                          "%2: nada foi copiado.")
                               .arg(DateText(date), DateText(depCardapio->GetDate())),
                           true);
    if (plan.packagings.isEmpty()) {
        const QStringList lines{
            QStringLiteral("Nenhum prato pôde ser copiado de %1.").arg(DateText(date))};
        Consiste::MensErro((lines + plan.skipped).join(QLatin1Char('\n')), true);
    }

    // The three sets as the copy leaves them: only its packagings, each dish's amounts
    // undistributed except what they hold.
    TDataPacket packagings{cdsEmbDistCard->Data().Fields, {}};
    TDataPacket rows{cdsItEmbDistCard->Data().Fields, {}};
    PacketRows packagingRows(packagings), dishRows(rows);
    QHash<double, std::array<double, 3>> placed;
    std::int32_t counter = newPackagingCounter_;
    for (const pla::CopiedPackaging& p : plan.packagings) {
        const double number = -static_cast<double>(++counter);
        const int k = packagingRows.Append();
        packagingRows.Set(k, "NREMBDISTCARD", number);
        packagingRows.Set(k, "CDCONTAINER", p.container);
        packagingRows.Set(k, "NMCONTAINER", p.containerName);
        packagingRows.Set(k, "IDPROPOSITO", p.purpose);
        packagingRows.Set(k, "QTCONTAINER", p.units);
        packagingRows.Set(k, "DSOBSETIQUETA", p.remark);
        packagingRows.Set(k, "QTPRATO", p.quantity);
        for (const pla::CopiedRow& c : p.rows) {
            const int from = dishRow.value(c.sequence);
            const int r = dishRows.Append();
            dishRows.Set(r, "NRSEQPRATCAR", c.sequence);
            dishRows.Set(r, "NREMBDISTCARD", number);
            dishRows.Set(r, "QTCOMENSAIS", c.diners);
            dishRows.Set(r, "QTPRATO", c.quantity);
            dishRows.Set(r, "QTEXTRA", c.extra);
            for (const char* field : {"CDPRATO", "NMPRATO", "SGUNIDADE"})
                dishRows.Set(r, field, dishes.Get(from, field));
            dishRows.Set(r, "IDPRINCIPAL",
                         &c == &p.rows.front() ? QStringLiteral("S") : QStringLiteral("N"));
            dishRows.Set(r, "VRQTDEPRATEMB", c.capacity);
            auto& sum = placed[c.sequence];
            sum = {sum[0] + c.diners, sum[1] + c.quantity, sum[2] + c.extra};
        }
    }
    for (int r = 0; r < dishes.Count(); ++r) {
        const auto sum = placed.value(dishes.Number(r, "NRSEQPRATCAR"), {0, 0, 0});
        dishes.Set(r, "QTCOMENSAIS",
                   pla::DishAmounts::Remainder(dishes.Number(r, "QTTOTCOMENSAIS") - sum[0]));
        dishes.Set(r, "QTPRATO",
                   pla::DishAmounts::Remainder(dishes.Number(r, "QTTOTPRATO") - sum[1]));
        dishes.Set(r, "QTEXTRA",
                   pla::DishAmounts::Remainder(dishes.Number(r, "QTTOTEXTRA") - sum[2]));
    }

    cdsCardapioDisponivel->SetData(available);
    cdsItEmbDistCard->SetData(rows);
    cdsEmbDistCard->SetData(packagings);
    newPackagingCounter_ = counter;
    AplicaFiltroCardDisp();
    AplicaFiltroItEmb();
    AlteraDistribuicao();
    Habilita();
    cdsCardapioDisponivelAfterScroll(*cdsCardapioDisponivel);
    if (!plan.skipped.isEmpty())
        pla::Dialogs().ShowInformation(QStringLiteral("Pratos não copiados:\n") +
                                       plan.skipped.join(QLatin1Char('\n')));
}
