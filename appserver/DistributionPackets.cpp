#include "appserver/DistributionPackets.h"

#include "appserver/Refusal.h"

#include <QHash>

namespace pla {

namespace {

QVariant nullableText(const QString& s) {
    return s;
}

// Reads one packet with named access, checking required fields and text sizes.
class PacketReader {
public:
    PacketReader(const TDataPacket& p, QString what, QHash<QString, int> textSizes,
                 const QStringList& required)
        : p_(p), what_(std::move(what)), sizes_(std::move(textSizes)) {
        for (const QString& f : required)
            if (p_.IndexOf(f) < 0)
                throw Refusal(QStringLiteral("O pacote de %1 não tem o campo %2.").arg(what_, f));
    }
    int rowCount() const { return p_.Rows.size(); }
    QVariant value(int row, const QString& field) const {
        const int i = p_.IndexOf(field);
        return i < 0 ? QVariant() : p_.Rows[row][i];
    }
    double number(int row, const QString& field) const { return value(row, field).toDouble(); }
    bool isNull(int row, const QString& field) const {
        const QVariant v = value(row, field);
        return !v.isValid() || v.isNull();
    }
    QString text(int row, const QString& field) const { return value(row, field).toString(); }
    // Refuses any text longer than its field; `label` names the record for the user.
    void checkTexts(int row, const QString& label) const {
        for (auto it = sizes_.cbegin(); it != sizes_.cend(); ++it) {
            const QString t = text(row, it.key());
            if (t.size() > it.value())
                throw Refusal(QStringLiteral("O campo %1 %2 tem %3 caracteres; o máximo é %4.")
                                  .arg(it.key(), label)
                                  .arg(t.size())
                                  .arg(it.value()));
        }
    }

private:
    const TDataPacket& p_;
    QString what_;
    QHash<QString, int> sizes_;
};

TDataPacket undistributedFields() {
    TDataPacket p;
    p.Fields = {
        {"NRDISTCARD", TFieldType::Float},       {"NRSEQPRATCAR", TFieldType::Float},
        {"CDFILAUXPRAT", TFieldType::String, 4}, {"CDPRATO", TFieldType::String, 10},
        {"QTTOTCOMENSAIS", TFieldType::Float},   {"QTTOTPRATO", TFieldType::Float},
        {"QTTOTEXTRA", TFieldType::Float},       {"QTCOMENSAIS", TFieldType::Float},
        {"QTPRATO", TFieldType::Float},          {"QTEXTRA", TFieldType::Float},
        {"NRORDPRATCAR", TFieldType::Float},     {"QTPORPESSOA", TFieldType::Float},
        {"NMPRATO", TFieldType::String, 40},     {"SGUNIDADE", TFieldType::String, 10},
    };
    return p;
}

} // namespace

TDataPacket DistributionPackets::header(const Distribution* d) {
    TDataPacket p;
    p.Fields = {
        {"NRDISTCARD", TFieldType::Float},      {"CDFILIAL", TFieldType::String, 4},
        {"NRCARDAPIO", TFieldType::String, 10}, {"CDCLIENTE", TFieldType::String, 21},
        {"CDDESTFILI", TFieldType::String, 3},  {"QTCOMENSAIS", TFieldType::Float},
    };
    if (d)
        p.Rows.push_back({static_cast<double>(d->number), d->key.branch, d->menuNumber,
                          d->key.client, d->key.destination, d->diners});
    return p;
}

TDataPacket DistributionPackets::undistributed(const Distribution& d) {
    TDataPacket p = undistributedFields();
    for (const UndistributedRow& r : d.undistributed)
        p.Rows.push_back({static_cast<double>(d.number), static_cast<double>(r.sequence),
                          r.recipeBranch, r.dish, r.totalDiners, r.totalQuantity, r.totalExtra,
                          r.diners, r.quantity, r.extra, static_cast<double>(r.order), r.perPerson,
                          r.name, r.unit});
    return p;
}

TDataPacket DistributionPackets::packagings(const Distribution& d) {
    TDataPacket p;
    p.Fields = {
        {"NREMBDISTCARD", TFieldType::Float},   {"CDCONTAINER", TFieldType::String, 5},
        {"QTCONTAINER", TFieldType::Float},     {"NMCONTAINER", TFieldType::String, 40},
        {"IDPROPOSITO", TFieldType::String, 1}, {"DSOBSETIQUETA", TFieldType::String, 250},
        {"QTPRATO", TFieldType::Float},
    };
    for (const Packaging& e : d.packagings)
        p.Rows.push_back({static_cast<double>(e.number), e.container, e.units, e.containerName,
                          e.purpose, e.remark.isNull() ? QVariant() : nullableText(e.remark),
                          e.quantity});
    return p;
}

TDataPacket DistributionPackets::rows(const Distribution& d) {
    QHash<int, const UndistributedRow*> dishes;
    for (const UndistributedRow& u : d.undistributed)
        dishes.insert(u.sequence, &u);
    TDataPacket p;
    p.Fields = {
        {"NRSEQPRATCAR", TFieldType::Float},    {"NREMBDISTCARD", TFieldType::Float},
        {"QTCOMENSAIS", TFieldType::Float},     {"QTPRATO", TFieldType::Float},
        {"QTEXTRA", TFieldType::Float},         {"CDPRATO", TFieldType::String, 10},
        {"NMPRATO", TFieldType::String, 40},    {"SGUNIDADE", TFieldType::String, 10},
        {"IDPRINCIPAL", TFieldType::String, 1}, {"VRQTDEPRATEMB", TFieldType::Float},
    };
    for (const DishRow& r : d.rows) {
        const UndistributedRow* u = dishes.value(r.sequence, nullptr);
        p.Rows.push_back({static_cast<double>(r.sequence), static_cast<double>(r.packaging),
                          r.diners, r.quantity, r.extra, u ? u->dish : QString(),
                          u ? u->name : QString(), u ? u->unit : QString(), r.principal,
                          r.capacity});
    }
    return p;
}

QVector<UndistributedRow> DistributionPackets::readUndistributed(const TDataPacket& p) {
    const PacketReader r(p, QStringLiteral("pratos não distribuídos"),
                         {{"CDFILAUXPRAT", 4}, {"CDPRATO", 10}, {"NMPRATO", 40}, {"SGUNIDADE", 10}},
                         {"NRSEQPRATCAR", "QTTOTCOMENSAIS", "QTTOTPRATO", "QTTOTEXTRA",
                          "QTCOMENSAIS", "QTPRATO", "QTEXTRA", "QTPORPESSOA"});
    QVector<UndistributedRow> out;
    for (int i = 0; i < r.rowCount(); ++i) {
        const QString label =
            r.text(i, "NMPRATO").isEmpty()
                ? QStringLiteral("da linha %1 dos pratos não distribuídos").arg(i + 1)
                : QStringLiteral("do prato %1").arg(r.text(i, "NMPRATO"));
        r.checkTexts(i, label);
        if (r.isNull(i, "NRSEQPRATCAR"))
            throw Refusal(QStringLiteral("Falta o número do prato %1.").arg(label));
        UndistributedRow u;
        u.sequence = static_cast<int>(r.number(i, "NRSEQPRATCAR"));
        u.name = r.text(i, "NMPRATO");
        u.perPerson = r.number(i, "QTPORPESSOA");
        u.totalDiners = r.number(i, "QTTOTCOMENSAIS");
        u.totalQuantity = r.number(i, "QTTOTPRATO");
        u.totalExtra = r.number(i, "QTTOTEXTRA");
        u.diners = r.number(i, "QTCOMENSAIS");
        u.quantity = r.number(i, "QTPRATO");
        u.extra = r.number(i, "QTEXTRA");
        out.push_back(u);
    }
    return out;
}

QVector<Packaging> DistributionPackets::readPackagings(const TDataPacket& p) {
    const PacketReader r(
        p, QStringLiteral("embalagens"),
        {{"CDCONTAINER", 5}, {"NMCONTAINER", 40}, {"IDPROPOSITO", 1}, {"DSOBSETIQUETA", 250}},
        {"NREMBDISTCARD", "CDCONTAINER", "QTCONTAINER"});
    QVector<Packaging> out;
    for (int i = 0; i < r.rowCount(); ++i) {
        if (r.isNull(i, "NREMBDISTCARD"))
            throw Refusal(QStringLiteral("Falta o número da embalagem na linha %1.").arg(i + 1));
        Packaging e;
        e.number = static_cast<qint64>(r.number(i, "NREMBDISTCARD"));
        if (static_cast<double>(e.number) != r.number(i, "NREMBDISTCARD") || e.number == 0)
            throw Refusal(QStringLiteral("Número de embalagem inválido na linha %1.").arg(i + 1));
        r.checkTexts(i, QStringLiteral("da embalagem %1").arg(e.number));
        e.container = r.text(i, "CDCONTAINER");
        e.units = r.number(i, "QTCONTAINER");
        e.remark = r.isNull(i, "DSOBSETIQUETA") ? QString() : r.text(i, "DSOBSETIQUETA");
        e.quantity = r.number(i, "QTPRATO");
        e.purpose = r.text(i, "IDPROPOSITO");
        out.push_back(e);
    }
    return out;
}

QVector<DishRow> DistributionPackets::readRows(const TDataPacket& p) {
    const PacketReader r(p, QStringLiteral("pratos na embalagem"),
                         {{"CDPRATO", 10}, {"NMPRATO", 40}, {"SGUNIDADE", 10}, {"IDPRINCIPAL", 1}},
                         {"NRSEQPRATCAR", "NREMBDISTCARD", "QTCOMENSAIS", "QTPRATO", "QTEXTRA"});
    QVector<DishRow> out;
    for (int i = 0; i < r.rowCount(); ++i) {
        const QString label =
            r.text(i, "NMPRATO").isEmpty()
                ? QStringLiteral("da linha %1 dos pratos na embalagem").arg(i + 1)
                : QStringLiteral("do prato %1 na embalagem").arg(r.text(i, "NMPRATO"));
        r.checkTexts(i, label);
        if (r.isNull(i, "NRSEQPRATCAR") || r.isNull(i, "NREMBDISTCARD"))
            throw Refusal(QStringLiteral("Falta o prato ou a embalagem %1.").arg(label));
        DishRow d;
        d.sequence = static_cast<int>(r.number(i, "NRSEQPRATCAR"));
        d.packaging = static_cast<qint64>(r.number(i, "NREMBDISTCARD"));
        d.diners = r.number(i, "QTCOMENSAIS");
        d.quantity = r.number(i, "QTPRATO");
        d.extra = r.number(i, "QTEXTRA");
        d.principal = r.text(i, "IDPRINCIPAL") == QLatin1String("S") ? QStringLiteral("S")
                                                                     : QStringLiteral("N");
        d.capacity = r.number(i, "VRQTDEPRATEMB");
        out.push_back(d);
    }
    return out;
}

} // namespace pla
