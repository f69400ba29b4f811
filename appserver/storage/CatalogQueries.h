#pragma once

#include "framework/data/DataPacket.h"

#include <QDate>
#include <QSqlDatabase>

namespace pla {

// The read-only look-ups behind the list methods, each answered as a wire packet.
class CatalogQueries {
public:
    explicit CatalogQueries(QSqlDatabase db);

    // The branch query's columns (CDFILIAL, NMFILIAL, IDCNTRRESC, CDFILCENTPME, IDFILCENTPME)
    // by code: the branch `code`, or every branch when `all` is "T"; a null code matches
    // nothing. `onlyBranch`, when not empty, keeps just that one (a tied user's).
    TDataPacket branches(const QString& code, const QString& all, const QString& onlyBranch);
    // Service groups (CDGRUPSERV, NMGRUPSERV) by name.
    TDataPacket serviceGroups();
    // Transported services of `branch` that have a menu on `date`, by code, each with its
    // status IDSITUACAO from what is stored: "N" no delivery point has a distribution with a
    // packaging, "I" one of them is missing or still has something undistributed, "S" every
    // point has packagings and nothing left to distribute.
    TDataPacket services(const QString& branch, const QDate& date);
    // All transported services of `branch` with IDMARCADO "N", by code.
    TDataPacket transportedServices(const QString& branch);
    // Delivery points of a service (NMRAZSOCCLIE, NMDESTFILI, CDDESTFILI, CDCLIENTE).
    TDataPacket deliveryPoints(const QString& branch, const QString& service);
    // One container by code, or all of them for "T"; empty for an unknown code.
    TDataPacket containers(const QString& code);
    // Capacity VRQTDEPRATEMB of a container for a dish; empty when they have no relation.
    TDataPacket capacity(const QString& recipeBranch, const QString& dish,
                         const QString& container);

private:
    QSqlDatabase db_;
};

} // namespace pla
