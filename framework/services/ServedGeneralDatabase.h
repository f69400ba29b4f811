#pragma once

#include "framework/data/DataPacket.h"
#include "framework/net/NetConnection.h"

#include <QHash>
#include <QString>
#include <QVariant>

// The host's general database answered by the application server instead of a database
// connection of the workstation's own: while installed, the branch queries on the general
// connection (Zelvora::DatabaseConnectionName) ask the server at Zelvora::WebURL and
// Zelvora::WebPort, which answers them for the branches its user may see. So a workstation
// needs no database login of its own. Only the branch table is served; any other statement on
// the general connection is refused with a message naming it.
class ServedGeneralDatabase {
public:
    // The server's read-only method; its params are the branch query's P_CDFILIAL and
    // P_TCDFILIAL (texts or null), its payload a packet of the query's columns.
    static constexpr const char* kBranchMethod = "GetFiliais";

    // Serves the general connection from now on.
    ServedGeneralDatabase();
    // Gives the general connection back to its database.
    ~ServedGeneralDatabase();
    ServedGeneralDatabase(const ServedGeneralDatabase&) = delete;
    ServedGeneralDatabase& operator=(const ServedGeneralDatabase&) = delete;

    // The rows of `sql` with `params` as the server answers them; throws EDatabaseError with
    // the server's or the connection's Portuguese message when there is no answer.
    TDataPacket Answer(const QString& sql, const QHash<QString, QVariant>& params);

private:
    QString connection_;
    TNetConnection net_;
};
