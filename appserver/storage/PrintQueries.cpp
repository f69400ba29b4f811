#include "appserver/storage/PrintQueries.h"

#include "appserver/rpc/RemoteMethods.h"
#include "appserver/storage/SqlTransaction.h"
#include "appserver/storage/SqlUtil.h"
#include "appserver/storage/StorageError.h"
#include "framework/data/PacketCodec.h"

#include <QJsonArray>

namespace pla {

namespace {

constexpr TFieldType S = TFieldType::String;
constexpr TFieldType F = TFieldType::Float;

// Copies every row of q into p, texts as texts and numbers as doubles, null kept.
void fill(TDataPacket& p, QSqlQuery& q) {
    while (q.next()) {
        QVector<QVariant> row;
        row.reserve(p.Fields.size());
        for (int i = 0; i < p.Fields.size(); ++i) {
            const QVariant v = q.value(i);
            if (v.isNull())
                row.push_back(QVariant());
            else if (p.Fields[i].Type == F)
                row.push_back(v.toDouble());
            else
                row.push_back(v.toString());
        }
        p.Rows.push_back(std::move(row));
    }
}

} // namespace

PrintQueries::PrintQueries(QSqlDatabase db) : db_(std::move(db)) {}

QJsonObject PrintQueries::GetImpressaoDistribuicao(const QString& branch, const QDate& date) {
    try {
        const QString day = date.toString(QStringLiteral("yyyy-MM-dd"));
        // One snapshot: a save landing between the reads must not split a packaging from its
        // dishes.
        SqlTransaction tx(db_, SqlTransaction::Mode::Read);
        const QJsonArray data{
            PacketCodec::ToJson(services(branch)), PacketCodec::ToJson(packagings(branch, day)),
            PacketCodec::ToJson(dishRows(branch, day)), PacketCodec::ToJson(producer(branch))};
        tx.commit();
        return RemoteMethods::success(data);
    } catch (const StorageError& e) {
        return RemoteMethods::refusal(
            QStringLiteral("Falha no banco de dados do servidor de aplicação: %1")
                .arg(e.message()));
    }
}

TDataPacket PrintQueries::services(const QString& branch) {
    TDataPacket p;
    p.Fields = {{"CDSERVFILI", S, 5}, {"NMSERVICO", S, 40}, {"CDGRUPSERV", S, 3}};
    QSqlQuery q = SqlUtil::exec(db_,
                                QStringLiteral("SELECT CDSERVFILI, NMSERVICO, CDGRUPSERV FROM "
                                               "SERVFILI WHERE CDFILIAL = ? AND "
                                               "IDTRANSPORTADO = 'S' ORDER BY CDSERVFILI"),
                                {branch});
    fill(p, q);
    return p;
}

TDataPacket PrintQueries::packagings(const QString& branch, const QString& date) {
    TDataPacket p;
    p.Fields = {{"NREMBDISTCARD", F, 0},  {"NRDISTCARD", F, 0},    {"CDSERVFILI", S, 5},
                {"CDCLIENTE", S, 21},     {"NMRAZSOCCLIE", S, 60}, {"CDDESTFILI", S, 3},
                {"NMDESTFILI", S, 40},    {"CDCONTAINER", S, 5},   {"NMCONTAINER", S, 40},
                {"IDPROPOSITO", S, 1},    {"QTCONTAINER", F, 0},   {"DSOBSETIQUETA", S, 250},
                {"NRORDEMENTREGA", F, 0}, {"NRVERSAO", F, 0}};
    QSqlQuery q = SqlUtil::exec(
        db_,
        QStringLiteral(
            "SELECT e.NREMBDISTCARD, d.NRDISTCARD, d.CDSERVFILI, d.CDCLIENTE, c.NMRAZSOCCLIE, "
            "d.CDDESTFILI, t.NMDESTFILI, e.CDCONTAINER, k.NMCONTAINER, k.IDPROPOSITO, "
            "e.QTCONTAINER, e.DSOBSETIQUETA, o.NRORDEMENTREGA, d.NRVERSAO FROM EMBDISTCARD e "
            "JOIN DISTCARD d ON d.NRDISTCARD = e.NRDISTCARD "
            "LEFT JOIN CLIENTE c ON c.CDCLIENTE = d.CDCLIENTE "
            "LEFT JOIN DESTFILI t ON t.CDCLIENTE = d.CDCLIENTE AND t.CDDESTFILI = d.CDDESTFILI "
            "LEFT JOIN CONTAINER k ON k.CDCONTAINER = e.CDCONTAINER "
            "LEFT JOIN PONTENTREGA o ON o.CDFILIAL = d.CDFILIAL AND o.CDSERVFILI = d.CDSERVFILI "
            "AND o.CDCLIENTE = d.CDCLIENTE AND o.CDDESTFILI = d.CDDESTFILI "
            "WHERE d.CDFILIAL = ? AND d.DTCARDAPIO = ? "
            "ORDER BY d.CDSERVFILI, d.CDCLIENTE, d.CDDESTFILI, e.NREMBDISTCARD"),
        {branch, date});
    fill(p, q);
    return p;
}

TDataPacket PrintQueries::dishRows(const QString& branch, const QString& date) {
    TDataPacket p;
    p.Fields = {{"NREMBDISTCARD", F, 0},   {"NRORDPRATCAR", F, 0},    {"CDPRATO", S, 10},
                {"NMPRATO", S, 40},        {"SGUNIDADE", S, 10},      {"QTCOMENSAIS", F, 0},
                {"QTPRATO", F, 0},         {"QTEXTRA", F, 0},         {"IDCONSERVACAO", S, 1},
                {"QTHORASVALIDADE", F, 0}, {"DSALERGENICOS", S, 250}, {"IDGLUTEN", S, 1},
                {"IDLACTOSE", S, 1}};
    // The label data comes from the dish as it is now: a correction of a dish's shelf life
    // or allergens reaches the labels of days already distributed.
    QSqlQuery q = SqlUtil::exec(
        db_,
        QStringLiteral("SELECT i.NREMBDISTCARD, p.NRORDPRATCAR, p.CDPRATO, p.NMPRATO, "
                       "p.SGUNIDADE, i.QTCOMENSAIS, i.QTPRATO, i.QTEXTRA, r.IDCONSERVACAO, "
                       "r.QTHORASVALIDADE, r.DSALERGENICOS, r.IDGLUTEN, r.IDLACTOSE "
                       "FROM ITEMBDISTCARD i "
                       "JOIN DISTCARD d ON d.NRDISTCARD = i.NRDISTCARD "
                       "JOIN CARDDISP p ON p.NRDISTCARD = i.NRDISTCARD AND "
                       "p.NRSEQPRATCAR = i.NRSEQPRATCAR "
                       "LEFT JOIN PRATO r ON r.CDFILAUXPRAT = p.CDFILAUXPRAT AND "
                       "r.CDPRATO = p.CDPRATO "
                       "WHERE d.CDFILIAL = ? AND d.DTCARDAPIO = ? "
                       "ORDER BY i.NREMBDISTCARD, p.NRORDPRATCAR"),
        {branch, date});
    fill(p, q);
    return p;
}

TDataPacket PrintQueries::producer(const QString& branch) {
    TDataPacket p;
    p.Fields = {{"CDFILIAL", S, 4}, {"NMFILIAL", S, 30},    {"NMRAZSOCIAL", S, 60},
                {"NRCNPJ", S, 14},  {"DSENDERECO", S, 120}, {"NMRESPTECNICO", S, 60},
                {"NRCRN", S, 20}};
    QSqlQuery q = SqlUtil::exec(db_,
                                QStringLiteral("SELECT CDFILIAL, NMFILIAL, NMRAZSOCIAL, NRCNPJ, "
                                               "DSENDERECO, NMRESPTECNICO, NRCRN FROM FILIAL "
                                               "WHERE CDFILIAL = ?"),
                                {branch});
    fill(p, q);
    return p;
}

} // namespace pla
