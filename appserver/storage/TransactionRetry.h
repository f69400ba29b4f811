#pragma once

#include "appserver/storage/StorageError.h"

#include <QSqlDatabase>

namespace pla {

// Runs one unit of database work (a whole remote method, each transaction in it rolled back on
// failure) and runs it again when a second attempt can cure the failure:
// - a deadlock or serialization failure: up to `conflictAttempts` attempts in all, after a short
//   random pause;
// - a broken connection: reconnects with a back-off and runs it once more, unless the failure
//   was the COMMIT itself (then nobody knows whether it was stored).
// What still fails is logged with the driver's detail and ends as a pla::Refusal with a
// Portuguese sentence for the user, without SQL or driver text.
class TransactionRetry {
public:
    static constexpr int conflictAttempts = 5;

    // The sentence shown while the database cannot be reached.
    static QString unreachable();

    explicit TransactionRetry(QSqlDatabase db) : db_(std::move(db)) {}

    template <class Work> auto run(Work&& work) -> decltype(work()) {
        for (int attempt = 1;; ++attempt) {
            try {
                return work();
            } catch (const StorageError& e) {
                recover(e, attempt);
            }
        }
    }

private:
    // Returns when the work is to be run again; throws pla::Refusal otherwise.
    void recover(const StorageError& e, int attempt);

    QSqlDatabase db_;
    bool reconnected_ = false;
};

} // namespace pla
