#include "tests/distribution/PackagingFixture.h"

#include "dish_dialog/CriaDadosPrato.h"
#include "framework/ui/Dispatch.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TEdit.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace pla::test {

namespace {

QJsonObject Ok(const QJsonValue& data) {
    return QJsonObject{{"ok", true}, {"data", data}};
}

QJsonObject Packet(const QStringList& fields, const QJsonArray& rows) {
    return QJsonObject{{"fields", QJsonArray::fromStringList(fields)}, {"rows", rows}};
}

QJsonObject Entry(const QJsonValue& result, const QJsonArray& params = {}) {
    QJsonObject e{{"result", result}};
    if (!params.isEmpty()) e.insert("params", params);
    return e;
}

} // namespace

QByteArray PackagingFixture(const QString& refusedCapacity) {
    const QJsonArray dishes{
        QJsonArray{55, 1, "0001", "P1", 40, 4.8, 0.5, 40, 4.8, 0.5, 1, 0.12, "Arroz", "KG"},
        QJsonArray{55, 2, "0001", "P2", 40, 4, 0, 40, 4, 0, 2, 0.1, "Feijão", "KG"},
        QJsonArray{55, 3, "0001", "P3", 40, 10, 2, 40, 10, 2, 3, 0.25, "Suco", "LT"},
        QJsonArray{55, 4, "0001", "P4", 40, 0, 1, 40, 0, 1, 4, 0, "Salada", "KG"}};
    const QJsonArray distribution{
        "",
        Packet({"NRDISTCARD", "CDFILIAL", "QTCOMENSAIS"},
               QJsonArray{QJsonValue(QJsonArray{55, "0001", 40})}),
        Packet({"NRDISTCARD", "NRSEQPRATCAR", "CDFILAUXPRAT", "CDPRATO", "QTTOTCOMENSAIS",
                "QTTOTPRATO", "QTTOTEXTRA", "QTCOMENSAIS", "QTPRATO", "QTEXTRA", "NRORDPRATCAR",
                "QTPORPESSOA", "NMPRATO", "SGUNIDADE"},
               dishes),
        Packet({"NREMBDISTCARD", "CDCONTAINER", "QTCONTAINER", "NMCONTAINER", "IDPROPOSITO",
                "QTPRATO"},
               QJsonArray{QJsonArray{101, "00001", 40, "Marmita", "I", 0},
                          QJsonArray{102, "00007", 0, "Caixa térmica", "C", 0}}),
        Packet({"NRSEQPRATCAR", "NREMBDISTCARD", "QTCOMENSAIS", "QTPRATO", "QTEXTRA", "NMPRATO",
                "IDPRINCIPAL", "VRQTDEPRATEMB"},
               {})};

    QJsonArray capacities;
    const QList<QPair<QString, QList<double>>> table{
        {"P1", {0.5, 5}}, {"P2", {0.5, 5}}, {"P3", {2, 5}}};
    for (const auto& [dish, values] : table) {
        const QJsonArray containers{"00001", "00007"};
        for (int i = 0; i < containers.size(); ++i) {
            const QJsonArray params{"0001", dish, containers.at(i)};
            if (dish == refusedCapacity)
                capacities.append(Entry(
                    QJsonObject{{"ok", false}, {"message", "Servidor indisponível"}}, params));
            else
                capacities.append(Entry(
                    Ok(Packet({"VRQTDEPRATEMB"}, QJsonArray{QJsonValue(QJsonArray{values.at(i)})})),
                    params));
        }
    }
    capacities.append(Entry(Ok(Packet({"VRQTDEPRATEMB"}, {}))));

    const auto container = [](const char* code, const char* name, const char* purpose) {
        return QJsonArray{code, name, purpose};
    };
    const QStringList containerFields{"CDCONTAINER", "NMCONTAINER", "IDPROPOSITO"};
    const QJsonArray containers{
        Entry(Ok(Packet(containerFields, {QJsonValue(container("00001", "Marmita", "I"))})),
              {"00001"}),
        Entry(Ok(Packet(containerFields, {QJsonValue(container("00007", "Caixa térmica", "C"))})),
              {"00007"}),
        Entry(Ok(Packet(containerFields, {QJsonValue(container("00012", "Bandeja", "C"))})),
              {"00012"}),
        Entry(Ok(Packet(containerFields, {container("00001", "Marmita", "I"),
                                          container("00007", "Caixa térmica", "C"),
                                          container("00012", "Bandeja", "C")})),
              {"T"}),
        Entry(Ok(Packet(containerFields, {})))};

    const QJsonObject methods{
        {"GetGruposServico",
         QJsonArray{Entry(Ok(Packet({"CDGRUPSERV", "NMGRUPSERV"},
                                    QJsonArray{QJsonValue(QJsonArray{"001", "Hospitais"})})))}},
        {"GetServicos",
         QJsonArray{Entry(Ok(
             Packet({"CDGRUPSERV", "CDFILIAL", "CDSERVFILI", "NMSERVICO", "IDSITUACAO"},
                    QJsonArray{QJsonValue(QJsonArray{"001", "0001", "00010", "Almoço", "N"})})))}},
        {"GetPontosEntrega",
         QJsonArray{Entry(Ok(Packet(
             {"NMRAZSOCCLIE", "NMDESTFILI", "CDDESTFILI", "CDCLIENTE"},
             QJsonArray{QJsonValue(QJsonArray{"Hospital", "Ala Norte", "001", "12345"})})))}},
        {"GetDistribuicao", QJsonArray{Entry(Ok(distribution))}},
        {"GetCapacidadeEmb", capacities},
        {"GetVdEmbalagens", containers}};
    return QJsonDocument(QJsonObject{{"methods", methods}}).toJson(QJsonDocument::Compact);
}

