#include "appserver/http/HttpEndpoint.h"

#include "appserver/http/BodyDecoder.h"
#include "appserver/http/ConnectionTable.h"

#include <QThreadPool>
#include <atomic>
#include <condition_variable>
#include <microhttpd.h>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <optional>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace pla {

namespace {

using Phase = ConnectionTable::Phase;

constexpr const char* kHealthPath = "/health";
constexpr const char* kText = "text/plain; charset=utf-8";
constexpr const char* kJson = "application/json; charset=utf-8";
// Connections accepted beyond the cap only to tell them 503; past this many more the event
// thread refuses the connection outright.
constexpr unsigned kOverCapAnswered = 64;
constexpr std::chrono::milliseconds kSweepPeriod{100};

// One answer to send: status, body and the extra header some refusals need.
struct Answer {
    unsigned status = 200;
    QByteArray body;
    const char* contentType = kText;
    const char* extraHeader = nullptr;
    QByteArray extraValue;
};

Answer refusal(unsigned status, const QString& text) {
    return Answer{status, text.toUtf8(), kText, nullptr, {}};
}

// One request from its headers to its answer.
struct Request {
    bool health = false;
    std::unique_ptr<BodyDecoder> body;
    RequestContext context;
    bool started = false;
    std::atomic<bool> done{false};
    Answer answer;
};

QString numericAddress(const sockaddr* address) {
    if (!address) return {};
    char host[NI_MAXHOST] = {};
    const socklen_t length =
        address->sa_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
    if (::getnameinfo(address, length, host, sizeof host, nullptr, 0, NI_NUMERICHOST) != 0)
        return {};
    return QString::fromLatin1(host);
}

QByteArray header(MHD_Connection* connection, const char* name) {
    return QByteArray(MHD_lookup_connection_value(connection, MHD_HEADER_KIND, name));
}

// How many times each framing header appears; a length given twice (or next to a chunked
// encoding) is ambiguous, and two parties may read the body differently.
struct FramingCount {
    int contentLength = 0;
    int transferEncoding = 0;
};

MHD_Result countFraming(void* cls, MHD_ValueKind, const char* key, const char*) {
    auto* count = static_cast<FramingCount*>(cls);
    if (qstricmp(key, MHD_HTTP_HEADER_CONTENT_LENGTH) == 0) ++count->contentLength;
    if (qstricmp(key, MHD_HTTP_HEADER_TRANSFER_ENCODING) == 0) ++count->transferEncoding;
    return MHD_YES;
}

QByteArray mediaType(const QByteArray& contentType) {
    const qsizetype semicolon = contentType.indexOf(';');
    return (semicolon < 0 ? contentType : contentType.left(semicolon)).trimmed().toLower();
}

} // namespace

struct HttpEndpoint::Impl {
    Handler handler;
    HealthCheck health;
    Limits limits;
    Tls tls;
    ConnectionTable table;
    QThreadPool workers;
    int listenFd = -1;
    MHD_Daemon* daemon = nullptr;

    std::mutex mutex;
    std::condition_variable wake;
    bool stopRequested = false;
    std::atomic<bool> running{false};
    std::atomic<bool> stopping{false};

    Impl(Handler h, HealthCheck hc, Limits l, Tls t)
        : handler(std::move(h)), health(std::move(hc)), limits(std::move(l)), tls(std::move(t)),
          table(std::max(1, limits.maxConnections),
                ConnectionTable::Deadlines{std::chrono::seconds(limits.keepAliveSeconds),
                                           std::chrono::seconds(limits.headerTimeoutSeconds),
                                           std::chrono::seconds(limits.bodyTimeoutSeconds),
                                           std::chrono::seconds(limits.writeTimeoutSeconds)}) {
        workers.setMaxThreadCount(std::max(1, limits.threads));
        // Workers keep their database connections, so they live as long as the endpoint.
        workers.setExpiryTimeout(-1);
    }

