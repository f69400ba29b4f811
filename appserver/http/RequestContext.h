#pragma once

#include <QByteArray>
#include <QString>

namespace pla {

// What the HTTP side knows of one request besides its body: where it came from and the
// credentials it carries. The endpoint fills it; the dispatcher decides what it allows.
struct RequestContext {
    QString clientAddress;    // the peer's IP address ("127.0.0.1", "::1", "192.0.2.7")
    QByteArray authorization; // the Authorization header as sent, empty without one
    QByteArray forwardedFor;  // the X-Forwarded-For header a proxy added, empty without one
    bool tls = false;         // the request came over TLS

    // True for a request of a user of this machine: from an address of this machine
    // (127.0.0.0/8, ::1, and IPv4 mapped into IPv6) and not forwarded by a proxy there, which
    // would make every workstation behind it look local.
    bool fromLoopback() const;
    // The address the audit records: the workstation a proxy on this machine forwarded for
    // (the last address it added), otherwise the peer.
    QString origin() const;
};

} // namespace pla
