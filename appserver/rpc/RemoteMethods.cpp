#include "appserver/rpc/RemoteMethods.h"

#include "appserver/auth/AuditTrail.h"
#include "appserver/rpc/DistributionPackets.h"
#include "appserver/rpc/InputLimits.h"
#include "appserver/rpc/PacketFieldReader.h"
#include "appserver/rpc/Refusal.h"
#include "appserver/storage/CatalogQueries.h"
#include "appserver/storage/DistributionVersion.h"
#include "appserver/storage/PrintQueries.h"
#include "appserver/storage/PrintRecord.h"
#include "appserver/storage/TransactionRetry.h"
#include "framework/data/PacketCodec.h"
#include "framework/data/PacketWriter.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace pla {

RemoteMethods::RemoteMethods(QSqlDatabase db, DistributionStore::WriteHook hook, Caller caller)
    : db_(std::move(db)), hook_(std::move(hook)), caller_(std::move(caller)),
      restriction_(caller_, db_) {}

DistributionStore RemoteMethods::store() const {
    DistributionStore store(db_);
    store.setWriteHook(hook_);
    store.setCaller(caller_);
    return store;
}

QJsonObject RemoteMethods::success(const QJsonValue& data) {
    return QJsonObject{{QStringLiteral("ok"), true}, {QStringLiteral("data"), data}};
}

QJsonObject RemoteMethods::refusal(const QString& message) {
    return QJsonObject{{QStringLiteral("ok"), false}, {QStringLiteral("message"), message}};
}

template <class F> QJsonObject RemoteMethods::guarded(F&& body) {
    try {
        return TransactionRetry(db_).run(body);
    } catch (const Refusal& r) {
        return refusal(r.message());
    }
}

QJsonObject RemoteMethods::GetFiliais(const QString& code, const QString& all) {
    return guarded([&] {
        return success(PacketCodec::ToJson(
            CatalogQueries(db_).branches(code, all, caller_.tied ? caller_.branch : QString())));
    });
}

QJsonObject RemoteMethods::GetGruposServico() {
    return guarded(
        [&] { return success(PacketCodec::ToJson(CatalogQueries(db_).serviceGroups())); });
}

QJsonObject RemoteMethods::GetServicos(const QString& branch, const QDate& date) {
    return guarded([&] {
        restriction_.requireBranch(branch);
        return success(PacketCodec::ToJson(CatalogQueries(db_).services(branch, date)));
    });
}

QJsonObject RemoteMethods::GetServicosTransportados(const QString& branch) {
    return guarded([&] {
        restriction_.requireBranch(branch);
        return success(PacketCodec::ToJson(CatalogQueries(db_).transportedServices(branch)));
    });
}

QJsonObject RemoteMethods::GetImpressaoDistribuicao(const QString& branch, const QDate& date) {
    return guarded([&] {
        restriction_.requireBranch(branch);
        return PrintQueries(db_).GetImpressaoDistribuicao(branch, date);
    });
}

QJsonObject RemoteMethods::SetImpressaoDistribuicao(const QString& branch, const QDate& date,
                                                    const QString& contents,
                                                    const QString& prepared,
                                                    const TDataPacket& printed) {
    return guarded([&] {
        restriction_.requireBranch(branch);
        PrintRecord::Job job;
        job.branch = branch;
        job.date = date;
        job.contents = contents.isEmpty() ? QChar() : contents.front();
        if (contents.size() != 1 ||
            (job.contents != PrintRecord::kLabels && job.contents != PrintRecord::kPackingLists &&
             job.contents != PrintRecord::kBoth))
            return refusal(QStringLiteral("Conteúdo da impressão inválido: use \"E\" "
                                          "(etiquetas), \"R\" (romaneios) ou \"A\" (ambos)."));
        if (!prepared.isNull()) {
            job.prepared = QDateTime::fromString(prepared, QStringLiteral("yyyy-MM-dd HH:mm"));
            if (!job.prepared.isValid())
                return refusal(QStringLiteral("Data e hora do preparo inválidas: use "
                                              "AAAA-MM-DD HH:MM."));
        }
        const PacketFieldReader rows(printed, QStringLiteral("distribuições impressas"),
                                     {{QStringLiteral("DSUNIDADES"), 200}},
                                     {QStringLiteral("NRDISTCARD"), QStringLiteral("NRVERSAO")},
                                     InputLimits::maxDishRows); // far above a day's distributions
        const qint64 most = InputLimits::maxPackagingNumber;
        for (int r = 0; r < rows.rowCount(); ++r) {
            const PacketFieldReader::Label label(QStringLiteral("da linha %1").arg(r + 1));
            rows.checkTexts(r, label);
            job.printed.push_back({rows.integer(r, "NRDISTCARD", label, 1, most),
                                   rows.integer(r, "NRVERSAO", label, 1, most)});
            if (!rows.isNull(r, "NREMBDISTCARD")) {
                if (rows.rowCount() != 1)
                    return refusal(QStringLiteral("A reimpressão de uma embalagem é de uma só "
                                                  "distribuição."));
                job.packaging = rows.integer(r, "NREMBDISTCARD", label, 1, most);
                job.units = rows.text(r, "DSUNIDADES", label);
            }
        }
        PrintRecord(db_).record(caller_, QDateTime::currentDateTimeUtc(), job);
        return success(QJsonValue(QJsonValue::Null));
    });
}

