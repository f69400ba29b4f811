#pragma once

#include "framework/data/DataPacket.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace pla {

// Reads the cells of a packet a client sent, by field name, refusing (pla::Refusal) any value
// of the wrong type or outside its bounds before the server does any arithmetic with it.
// Every message names the field and the record (`label`, e.g. "do prato Arroz").
class PacketFieldReader {
public:
    // Names the record in a refusal ("do prato Arroz"). Built only when a refusal needs it:
    // reading a valid packet of hundreds of rows names none of them.
    class Label {
    public:
        Label(QString text) : text_(std::move(text)) {} // NOLINT: a fixed text is a label
        explicit Label(std::function<QString()> make) : make_(std::move(make)) {}
        QString text() const { return make_ ? make_() : text_; }

    private:
        QString text_;
        std::function<QString()> make_;
    };

    // `what` names the packet in messages ("embalagens"); `textSizes` gives the longest text of
    // each text field checked by checkTexts(); a packet without one of `required`, or with more
    // than `maxRows` rows, is refused.
    PacketFieldReader(const TDataPacket& p, QString what, QHash<QString, int> textSizes,
                      const QStringList& required, int maxRows);

    int rowCount() const { return int(p_.Rows.size()); }
    // True when the field is absent or its cell is null.
    bool isNull(int row, const char* field) const;
    // A whole number in [min, max]; refuses a text, a fraction or a number out of range.
    qint64 integer(int row, const char* field, const Label& label, qint64 min, qint64 max) const;
    // An amount in [0, max] rounded to the decimals kept; null reads as 0. A negative value is
    // refused as such ("Quantidade negativa").
    double amount(int row, const char* field, const Label& label, double max) const;
    // The text of a field (null and absent read as empty); refuses a value that is not a text.
    QString text(int row, const char* field, const Label& label) const;
    // Refuses any text field of `textSizes` that is longer than its size, not valid Unicode or
    // holding control characters other than line breaks and tabs.
    void checkTexts(int row, const Label& label) const;

private:
    // The index of `field` in the packet, -1 when absent; found without building its name.
    int column(const char* field) const;
    QVariant value(int row, const char* field) const;
    QString text(int row, int column, const Label& label) const;

    struct Sized {
        QString field;
        int column; // -1 when the packet lacks the field
        int size;
    };

    const TDataPacket& p_;
    QString what_;
    QVector<Sized> sizes_;
};

} // namespace pla
