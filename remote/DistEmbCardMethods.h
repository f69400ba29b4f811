#pragma once

#include "framework/data/DataPacket.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QJsonArray>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

class TClientDataSet;
class TNetConnection;

namespace pla {

// One service group as GetGruposServico lists it.
struct ServiceGroup {
    QString code; // CDGRUPSERV
    QString name; // NMGRUPSERV
};

// One delivery point of a service as GetPontosEntrega lists it.
struct DeliveryPoint {
    QString clientName;      // NMRAZSOCCLIE (empty when the server sent null)
    QString destinationName; // NMDESTFILI
    QString destinationCode; // CDDESTFILI
    QString clientCode;      // CDCLIENTE
};

// What another clerk stored of a distribution after the version a refused save came from.
struct StoredChanges {
    qint64 version = 0; // the stored version a save over it must name
    QString changedBy;  // who stored it
    QString changedAt;  // when, "dd/mm/aaaa hh:mm"
    QStringList lines;  // each save, then its packagings and dish rows added, changed, removed
};

// One print job as the print record keeps it: what came out of which distributions.
struct PrintJob {
    QString branch;
    QDate date;
    QChar contents;                 // 'E' labels, 'R' packing lists, 'A' both
    QDateTime prepared;             // the preparation the labels state; invalid without labels
    QHash<qint64, qint64> versions; // distribution number -> the version printed
    qint64 packaging = 0;           // a reprint: the one packaging whose labels came out; else 0
    QString units;                  // a reprint: which of its units ("1-3")
};

// The latest whole labels print of one distribution.
struct LabelsPrint {
    qint64 version = 0; // the version printed
    QString when, who;  // "dd/mm/aaaa hh:mm", the user's name
    QDateTime prepared; // the preparation those labels state; invalid when not recorded
};

// The five elements of GetDistribuicao, decoded and checked, not yet loaded anywhere.
struct DistributionPayload {
    QString message;        // element 0; empty when the server had nothing to say
    TDataPacket header;     // element 1, for cdsDistCard
    TDataPacket available;  // element 2, for cdsCardapioDisponivel
    TDataPacket packagings; // element 3, for cdsEmbDistCard
    TDataPacket dishRows;   // element 4, for cdsItEmbDistCard
};

// The remote methods of rdmDistEmbCard as the screens call them. Each call shows the busy
// animation for its whole duration (removed on every path), sends its arguments in the
// method's fixed order (texts as strings, dates as "YYYY-MM-DD", numbers as numbers, data as
// packets), checks the result through Consiste::CheckResultServ and reads the payload.
// A refusal by the server, a connection fault or a payload of the wrong shape is shown to the
// user and ends the action with Abort, and then no dataset given to the call has been touched.
class DistEmbCardMethods {
public:
    // The wire names of the methods.
    static constexpr const char* kGetGruposServico = "GetGruposServico";
    static constexpr const char* kGetServicos = "GetServicos";
    static constexpr const char* kGetServicosTransportados = "GetServicosTransportados";
    static constexpr const char* kGetPontosEntrega = "GetPontosEntrega";
    static constexpr const char* kGetDistribuicao = "GetDistribuicao";
    static constexpr const char* kSetDistribuicao = "SetDistribuicao";
    static constexpr const char* kGetVdEmbalagens = "GetVdEmbalagens";
    static constexpr const char* kGetCapacidadeEmb = "GetCapacidadeEmb";
    static constexpr const char* kApagaDistribuicao = "ApagaDistribuicao";
    static constexpr const char* kGeraDistribuicaoFilial = "GeraDistribuicaoFilial";
    static constexpr const char* kGetAlteracoesDistribuicao = "GetAlteracoesDistribuicao";
    // Read by DistributionDayReader, the print module's call.
    static constexpr const char* kGetImpressaoDistribuicao = "GetImpressaoDistribuicao";
    static constexpr const char* kSetImpressaoDistribuicao = "SetImpressaoDistribuicao";
    static constexpr const char* kGetEtiquetasImpressas = "GetEtiquetasImpressas";