QJsonObject RemoteMethods::GetEtiquetasImpressas(const QString& branch, const QDate& date,
                                                 std::optional<qint64> number) {
    return guarded([&] {
        restriction_.requireBranch(branch);
        return success(PacketCodec::ToJson(PrintRecord(db_).lastLabels(branch, date, number)));
    });
}

QJsonObject RemoteMethods::GetPontosEntrega(const QString& branch, const QString& service) {
    return guarded([&] {
        restriction_.requireBranch(branch);
        return success(PacketCodec::ToJson(CatalogQueries(db_).deliveryPoints(branch, service)));
    });
}

QJsonObject RemoteMethods::GetDistribuicao(const QString& branch, const QString& service,
                                           const QDate& date, const QString& client,
                                           const QString& destination, bool redo) {
    return QJsonDocument::fromJson(
               GetDistribuicaoJson(branch, service, date, client, destination, redo))
        .object();
}

QByteArray RemoteMethods::GetDistribuicaoJson(const QString& branch, const QString& service,
                                              const QDate& date, const QString& client,
                                              const QString& destination, bool redo) {
    QByteArray text;
    const QJsonObject refused = guarded([&] {
        text.clear(); // a retried attempt starts again
        restriction_.requireBranch(branch);
        const LoadResult r =
            store().load(DistributionKey{branch, service, date, client, destination}, redo);
        const Distribution empty;
        const Distribution& d = r.message.isEmpty() ? r.distribution : empty;
        const bool header = r.message.isEmpty() && r.hasHeader;
        // The members in the order a JSON document writes them: "data", then "ok".
        text += "{\"data\":[";
        PacketWriter::AppendString(r.message, text);
        text += ',';
        DistributionPackets::appendLoad(header ? &d : nullptr, d, text);
        text += "],\"ok\":true}";
        return QJsonObject();
    });
    return refused.isEmpty() ? text : QJsonDocument(refused).toJson(QJsonDocument::Compact);
}

QJsonObject RemoteMethods::SetDistribuicao(std::optional<double> number,
                                           const TDataPacket& undistributed,
                                           const TDataPacket& packagings, const TDataPacket& rows,
                                           std::optional<qint64> version) {
    return guarded([&] {
        if (!number) return refusal(QStringLiteral("Nenhuma distribuição carregada para gravar."));
        restriction_.requireDistribution(*number);
        store().save(*number, undistributed, packagings, rows, version);
        return success(QJsonValue(QJsonValue::Null));
    });
}

QJsonObject RemoteMethods::GetVdEmbalagens(const QString& code) {
    return guarded(
        [&] { return success(PacketCodec::ToJson(CatalogQueries(db_).containers(code))); });
}

QJsonObject RemoteMethods::GetCapacidadeEmb(const QString& recipeBranch, const QString& dish,
                                            const QString& container) {
    return guarded([&] {
        return success(
            PacketCodec::ToJson(CatalogQueries(db_).capacity(recipeBranch, dish, container)));
    });
}

QJsonObject RemoteMethods::ApagaDistribuicao(std::optional<double> number,
                                             std::optional<qint64> version) {
    return guarded([&] {
        if (!number) return refusal(QStringLiteral("Nenhuma distribuição carregada para apagar."));
        restriction_.requireDistribution(*number);
        store().remove(*number, version);
        return success(QJsonValue(QJsonValue::Null));
    });
}

QJsonObject RemoteMethods::GetAlteracoesDistribuicao(std::optional<double> number, qint64 version) {
    return guarded([&] {
        if (!number) return refusal(QStringLiteral("Nenhuma distribuição carregada."));
        restriction_.requireDistribution(*number);
        const auto stored = static_cast<qint64>(*number);
        const std::optional<DistributionVersion::Stamp> stamp =
            DistributionVersion(db_).current(stored);
        if (!stamp) return refusal(QStringLiteral("A distribuição não está mais gravada."));
        QJsonArray lines;
        for (const AuditEvent& e : AuditTrail(db_).eventsAfter(stored, version)) {
            lines.append(QStringLiteral("%1, %2: %3")
                             .arg(e.when.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm")),
                                  e.userName.isEmpty() ? e.login : e.userName, e.operation));
            for (const QJsonValue& c : e.changes)
                lines.append(QStringLiteral("    ") + AuditTrail::describe(c.toObject()));
        }
        return success(QJsonObject{
            {QStringLiteral("versao"), static_cast<double>(stamp->version)},
            {QStringLiteral("nome"), stamp->changedBy},
            {QStringLiteral("quando"),
             stamp->changedAt.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"))},
            {QStringLiteral("alteracoes"), lines}});
    });
}

QJsonObject RemoteMethods::GeraDistribuicaoFilial(const QDate& date, const TDataPacket& services,
                                                  bool replace) {
    return guarded([&] {
        restriction_.requireRows(services);
        const GenerationSummary s = store().generate(date, services, replace);
        return success(QJsonObject{{QStringLiteral("geradas"), s.generated},
                                   {QStringLiteral("mantidas"), s.kept},
                                   {QStringLiteral("ignoradas"), s.skipped}});
    });
}

} // namespace pla
