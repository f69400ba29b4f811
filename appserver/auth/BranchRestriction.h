#pragma once

#include "appserver/auth/Caller.h"
#include "framework/data/DataPacket.h"

#include <QSqlDatabase>

namespace pla {

// Holds a tied user to his branch on the server, whatever the client sends: a call for
// another branch is refused with "Usuário restrito à filial NNNN." before anything changes.
// Users who are not tied (and the anonymous local caller) pass.
class BranchRestriction {
public:
    BranchRestriction(Caller caller, QSqlDatabase db);

    // A branch code given as an argument.
    void requireBranch(const QString& branch) const;
    // A stored distribution (a number of another branch); an unknown number passes, the
    // method itself reports it.
    void requireDistribution(double number) const;
    // Every row of a packet with a CDFILIAL field (the services of a branch generation).
    void requireRows(const TDataPacket& packet) const;

private:
    [[noreturn]] void refuse() const;
    Caller caller_;
    QSqlDatabase db_;
};

} // namespace pla
