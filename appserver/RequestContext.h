#pragma once

#include <QByteArray>
#include <QString>

namespace pla {

// What the HTTP endpoint knows about one request beyond its body, handed to the JSON-RPC
// dispatch so that the calls can be checked against the caller's credentials and recorded
// with the caller's address.
struct RequestContext {
    // Numeric address of the client ("127.0.0.1", "::1"), without the port.
    QString clientAddress;
    // The request's Authorization header as sent (empty when absent).
    QByteArray authorization;
    // The request's session-token header (sessionTokenHeader()) as sent (empty when absent).
    QByteArray sessionToken;
    // True when the request came over TLS.
    bool tls = false;

    // Name of the header that carries a session token.
    static constexpr const char* sessionTokenHeader() { return "X-Session-Token"; }
};

} // namespace pla
