#include "appserver/storage/CatalogQueries.h"

#include "appserver/storage/SqlUtil.h"

#include <QHash>
#include <QSet>

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

QString CatalogQueries::status(const QString& branch, const QString& service, const QDate& date) {
    QSet<QString> points;
    {
        QSqlQuery q = SqlUtil::exec(db_,
                                    QStringLiteral("SELECT CDCLIENTE, CDDESTFILI FROM PONTENTREGA "
                                                   "WHERE CDFILIAL = ? AND CDSERVFILI = ?"),
                                    {branch, service});
        while (q.next())
            points.insert(q.value(0).toString() + QLatin1Char('\x1f') + q.value(1).toString());
    }
    // A service without delivery points is distributed at its blank delivery point.
    if (points.isEmpty()) points.insert(QString(QLatin1Char('\x1f')));
    // Only what is stored counts: a distribution that was merely looked at, or whose
    // packagings were all removed, has nothing packed and reads as not distributed.
    QSqlQuery q = SqlUtil::exec(
        db_,
        QStringLiteral(
            "SELECT d.CDCLIENTE, d.CDDESTFILI, "
            "(SELECT COUNT(*) FROM CARDDISP c WHERE c.NRDISTCARD = d.NRDISTCARD AND "
            "(c.QTCOMENSAIS > 0.00001 OR c.QTPRATO > 0.00001 OR c.QTEXTRA > 0.00001)), "
            "(SELECT COUNT(*) FROM EMBDISTCARD e WHERE e.NRDISTCARD = d.NRDISTCARD) "
            "FROM DISTCARD d WHERE d.CDFILIAL = ? AND d.CDSERVFILI = ? AND d.DTCARDAPIO = ?"),
        {branch, service, date.toString(QStringLiteral("yyyy-MM-dd"))});
    int packed = 0;
    bool pending = false;
    while (q.next()) {
        if (!points.contains(q.value(0).toString() + QLatin1Char('\x1f') + q.value(1).toString()))
            continue;
        if (q.value(3).toLongLong() == 0) continue;
        ++packed;
        if (q.value(2).toLongLong() > 0) pending = true;
    }
    if (packed == 0) return QStringLiteral("N");
    if (pending || packed < points.size()) return QStringLiteral("I");
    return QStringLiteral("S");
}

TDataPacket CatalogQueries::services(const QString& branch, const QDate& date) {
    TDataPacket p;
    p.Fields = {
        {"CDGRUPSERV", TFieldType::String, 3}, {"CDFILIAL", TFieldType::String, 4},
        {"CDSERVFILI", TFieldType::String, 5}, {"NMSERVICO", TFieldType::String, 40},
        {"IDSITUACAO", TFieldType::String, 1},
    };
    QSqlQuery q = SqlUtil::exec(
        db_,
        QStringLiteral(
            "SELECT s.CDGRUPSERV, s.CDFILIAL, s.CDSERVFILI, s.NMSERVICO FROM SERVFILI s "
            "WHERE s.CDFILIAL = ? AND s.IDTRANSPORTADO = 'S' AND EXISTS (SELECT 1 FROM CARDAPIO c "
            "WHERE c.CDFILIAL = s.CDFILIAL AND c.CDSERVFILI = s.CDSERVFILI AND c.DTCARDAPIO = ?) "
            "ORDER BY s.CDSERVFILI"),
        {branch, date.toString(QStringLiteral("yyyy-MM-dd"))});
    QVector<QVector<QVariant>> rows;
    while (q.next())
        rows.push_back({textValue(q, 0), textValue(q, 1), textValue(q, 2), textValue(q, 3)});
    q.finish();
    for (auto& row : rows) {
        row.push_back(status(row[1].toString(), row[2].toString(), date));
        p.Rows.push_back(row);
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
