// Request bodies straight into the server's dispatcher over an in-memory database with the
// demo data. Whatever the body, the answer is a well-formed JSON-RPC response: a business
// result in the ok/message envelope or a protocol error with its code and message; an
// internal error (an exception that escaped a method) is a breach. A body split to read its
// packets straight from their bytes must read as the whole body does.
#include "appserver/DemoData.h"
#include "appserver/rpc/JsonRpcDispatcher.h"
#include "appserver/rpc/RequestScanner.h"
#include "appserver/storage/Schema.h"
#include "appserver/storage/StatementCache.h"
#include "framework/data/DatabaseError.h"
#include "framework/data/PacketCodec.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/SamePacket.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <cstdlib>
#include <memory>
#include <optional>

using pla::fuzz::require;

namespace {

const QString kConnection = QStringLiteral("fuzz");

// Where the demo database is kept once built, and the copy each input works on.
QString databaseFile(const char* role) {
    return QDir::temp().filePath(QStringLiteral("pla-fuzz-jsonrpc-%1-%2.sqlite")
                                     .arg(QCoreApplication::applicationPid())
                                     .arg(QLatin1String(role)));
}

// Closes the connection of the inputs, its prepared statements first, as the server's pool
// closes its own.
void closeDatabase() {
    if (!QSqlDatabase::contains(kConnection)) return;
    {
        QSqlDatabase db = QSqlDatabase::database(kConnection, false);
        pla::StatementCache::forget(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(kConnection);
}

// A fresh database, so that every input starts from the same data. The demo data is built
// once and kept as a file; a reset opens a new copy of it, which takes milliseconds where
// building the data again takes seconds under the sanitizers.
void resetDatabase() {
    closeDatabase();
    static const QString pristine = [] {
        const QString file = databaseFile("demo");
        QFile::remove(file);
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("demo"));
            db.setDatabaseName(QStringLiteral(":memory:"));
            require(db.open(), "the in-memory database opens");
            pla::Schema::migrate(db);
            pla::DemoData::fill(db, QDate(2026, 12, 8));
            require(QSqlQuery(db).exec(QStringLiteral("VACUUM INTO '%1'").arg(file)),
                    "the demo database is kept as a file");
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("demo"));
        std::atexit([] {
            // Closed while everything it used still stands: a connection left to the end of
            // the process goes after the statements it prepared, which then read as leaks.
            closeDatabase();
            QFile::remove(databaseFile("demo"));
            QFile::remove(databaseFile("work"));
        });
        return file;
    }();
    const QString work = databaseFile("work");
    QFile::remove(work);
    require(QFile::copy(pristine, work), "the demo database is copied");
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
    db.setDatabaseName(work);
    require(db.open(), "the copy of the demo database opens");
    // Nothing here needs to survive a crash of the harness.
    QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous=OFF"));
    QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode=MEMORY"));
}

// True when the call may have changed the data: a writing method was named and something
// succeeded. A refused write stores nothing, so most inputs need no fresh database.
bool mayHaveWritten(const QByteArray& body, const QByteArray& answer) {
    return (body.contains("Set") || body.contains("Apaga") || body.contains("Gera")) &&
           answer.contains("\"ok\":true");
}

void requireResponse(const QJsonValue& v) {
    require(v.isObject(), "each response is an object");
    const QJsonObject o = v.toObject();
    require(o.value(QLatin1String("jsonrpc")) == QLatin1String("2.0"), "responses say 2.0");
    require(o.contains(QLatin1String("id")), "responses carry the id");
    const bool hasResult = o.contains(QLatin1String("result"));
    require(hasResult != o.contains(QLatin1String("error")), "a result or an error, not both");
    if (hasResult) {
        const QJsonObject r = o.value(QLatin1String("result")).toObject();
        const QJsonValue ok = r.value(QLatin1String("ok"));
        require(ok.isBool(), "a result is the ok/message envelope");
        if (ok.toBool())
            require(r.contains(QLatin1String("data")), "a success carries data");
        else
            require(!r.value(QLatin1String("message")).toString().isEmpty(),
                    "a refusal carries a message");
        return;
    }
    const QJsonObject e = o.value(QLatin1String("error")).toObject();
    const int code = e.value(QLatin1String("code")).toInt();
    require(code == -32700 || code == -32600 || code == -32601 || code == -32602 || code == -32001,
            "only protocol faults become error objects",
            QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)));
    require(!e.value(QLatin1String("message")).toString().isEmpty(), "an error has a message");
}

// A body the dispatcher reads split, its packets from their bytes, must read as the whole
// body does: valid JSON, each packet the one the document holds, and the envelope the body
// with those packets written as {}.
void requireSplitReadsAsTheBody(const QByteArray& body) {
    const std::optional<pla::RequestScanner::Read> read = pla::RequestScanner::read(body);
    if (!read) return;
    const QJsonDocument whole = QJsonDocument::fromJson(body);
    require(whole.isObject(), "a body read split is one JSON object");
    QJsonObject request = whole.object();
    QJsonArray params = request.value(QLatin1String("params")).toArray();
    for (qsizetype i = 0; i < qsizetype(read->packets.size()); ++i) {
        if (!read->packets[size_t(i)]) continue;
        require(i < params.size() && params[i].isObject(),
                "the packets read are objects of the params");
        try {
            require(
                pla::fuzz::samePacket(PacketCodec::FromJson(params[i]), *read->packets[size_t(i)]),
                "a packet read from its bytes is the one the document holds");
        } catch (const EDatabaseError& e) {
            pla::fuzz::breach("a packet read from its bytes is one the document holds",
                              e.Message());
        }
        params[i] = QJsonObject();
    }
    request[QLatin1String("params")] = params;
    require(QJsonDocument(request) == read->envelope,
            "the envelope is the body without its packets");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_jsonrpc";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static const std::unique_ptr<pla::JsonRpcDispatcher> dispatcher = [] {
        resetDatabase();
        return std::make_unique<pla::JsonRpcDispatcher>(
            [] { return QSqlDatabase::database(kConnection); });
    }();

    const QByteArray body(reinterpret_cast<const char*>(data), qsizetype(size));
    requireSplitReadsAsTheBody(body);
    // A desktop on this machine without credentials, as the embedded server sees its host.
    static const pla::RequestContext context{QStringLiteral("127.0.0.1"), {}};
    const QByteArray answer = dispatcher->handle(body, context);
    if (mayHaveWritten(body, answer)) resetDatabase();
    if (answer.isEmpty()) {
        // Only a body of notifications goes unanswered.
        const QJsonDocument doc = QJsonDocument::fromJson(body);
        require(!doc.isNull(), "a malformed body is answered");
        const QJsonArray requests = doc.isArray() ? doc.array() : QJsonArray{doc.object()};
        for (const QJsonValue& r : requests)
            require(r.isObject() && !r.toObject().contains(QLatin1String("id")),
                    "only notifications go unanswered");
        return 0;
    }
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(answer, &error);
    require(error.error == QJsonParseError::NoError, "the answer is JSON",
            QString::fromUtf8(answer));
    if (doc.isArray()) {
        require(!doc.array().isEmpty(), "a batch answer is not empty");
        for (const QJsonValue& r : doc.array())
            requireResponse(r);
    } else {
        requireResponse(doc.object());
    }
    return 0;
}
