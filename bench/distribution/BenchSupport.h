#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>
#include <chrono>
#include <vector>

class TfrmDistEmbCard;

namespace pla {

class ScriptedDialogs;

// What the distribution screen's benchmarks share: the timing helpers, the fixture JSON
// helpers, and the set-up of the general database and of a screen on a loopback server.
namespace bench {

double Median(std::vector<double> v);
double MsSince(std::chrono::steady_clock::time_point start);

// {"ok":true,"data":data}
QJsonObject Ok(const QJsonValue& data);
// A data packet whose fields are given by name only.
QJsonObject Packet(const QStringList& fields, const QJsonArray& rows);

// An in-memory general database with branch 0001 in table FILIAL, installed as the host's
// general connection.
void OpenGeneralDatabase();

// Installs dialogs, logs user 0001 in against 127.0.0.1:port with today fixed, and creates
// the distribution screen; nullptr (after printing the messages shown) when creation fails.
TfrmDistEmbCard* CreateScreen(ScriptedDialogs& dialogs, int port);

// The general database, then the screen created on the server at port, shown with the
// focus in its service list (which loads the first service's distribution); nullptr when
// creation fails.
TfrmDistEmbCard* OpenScreen(ScriptedDialogs& dialogs, int port);

} // namespace bench
} // namespace pla
