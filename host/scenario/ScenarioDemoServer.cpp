#include "host/scenario/ScenarioDemoServer.h"

#include "appserver/EmbeddedServer.h"
#include "host/scenario/ScenarioRunner.h"

namespace pla {

ScenarioDemoServer::ScenarioDemoServer(const QDate& today)
    : file_(dir_.filePath(QStringLiteral("demo.sqlite"))),
      server_(std::make_unique<EmbeddedServer>()) {
    if (!dir_.isValid()) throw ScenarioFailure(QStringLiteral("sem pasta temporária para o servidor demo"));
    try {
        server_->start(file_, true, today.isValid() ? today : QDate::currentDate());
    } catch (const std::exception& e) {
        throw ScenarioFailure(QStringLiteral("servidor demo: %1").arg(QString::fromUtf8(e.what())));
    }
}

ScenarioDemoServer::~ScenarioDemoServer() { server_->stop(); }

int ScenarioDemoServer::Port() const { return server_->port(); }

} // namespace pla
