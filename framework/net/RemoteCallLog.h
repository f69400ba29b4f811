#pragma once

#include <QJsonArray>
#include <QString>
#include <QVector>

namespace pla {

// An ordered record of remote calls (method and positional parameters), for tests and the
// scenario runner. Fed from a connection's call observer; it keeps everything it is given
// until Reset, so production code does not attach one.
class RemoteCallLog {
public:
    struct Call {
        QString method;
        QJsonArray params;
    };

    // Appends one call.
    void Record(const QString& method, const QJsonArray& params);

    // Calls of method since the last Reset.
    int Count(const QString& method) const;

    // All calls since the last Reset.
    int Total() const { return static_cast<int>(calls_.size()); }

    // The parameters of every call of method, oldest first.
    QVector<QJsonArray> Params(const QString& method) const;

    // Every call, oldest first.
    const QVector<Call>& Calls() const { return calls_; }

    // Forgets every call.
    void Reset() { calls_.clear(); }

private:
    QVector<Call> calls_;
};

} // namespace pla
