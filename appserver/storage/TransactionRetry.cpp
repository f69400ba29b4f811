#include "appserver/storage/TransactionRetry.h"

#include "appserver/storage/ConnectionPool.h"
#include "appserver/rpc/Refusal.h"
#include "appserver/ServerLog.h"

#include <chrono>
#include <random>
#include <thread>

namespace pla {

QString TransactionRetry::unreachable() {
    return QStringLiteral("O banco de dados do servidor de aplicação não está respondendo. Tente "
                          "novamente em instantes.");
}

void TransactionRetry::recover(const StorageError& e, int attempt) {
    ServerLog::write(QStringLiteral("falha no banco (tentativa %1, código %2): %3")
                         .arg(attempt)
                         .arg(e.code().isEmpty() ? QStringLiteral("-") : e.code(), e.message()));
    if (e.isConflict() && attempt < conflictAttempts) {
        // Spread the retries of the writers that collided so they do not meet again.
        thread_local std::minstd_rand random{std::random_device{}()};
        std::this_thread::sleep_for(
            std::chrono::milliseconds(5 * attempt + int(random() % (10u * unsigned(attempt)))));
        return;
    }
    // The operator must learn that space ran out, not that "the database failed"; nothing was
    // stored, and the next call works again once there is room.
    if (e.isDiskFull())
        throw Refusal(QStringLiteral("Disco cheio no servidor do banco de dados: nada foi gravado. "
                                     "Avise o responsável pelo servidor."));
    if (!ConnectionPool::alive(db_)) {
        if (e.atCommit())
            throw Refusal(QStringLiteral(
                "A conexão com o banco de dados caiu ao concluir a gravação. Recarregue a "
                "distribuição para conferir se ela foi gravada."));
        if (!reconnected_ && ConnectionPool::reopen(db_)) {
            reconnected_ = true;
            ServerLog::write(QStringLiteral("conexão com o banco restabelecida"));
            return;
        }
        throw Refusal(unreachable());
    }
    if (e.isConflict())
        throw Refusal(QStringLiteral("Outro usuário está alterando os mesmos dados neste momento. "
                                     "Tente novamente."));
    throw Refusal(QStringLiteral("Falha no banco de dados do servidor de aplicação. Os detalhes "
                                 "foram registrados no log do servidor."));
}

} // namespace pla
