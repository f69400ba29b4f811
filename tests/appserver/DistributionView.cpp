#include "DistributionView.h"

#include "framework/data/PacketCodec.h"

namespace pla::test {

namespace {
int col(const TDataPacket& p, const char* name) {
    return p.IndexOf(QString::fromLatin1(name));
}
} // namespace

DistributionView DistributionView::of(const QJsonObject& result) {
    const QJsonArray data = result.value(QStringLiteral("data")).toArray();
    DistributionView v;
    const TDataPacket header = PacketCodec::FromJson(data.at(1));
    if (!header.Rows.isEmpty()) {
        v.number = header.Rows[0][col(header, "NRDISTCARD")].toDouble();
        if (col(header, "NRVERSAO") >= 0)
            v.version = header.Rows[0][col(header, "NRVERSAO")].toLongLong();
    }
    v.undistributed = PacketCodec::FromJson(data.at(2));
    v.packagings = PacketCodec::FromJson(data.at(3));
    v.rows = PacketCodec::FromJson(data.at(4));
    return v;
}

void DistributionView::moveIntoNew(int dish, const QString& remark) {
    double lowest = 0;
    for (const auto& p : packagings.Rows)
        lowest = std::min(lowest, p[col(packagings, "NREMBDISTCARD")].toDouble());
    const double number = lowest - 1;
    packagings.Rows.push_back({number, "00001", 340.0, QVariant(), "I", remark, 0.0});
    auto& d = undistributed.Rows[dish];
    const TDataPacket& u = undistributed;
    rows.Rows.push_back({d[col(u, "NRSEQPRATCAR")], number, d[col(u, "QTCOMENSAIS")],
                         d[col(u, "QTPRATO")], d[col(u, "QTEXTRA")], d[col(u, "CDPRATO")],
                         d[col(u, "NMPRATO")], d[col(u, "SGUNIDADE")], "S", 0.5});
    for (const char* f : {"QTCOMENSAIS", "QTPRATO", "QTEXTRA"})
        d[col(u, f)] = 0.0;
}

void DistributionView::setRemark(int index, const QString& remark) {
    packagings.Rows[index][col(packagings, "DSOBSETIQUETA")] = remark;
}

QString DistributionView::remark(int index) const {
    return packagings.Rows.value(index).value(col(packagings, "DSOBSETIQUETA")).toString();
}

QJsonArray DistributionView::saveParams(bool versioned) const {
    QJsonArray p{number, PacketCodec::ToJson(undistributed), PacketCodec::ToJson(packagings),
                 PacketCodec::ToJson(rows)};
    if (versioned && version) p.append(static_cast<double>(*version));
    return p;
}

QJsonArray DistributionView::deleteParams() const {
    QJsonArray p{number};
    if (version) p.append(static_cast<double>(*version));
    return p;
}

} // namespace pla::test
