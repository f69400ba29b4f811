#include "framework/net/RemoteCallLog.h"

namespace pla {

void RemoteCallLog::Record(const QString& method, const QJsonArray& params) {
    calls_.push_back({method, params});
}

int RemoteCallLog::Count(const QString& method) const {
    int n = 0;
    for (const Call& c : calls_)
        n += c.method == method ? 1 : 0;
    return n;
}

QVector<QJsonArray> RemoteCallLog::Params(const QString& method) const {
    QVector<QJsonArray> out;
    for (const Call& c : calls_)
        if (c.method == method) out.push_back(c.params);
    return out;
}

} // namespace pla
