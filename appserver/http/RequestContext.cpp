#include "appserver/http/RequestContext.h"

namespace pla {

bool RequestContext::fromLoopback() const {
    const QString a = clientAddress.trimmed();
    return a.startsWith(QLatin1String("127.")) || a == QLatin1String("::1") ||
           a.startsWith(QLatin1String("::ffff:127.")) || a == QLatin1String("localhost");
}

} // namespace pla
