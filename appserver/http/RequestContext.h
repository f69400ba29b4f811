#pragma once

#include <QByteArray>
#include <QString>

namespace pla {

// What the HTTP side knows of one request besides its body: where it came from and the
// credentials it carries. The endpoint fills it; the dispatcher decides what it allows.
struct RequestContext {
    QString clientAddress;    // the peer's IP address ("127.0.0.1", "::1", "192.0.2.7")
    QByteArray authorization; // the Authorization header as sent, empty without one
    bool tls = false;         // the request came over TLS

    // True for an address of this machine (127.0.0.0/8, ::1, and IPv4 mapped into IPv6).
    bool fromLoopback() const;
};

} // namespace pla
