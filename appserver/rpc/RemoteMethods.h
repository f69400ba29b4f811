#pragma once

#include "appserver/auth/BranchRestriction.h"
#include "appserver/auth/Caller.h"
#include "appserver/storage/DistributionStore.h"
#include "framework/data/DataPacket.h"

#include <QByteArray>
#include <QDate>
#include <QJsonObject>
#include <QSqlDatabase>
#include <optional>

namespace pla {

// The remote methods of the distribution module, with typed arguments (JsonRpcDispatcher's
// table names each one and reads its params). Each returns the
// result envelope {"ok":true,"data":...} or {"ok":false,"message":"..."}; refusals and
// database failures become the second form, never an exception. Every method runs for
// `caller`: a tied user is held to his branch, and changes are stamped and audited with him.
class RemoteMethods {
public:
    explicit RemoteMethods(QSqlDatabase db, DistributionStore::WriteHook hook = {},
                           Caller caller = {});

    // The workstation's branch query (CatalogQueries::branches): a tied user sees his own
    // branch only, so asking for another one answers no row, as an unknown code does.
    QJsonObject GetFiliais(const QString& code, const QString& all);
    QJsonObject GetGruposServico();
    QJsonObject GetServicos(const QString& branch, const QDate& date);
    QJsonObject GetServicosTransportados(const QString& branch);
    QJsonObject GetPontosEntrega(const QString& branch, const QString& service);
    // data: [message, header, undistributed, packagings, dish rows]; with a message the four
    // packets are empty.
    QJsonObject GetDistribuicao(const QString& branch, const QString& service, const QDate& date,
                                const QString& client, const QString& destination, bool redo);
    // The same answer as compact JSON text, its packets written straight from their rows.
    QByteArray GetDistribuicaoJson(const QString& branch, const QString& service, const QDate& date,
                                   const QString& client, const QString& destination, bool redo);
    // `version`: the NRVERSAO the client loaded; without it the save is made as before and
    // audited as unversioned.
    QJsonObject SetDistribuicao(std::optional<double> number, const TDataPacket& undistributed,
                                const TDataPacket& packagings, const TDataPacket& rows,
                                std::optional<qint64> version = std::nullopt);
    QJsonObject GetVdEmbalagens(const QString& code);
    QJsonObject GetCapacidadeEmb(const QString& recipeBranch, const QString& dish,
                                 const QString& container);
    QJsonObject ApagaDistribuicao(std::optional<double> number,
                                  std::optional<qint64> version = std::nullopt);
    QJsonObject GeraDistribuicaoFilial(const QDate& date, const TDataPacket& services,
                                       bool replace);

    // The print module's read of a whole branch day (PrintQueries), held to the caller's
    // branch like every other method that names one.
    QJsonObject GetImpressaoDistribuicao(const QString& branch, const QDate& date);

    // Records one successful print job of a branch day (PrintRecord): `contents` "E" labels,
    // "R" packing lists or "A" both; `prepared` the preparation the labels state
    // ("AAAA-MM-DD HH:MM", null for packing lists alone); `printed` a packet NRDISTCARD,
    // NRVERSAO of every distribution printed at the version it was read at, and for a reprint of
    // one packaging's labels its NREMBDISTCARD and DSUNIDADES ("1-3") on its one row. Data null.
    QJsonObject SetImpressaoDistribuicao(const QString& branch, const QDate& date,
                                         const QString& contents, const QString& prepared,
                                         const TDataPacket& printed);
    // The latest whole labels print of each distribution of the branch day (PrintRecord::
    // lastLabels), or of distribution `number` alone, so both screens can tell labels printed
    // before the last change.
    QJsonObject GetEtiquetasImpressas(const QString& branch, const QDate& date,
                                      std::optional<qint64> number = std::nullopt);

    // Read only: what was stored of distribution `number` since `version`, for a clerk whose
    // save was refused because someone else saved first. Data {"versao": current version,
    // "nome": who made it, "quando": "dd/mm/aaaa hh:mm", "alteracoes": one line per change,
    // each save's line first}; "versao" equals `version` when nothing changed since.
    QJsonObject GetAlteracoesDistribuicao(std::optional<double> number, qint64 version);

    // Envelope builders.
    static QJsonObject success(const QJsonValue& data);
    static QJsonObject refusal(const QString& message);

private:
    template <class F> QJsonObject guarded(F&& body);
    DistributionStore store() const;
    QSqlDatabase db_;
    DistributionStore::WriteHook hook_;
    Caller caller_;
    BranchRestriction restriction_;
};

} // namespace pla
