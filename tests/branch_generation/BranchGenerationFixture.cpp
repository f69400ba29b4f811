#include "tests/branch_generation/BranchGenerationFixture.h"

#include "framework/ui/Dispatch.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDBGrid.h"

namespace pla::test {

QByteArray BranchGenerationFixture() {
    return R"({
  "methods": {
    "GetGruposServico": [{"result": {"ok": true, "data": {"fields": ["CDGRUPSERV", "NMGRUPSERV"],
        "rows": [["001", "Hospitais"], ["A'1", "Escolas"], ["002", "Empresas"]]}}}],
    "GetServicosTransportados": [
      {"params": ["0001"], "result": {"ok": true, "data": {
        "fields": ["IDMARCADO", "CDGRUPSERV", "CDFILIAL", "CDSERVFILI", "NMSERVICO"],
        "rows": [["N", "001", "0001", "00010", "Almoço"],
                 ["S", "A'1", "0001", "00020", "Jantar"],
                 ["N", "A'1", "0001", "00030", "Ceia"],
                 ["N", "002", "0001", "00040", "Lanche"]]}}},
      {"params": ["0002"], "result": {"ok": true, "data": {
        "fields": ["IDMARCADO", "CDGRUPSERV", "CDFILIAL", "CDSERVFILI", "NMSERVICO"], "rows": []}}},
      {"params": ["0003"], "result": {"ok": true, "data": {
        "fields": ["IDMARCADO", "CDGRUPSERV", "CDFILIAL", "CDSERVFILI", "NMSERVICO"],
        "rows": [["X", "001", "0003", "00050", "Sopa"], ["S", "001", "0003", "00060", "Café"]]}}}],
    "GeraDistribuicaoFilial": [{"result": {"ok": true, "data": {"geradas": 2}}}]
  }
})";
}

int ScriptedModalHost::RunModal(TForm&) {
    ++runs;
    if (during) {
        const std::function<void()> body = std::move(during);
        during = nullptr;
        body();
    }
    return mrCancel;
}

void BranchGenerationTest::SetUp() {
    TestEnvironment::SetBranches(
        {{"0001", "Cozinha Central"}, {"0002", "Cozinha Norte"}, {"0003", "Cozinha Sul"}});
    Serve(BranchGenerationFixture());
    SetFormHost(&host);
}

void BranchGenerationTest::TearDown() {
    if (frmDistribuicaoFilial) TForm::Free(frmDistribuicaoFilial);
    EXPECT_EQ(frmDistribuicaoFilial, nullptr);
    SetFormHost(nullptr);
    net.reset();
    server.reset();
    EXPECT_EQ(dialogs.BusyDepth(), 0);
    EXPECT_EQ(dialogs.Failures().size(), 0) << dialogs.Failures().join("; ").toStdString();
}

void BranchGenerationTest::Serve(const QByteArray& fixture, bool tied) {
    net.reset();
    server = std::make_unique<LoopbackServer>(fixture);
    const int port = server->Start();
    TestEnvironment::Login(QStringLiteral("0001"), tied, port);
    net = std::make_unique<TNetConnection>(QStringLiteral("netDistEmbCard"));
    net->Host = QStringLiteral("127.0.0.1");
    net->Port = port;
}

bool BranchGenerationTest::Open(std::function<void()> body, const QString& branch,
                                const QDate& date) {
    host.during = std::move(body);
    return Dispatch([&] { CriaDistribuicaoFilial(branch, date, *net); });
}

bool BranchGenerationTest::Act(const std::function<void()>& action) {
    return Dispatch(action);
}

QString BranchGenerationTest::NextMessage() {
    const auto m = dialogs.TakeMessage();
    return m ? m->text : QString();
}

QString BranchGenerationTest::Ticks() const {
    const TDataPacket p = Form().cdsServicos->Data();
    int column = -1;
    for (int i = 0; i < p.Fields.size(); ++i)
        if (p.Fields[i].Name == QLatin1String("IDMARCADO")) column = i;
    QString out;
    for (const auto& row : p.Rows)
        out += row.at(column).toString();
    return out;
}

QStringList BranchGenerationTest::Visible() const {
    const TClientDataSet& ds = *Form().cdsServicos;
    const int field = ds.FieldByName(QStringLiteral("CDSERVFILI")).Index();
    QStringList out;
    for (int r = 0; r < ds.VisibleCount(); ++r)
        out << ds.VisibleValue(r, field).toString();
    return out;
}

void BranchGenerationTest::ChooseGroup(int index) {
    Act([&] { Form().cmbFiltroGrupo->UserSelect(index); });
}

void BranchGenerationTest::ClickTickTitle() {
    Act([&] { Form().dbgServicos->UserClickTitle(0); });
}

void BranchGenerationTest::ClickCell(int row, const QString& field) {
    Act([&] { Form().dbgServicos->UserClickCell(row, Form().dbgServicos->ColumnOf(field)); });
}

void BranchGenerationTest::GridKey(int key, TShiftState shift) {
    Act([&] { Form().dbgServicos->SetFocus(); });
    ASSERT_EQ(Form().ActiveControl(), Form().dbgServicos);
    Act([&] { Form().DeliverKey(key, shift); });
}

} // namespace pla::test
