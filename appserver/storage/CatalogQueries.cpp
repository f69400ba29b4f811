#include "appserver/storage/CatalogQueries.h"

#include "appserver/storage/SqlUtil.h"
#include "appserver/storage/StatementCache.h"

#include <algorithm>

namespace pla {

namespace {

QVariant textValue(const QSqlQuery& q, int i) {
    const QVariant v = q.value(i);
    return v.isNull() ? QVariant() : QVariant(v.toString());
}

} // namespace

CatalogQueries::CatalogQueries(QSqlDatabase db) : db_(std::move(db)) {}

TDataPacket CatalogQueries::branches(const QString& code, const QString& all,
                                     const QString& onlyBranch) {
    TDataPacket p;
    p.Fields = {
        {"CDFILIAL", TFieldType::String, 4},     {"NMFILIAL", TFieldType::String, 30},
        {"IDCNTRRESC", TFieldType::String, 1},   {"CDFILCENTPME", TFieldType::String, 4},
        {"IDFILCENTPME", TFieldType::String, 1},
    };
    // The same condition as the workstation's "(CDFILIAL = :P_CDFILIAL OR :P_TCDFILIAL =
    // 'T')", decided here so that a null code never depends on how a driver binds it.
    QString where;
    QVariantList values;
    if (all != QLatin1String("T")) {
        if (code.isNull()) return p;
        where = QStringLiteral(" WHERE CDFILIAL = ?");
        values << code;
    }
    if (!onlyBranch.isEmpty()) {
        where += where.isEmpty() ? QStringLiteral(" WHERE CDFILIAL = ?")
                                 : QStringLiteral(" AND CDFILIAL = ?");
        values << onlyBranch;
    }
    QSqlQuery q =
        SqlUtil::execList(db_,
                          QStringLiteral("SELECT CDFILIAL, NMFILIAL, IDCNTRRESC, CDFILCENTPME, "
                                         "IDFILCENTPME FROM FILIAL") +
                              where + QStringLiteral(" ORDER BY CDFILIAL"),
                          values);
    while (q.next())
        p.Rows.push_back(
            {textValue(q, 0), textValue(q, 1), textValue(q, 2), textValue(q, 3), textValue(q, 4)});
    return p;
}

TDataPacket CatalogQueries::serviceGroups() {
    TDataPacket p;
    p.Fields = {
        {"CDGRUPSERV", TFieldType::String, 3},
        {"NMGRUPSERV", TFieldType::String, 40},
    };
    QSqlQuery q = SqlUtil::exec(db_, QStringLiteral("SELECT CDGRUPSERV, NMGRUPSERV FROM GRUPSERV "
                                                    "ORDER BY NMGRUPSERV, CDGRUPSERV"));
    while (q.next())
        p.Rows.push_back({textValue(q, 0), textValue(q, 1)});
    return p;
}

TDataPacket CatalogQueries::services(const QString& branch, const QDate& date) {
    TDataPacket p;
    p.Fields = {
        {"CDGRUPSERV", TFieldType::String, 3}, {"CDFILIAL", TFieldType::String, 4},
        {"CDSERVFILI", TFieldType::String, 5}, {"NMSERVICO", TFieldType::String, 40},
        {"IDSITUACAO", TFieldType::String, 1},
    };
    // Every service with its counts in one statement (two more per service took most of the
    // call): its delivery points, and its stored distributions of the date that have a
    // packaging, and of those the ones with something still undistributed. Only distributions
    // of a current delivery point count (of the blank point for a service without any); one
    // that was merely looked at, or whose packagings were all removed, reads as not
    // distributed.
    const QString packed = QStringLiteral(
        "(SELECT COUNT(*) FROM DISTCARD d WHERE d.CDFILIAL = s.CDFILIAL AND "
        "d.CDSERVFILI = s.CDSERVFILI AND d.DTCARDAPIO = ? AND "
        "(EXISTS (SELECT 1 FROM PONTENTREGA p WHERE p.CDFILIAL = d.CDFILIAL AND "
        "p.CDSERVFILI = d.CDSERVFILI AND p.CDCLIENTE = d.CDCLIENTE AND "
        "p.CDDESTFILI = d.CDDESTFILI) OR (d.CDCLIENTE = '' AND d.CDDESTFILI = '' AND NOT EXISTS "
        "(SELECT 1 FROM PONTENTREGA p WHERE p.CDFILIAL = s.CDFILIAL AND "
        "p.CDSERVFILI = s.CDSERVFILI))) AND "
        "EXISTS (SELECT 1 FROM EMBDISTCARD e WHERE e.NRDISTCARD = d.NRDISTCARD)%1)");
    const QString pending = QStringLiteral(
        " AND EXISTS (SELECT 1 FROM CARDDISP c WHERE c.NRDISTCARD = d.NRDISTCARD AND "
        "(c.QTCOMENSAIS > 0.00001 OR c.QTPRATO > 0.00001 OR c.QTEXTRA > 0.00001))");
    const QString day = date.toString(QStringLiteral("yyyy-MM-dd"));
    // Kept prepared: on PostgreSQL a statement prepared for one call costs two more round trips.
    auto use = StatementCache::run(
        db_,
        QStringLiteral(
            "SELECT s.CDGRUPSERV, s.CDFILIAL, s.CDSERVFILI, s.NMSERVICO, "
            "(SELECT COUNT(*) FROM PONTENTREGA p WHERE p.CDFILIAL = s.CDFILIAL AND "
            "p.CDSERVFILI = s.CDSERVFILI), %1, %2 FROM SERVFILI s "
            "WHERE s.CDFILIAL = ? AND s.IDTRANSPORTADO = 'S' AND EXISTS (SELECT 1 FROM CARDAPIO c "
            "WHERE c.CDFILIAL = s.CDFILIAL AND c.CDSERVFILI = s.CDSERVFILI AND c.DTCARDAPIO = ?) "
            "ORDER BY s.CDSERVFILI")
            .arg(packed.arg(QString()), packed.arg(pending)),
        {day, day, branch, day});
    const QSqlQuery& q = use.query();
    while (use.next()) {
        const qint64 points = std::max<qint64>(1, q.value(4).toLongLong());
        const qint64 done = q.value(5).toLongLong();
        const QString status = done == 0                                      ? QStringLiteral("N")
                               : q.value(6).toLongLong() > 0 || done < points ? QStringLiteral("I")
                                                                              : QStringLiteral("S");
        p.Rows.push_back(
            {textValue(q, 0), textValue(q, 1), textValue(q, 2), textValue(q, 3), status});
    }
    return p;
}

TDataPacket CatalogQueries::transportedServices(const QString& branch) {
    TDataPacket p;
    p.Fields = {
        {"IDMARCADO", TFieldType::String, 1},  {"CDGRUPSERV", TFieldType::String, 3},
        {"CDFILIAL", TFieldType::String, 4},   {"CDSERVFILI", TFieldType::String, 5},
        {"NMSERVICO", TFieldType::String, 40},
    };
    QSqlQuery q = SqlUtil::exec(
        db_,
        QStringLiteral("SELECT CDGRUPSERV, CDFILIAL, CDSERVFILI, NMSERVICO FROM SERVFILI "
                       "WHERE CDFILIAL = ? AND IDTRANSPORTADO = 'S' ORDER BY CDSERVFILI"),
        {branch});
    while (q.next())
        p.Rows.push_back({QStringLiteral("N"), textValue(q, 0), textValue(q, 1), textValue(q, 2),
                          textValue(q, 3)});
    return p;
}

TDataPacket CatalogQueries::deliveryPoints(const QString& branch, const QString& service) {
    TDataPacket p;
    p.Fields = {
        {"NMRAZSOCCLIE", TFieldType::String, 60},
        {"NMDESTFILI", TFieldType::String, 40},
        {"CDDESTFILI", TFieldType::String, 3},
        {"CDCLIENTE", TFieldType::String, 21},
    };
    QSqlQuery q = SqlUtil::exec(
        db_,
        QStringLiteral(
            "SELECT c.NMRAZSOCCLIE, d.NMDESTFILI, p.CDDESTFILI, p.CDCLIENTE FROM PONTENTREGA p "
            "JOIN CLIENTE c ON c.CDCLIENTE = p.CDCLIENTE "
            "JOIN DESTFILI d ON d.CDCLIENTE = p.CDCLIENTE AND d.CDDESTFILI = p.CDDESTFILI "
            "WHERE p.CDFILIAL = ? AND p.CDSERVFILI = ? ORDER BY p.CDCLIENTE, p.CDDESTFILI"),
        {branch, service});
    while (q.next())
        p.Rows.push_back({textValue(q, 0), textValue(q, 1), textValue(q, 2), textValue(q, 3)});
    return p;
}

TDataPacket CatalogQueries::containers(const QString& code) {
    TDataPacket p;
    p.Fields = {
        {"CDCONTAINER", TFieldType::String, 5},
        {"NMCONTAINER", TFieldType::String, 40},
        {"IDPROPOSITO", TFieldType::String, 1},
    };
    const bool all = code == QLatin1String("T");
    QSqlQuery q =
        all ? SqlUtil::exec(db_, QStringLiteral("SELECT CDCONTAINER, NMCONTAINER, IDPROPOSITO "
                                                "FROM CONTAINER ORDER BY CDCONTAINER"))
            : SqlUtil::exec(db_,
                            QStringLiteral("SELECT CDCONTAINER, NMCONTAINER, IDPROPOSITO "
                                           "FROM CONTAINER WHERE CDCONTAINER = ?"),
                            {code});
    while (q.next())
        p.Rows.push_back({textValue(q, 0), textValue(q, 1), textValue(q, 2)});
    return p;
}

TDataPacket CatalogQueries::capacity(const QString& recipeBranch, const QString& dish,
                                     const QString& container) {
    TDataPacket p;
    p.Fields = {{"VRQTDEPRATEMB", TFieldType::Float}};
    QSqlQuery q =
        SqlUtil::exec(db_,
                      QStringLiteral("SELECT VRQTDEPRATEMB FROM PRATOEMB WHERE CDFILAUXPRAT = ? "
                                     "AND CDPRATO = ? AND CDCONTAINER = ?"),
                      {recipeBranch, dish, container});
    while (q.next())
        p.Rows.push_back({q.value(0).toDouble()});
    return p;
}

} // namespace pla
