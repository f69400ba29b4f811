#include "framework/print/RawPrinterJob.h"

#include <QRegularExpression>
#include <cerrno>
#include <cstring>
#include <cups/cups.h>
#include <fcntl.h>
#include <memory>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// How long a printer may take to answer the connection, and then to take each piece of the
// job: a printer that is off must not hold the user for minutes.
constexpr int kConnectMs = 5000;
constexpr int kWriteMs = 30000;

const QRegularExpression& AddressPattern() {
    static const QRegularExpression re(
        QStringLiteral("^\\s*([^\\s:/]+|\\[[0-9a-fA-F:]+\\]):(\\d{1,5})\\s*$"));
    return re;
}

// A socket closed however the send ends.
struct Socket {
    int fd = -1;
    ~Socket() {
        if (fd >= 0) ::close(fd);
    }
};

bool Wait(int fd, short events, int ms) {
    pollfd p{fd, events, 0};
    int r;
    do
        r = ::poll(&p, 1, ms);
    while (r < 0 && errno == EINTR);
    return r > 0 && (p.revents & events);
}

} // namespace

bool RawPrinterJob::IsNetworkAddress(const QString& destination) {
    return AddressPattern().match(destination).hasMatch();
}

QStringList RawPrinterJob::Queues() {
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    QStringList out;
    for (int i = 0; i < count; ++i) {
        if (dests[i].instance) continue;
        const QString name = QString::fromUtf8(dests[i].name);
        if (dests[i].is_default)
            out.prepend(name);
        else
            out.append(name);
    }
    cupsFreeDests(count, dests);
    return out;
}

bool RawPrinterJob::Send(const QString& destination, const QByteArray& data, const QString& title,
                         QString& error) {
    const QString target = destination.trimmed();
    if (target.isEmpty()) {
        error = QStringLiteral("Nenhuma impressora de etiquetas escolhida: informe a fila de "
                               "impressão ou o endereço HOST:9100 da impressora.");
        return false;
    }
    return IsNetworkAddress(target) ? SendToSocket(target, data, error)
                                    : SendToQueue(target, data, title, error);
}

bool RawPrinterJob::SendToSocket(const QString& address, const QByteArray& data, QString& error) {
    const QRegularExpressionMatch m = AddressPattern().match(address);
    QString host = m.captured(1);
    if (host.startsWith(QLatin1Char('['))) host = host.mid(1, host.size() - 2);
    const QString port = m.captured(2);
    const QString where = address.trimmed();
    if (port.toInt() < 1 || port.toInt() > 65535) {
        error = QStringLiteral("Endereço da impressora inválido: \"%1\" (use HOST:PORTA, por "
                               "exemplo 192.168.0.50:9100).")
                    .arg(where);
        return false;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.toUtf8().constData(), port.toLatin1().constData(), &hints, &found) !=
            0 ||
        !found) {
        error =
            QStringLiteral("A impressora de etiquetas %1 não foi encontrada na rede.").arg(where);
        return false;
    }
    std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> addresses(found, &::freeaddrinfo);

    Socket s;
    QString reason;
    for (addrinfo* a = found; a; a = a->ai_next) {
        Socket attempt;
        attempt.fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (attempt.fd < 0) continue;
        ::fcntl(attempt.fd, F_SETFL, ::fcntl(attempt.fd, F_GETFL) | O_NONBLOCK);
        int r = ::connect(attempt.fd, a->ai_addr, a->ai_addrlen);
        if (r < 0 && errno == EINPROGRESS) {
            if (!Wait(attempt.fd, POLLOUT, kConnectMs)) {
                reason = QStringLiteral("não respondeu em %1 segundos").arg(kConnectMs / 1000);
                continue;
            }
            int soError = 0;
            socklen_t len = sizeof soError;
            ::getsockopt(attempt.fd, SOL_SOCKET, SO_ERROR, &soError, &len);
            r = soError == 0 ? 0 : -1;
            errno = soError;
        }
        if (r == 0) {
            std::swap(s.fd, attempt.fd);
            break;
        }
        reason = QString::fromLocal8Bit(std::strerror(errno));
    }
    if (s.fd < 0) {
        error = QStringLiteral("A impressora de etiquetas %1 não está acessível (%2). Verifique "
                               "se está ligada e na rede.")
                    .arg(where, reason);
        return false;
    }
    qsizetype sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(s.fd, data.constData() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += n;
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) &&
            Wait(s.fd, POLLOUT, kWriteMs))
            continue;
        error = QStringLiteral("A impressora de etiquetas %1 interrompeu a impressão depois de "
                               "%2 de %3 bytes (%4). Confira as etiquetas impressas antes de "
                               "repetir.")
                    .arg(where)
                    .arg(sent)
                    .arg(data.size())
                    .arg(n < 0 ? QString::fromLocal8Bit(std::strerror(errno))
                               : QStringLiteral("tempo esgotado"));
        return false;
    }
    // The printer reads the job to its end before it sees the connection close.
    ::shutdown(s.fd, SHUT_WR);
    return true;
}

bool RawPrinterJob::SendToQueue(const QString& queue, const QByteArray& data, const QString& title,
                                QString& error) {
    const QByteArray name = queue.toUtf8();
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(), nullptr);
    if (!dest) {
        error = cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE
                    ? QStringLiteral("O serviço de impressão (CUPS) não está disponível: a fila "
                                     "\"%1\" não pode ser usada.")
                          .arg(queue)
                    : QStringLiteral("A fila de impressão \"%1\" não existe neste computador.")
                          .arg(queue);
        return false;
    }
    cupsFreeDests(1, dest);
    const QByteArray jobTitle = title.toUtf8();
    const int job =
        cupsCreateJob(CUPS_HTTP_DEFAULT, name.constData(), jobTitle.constData(), 0, nullptr);
    auto refused = [&](const char* what) {
        error = QStringLiteral("A fila de impressão \"%1\" recusou %2: %3")
                    .arg(queue, QString::fromUtf8(what), QString::fromUtf8(cupsLastErrorString()));
        return false;
    };
    if (job == 0) return refused("o trabalho");
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, name.constData(), job, jobTitle.constData(),
                          CUPS_FORMAT_RAW, 1) != HTTP_STATUS_CONTINUE) {
        cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), job, 0);
        return refused("o documento");
    }
    if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, data.constData(), size_t(data.size())) !=
        HTTP_STATUS_CONTINUE) {
        cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData());
        cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), job, 0);
        return refused("os dados");
    }
    if (cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData()) > IPP_STATUS_OK_CONFLICTING)
        return refused("o trabalho");
    return true;
}
