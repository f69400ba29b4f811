#include "appserver/rpc/DistributionPackets.h"

#include "appserver/rpc/InputLimits.h"
#include "appserver/rpc/PacketFieldReader.h"
#include "appserver/rpc/Refusal.h"
#include "framework/data/PacketWriter.h"

#include <QHash>
#include <cmath>
#include <limits>

namespace pla {

namespace {

using Label = PacketFieldReader::Label;

QVariant nullableText(const QString& s) {
    return s;
}

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

// A packet's text up to its first row, the same in every answer: `{"fields":[…],"rows":[`.
QByteArray opening(const TDataPacket& fields) {
    QByteArray text;
    PacketWriter::Append(fields, text);
    text.chop(2); // "]}"
    return text;
}

// The rows of one packet, written cell by cell as PacketWriter writes them.
class RowText {
public:
    explicit RowText(QByteArray& out) : out_(out) {}
    RowText& row() {
        out_ += first_ ? "[" : ",[";
        first_ = false;
        firstCell_ = true;
        return *this;
    }
    RowText& number(double v) {
        // Such a value only the packet's own writer may describe, with its error.
        if (!std::isfinite(v)) finite_ = false;
        // The separator and the number are written in place at once: most cells are numbers.
        const qsizetype start = out_.size();
        out_.resize(start + 1 + PacketWriter::kMaxNumberBytes);
        char* const begin = out_.data();
        char* o = begin + start;
        if (!firstCell_) *o++ = ',';
        firstCell_ = false;
        out_.resize(PacketWriter::WriteNumber(std::isfinite(v) ? v : 0, o) - begin);
        return *this;
    }
    RowText& text(const QString& s) {
        cell();
        PacketWriter::AppendString(s, out_);
        return *this;
    }
    RowText& null() {
        cell();
        out_ += "null";
        return *this;
    }
    void end() { out_ += ']'; }
    bool finite() const { return finite_; }

private:
    void cell() {
        if (!firstCell_) out_ += ',';
        firstCell_ = false;
    }
    QByteArray& out_;
    bool first_ = true, firstCell_ = true, finite_ = true;
};

} // namespace

TDataPacket DistributionPackets::header(const Distribution* d) {
    TDataPacket p;
    p.Fields = {
        {"NRDISTCARD", TFieldType::Float},      {"CDFILIAL", TFieldType::String, 4},
        {"NRCARDAPIO", TFieldType::String, 10}, {"CDCLIENTE", TFieldType::String, 21},
        {"CDDESTFILI", TFieldType::String, 3},  {"QTCOMENSAIS", TFieldType::Float},
        {"NRVERSAO", TFieldType::Integer},
    };
    if (d)
        p.Rows.push_back({static_cast<double>(d->number), d->key.branch, d->menuNumber,
                          d->key.client, d->key.destination, d->diners,
                          static_cast<double>(d->version)});
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

void DistributionPackets::appendLoad(const Distribution* h, const Distribution& d,
                                     QByteArray& out) {
    static const QByteArray headerOpening = opening(header(nullptr));
    static const QByteArray undistributedOpening = opening(undistributedFields());
    static const QByteArray packagingOpening = opening(packagings(Distribution()));
    static const QByteArray rowOpening = opening(rows(Distribution()));
    const qsizetype start = out.size();
    bool finite = true;
    auto packet = [&](const QByteArray& opening, auto writeRows) {
        if (out.size() > start) out += ',';
        out += opening;
        RowText t(out);
        writeRows(t);
        finite &= t.finite();
        out += "]}";
    };
    packet(headerOpening, [&](RowText& t) {
        if (h)
            t.row()
                .number(double(h->number))
                .text(h->key.branch)
                .text(h->menuNumber)
                .text(h->key.client)
                .text(h->key.destination)
                .number(h->diners)
                .number(double(h->version))
                .end();
    });
    packet(undistributedOpening, [&](RowText& t) {
        for (const UndistributedRow& r : d.undistributed)
            t.row()
                .number(double(d.number))
                .number(r.sequence)
                .text(r.recipeBranch)
                .text(r.dish)
                .number(r.totalDiners)
                .number(r.totalQuantity)
                .number(r.totalExtra)
                .number(r.diners)
                .number(r.quantity)
                .number(r.extra)
                .number(r.order)
                .number(r.perPerson)
                .text(r.name)
                .text(r.unit)
                .end();
    });
    packet(packagingOpening, [&](RowText& t) {
        for (const Packaging& e : d.packagings) {
            t.row()
                .number(double(e.number))
                .text(e.container)
                .number(e.units)
                .text(e.containerName);
            t.text(e.purpose);
            if (e.remark.isNull())
                t.null();
            else
                t.text(e.remark);
            t.number(e.quantity).end();
        }
    });
    packet(rowOpening, [&](RowText& t) {
        QHash<int, const UndistributedRow*> dishes;
        for (const UndistributedRow& u : d.undistributed)
            dishes.insert(u.sequence, &u);
        const QString none;
        for (const DishRow& r : d.rows) {
            const UndistributedRow* u = dishes.value(r.sequence, nullptr);
            t.row()
                .number(r.sequence)
                .number(double(r.packaging))
                .number(r.diners)
                .number(r.quantity)
                .number(r.extra)
                .text(u ? u->dish : none)
                .text(u ? u->name : none)
                .text(u ? u->unit : none)
                .text(r.principal)
                .number(r.capacity)
                .end();
        }
    });
    if (finite) return;
    // A value no answer may carry: the packets' own writer refuses it with its error.
    out.truncate(start);
    for (const TDataPacket& p : {header(h), undistributed(d), packagings(d), rows(d)}) {
        if (out.size() > start) out += ',';
        PacketWriter::Append(p, out);
    }
}

QVector<UndistributedRow> DistributionPackets::readUndistributed(const TDataPacket& p) {
    const PacketFieldReader r(
        p, QStringLiteral("pratos não distribuídos"),
        {{"CDFILAUXPRAT", 4}, {"CDPRATO", 10}, {"NMPRATO", 40}, {"SGUNIDADE", 10}},
        {"NRSEQPRATCAR", "QTTOTCOMENSAIS", "QTTOTPRATO", "QTTOTEXTRA", "QTCOMENSAIS", "QTPRATO",
         "QTEXTRA", "QTPORPESSOA"},
        InputLimits::maxDishes);
    QVector<UndistributedRow> out;
    for (int i = 0; i < r.rowCount(); ++i) {
        const Label line(
            [i] { return QStringLiteral("da linha %1 dos pratos não distribuídos").arg(i + 1); });
        r.checkTexts(i, line);
        const QString name = r.text(i, "NMPRATO", line);
        const Label label(
            [&] { return name.isEmpty() ? line.text() : QStringLiteral("do prato %1").arg(name); });
        if (r.isNull(i, "NRSEQPRATCAR"))
            throw Refusal(QStringLiteral("Falta o número do prato %1.").arg(label.text()));
        UndistributedRow u;
        u.sequence = int(r.integer(i, "NRSEQPRATCAR", label, 1, std::numeric_limits<int>::max()));
        u.name = name;
        const double max = InputLimits::maxAmount;
        u.perPerson = r.amount(i, "QTPORPESSOA", label, max);
        u.totalDiners = r.amount(i, "QTTOTCOMENSAIS", label, max);
        u.totalQuantity = r.amount(i, "QTTOTPRATO", label, max);
        u.totalExtra = r.amount(i, "QTTOTEXTRA", label, max);
        u.diners = r.amount(i, "QTCOMENSAIS", label, max);
        u.quantity = r.amount(i, "QTPRATO", label, max);
        u.extra = r.amount(i, "QTEXTRA", label, max);
        out.push_back(u);
    }
    return out;
}

QVector<Packaging> DistributionPackets::readPackagings(const TDataPacket& p) {
    const PacketFieldReader r(
        p, QStringLiteral("embalagens"),
        {{"CDCONTAINER", 5}, {"NMCONTAINER", 40}, {"IDPROPOSITO", 1}, {"DSOBSETIQUETA", 250}},
        {"NREMBDISTCARD", "CDCONTAINER", "QTCONTAINER"}, InputLimits::maxPackagings);
    QVector<Packaging> out;
    for (int i = 0; i < r.rowCount(); ++i) {
        const Label line([i] { return QStringLiteral("da linha %1 das embalagens").arg(i + 1); });
        if (r.isNull(i, "NREMBDISTCARD"))
            throw Refusal(QStringLiteral("Falta o número da embalagem na linha %1.").arg(i + 1));
        Packaging e;
        e.number = r.integer(i, "NREMBDISTCARD", line, -InputLimits::maxPackagingNumber,
                             InputLimits::maxPackagingNumber);
        if (e.number == 0)
            throw Refusal(QStringLiteral("Número de embalagem inválido na linha %1.").arg(i + 1));
        const Label label([&] { return QStringLiteral("da embalagem %1").arg(e.number); });
        r.checkTexts(i, label);
        e.container = r.text(i, "CDCONTAINER", label);
        e.units = r.amount(i, "QTCONTAINER", label, InputLimits::maxUnits);
        // Units are whole containers; none is allowed only for a packaging without dishes,
        // which the validator checks against the dish rows.
        if (e.units != std::floor(e.units))
            throw Refusal(QStringLiteral("O campo QTCONTAINER %1 deve ser um número inteiro de "
                                         "unidades.")
                              .arg(label.text()));
        e.remark = r.isNull(i, "DSOBSETIQUETA") ? QString() : r.text(i, "DSOBSETIQUETA", label);
        e.quantity = r.amount(i, "QTPRATO", label, InputLimits::maxAmount);
        e.purpose = r.text(i, "IDPROPOSITO", label);
        out.push_back(e);
    }
    return out;
}

QVector<DishRow> DistributionPackets::readRows(const TDataPacket& p) {
    const PacketFieldReader r(
        p, QStringLiteral("pratos na embalagem"),
        {{"CDPRATO", 10}, {"NMPRATO", 40}, {"SGUNIDADE", 10}, {"IDPRINCIPAL", 1}},
        {"NRSEQPRATCAR", "NREMBDISTCARD", "QTCOMENSAIS", "QTPRATO", "QTEXTRA"},
        InputLimits::maxDishRows);
    QVector<DishRow> out;
    for (int i = 0; i < r.rowCount(); ++i) {
        const Label line(
            [i] { return QStringLiteral("da linha %1 dos pratos na embalagem").arg(i + 1); });
        r.checkTexts(i, line);
        if (r.isNull(i, "NRSEQPRATCAR") || r.isNull(i, "NREMBDISTCARD"))
            throw Refusal(QStringLiteral("Falta o prato ou a embalagem %1.").arg(line.text()));
        DishRow d;
        d.sequence = int(r.integer(i, "NRSEQPRATCAR", line, 1, std::numeric_limits<int>::max()));
        d.packaging = r.integer(i, "NREMBDISTCARD", line, -InputLimits::maxPackagingNumber,
                                InputLimits::maxPackagingNumber);
        const QString name = r.text(i, "NMPRATO", line);
        const Label label([&] {
            return QStringLiteral("do prato %1 na embalagem %2")
                .arg(name.isEmpty() ? QStringLiteral("nº %1").arg(d.sequence) : name)
                .arg(d.packaging);
        });
        const double max = InputLimits::maxAmount;
        d.diners = r.amount(i, "QTCOMENSAIS", label, max);
        d.quantity = r.amount(i, "QTPRATO", label, max);
        d.extra = r.amount(i, "QTEXTRA", label, max);
        d.principal = r.text(i, "IDPRINCIPAL", label) == QLatin1String("S") ? QStringLiteral("S")
                                                                            : QStringLiteral("N");
        d.capacity = r.amount(i, "VRQTDEPRATEMB", label, max);
        out.push_back(d);
    }
    return out;
}

QVector<QPair<QString, QString>> DistributionPackets::readTickedServices(const TDataPacket& p) {
    const PacketFieldReader r(p, QStringLiteral("serviços"),
                              {{"IDMARCADO", 1}, {"CDFILIAL", 4}, {"CDSERVFILI", 5}},
                              {"IDMARCADO", "CDFILIAL", "CDSERVFILI"}, InputLimits::maxServices);
    QVector<QPair<QString, QString>> ticked;
    for (int i = 0; i < r.rowCount(); ++i) {
        const Label line([i] { return QStringLiteral("da linha %1 dos serviços").arg(i + 1); });
        r.checkTexts(i, line);
        if (r.text(i, "IDMARCADO", line) == QLatin1String("S"))
            ticked.push_back({r.text(i, "CDFILIAL", line), r.text(i, "CDSERVFILI", line)});
    }
    return ticked;
}

} // namespace pla
