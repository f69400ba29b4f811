#include "appserver/http/RequestContext.h"

namespace pla {

namespace {
bool loopbackAddress(const QString& address) {
    const QString a = address.trimmed();
    return a.startsWith(QLatin1String("127.")) || a == QLatin1String("::1") ||
           a.startsWith(QLatin1String("::ffff:127.")) || a == QLatin1String("localhost");
}
} // namespace

bool RequestContext::fromLoopback() const {
    return forwardedFor.trimmed().isEmpty() && loopbackAddress(clientAddress);
}

QString RequestContext::origin() const {
    // Only a proxy on this machine is believed: anyone else could write the header.
    const QByteArray last = forwardedFor.mid(forwardedFor.lastIndexOf(',') + 1).trimmed();
    if (last.isEmpty() || !loopbackAddress(clientAddress)) return clientAddress;
    return QString::fromLatin1(last.left(64));
}

} // namespace pla