    // Calls go through net, which must outlive this object.
    explicit DistEmbCardMethods(TNetConnection& net);

    // The service groups in the server's order.
    QVector<ServiceGroup> GetGruposServico();

    // Replaces the content of cdsServicos with the branch's transported services on date.
    void GetServicos(const QString& branch, const QDate& date, TClientDataSet& cdsServicos);

    // Replaces the content of the branch generation list with the branch's transported
    // services.
    void GetServicosTransportados(const QString& branch, TClientDataSet& cdsServicos);

    // The delivery points of one service of a branch, in the server's order.
    QVector<DeliveryPoint> GetPontosEntrega(const QString& branch, const QString& service);

    // The stored distribution (flag "N") or one the server redoes first (flag "S"). The four
    // packets are checked but loaded by the caller, after it has looked at the message; when
    // there is a message the packets are neither read nor checked.
    DistributionPayload GetDistribuicao(const QString& branch, const QString& service,
                                        const QDate& date, const QString& client,
                                        const QString& destination, const QString& redistribute);

    // Loads the four packets of a distribution, each replacing its set's whole content, in
    // the order header, undistributed dishes, packagings, dish rows. Every packet is checked
    // against its set first, so a packet that does not fit refuses the load with no set
    // touched.
    static void LoadDistribution(const DistributionPayload& payload, TClientDataSet& cdsDistCard,
                                 TClientDataSet& cdsCardapioDisponivel,
                                 TClientDataSet& cdsEmbDistCard, TClientDataSet& cdsItEmbDistCard);

    // Stores a whole distribution: its number and every record of its three edited sets, and
    // the version it was loaded at when the server sent one (the server then refuses the save
    // if someone changed the distribution meanwhile).
    void SetDistribuicao(double distribution, const TDataPacket& available,
                         const TDataPacket& packagings, const TDataPacket& dishRows,
                         std::optional<qint64> version = std::nullopt);

    // Replaces the content of cdsVdEmbalagens with the packaging types matching code ("T" for
    // all of them); an empty set means the code is not registered.
    void GetVdEmbalagens(const QString& code, TClientDataSet& cdsVdEmbalagens);

    // The capacity of a container for a dish (VRQTDEPRATEMB of the first record), 0 when the
    // server knows none.
    double GetCapacidadeEmb(const QString& recipeBranch, const QString& dish,
                            const QString& container);

    // What was stored of distribution after version, asked after a refused save. Quiet:
    // nullopt, with nothing shown, when the server cannot say (a refusal, a fault, an older
    // server) or nothing was stored since.
    std::optional<StoredChanges> GetAlteracoesDistribuicao(double distribution, qint64 version);

    // Deletes a stored distribution, from the version it was loaded at when there is one.
    void ApagaDistribuicao(double distribution, std::optional<qint64> version = std::nullopt);

    // Has the server generate the distributions of the ticked services for date; replace is
    // "S" to overwrite distributions that already exist, "N" otherwise.
    void GeraDistribuicaoFilial(const QDate& date, const TDataPacket& services,
                                const QString& replace);

    // Records a print job that came out. The job is done whatever the answer: a refusal or a
    // fault is shown, followed by a warning that the print was not recorded, and returns false
    // without ending the action.
    bool SetImpressaoDistribuicao(const PrintJob& job);

    // The latest whole labels print of each distribution of the branch day, by number. Quiet:
    // empty, with nothing shown, when the server cannot say (a refusal, a fault, an older
    // server): the warnings it feeds are a help beside the work, never a step of it.
    // With `distribution`, that one alone.
    QHash<qint64, LabelsPrint>
    GetEtiquetasImpressas(const QString& branch, const QDate& date,
                          std::optional<qint64> distribution = std::nullopt);

    // The wire form of a date argument.
    static QString DateText(const QDate& date);

private:
    // Sends one call behind the busy animation and returns the checked payload.
    QJsonValue Invoke(const char* method, const QJsonArray& params);
    // Like Invoke, then loads the payload into target once it is known to fit.
    void InvokeInto(const char* method, const QJsonArray& params, TClientDataSet& target);

    TNetConnection& net_;
};

} // namespace pla
