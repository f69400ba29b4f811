#include "appserver/auth/BranchRestriction.h"

#include "appserver/rpc/Refusal.h"
#include "appserver/storage/SqlUtil.h"

#include <cmath>

namespace pla {

BranchRestriction::BranchRestriction(Caller caller, QSqlDatabase db)
    : caller_(std::move(caller)), db_(std::move(db)) {}

void BranchRestriction::refuse() const {
    throw Refusal(QStringLiteral("Usuário restrito à filial %1.").arg(caller_.branch));
}

void BranchRestriction::requireBranch(const QString& branch) const {
    if (caller_.tied && branch != caller_.branch) refuse();
}

void BranchRestriction::requireDistribution(double number) const {
    if (!caller_.tied || !std::isfinite(number) || std::abs(number) > 9e15) return;
    QSqlQuery q =
        SqlUtil::exec(db_, QStringLiteral("SELECT CDFILIAL FROM DISTCARD WHERE NRDISTCARD = ?"),
                      {QVariant::fromValue(static_cast<qint64>(number))});
    if (q.next()) requireBranch(q.value(0).toString());
}

void BranchRestriction::requireRows(const TDataPacket& packet) const {
    if (!caller_.tied) return;
    const int column = packet.IndexOf(QStringLiteral("CDFILIAL"));
    if (column < 0) return;
    for (const auto& row : packet.Rows)
        requireBranch(row[column].toString());
}

} // namespace pla
