#include "appserver/ServerLog.h"

#include <QDateTime>
#include <cstdio>
#include <mutex>

namespace pla {

void ServerLog::write(const QString& text) {
    static std::mutex mutex;
    const QByteArray line =
        (QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs) + QLatin1Char(' ') +
         QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')) + QLatin1Char('\n'))
            .toUtf8();
    std::lock_guard<std::mutex> lock(mutex);
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

} // namespace pla
