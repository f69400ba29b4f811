#include "tests/report/ReportTestDay.h"

namespace pla::test {

DistributionDay SmallDay(QVector<DayPackaging> packagings) {
    DistributionDay day;
    day.branch = QStringLiteral("0001");
    day.branchName = QStringLiteral("Cozinha Central");
    day.date = QDate(2026, 12, 8);
    day.producer = {QStringLiteral("Cozinha Central Ltda."), QStringLiteral("11222333000181"),
                    QStringLiteral("Rua A, 1 - São Paulo - SP"), QStringLiteral("Ana Lima"),
                    QStringLiteral("CRN-3 1")};
    day.services = {
        {QStringLiteral("00001"), QStringLiteral("Almoço Hospital"), QStringLiteral("001")},
        {QStringLiteral("00002"), QStringLiteral("Jantar Hospital"), QStringLiteral("001")}};
    day.packagings = std::move(packagings);
    return day;
}

DayPackaging Packaging(qint64 number, double units, const QStringList& dishes,
                       const QString& remark) {
    DayPackaging p;
    p.number = number;
    p.service = QStringLiteral("00001");
    p.client = QStringLiteral("10001");
    p.clientName = QStringLiteral("Hospital Santa Clara Ltda.");
    p.destination = QStringLiteral("001");
    p.destinationName = QStringLiteral("Ala Norte");
    p.container = QStringLiteral("00010");
    p.containerName = QStringLiteral("Cuba gastronômica GN 1/1");
    p.units = units;
    p.remark = remark;
    int order = 0;
    for (const QString& d : dishes) {
        ++order;
        p.dishes.push_back({order, QStringLiteral("D%1").arg(order), d, QStringLiteral("KG"), 2, 1,
                            0, QStringLiteral("Q"), 6});
    }
    return p;
}

QStringList Texts(const PrintPage& page) {
    QStringList out;
    for (const PrintCommand& c : page.Commands())
        if (c.kind == PrintCommand::Kind::Text) out.push_back(c.text);
    return out;
}

} // namespace pla::test
