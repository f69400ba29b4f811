#pragma once

#include "framework/data/DataPacket.h"

#include <QJsonValue>
#include <QString>
#include <QStringList>

class TClientDataSet;

namespace pla {

// Checks the payload of a remote method before anything on the screen is touched. Every
// check either returns what it read or shows a Portuguese error box naming the method and
// what was wrong, then ends the user action silently (Abort), so a malformed answer never
// leaves a dataset half loaded.
class PayloadReader {
public:
    // method names the remote method in the messages.
    explicit PayloadReader(QString method);

    // The data packet carried by v. A packet that is not well formed is refused.
    TDataPacket Packet(const QJsonValue& v, const QString& what = {}) const;

    // Refuses a packet that lacks one of the named fields. A packet with neither fields nor
    // rows is an empty answer and passes.
    void RequireFields(const TDataPacket& p, const QStringList& names,
                       const QString& what = {}) const;

    // Refuses a packet that the dataset cannot take (checked on a scratch dataset with the
    // same fields, so target is left as it is).
    void RequireLoadable(const TDataPacket& p, const TClientDataSet& target,
                         const QString& what = {}) const;

    // The text carried by v; null counts as empty. Anything else is refused.
    QString Text(const QJsonValue& v, const QString& what) const;

    // Shows the failure for this method and ends the action. Never returns.
    [[noreturn]] void Fail(const QString& reason) const;

private:
    QString method_;
};

} // namespace pla
