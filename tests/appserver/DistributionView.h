#pragma once

#include "framework/data/DataPacket.h"

#include <QJsonArray>
#include <QJsonObject>
#include <optional>

namespace pla::test {

// One client's view of a loaded distribution, edited as the screen edits it and sent back
// as SetDistribuicao's arguments.
struct DistributionView {
    double number = 0;
    std::optional<qint64> version;
    TDataPacket undistributed, packagings, rows;

    // From GetDistribuicao's result envelope.
    static DistributionView of(const QJsonObject& result);
    // Moves all of undistributed dish `dish` (its index) into a new individual packaging.
    void moveIntoNew(int dish, const QString& remark);
    // Changes the label remark of packaging `index`.
    void setRemark(int index, const QString& remark);
    QString remark(int index) const;
    // SetDistribuicao's arguments, with the loaded version unless `versioned` is false.
    QJsonArray saveParams(bool versioned = true) const;
    // ApagaDistribuicao's arguments.
    QJsonArray deleteParams() const;
};

} // namespace pla::test
