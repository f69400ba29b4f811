#pragma once

#include "appserver/DistributionStore.h"
#include "framework/data/DataPacket.h"

#include <QDate>
#include <QJsonObject>
#include <QSqlDatabase>
#include <optional>

namespace pla {

// The ten remote methods of the distribution module, with typed arguments. Each returns the
// result envelope {"ok":true,"data":...} or {"ok":false,"message":"..."}; refusals and
// database failures become the second form, never an exception.
class RemoteMethods {
public:
    explicit RemoteMethods(QSqlDatabase db, DistributionStore::WriteHook hook = {});

    QJsonObject GetGruposServico();
    QJsonObject GetServicos(const QString& branch, const QDate& date);
    QJsonObject GetServicosTransportados(const QString& branch);
    QJsonObject GetPontosEntrega(const QString& branch, const QString& service);
    // data: [message, header, undistributed, packagings, dish rows]; with a message the four
    // packets are empty.
    QJsonObject GetDistribuicao(const QString& branch, const QString& service, const QDate& date,
                                const QString& client, const QString& destination, bool redo);
    QJsonObject SetDistribuicao(std::optional<double> number, const TDataPacket& undistributed,
                                const TDataPacket& packagings, const TDataPacket& rows);
    QJsonObject GetVdEmbalagens(const QString& code);
    QJsonObject GetCapacidadeEmb(const QString& recipeBranch, const QString& dish,
                                 const QString& container);
    QJsonObject ApagaDistribuicao(std::optional<double> number);
    QJsonObject GeraDistribuicaoFilial(const QDate& date, const TDataPacket& services,
                                       bool replace);

    // The connection the methods run on (for reads kept in files of their own).
    QSqlDatabase database() const { return db_; }

    // Envelope builders.
    static QJsonObject success(const QJsonValue& data);
    static QJsonObject refusal(const QString& message);

private:
    template <class F> QJsonObject guarded(F&& body);
    QSqlDatabase db_;
    DistributionStore::WriteHook hook_;
};

} // namespace pla