int DishDialogHost::RunModal(TForm& form) {
    ++runs;
    if (!scripts.empty()) {
        auto script = std::move(scripts.front());
        scripts.pop_front();
        script(dynamic_cast<TfrmDadosPrato&>(form));
    }
    return mrNone; // a script that does not close the dialog leaves it as cancelled
}

void PackagingTest::SetUp() {
    ScreenTest::SetUp();
    SetFormHost(&host);
    OpenOn(PackagingFixture());
}

void PackagingTest::TearDown() {
    EXPECT_TRUE(host.scripts.empty()) << "dish dialog scripts left unused";
    ScreenTest::TearDown();
    DestroyDadosPrato();
    SetFormHost(nullptr);
}

void PackagingTest::OpenOn(const QByteArray& fixture) {
    if (screen) TForm::Free(screen);
    screen = nullptr;
    Serve(fixture);
    Open();
    EnterServiceList();
    // The dish buttons are enabled from the distribution area.
    Focus(screen->dbgEmbalagens);
    server->Reset();
}

void PackagingTest::Click(TControl* c) {
    Dispatch([&] { c->UserClick(); });
}

void PackagingTest::Focus(TWinControl* c) {
    Dispatch([&] { c->SetFocus(); });
}

void PackagingTest::TypeInGrid(TDBGrid* grid, const QString& field, const QString& text) {
    Dispatch([&] { grid->UserSelectColumn(field); });
    for (QChar ch : text)
        Dispatch([&] { screen->DeliverChar(ch); });
}

void PackagingTest::Retype(TEdit* edit, const QString& text) {
    TForm* form = edit->ParentForm();
    Dispatch([&] { form->FocusControl(edit); });
    Dispatch([&] { edit->UserClear(); });
    for (QChar ch : text)
        Dispatch([&] { form->DeliverChar(ch); });
}

void PackagingTest::ClickIn(TControl* c) {
    Dispatch([&] { c->UserClick(); });
}

void PackagingTest::GoToPackaging(double number) {
    ASSERT_TRUE(screen->cdsEmbDistCard->Locate("NREMBDISTCARD", number)) << number;
}

void PackagingTest::GoToDish(double dish) {
    ASSERT_TRUE(screen->cdsCardapioDisponivel->Locate("NRSEQPRATCAR", dish)) << dish;
}

namespace {

// Sums the amounts of the rows of packet p whose NRSEQPRATCAR is dish.
Amounts SumOf(const TDataPacket& p, double dish, double packaging = 0) {
    auto col = [&](const char* name) {
        for (int i = 0; i < p.Fields.size(); ++i)
            if (p.Fields.at(i).Name.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    };
    const int d = col("NRSEQPRATCAR"), c = col("QTCOMENSAIS"), q = col("QTPRATO"),
              e = col("QTEXTRA"), k = col("NREMBDISTCARD");
    Amounts a;
    for (const auto& row : p.Rows) {
        if (row.at(d).toDouble() != dish) continue;
        if (packaging != 0 && row.at(k).toDouble() != packaging) continue;
        a.diners += row.at(c).toDouble();
        a.quantity += row.at(q).toDouble();
        a.extra += row.at(e).toDouble();
    }
    return a;
}

} // namespace

Amounts PackagingTest::Available(double dish) const {
    return SumOf(screen->cdsCardapioDisponivel->Data(), dish);
}

Amounts PackagingTest::Packed(double dish) const {
    return SumOf(screen->cdsItEmbDistCard->Data(), dish);
}

int PackagingTest::RowCount(double packaging) const {
    const TDataPacket p = screen->cdsItEmbDistCard->Data();
    int k = -1;
    for (int i = 0; i < p.Fields.size(); ++i)
        if (p.Fields.at(i).Name == QLatin1String("NREMBDISTCARD")) k = i;
    int n = 0;
    for (const auto& row : p.Rows)
        if (row.at(k).toDouble() == packaging) ++n;
    return n;
}

double PackagingTest::PackagingValue(double number, const QString& field) const {
    const TDataPacket p = screen->cdsEmbDistCard->Data();
    int k = -1, f = -1;
    for (int i = 0; i < p.Fields.size(); ++i) {
        if (p.Fields.at(i).Name == QLatin1String("NREMBDISTCARD")) k = i;
        if (p.Fields.at(i).Name.compare(field, Qt::CaseInsensitive) == 0) f = i;
    }
    for (const auto& row : p.Rows)
        if (row.at(k).toDouble() == number) return row.at(f).toDouble();
    ADD_FAILURE() << "no packaging " << number;
    return -1;
}

void PackagingTest::ConfirmDialog() {
    Dialog([](TfrmDadosPrato& f) { ClickIn(f.sbtConfirma); });
}

} // namespace pla::test
