#include "appserver/storage/ReadBatch.h"

#include "appserver/storage/StorageError.h"

#include <QHash>
#include <QSet>
#include <QSqlDriver>
#include <libpq-fe.h>
#include <mutex>
#include <sqlite3.h>

namespace pla {

namespace {

template <class T> T* driverHandle(const QSqlDatabase& db, const char* type) {
    const QVariant h = db.driver()->handle();
    return qstrcmp(h.typeName(), type) == 0 ? *static_cast<T* const*>(h.constData()) : nullptr;
}

// "?" placeholders as PostgreSQL numbers them ($1, $2...); our statements hold no "?" in a
// literal.
QByteArray numbered(const QString& sql) {
    QByteArray out;
    int n = 0;
    for (const char c : sql.toUtf8()) {
        if (c == '?')
            out += '$' + QByteArray::number(++n);
        else
            out += c;
    }
    return out;
}

// Statements prepared once per PostgreSQL session, under names of ours (QtSql names its own
// "qpsqlpstmt_…"). A session is told apart by its connection and its server process, since a
// reopened connection may come back at the same address.
class PreparedNames {
public:
    // The name of `sql`, and whether `session` has it prepared.
    QByteArray name(const QByteArray& sql, bool& prepared, PGconn* session) {
        const std::lock_guard lock(mutex_);
        int& id = ids_[sql];
        if (!id) id = int(ids_.size());
        prepared = sessions_[key(session)].contains(id);
        return "pla_read_" + QByteArray::number(id);
    }
    void markPrepared(const QByteArray& sql, PGconn* session) {
        const std::lock_guard lock(mutex_);
        sessions_[key(session)].insert(ids_.value(sql));
    }
    void forget(PGconn* session) {
        const std::lock_guard lock(mutex_);
        sessions_.remove(key(session));
    }

private:
    static QPair<quintptr, int> key(PGconn* c) {
        return {reinterpret_cast<quintptr>(c), PQbackendPID(c)};
    }
    std::mutex mutex_;
    QHash<QByteArray, int> ids_;
    QHash<QPair<quintptr, int>, QSet<int>> sessions_;
};

PreparedNames& preparedNames() {
    static auto* names = new PreparedNames; // used by connections closed at exit
    return *names;
}

bool namesLost(const QString& sqlState) {
    return sqlState == QLatin1String("26000") || sqlState == QLatin1String("42P05");
}

} // namespace

struct ReadBatch::Pipeline {
    std::vector<std::vector<PGresult*>> results; // of each read
    ~Pipeline() {
        for (const auto& read : results)
            for (PGresult* r : read)
                PQclear(r);
    }
};

ReadBatch::ReadBatch(const QSqlDatabase& db) : db_(db) {}

ReadBatch::~ReadBatch() {
    try {
        endSqliteTransaction();
    } catch (const StorageError&) {
        // A read-only transaction: the connection drops it when closed.
    }
}

int ReadBatch::add(const QString& sql, QVariantList values) {
    reads_.push_back(Read{sql, std::move(values), nullptr});
    return int(reads_.size()) - 1;
}

void ReadBatch::run() {
    if (PGconn* c = driverHandle<PGconn>(db_, "pg_conn*")) {
        try {
            runPipelined(c);
        } catch (const StorageError& e) {
            // The session lost statements we had prepared (or has some we did not know of):
            // prepare them again once.
            if (!namesLost(e.code())) throw;
            preparedNames().forget(c);
            runPipelined(c);
        }
        return;
    }
    runOneByOne();
}

void ReadBatch::runOneByOne() {
    sqlite3* handle = driverHandle<sqlite3>(db_, "sqlite3*");
    if (!handle || sqlite3_get_autocommit(handle)) {
        RowCursor(db_, QStringLiteral("BEGIN"), {}).next();
        sqliteTransaction_ = true;
    }
    for (Read& r : reads_)
        r.cursor = std::make_unique<RowCursor>(db_, r.sql, r.values);
}

void ReadBatch::finish() {
    endSqliteTransaction();
}

void ReadBatch::endSqliteTransaction() {
    for (Read& r : reads_)
        r.cursor.reset(); // their statements let the snapshot go
    if (!sqliteTransaction_) return;
    sqliteTransaction_ = false;
    RowCursor(db_, QStringLiteral("COMMIT"), {}).next();
}

RowCursor& ReadBatch::rows(int i) {
    return *reads_[size_t(i)].cursor;
}

void ReadBatch::runPipelined(void* connection) {
    auto* c = static_cast<PGconn*>(connection);
    auto failure = [&](const QString& what, const QString& sqlState = {}) {
        return StorageError(QStringLiteral("%1 [leitura em lote]").arg(what), sqlState);
    };
    // QtSql streams the rows of its queries: one not read to its end still has results on the
    // connection. A statement of its own would end it too.
    while (PGresult* pending = PQgetResult(c))
        PQclear(pending);
    const bool own = PQtransactionStatus(c) == PQTRANS_IDLE;
    if (!PQenterPipelineMode(c)) throw failure(QString::fromUtf8(PQerrorMessage(c)));

    // What each result that comes back answers, in the order sent.
    enum class Kind { Control, Prepare, Read };
    struct Sent {
        Kind kind;
        int read = -1;
        QByteArray sql;
    };
    std::vector<Sent> sent;
    bool sendFailed = false;
    auto control = [&](const char* sql) {
        sendFailed |= !PQsendQueryParams(c, sql, 0, nullptr, nullptr, nullptr, nullptr, 0);
        sent.push_back({Kind::Control, -1, {}});
    };
    if (own) control("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    // Every read here finds its rows by key, where the kept generic plan is as good as one made
    // for the values. Left to choose, PostgreSQL plans these joins afresh for each call on a large
    // database, which costs more than running them.
    control("SET LOCAL plan_cache_mode = force_generic_plan");
    for (size_t i = 0; i < reads_.size() && !sendFailed; ++i) {
        const Read& r = reads_[i];
        const QByteArray sql = numbered(r.sql);
        bool prepared = false;
        const QByteArray name = preparedNames().name(sql, prepared, c);
        if (!prepared) {
            sendFailed |=
                !PQsendPrepare(c, name.constData(), sql.constData(), int(r.values.size()), nullptr);
            sent.push_back({Kind::Prepare, int(i), sql});
        }
        std::vector<QByteArray> texts;
        std::vector<const char*> values;
        for (const QVariant& v : r.values) {
            // As QtSql binds: a null text is NULL.
            texts.push_back(v.isNull() ? QByteArray() : v.toString().toUtf8());
            values.push_back(v.isNull() ? nullptr : texts.back().constData());
        }
        sendFailed |= !PQsendQueryPrepared(c, name.constData(), int(values.size()), values.data(),
                                           nullptr, nullptr, 0);
        sent.push_back({Kind::Read, int(i), {}});
    }
    control(own ? "COMMIT" : "SET LOCAL plan_cache_mode TO DEFAULT");
    sendFailed |= !PQpipelineSync(c);

    // Every result is taken, up to the sync's, whatever failed: the connection must leave
    // pipeline mode clean for QtSql's next statement.
    auto pipeline = std::make_unique<Pipeline>();
    pipeline->results.resize(reads_.size());
    QString error, errorState;
    for (const Sent& s : sent) {
        while (PGresult* r = PQgetResult(c)) {
            const ExecStatusType status = PQresultStatus(r);
            if (status == PGRES_FATAL_ERROR && error.isEmpty()) {
                error = QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
                errorState = QString::fromUtf8(PQresultErrorField(r, PG_DIAG_SQLSTATE));
            }
            if (s.kind == Kind::Prepare && status == PGRES_COMMAND_OK)
                preparedNames().markPrepared(s.sql, c);
            // Rows come in one result, or one by one when QtSql's single-row mode of its last
            // query lingers on the connection.
            if (s.kind == Kind::Read &&
                (status == PGRES_TUPLES_OK || status == PGRES_SINGLE_TUPLE)) {
                pipeline->results[size_t(s.read)].push_back(r);
                continue;
            }
            PQclear(r);
        }
    }
    if (PGresult* sync = PQgetResult(c)) PQclear(sync); // PGRES_PIPELINE_SYNC
    if (!PQexitPipelineMode(c) && error.isEmpty()) error = QString::fromUtf8(PQerrorMessage(c));
    // A statement that failed inside our transaction leaves it aborted: end it.
    if (own && PQtransactionStatus(c) == PQTRANS_INERROR) PQclear(PQexec(c, "ROLLBACK"));
    if (sendFailed && error.isEmpty()) error = QString::fromUtf8(PQerrorMessage(c));
    if (!error.isEmpty()) throw failure(error, errorState);

    pipeline_ = std::move(pipeline);
    for (size_t i = 0; i < reads_.size(); ++i)
        reads_[i].cursor = std::make_unique<RowCursor>(pipeline_->results[i]);
}

} // namespace pla