    static ConnectionTable::Connection* tracked(MHD_Connection* connection) {
        const MHD_ConnectionInfo* info =
            MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
        return info ? static_cast<ConnectionTable::Connection*>(info->socket_context) : nullptr;
    }

    // `kept` says the body outlives the sending (a request's own answer, freed only when MHD
    // reports the request completed), so MHD need not copy it.
    MHD_Result send(MHD_Connection* connection, const Answer& a, bool kept = false) {
        MHD_Response* response = MHD_create_response_from_buffer(
            static_cast<size_t>(a.body.size()), const_cast<char*>(a.body.constData()),
            kept ? MHD_RESPMEM_PERSISTENT : MHD_RESPMEM_MUST_COPY);
        if (!a.body.isEmpty() || a.status != 204)
            MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, a.contentType);
        if (a.extraHeader)
            MHD_add_response_header(response, a.extraHeader, a.extraValue.constData());
        // While stopping, and beyond the cap, the connection ends with this answer.
        if (stopping || a.status == MHD_HTTP_SERVICE_UNAVAILABLE)
            MHD_add_response_header(response, MHD_HTTP_HEADER_CONNECTION, "close");
        const MHD_Result queued = MHD_queue_response(connection, a.status, response);
        MHD_destroy_response(response);
        if (ConnectionTable::Connection* c = tracked(connection)) table.enter(c, Phase::Answering);
        return queued;
    }

    // The refusal for a request whose headers just arrived, if any.
    std::optional<Answer> check(MHD_Connection* connection, const char* url, const char* method,
                                const ConnectionTable::Connection& c, Request& r) const {
        if (c.overCap)
            return refusal(MHD_HTTP_SERVICE_UNAVAILABLE,
                           QStringLiteral("Servidor ocupado: o limite de %1 conexões foi "
                                          "atingido. Tente novamente em instantes.")
                               .arg(limits.maxConnections));
        FramingCount framing;
        const int headers =
            MHD_get_connection_values(connection, MHD_HEADER_KIND, countFraming, &framing);
        if (headers > limits.maxHeaders)
            return refusal(MHD_HTTP_REQUEST_HEADER_FIELDS_TOO_LARGE,
                           QStringLiteral("Requisição com %1 cabeçalhos; o limite é %2.")
                               .arg(headers)
                               .arg(limits.maxHeaders));
        if (framing.contentLength > 1 || (framing.contentLength && framing.transferEncoding))
            return refusal(MHD_HTTP_BAD_REQUEST,
                           QStringLiteral("Requisição inválida: o tamanho do corpo foi informado "
                                          "mais de uma vez."));
        const QByteArray transfer = header(connection, MHD_HTTP_HEADER_TRANSFER_ENCODING);
        if (!transfer.isEmpty() && transfer.trimmed().toLower() != "chunked")
            return refusal(MHD_HTTP_NOT_IMPLEMENTED,
                           QStringLiteral("Transfer-Encoding não suportado: %1.")
                               .arg(QString::fromUtf8(transfer)));

        const QByteArray path(url);
        const QByteArray verb(method);
        r.health = path == kHealthPath;
        if (!r.health && path != rpcPath())
            return refusal(MHD_HTTP_NOT_FOUND,
                           QStringLiteral("Rota desconhecida: %1").arg(QString::fromUtf8(path)));
        const char* allowed = r.health ? "GET" : "POST";
        if (verb != allowed && !(r.health && verb == "HEAD")) {
            Answer a = refusal(MHD_HTTP_METHOD_NOT_ALLOWED,
                               QStringLiteral("Método %1 não permitido em %2; use %3.")
                                   .arg(QString::fromUtf8(verb), QString::fromUtf8(path),
                                        QString::fromLatin1(allowed)));
            a.extraHeader = MHD_HTTP_HEADER_ALLOW;
            a.extraValue = allowed;
            return a;
        }
        // A page open in the operator's browser may post here; browsers name its origin.
        const QByteArray origin = header(connection, "Origin");
        if (!origin.isEmpty() && !limits.allowedOrigins.contains(QString::fromUtf8(origin)))
            return refusal(
                MHD_HTTP_FORBIDDEN,
                QStringLiteral("Origem não permitida: %1.").arg(QString::fromUtf8(origin)));
        if (r.health) return std::nullopt;

        const QByteArray type = header(connection, MHD_HTTP_HEADER_CONTENT_TYPE);
        if (mediaType(type) != "application/json")
            return refusal(MHD_HTTP_UNSUPPORTED_MEDIA_TYPE,
                           QStringLiteral("O corpo deve ser JSON (Content-Type: "
                                          "application/json); recebido: \"%1\".")
                               .arg(QString::fromUtf8(type)));
        const QByteArray encoding = header(connection, MHD_HTTP_HEADER_CONTENT_ENCODING).trimmed();
        if (!BodyDecoder::supports(encoding))
            return refusal(MHD_HTTP_UNSUPPORTED_MEDIA_TYPE,
                           QStringLiteral("Content-Encoding não suportado: %1.")
                               .arg(QString::fromUtf8(encoding)));
        const QByteArray length = header(connection, MHD_HTTP_HEADER_CONTENT_LENGTH);
        if (!length.isEmpty() && length.toULongLong() > limits.maxBodyBytes) return tooLarge();
        r.body = std::make_unique<BodyDecoder>(encoding, limits.maxBodyBytes);
        r.context.clientAddress = c.address;
        r.context.authorization = header(connection, MHD_HTTP_HEADER_AUTHORIZATION);
        r.context.forwardedFor = header(connection, "X-Forwarded-For");
        r.context.tls = !tls.certificate.isEmpty();
        return std::nullopt;
    }

    Answer tooLarge() const {
        return refusal(MHD_HTTP_CONTENT_TOO_LARGE,
                       QStringLiteral("O corpo da requisição excede o limite de %1 bytes.")
                           .arg(limits.maxBodyBytes));
    }

    // Runs on a worker: the call or the health check. Always resumes the connection, or it
    // would hang (and the daemon could not stop).
    void work(MHD_Connection* connection, Request* r) {
        Answer& a = r->answer;
        try {
            if (r->health) {
                a = health() ? Answer{MHD_HTTP_OK, "ok", kText, nullptr, {}}
                             : refusal(MHD_HTTP_SERVICE_UNAVAILABLE,
                                       QStringLiteral("O banco de dados não responde."));
            } else {
                a.body = handler(r->body->body(), r->context);
                a.status = a.body.isEmpty() ? MHD_HTTP_NO_CONTENT : MHD_HTTP_OK;
                a.contentType = kJson;
            }
        } catch (const std::exception& e) {
            a = refusal(MHD_HTTP_INTERNAL_SERVER_ERROR,
                        QStringLiteral("Erro interno do servidor de aplicação: %1")
                            .arg(QString::fromUtf8(e.what())));
        }
        r->done = true;
        MHD_resume_connection(connection);
    }

    MHD_Result access(MHD_Connection* connection, const char* url, const char* method,
                      const char* data, size_t* size, void** requestSlot) {
        ConnectionTable::Connection* c = tracked(connection);
        auto* r = static_cast<Request*>(*requestSlot);
        if (!r) {
            r = new Request;
            *requestSlot = r;
            if (!c) return MHD_NO; // not announced: cannot be tracked, so not served
            table.enter(c, Phase::Body);
            if (std::optional<Answer> refused = check(connection, url, method, *c, *r))
                return send(connection, *refused);
            return MHD_YES;
        }
        if (*size > 0) {
            // After a refusal the rest of the body is read and dropped.
            if (r->body) r->body->append(data, *size);
            *size = 0;
            return MHD_YES;
        }
        if (r->done) return send(connection, r->answer, true);
        if (r->started) return MHD_YES;
        if (r->body) {
            switch (r->body->finish()) {
            case BodyDecoder::Status::TooLarge:
                return send(connection, tooLarge());
            case BodyDecoder::Status::Corrupt:
                return send(connection,
                            refusal(MHD_HTTP_BAD_REQUEST,
                                    QStringLiteral("O corpo compactado da requisição está "
                                                   "corrompido ou incompleto.")));
            case BodyDecoder::Status::Ok:
                break;
            }
        }
        r->started = true;
        if (c) table.enter(c, Phase::Working);
        MHD_suspend_connection(connection);
        workers.start([this, connection, r] { work(connection, r); });
        return MHD_YES;
    }

    void start(MHD_Connection* connection, void** slot) {
        const MHD_ConnectionInfo* fd =
            MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
        const MHD_ConnectionInfo* address =
            MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
        *slot = table.add(fd ? fd->connect_fd : -1,
                          numericAddress(address ? address->client_addr : nullptr));
    }

    // MHD's callbacks, with the Impl as their closure.
    static MHD_Result onAccess(void* cls, MHD_Connection* connection, const char* url,
                               const char* method, const char*, const char* data, size_t* size,
                               void** requestSlot) {
        return static_cast<Impl*>(cls)->access(connection, url, method, data, size, requestSlot);
    }
    static void* onRequestLine(void* cls, const char*, MHD_Connection* connection) {
        if (ConnectionTable::Connection* c = tracked(connection))
            static_cast<Impl*>(cls)->table.enter(c, Phase::Headers);
        return nullptr;
    }
    static void onCompleted(void* cls, MHD_Connection* connection, void** requestSlot,
                            MHD_RequestTerminationCode) {
        delete static_cast<Request*>(*requestSlot);
        *requestSlot = nullptr;
        if (ConnectionTable::Connection* c = tracked(connection))
            static_cast<Impl*>(cls)->table.enter(c, Phase::Waiting);
    }
    static void onConnection(void* cls, MHD_Connection* connection, void** slot,
                             MHD_ConnectionNotificationCode code) {
        Impl* d = static_cast<Impl*>(cls);
        if (code == MHD_CONNECTION_NOTIFY_STARTED)
            d->start(connection, slot);
        else
            d->table.remove(static_cast<ConnectionTable::Connection*>(*slot));
    }

    bool startDaemon() {
        unsigned flags = MHD_USE_EPOLL_INTERNAL_THREAD | MHD_ALLOW_SUSPEND_RESUME;
        const bool secure = !tls.certificate.isEmpty();
        if (secure) flags |= MHD_USE_TLS;
        const unsigned cap = static_cast<unsigned>(std::max(1, limits.maxConnections));
        std::vector<MHD_OptionItem> options = {
            {MHD_OPTION_LISTEN_SOCKET, listenFd, nullptr},
            {MHD_OPTION_CONNECTION_LIMIT, cap + kOverCapAnswered, nullptr},
            // The table's deadlines end connections earlier; this only backs them up.
            {MHD_OPTION_CONNECTION_TIMEOUT, std::max(1, limits.keepAliveSeconds) + 5, nullptr},
            {MHD_OPTION_CONNECTION_MEMORY_LIMIT, static_cast<intptr_t>(limits.maxHeaderBytes),
             nullptr},
            {MHD_OPTION_NOTIFY_COMPLETED, reinterpret_cast<intptr_t>(&onCompleted), this},
            {MHD_OPTION_NOTIFY_CONNECTION, reinterpret_cast<intptr_t>(&onConnection), this},
            {MHD_OPTION_URI_LOG_CALLBACK, reinterpret_cast<intptr_t>(&onRequestLine), this},
        };
        if (secure) {
            options.push_back(
                {MHD_OPTION_HTTPS_MEM_CERT, 0, const_cast<char*>(tls.certificate.constData())});
            options.push_back(
                {MHD_OPTION_HTTPS_MEM_KEY, 0, const_cast<char*>(tls.key.constData())});
            if (tls.priorities.isEmpty()) tls.priorities = kTlsPriorities;
            options.push_back(
                {MHD_OPTION_HTTPS_PRIORITIES, 0, const_cast<char*>(tls.priorities.constData())});
        }
        options.push_back({MHD_OPTION_END, 0, nullptr});
        daemon = MHD_start_daemon(flags, 0, nullptr, nullptr, &onAccess, this, MHD_OPTION_ARRAY,
                                  options.data(), MHD_OPTION_END);
        return daemon != nullptr;
    }

    // Stops accepting, ends idle connections at once, lets the requests in progress be
    // answered, then stops the daemon. Does nothing when it is not running.
    void shutdown() {
        if (!daemon) return;
        stopping = true;
        // No new connections; the listening socket stays ours to close.
        MHD_quiesce_daemon(daemon);
        table.closeWaiting();
        drain();
        // A suspended connection must be resumed before the daemon stops: let the calls end.
        workers.waitForDone();
        MHD_stop_daemon(daemon);
        daemon = nullptr;
    }

    // Waits until the requests in progress are answered and their connections closed, bounded
    // by the longest a request may still take.
    void drain() {
        const auto deadline =
            ConnectionTable::Clock::now() +
            std::chrono::seconds(limits.headerTimeoutSeconds + limits.bodyTimeoutSeconds +
                                 limits.writeTimeoutSeconds);
        while (table.size() > 0 && ConnectionTable::Clock::now() < deadline) {
            table.sweep();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
};

const char* HttpEndpoint::rpcPath() {
    return "/PLA15400.rdmDistEmbCard";
}

HttpEndpoint::HttpEndpoint(Handler handler, HealthCheck health, Limits limits, Tls tls)
    : d_(std::make_unique<Impl>(std::move(handler), std::move(health), std::move(limits),
                                std::move(tls))) {}

HttpEndpoint::~HttpEndpoint() {
    stop();
    d_->shutdown();
    if (d_->listenFd >= 0) ::close(d_->listenFd);
}

int HttpEndpoint::bind(const QString& host, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const QByteArray h = host.toUtf8();
    const QByteArray service = QByteArray::number(port);
    if (::getaddrinfo(h.isEmpty() ? nullptr : h.constData(), service.constData(), &hints, &found) !=
        0)
        return -1;
    int fd = -1;
    for (addrinfo* a = found; a && fd < 0; a = a->ai_next) {
        fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) continue;
        const int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (::bind(fd, a->ai_addr, a->ai_addrlen) != 0 || ::listen(fd, SOMAXCONN) != 0) {
            ::close(fd);
            fd = -1;
        }
    }
    ::freeaddrinfo(found);
    if (fd < 0) return -1;
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length);
    const int actual =
        ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                          : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
    d_->shutdown();
    if (d_->listenFd >= 0) ::close(d_->listenFd);
    d_->listenFd = fd;

    // Every connection up to the cap needs a descriptor of its own.
    rlimit files{};
    const rlim_t wanted = static_cast<rlim_t>(d_->limits.maxConnections) + kOverCapAnswered + 256;
    if (::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < wanted) {
        files.rlim_cur = std::min(files.rlim_max, wanted);
        ::setrlimit(RLIMIT_NOFILE, &files);
    }
    return d_->startDaemon() ? actual : -1;
}

bool HttpEndpoint::serve() {
    if (!d_->daemon) return false;
    d_->running = true;
    {
        std::unique_lock lock(d_->mutex);
        while (!d_->stopRequested) {
            d_->wake.wait_for(lock, kSweepPeriod);
            lock.unlock();
            d_->table.sweep();
            lock.lock();
        }
    }
    d_->running = false;
    d_->shutdown();
    return true;
}

void HttpEndpoint::stop() {
    {
        const std::lock_guard lock(d_->mutex);
        d_->stopRequested = true;
    }
    d_->wake.notify_all();
}

bool HttpEndpoint::isRunning() const {
    return d_->running;
}

} // namespace pla
