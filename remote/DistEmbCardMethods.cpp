#include "remote/DistEmbCardMethods.h"

#include "framework/data/Abort.h"
#include "framework/data/ClientDataSet.h"
#include "framework/data/DatabaseError.h"
#include "framework/data/PacketCodec.h"
#include "framework/net/NetConnection.h"
#include "framework/services/BusyScope.h"
#include "framework/services/Consiste.h"
#include "framework/services/Zelvora.h"
#include "framework/ui/DialogService.h"
#include "remote/PayloadReader.h"

#include <QJsonObject>
#include <algorithm>

namespace pla {

namespace {

QJsonValue DateArg(const QDate& date) {
    return date.isValid() ? QJsonValue(DistEmbCardMethods::DateText(date)) : QJsonValue();
}

QJsonValue PacketArg(const char* method, const TDataPacket& p) {
    try {
        return PacketCodec::ToJson(p);
    } catch (const EDatabaseError& e) {
        PayloadReader(QString::fromLatin1(method))
            .Fail(QStringLiteral("os dados a enviar não puderam ser codificados - %1")
                      .arg(e.Message()));
    }
}

// Text of a field of the current record; null reads as empty.
QString Text(const TClientDataSet& ds, const char* field) {
    return ds.FieldByName(QString::fromLatin1(field)).AsString();
}

} // namespace

DistEmbCardMethods::DistEmbCardMethods(TNetConnection& net) : net_(net) {}

QString DistEmbCardMethods::DateText(const QDate& date) {
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QJsonValue DistEmbCardMethods::Invoke(const char* method, const QJsonArray& params) {
    BusyScope busy(Zelvora::MainWindow());
    const QJsonValue raw = net_.Call(QString::fromLatin1(method), params);
    return Consiste::CheckResultServ(raw, true, 0);
}

void DistEmbCardMethods::InvokeInto(const char* method, const QJsonArray& params,
                                    TClientDataSet& target) {
    BusyScope busy(Zelvora::MainWindow());
    const QJsonValue raw = net_.Call(QString::fromLatin1(method), params);
    const QJsonValue payload = Consiste::CheckResultServ(raw, true, 0);
    const PayloadReader reader(QString::fromLatin1(method));
    const TDataPacket packet = reader.Packet(payload);
    reader.RequireLoadable(packet, target);
    target.SetData(packet);
}

QVector<ServiceGroup> DistEmbCardMethods::GetGruposServico() {
    BusyScope busy(Zelvora::MainWindow());
    const QJsonValue payload = Invoke(kGetGruposServico, {});
    const PayloadReader reader(QString::fromLatin1(kGetGruposServico));
    const TDataPacket packet = reader.Packet(payload);
    reader.RequireFields(packet, {QStringLiteral("NMGRUPSERV"), QStringLiteral("CDGRUPSERV")});

    TClientDataSet groups(QStringLiteral("GruposServico"));
    groups.SetData(packet);
    QVector<ServiceGroup> out;
    out.reserve(groups.RecordCount());
    for (groups.First(); !groups.Eof(); groups.Next())
        out.push_back({Text(groups, "CDGRUPSERV"), Text(groups, "NMGRUPSERV")});
    return out;
}

void DistEmbCardMethods::GetServicos(const QString& branch, const QDate& date,
                                     TClientDataSet& cdsServicos) {
    InvokeInto(kGetServicos, {branch, DateArg(date)}, cdsServicos);
}

void DistEmbCardMethods::GetServicosTransportados(const QString& branch,
                                                  TClientDataSet& cdsServicos) {
    InvokeInto(kGetServicosTransportados, {branch}, cdsServicos);
}

QVector<DeliveryPoint> DistEmbCardMethods::GetPontosEntrega(const QString& branch,
                                                            const QString& service) {
    BusyScope busy(Zelvora::MainWindow());
    const QJsonValue payload = Invoke(kGetPontosEntrega, {branch, service});
    const PayloadReader reader(QString::fromLatin1(kGetPontosEntrega));
    const TDataPacket packet = reader.Packet(payload);
    reader.RequireFields(packet, {QStringLiteral("NMRAZSOCCLIE"), QStringLiteral("NMDESTFILI"),
                                  QStringLiteral("CDDESTFILI"), QStringLiteral("CDCLIENTE")});

    TClientDataSet points(QStringLiteral("PontosEntrega"));
    points.SetData(packet);
    QVector<DeliveryPoint> out;
    out.reserve(points.RecordCount());
    for (points.First(); !points.Eof(); points.Next())
        out.push_back({Text(points, "NMRAZSOCCLIE"), Text(points, "NMDESTFILI"),
                       Text(points, "CDDESTFILI"), Text(points, "CDCLIENTE")});
    return out;
}

DistributionPayload DistEmbCardMethods::GetDistribuicao(const QString& branch,
                                                        const QString& service, const QDate& date,
                                                        const QString& client,
                                                        const QString& destination,
                                                        const QString& redistribute) {
    BusyScope busy(Zelvora::MainWindow());
    const QJsonValue payload = Invoke(
        kGetDistribuicao, {branch, service, DateArg(date), client, destination, redistribute});
    const PayloadReader reader(QString::fromLatin1(kGetDistribuicao));
    if (!payload.isArray()) reader.Fail(QStringLiteral("esperada uma lista de 5 elementos"));
    const QJsonArray items = payload.toArray();
    if (items.size() != 5)
        reader.Fail(QStringLiteral("esperada uma lista de 5 elementos, recebida uma de %1")
                        .arg(items.size()));

    DistributionPayload out;
    out.message = reader.Text(items.at(0), QStringLiteral("o elemento 0 (mensagem)"));
    // A message replaces the distribution: whatever came beside it is never loaded.
    if (!out.message.isEmpty()) return out;
    out.header = reader.Packet(items.at(1), QStringLiteral("elemento 1"));
    out.available = reader.Packet(items.at(2), QStringLiteral("elemento 2"));
    out.packagings = reader.Packet(items.at(3), QStringLiteral("elemento 3"));
    out.dishRows = reader.Packet(items.at(4), QStringLiteral("elemento 4"));
    return out;
}

void DistEmbCardMethods::LoadDistribution(const DistributionPayload& payload,
                                          TClientDataSet& cdsDistCard,
                                          TClientDataSet& cdsCardapioDisponivel,
                                          TClientDataSet& cdsEmbDistCard,
                                          TClientDataSet& cdsItEmbDistCard) {
    const PayloadReader reader(QString::fromLatin1(kGetDistribuicao));
    reader.RequireLoadable(payload.header, cdsDistCard, QStringLiteral("elemento 1"));
    reader.RequireLoadable(payload.available, cdsCardapioDisponivel, QStringLiteral("elemento 2"));
    reader.RequireLoadable(payload.packagings, cdsEmbDistCard, QStringLiteral("elemento 3"));
    reader.RequireLoadable(payload.dishRows, cdsItEmbDistCard, QStringLiteral("elemento 4"));
    cdsDistCard.SetData(payload.header);
    cdsCardapioDisponivel.SetData(payload.available);
    cdsEmbDistCard.SetData(payload.packagings);
    cdsItEmbDistCard.SetData(payload.dishRows);
}

void DistEmbCardMethods::SetDistribuicao(double distribution, const TDataPacket& available,
                                         const TDataPacket& packagings, const TDataPacket& dishRows,
                                         std::optional<qint64> version) {
    QJsonArray params{distribution, PacketArg(kSetDistribuicao, available),
                      PacketArg(kSetDistribuicao, packagings),
                      PacketArg(kSetDistribuicao, dishRows)};
    if (version) params.append(static_cast<double>(*version));
    Invoke(kSetDistribuicao, params);
}

void DistEmbCardMethods::GetVdEmbalagens(const QString& code, TClientDataSet& cdsVdEmbalagens) {
    InvokeInto(kGetVdEmbalagens, {code}, cdsVdEmbalagens);
}

double DistEmbCardMethods::GetCapacidadeEmb(const QString& recipeBranch, const QString& dish,
                                            const QString& container) {
    BusyScope busy(Zelvora::MainWindow());
    const QJsonValue payload = Invoke(kGetCapacidadeEmb, {recipeBranch, dish, container});
    const PayloadReader reader(QString::fromLatin1(kGetCapacidadeEmb));
    const TDataPacket packet = reader.Packet(payload);
    if (packet.Rows.isEmpty()) return 0.0;
    reader.RequireFields(packet, {QStringLiteral("VRQTDEPRATEMB")});
    TClientDataSet capacity(QStringLiteral("CapacidadeEmb"));
    capacity.SetData(packet);
    capacity.First();
    return capacity.FieldByName(QStringLiteral("VRQTDEPRATEMB")).AsFloat();
}

std::optional<StoredChanges> DistEmbCardMethods::GetAlteracoesDistribuicao(double distribution,
                                                                           qint64 version) {
    BusyScope busy(Zelvora::MainWindow());
    QJsonObject data;
    try {
        const QJsonValue raw = net_.Call(QString::fromLatin1(kGetAlteracoesDistribuicao),
                                         {distribution, static_cast<double>(version)});
        data = Consiste::CheckResultServ(raw, false, 0).toObject();
    } catch (...) {
        // The refusal of the save has been told; this is only its explanation.
        return std::nullopt;
    }
    StoredChanges c;
    c.version = data.value(QStringLiteral("versao")).toInteger();
    if (c.version <= version) return std::nullopt;
    c.changedBy = data.value(QStringLiteral("nome")).toString();
    c.changedAt = data.value(QStringLiteral("quando")).toString();
    for (const QJsonValue& line : data.value(QStringLiteral("alteracoes")).toArray())
        c.lines << line.toString();
    return c;
}

bool DistEmbCardMethods::SetImpressaoDistribuicao(const PrintJob& job) {
    TDataPacket printed;
    printed.Fields = {{"NRDISTCARD", TFieldType::Float, 0}, {"NRVERSAO", TFieldType::Float, 0}};
    if (job.packaging > 0)
        printed.Fields +=
            {{"NREMBDISTCARD", TFieldType::Float, 0}, {"DSUNIDADES", TFieldType::String, 200}};
    QList<qint64> numbers = job.versions.keys();
    std::sort(numbers.begin(), numbers.end());
    for (const qint64 n : numbers) {
        QVector<QVariant> row{double(n), double(job.versions.value(n))};
        if (job.packaging > 0) row << double(job.packaging) << job.units;
        printed.Rows.push_back(row);
    }
    const QJsonValue prepared =
        job.prepared.isValid()
            ? QJsonValue(job.prepared.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
            : QJsonValue();
    try {
        Invoke(kSetImpressaoDistribuicao,
               {job.branch, DateArg(job.date), QString(job.contents), prepared,
                PacketArg(kSetImpressaoDistribuicao, printed)});
        return true;
    } catch (const Abort&) {
        Dialogs().ShowWarning(
            QStringLiteral("A impressão saiu, mas não foi registrada no servidor: o aviso de "
                           "etiquetas impressas antes da última alteração não a conhece."));
        return false;
    }
}

QHash<qint64, LabelsPrint>
DistEmbCardMethods::GetEtiquetasImpressas(const QString& branch, const QDate& date,
                                          std::optional<qint64> distribution) {
    BusyScope busy(Zelvora::MainWindow());
    QHash<qint64, LabelsPrint> out;
    TDataPacket packet;
    try {
        QJsonArray params{branch, DateArg(date)};
        if (distribution) params.append(static_cast<double>(*distribution));
        const QJsonValue raw = net_.Call(QString::fromLatin1(kGetEtiquetasImpressas), params);
        packet = PacketCodec::FromJson(Consiste::CheckResultServ(raw, false, 0));
    } catch (...) {
        return out;
    }
    const int number = packet.IndexOf(QStringLiteral("NRDISTCARD"));
    const int version = packet.IndexOf(QStringLiteral("NRVERSAO"));
    const int when = packet.IndexOf(QStringLiteral("DTHRIMPRESSAO"));
    const int who = packet.IndexOf(QStringLiteral("NMUSUARIO"));
    const int prepared = packet.IndexOf(QStringLiteral("DTHRPREPARO"));
    if (number < 0 || version < 0) return out;
    const auto text = [](const QVector<QVariant>& row, int i) {
        return i >= 0 && i < row.size() ? row[i].toString() : QString();
    };
    for (const QVector<QVariant>& row : packet.Rows) {
        if (row.size() <= std::max(number, version)) continue;
        out.insert(
            row[number].toLongLong(),
            {row[version].toLongLong(), text(row, when), text(row, who),
             QDateTime::fromString(text(row, prepared), QStringLiteral("yyyy-MM-dd HH:mm"))});
    }
    return out;
}

void DistEmbCardMethods::ApagaDistribuicao(double distribution, std::optional<qint64> version) {
    QJsonArray params{distribution};
    if (version) params.append(static_cast<double>(*version));
    Invoke(kApagaDistribuicao, params);
}

void DistEmbCardMethods::GeraDistribuicaoFilial(const QDate& date, const TDataPacket& services,
                                                const QString& replace) {
    Invoke(kGeraDistribuicaoFilial,
           {DateArg(date), PacketArg(kGeraDistribuicaoFilial, services), replace});
}

} // namespace pla
