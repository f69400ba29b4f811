#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Sends a printer's own language (ZPL for label printers) to it unchanged, with no driver in
// between: to a CUPS queue through libcups as a raw document, or straight to a network
// printer's raw port ("HOST:9100"). A job is done when the queue has accepted it or the
// printer has taken every byte; anything else is a failure with its reason in Portuguese.
class RawPrinterJob {
public:
    // True when destination is a network address ("HOST:PORT") rather than a queue name.
    static bool IsNetworkAddress(const QString& destination);
    // Sends data to destination (a CUPS queue name, or HOST:PORT) as a job titled title.
    // False with the reason in error (queue missing or refusing, printer unreachable, the
    // connection dropped halfway).
    static bool Send(const QString& destination, const QByteArray& data, const QString& title,
                     QString& error);
    // The CUPS queues this workstation knows, the default first; empty when CUPS is not
    // running.
    static QStringList Queues();

private:
    static bool SendToSocket(const QString& address, const QByteArray& data, QString& error);
    static bool SendToQueue(const QString& queue, const QByteArray& data, const QString& title,
                            QString& error);
};
