#include "remote/DistributionDayReader.h"

#include "framework/net/NetConnection.h"
#include "framework/services/BusyScope.h"
#include "framework/services/Consiste.h"
#include "framework/services/Zelvora.h"
#include "remote/DistEmbCardMethods.h"
#include "remote/PayloadReader.h"

#include <QHash>
#include <QJsonArray>

namespace pla {

namespace {

// Reads the rows of a packet by field name.
class Rows {
public:
    explicit Rows(const TDataPacket& p) : p_(p) {}
    int Count() const { return static_cast<int>(p_.Rows.size()); }
    QString Text(int row, const char* field) const {
        const QVariant v = Value(row, field);
        return v.isValid() ? v.toString() : QString();
    }
    double Number(int row, const char* field) const { return Value(row, field).toDouble(); }

private:
    QVariant Value(int row, const char* field) const {
        const int i = p_.IndexOf(QString::fromLatin1(field));
        return i >= 0 && i < p_.Rows[row].size() ? p_.Rows[row][i] : QVariant();
    }
    const TDataPacket& p_;
};

} // namespace

DistributionDay DistributionDayReader::Read(TNetConnection& net, const QString& branch,
                                            const QString& branchName, const QDate& date) {
    const QString method = QString::fromLatin1(DistEmbCardMethods::kGetImpressaoDistribuicao);
    const PayloadReader reader(method);
    QJsonValue payload;
    {
        BusyScope busy(Zelvora::MainWindow());
        payload = Consiste::CheckResultServ(
            net.Call(method, {branch, date.toString(QStringLiteral("yyyy-MM-dd"))}), true, 0);
    }
    const QJsonArray parts = payload.toArray();
    if (!payload.isArray() || parts.size() != 4)
        reader.Fail(QStringLiteral("esperada uma lista de quatro pacotes."));
    const TDataPacket services = reader.Packet(parts[0], QStringLiteral("serviços"));
    const TDataPacket packagings = reader.Packet(parts[1], QStringLiteral("embalagens"));
    const TDataPacket dishes = reader.Packet(parts[2], QStringLiteral("pratos"));
    const TDataPacket producer = reader.Packet(parts[3], QStringLiteral("produtor"));
    reader.RequireFields(services, {QStringLiteral("CDSERVFILI"), QStringLiteral("NMSERVICO")},
                         QStringLiteral("serviços"));
    reader.RequireFields(packagings,
                         {QStringLiteral("NREMBDISTCARD"), QStringLiteral("CDSERVFILI"),
                          QStringLiteral("CDCONTAINER"), QStringLiteral("QTCONTAINER")},
                         QStringLiteral("embalagens"));
    reader.RequireFields(
        dishes,
        {QStringLiteral("NREMBDISTCARD"), QStringLiteral("NMPRATO"), QStringLiteral("QTPRATO")},
        QStringLiteral("pratos"));

    DistributionDay day;
    day.branch = branch;
    day.branchName = branchName;
    day.date = date;
    const Rows f(producer);
    if (f.Count() > 0)
        day.producer = {f.Text(0, "NMRAZSOCIAL"), f.Text(0, "NRCNPJ"), f.Text(0, "DSENDERECO"),
                        f.Text(0, "NMRESPTECNICO"), f.Text(0, "NRCRN")};
    const Rows s(services);
    for (int r = 0; r < s.Count(); ++r)
        day.services.push_back(
            {s.Text(r, "CDSERVFILI"), s.Text(r, "NMSERVICO"), s.Text(r, "CDGRUPSERV")});

    const Rows p(packagings);
    QHash<qint64, int> index;
    day.packagings.reserve(p.Count());
    for (int r = 0; r < p.Count(); ++r) {
        DayPackaging k;
        k.number = static_cast<qint64>(p.Number(r, "NREMBDISTCARD"));
        k.distribution = static_cast<qint64>(p.Number(r, "NRDISTCARD"));
        k.version = static_cast<qint64>(p.Number(r, "NRVERSAO"));
        k.service = p.Text(r, "CDSERVFILI");
        k.client = p.Text(r, "CDCLIENTE");
        k.clientName = p.Text(r, "NMRAZSOCCLIE");
        k.destination = p.Text(r, "CDDESTFILI");
        k.destinationName = p.Text(r, "NMDESTFILI");
        k.container = p.Text(r, "CDCONTAINER");
        k.containerName = p.Text(r, "NMCONTAINER");
        k.purpose = p.Text(r, "IDPROPOSITO");
        k.units = p.Number(r, "QTCONTAINER");
        k.remark = p.Text(r, "DSOBSETIQUETA");
        // A server from before delivery orders sends no such field: every point is unordered.
        if (!p.Text(r, "NRORDEMENTREGA").isEmpty())
            k.deliveryOrder = static_cast<int>(p.Number(r, "NRORDEMENTREGA"));
        index.insert(k.number, static_cast<int>(day.packagings.size()));
        day.packagings.push_back(std::move(k));
    }

    const Rows d(dishes);
    for (int r = 0; r < d.Count(); ++r) {
        const auto it = index.constFind(static_cast<qint64>(d.Number(r, "NREMBDISTCARD")));
        if (it == index.constEnd())
            reader.Fail(QStringLiteral("prato de uma embalagem que não veio na lista (%1).")
                            .arg(d.Text(r, "NREMBDISTCARD")));
        day.packagings[*it].dishes.push_back(
            {static_cast<int>(d.Number(r, "NRORDPRATCAR")), d.Text(r, "CDPRATO"),
             d.Text(r, "NMPRATO"), d.Text(r, "SGUNIDADE"), d.Number(r, "QTCOMENSAIS"),
             d.Number(r, "QTPRATO"), d.Number(r, "QTEXTRA"), d.Text(r, "IDCONSERVACAO"),
             static_cast<int>(d.Number(r, "QTHORASVALIDADE")), d.Text(r, "DSALERGENICOS"),
             d.Text(r, "IDGLUTEN") == QLatin1String("S"),
             d.Text(r, "IDLACTOSE") == QLatin1String("S")});
    }
    return day;
}

} // namespace pla
