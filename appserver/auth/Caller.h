#pragma once

#include <QString>

namespace pla {

// Who makes a call, as the server established it: a user of the server's user table, or
// the anonymous local caller of a server that has no users.
struct Caller {
    QString login;     // empty for the anonymous local caller
    QString name;      // the user's full name
    QString branch;    // the user's branch (CDFILIAL)
    bool tied = false; // held to `branch` on every method
    QString address;   // the client's address, for the audit trail

    // The name the conflict message and the audit show.
    QString displayName() const {
        if (login.isEmpty()) return QStringLiteral("usuário local");
        return name.isEmpty() ? login : name;
    }
};

} // namespace pla
