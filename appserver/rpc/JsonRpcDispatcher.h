#pragma once

#include "appserver/auth/CredentialCache.h"
#include "appserver/auth/LoginThrottle.h"
#include "appserver/auth/SessionStore.h"
#include "appserver/http/RequestContext.h"
#include "appserver/rpc/RequestScanner.h"
#include "appserver/storage/DistributionStore.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QSqlDatabase>
#include <QStringList>
#include <QVector>
#include <functional>
#include <memory>

namespace pla {

// Answers JSON-RPC 2.0 request bodies (single or batch) by calling the remote methods.
// Protocol faults get the standard error objects: -32700 parse error, -32600 invalid
// request, -32601 method not found, -32602 invalid params (naming the parameter), -32603
// internal error, -32001 credentials missing or not accepted; business results travel in
// `result` as the ok/message envelope. Besides the methods of its table (methods()) it
// answers `Login`, which opens a session (see Authenticator).
class JsonRpcDispatcher {
public:
    using ConnectionProvider = std::function<QSqlDatabase()>;

    // `connection` yields the calling thread's database connection; `maxDepth` bounds the
    // nesting of arrays and objects accepted in a body; `credentialMilliseconds` is how long a
    // session or the absence of users is taken as the database last said (see
    // CredentialCache).
    explicit JsonRpcDispatcher(ConnectionProvider connection, int maxDepth = 64,
                               int credentialMilliseconds = 2000);
    // How long a session opened by `Login` lasts (SessionStore::kLifetime unless set).
    void setSessionLifetime(std::chrono::seconds lifetime) { sessionLifetime_ = lifetime; }
    // Test seam: forwarded to every save and generation.
    void setWriteHook(DistributionStore::WriteHook hook) { hook_ = std::move(hook); }
    // With `require`, a save or delete without the version it was made from is refused (a
    // business refusal naming the reason) instead of being applied over whatever is stored.
    void setRequireVersion(bool require) { requireVersion_ = require; }

    // The response body for `body`; empty when the request held only notifications. Every
    // call is made for the caller that `context`'s credentials and address establish.
    QByteArray handle(const QByteArray& body, const RequestContext& context) const;
    // Deepest nesting of arrays/objects in `json` (strings are skipped), stopping early once
    // `limit` is exceeded; `outerCommas`, when given, receives the commas directly inside the
    // outermost array or object (a batch's calls less one).
    static int nestingDepth(const QByteArray& json, int limit, int* outerCommas = nullptr);
    int maxDepth() const { return maxDepth_; }

    // One remote method of the table the dispatcher answers from, as docs/protocol.md lists
    // it: wire name, the labels of its params in order (the last one optional when
    // lastOptional), and whose branch it holds a tied user to ("none", "branch" for its branch
    // argument, "distribution" for the stored distribution it names, "services" for the
    // branches of the services it is given).
    struct MethodInfo {
        QString name;
        QStringList params;
        bool lastOptional = false;
        QString branchRule;
    };
    static QVector<MethodInfo> methods();

    // Packets of a request's params already read from its bytes, by position.
    using Preread = RequestScanner::Packets;
    // A request's params, with the packets among them already read, if any.
    struct ParamValues {
        QJsonArray values;
        Preread* preread = nullptr;
    };

private:
    // The encoded response to one request.
    QByteArray handleOne(const QJsonValue& request, bool& respond, const RequestContext& context,
                         Preread* preread = nullptr) const;
    // The encoded result of one call.
    QByteArray call(const QString& method, const ParamValues& params,
                    const RequestContext& request) const;

    ConnectionProvider connection_;
    int maxDepth_;
    std::unique_ptr<CredentialCache> credentials_;
    std::unique_ptr<LoginThrottle> throttle_;
    DistributionStore::WriteHook hook_;
    bool requireVersion_ = false;
    std::chrono::seconds sessionLifetime_ = SessionStore::kLifetime;
};

} // namespace pla
