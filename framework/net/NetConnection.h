#pragma once

#include "framework/data/Event.h"

#include <QJsonArray>
#include <QJsonValue>
#include <QString>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>

// Connection to the application server's remote data module. Remote methods are called by
// name with positional arguments (Call) as JSON-RPC 2.0 over HTTP:
// POST http://Host:Port/ServerName (https when Host is written "https://name"). Calls are
// synchronous; the TCP connection is kept alive
// between calls with Nagle's algorithm off.
//
// With ThrowException off (the default) Call never throws for a transport or protocol
// fault: a refused connection, a time-out, an HTTP error status, an answer that is not
// JSON-RPC or is larger than MaxAnswerBytes, and a JSON-RPC error object all come back as
// {"ok":false,"message":"..."} with a Portuguese text naming host:port and what happened,
// so the result check shows them like a refusal by the server.
class TNetConnection {
public:
    // Receives every call before it is sent (method, positional parameters).
    using CallObserver = std::function<void(const QString& method, const QJsonArray& params)>;

    // Defaults: a few seconds to reach the server; a minute for the answer, since some
    // methods (a whole branch's distribution) run long on the server.
    static constexpr std::chrono::milliseconds DefaultConnectTimeout{5000};
    static constexpr std::chrono::milliseconds DefaultReadTimeout{60000};
    static constexpr qint64 DefaultMaxAnswerBytes = 64LL * 1024 * 1024;

    explicit TNetConnection(const QString& name = {});
    ~TNetConnection();
    TNetConnection(const TNetConnection&) = delete;
    TNetConnection& operator=(const TNetConnection&) = delete;

    // The component's name.
    QString Name() const { return name_; }

    QString Host;
    int Port = 0;
    QString ServerName = QStringLiteral("PLA15400.rdmDistEmbCard");
    // When on, a failed call throws ENetConnectionError instead of returning a failure
    // envelope.
    bool ThrowException = false;
    // The Authorization header sent with every call ("Bearer TOKEN", "Basic ..."); when
    // empty, the process-wide one set by SetDefaultAuthorization is sent, if any.
    QString Authorization;

    // Fired by Connect before anything else, so the owner can set Host and Port.
    Event<TNetConnection&> BeforeConnect;

    // Fires BeforeConnect, then marks the connection up. The TCP connection itself is opened
    // by the first call (and reopened when the server dropped it), so an unreachable or
    // misconfigured server is reported by that call's result. Connecting again while
    // connected does nothing.
    void Connect();

    // Closes the TCP connection and marks the connection down. Safe when already down.
    void Disconnect();

    // True between Connect and Disconnect.
    bool Connected() const { return connected_; }
    // Connect() for true, Disconnect() for false.
    void SetConnected(bool on);

    // Calls a remote method by name with positional arguments and returns the JSON-RPC
    // "result" exactly as the server sent it (the raw result envelope), or the failure
    // envelope described above. Connects first when not connected (firing BeforeConnect).
    // Observers see the call before it is sent.
    QJsonValue Call(const QString& method, const QJsonArray& params = {});

    // The failure text of the last call, empty when it succeeded at the transport level.
    QString LastFailure() const { return lastFailure_; }

    // Limits; take effect on the next call.
    void SetConnectTimeout(std::chrono::milliseconds t);
    void SetReadTimeout(std::chrono::milliseconds t);
    void SetMaxAnswerBytes(qint64 bytes);
    std::chrono::milliseconds ConnectTimeout() const { return connectTimeout_; }
    std::chrono::milliseconds ReadTimeout() const { return readTimeout_; }
    qint64 MaxAnswerBytes() const { return maxAnswerBytes_; }

    // Observers of this connection's calls; the id removes it again.
    int AddCallObserver(CallObserver observer);
    void RemoveCallObserver(int id);

    // Observers of every connection's calls in the process (the scenario runner counts the
    // calls of screens it does not own this way).
    static int AddGlobalCallObserver(CallObserver observer);
    static void RemoveGlobalCallObserver(int id);

    // Runs the network exchange of a call. A desktop host installs one that sends on another
    // thread while its windows keep painting behind the busy animation; without one (tests,
    // scripted sessions) the exchange runs on the calling thread. The runner must call
    // `send` exactly once and return when it has finished.
    using TransportRunner = std::function<void(const std::function<void()>& send)>;
    static void SetTransportRunner(TransportRunner runner);
    // Runs other slow network work (a print job sent to a printer) the way a call's exchange
    // runs: through the installed runner, so the windows keep painting; here without one.
    static void RunTransport(const std::function<void()>& work);

    // The credentials of the logged-in user for every connection of the process: the host
    // sets them after its login, so the screens' connections carry them without knowing.
    static void SetDefaultAuthorization(const QString& authorization);

    // The JSON-RPC error code of a server that does not accept the call's credentials.
    static constexpr int kCredentialsRefused = -32001;
    // Renews the process-wide session when the server refuses it (its message in `reason`),
    // e.g. by asking the user for his password again; true when new default credentials were
    // set. A call on the default credentials that the server refuses this way is then made
    // once more; without a renewal, or when it gives up, the refusal is the call's failure.
    using SessionRenewal = std::function<bool(const QString& reason)>;
    static void SetSessionRenewal(SessionRenewal renewal);

private:
    class Transport;

    // One exchange with the server: the raw result, or the failure text and, for a JSON-RPC
    // error object, its code and the server's own message.
    struct Outcome {
        QJsonValue result;
        QString failure;
        int rpcError = 0;
        QString rpcMessage;
    };
    Outcome Exchange(const QString& method, const QJsonArray& params);

    QString Address() const;
    QJsonValue Fail(const QString& message);
    void NotifyObservers(const QString& method, const QJsonArray& params) const;

    QString name_;
    QString pathFor_;
    std::string path_;
    bool connected_ = false;
    qint64 nextId_ = 1;
    QString lastFailure_;
    std::chrono::milliseconds connectTimeout_ = DefaultConnectTimeout;
    std::chrono::milliseconds readTimeout_ = DefaultReadTimeout;
    qint64 maxAnswerBytes_ = DefaultMaxAnswerBytes;
    std::unique_ptr<Transport> transport_;
    std::map<int, CallObserver> observers_;
    int nextObserverId_ = 1;
};
