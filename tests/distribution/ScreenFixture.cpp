#include "tests/distribution/ScreenFixture.h"

#include "framework/ui/Dispatch.h"
#include "framework/ui/TDBGrid.h"

namespace pla::test {

QByteArray StandardFixture() {
    return R"({
  "methods": {
    "GetGruposServico": [{"result": {"ok": true, "data": {"fields": ["CDGRUPSERV", "NMGRUPSERV"],
        "rows": [["001", "Hospitais"], ["A'1", "Escolas"]]}}}],
    "GetServicos": [
      {"params": ["0001", "2026-12-08"], "result": {"ok": true, "data": {
        "fields": ["CDGRUPSERV", "CDFILIAL", "CDSERVFILI", "NMSERVICO", "IDSITUACAO"],
        "rows": [["001", "0001", "00010", "Almoço", "N"],
                 ["A'1", "0001", "00020", "Jantar", "I"],
                 ["002", "0001", "00030", "Ceia", "S"]]}}},
      {"result": {"ok": true, "data": {"fields": [], "rows": []}}}],
    "GetPontosEntrega": [{"result": {"ok": true, "data": {
        "fields": ["NMRAZSOCCLIE", "NMDESTFILI", "CDDESTFILI", "CDCLIENTE"],
        "rows": [["Hospital São Lucas Unidade Centro", "Portaria", "001", "12345"],
                 [null, "Cozinha", "002", "777"]]}}}],
    "GetDistribuicao": [
      {"params": ["0001", "00030", "2026-12-08", "12345", "001", "N"],
       "result": {"ok": true, "data": ["ERRO_N_EXIST_CARD", null, null, null, null]}},
      {"params": ["0001", "00030", "2026-12-08", "777", "002", "N"],
       "result": {"ok": true, "data": ["Cardápio bloqueado pelo nutricionista", null, null, null, null]}},
      {"result": {"ok": true, "data": ["",
        {"fields": [{"name": "NRDISTCARD", "type": "float"}, {"name": "CDFILIAL", "type": "string", "size": 4},
                    {"name": "QTCOMENSAIS", "type": "float"}],
         "rows": [[55, "0001", 120]]},
        {"fields": ["NRDISTCARD", "NRSEQPRATCAR", "CDPRATO", "NMPRATO", "QTCOMENSAIS", "QTPRATO", "QTEXTRA", "NRORDPRATCAR", "QTPORPESSOA"],
         "rows": [[55, 1, "P1", "Arroz", 10, 1.5, 0, 2, 0.15],
                  [55, 2, "P2", "Feijão", 0, 0, 0, 1, 0.1],
                  [55, 3, "P3", "Salada", 5, 0.5, 0.1, 3, 0.1]]},
        {"fields": ["NREMBDISTCARD", "CDCONTAINER", "QTCONTAINER", "NMCONTAINER", "IDPROPOSITO"],
         "rows": [[10, "CX001", 4, "Caixa", "C"], [11, "MAR01", 20, "Marmita", "I"]]},
        {"fields": ["NRSEQPRATCAR", "NREMBDISTCARD", "QTCOMENSAIS", "QTPRATO", "QTEXTRA", "NMPRATO", "IDPRINCIPAL"],
         "rows": [[2, 10, 60, 6, 0, "Feijão", "S"], [2, 11, 60, 6, 0, "Feijão", "S"], [1, 11, 110, 16.5, 0, "Arroz", "N"]]}
      ]}}],
    "GetVdEmbalagens": [{"result": {"ok": true, "data": {"fields": [], "rows": []}}}]
  }
})";
}

void ScreenTest::SetUp() {
    TestEnvironment::SetBranches({{"0001", "Cozinha Central"}, {"0002", "Cozinha Norte"}});
    Serve(StandardFixture());
}

void ScreenTest::TearDown() {
    if (screen) TForm::Free(screen);
    screen = nullptr;
    server.reset();
    EXPECT_EQ(dialogs.Failures().size(), 0) << dialogs.Failures().join("; ").toStdString();
}

void ScreenTest::Serve(const QByteArray& fixture, const QString& branch, bool tied) {
    server = std::make_unique<LoopbackServer>(fixture);
    TestEnvironment::Login(branch, tied, server->Start());
}

bool ScreenTest::Create() {
    screen = new TfrmDistEmbCard(nullptr);
    return Dispatch([&] { screen->DoCreate(); });
}

void ScreenTest::Open() {
    ASSERT_TRUE(Create());
    screen->Show();
    server->Reset();
}

void ScreenTest::EnterServiceList() {
    Dispatch([&] { screen->dbgPadrao->SetFocus(); });
}

QString ScreenTest::NextMessage() {
    const auto m = dialogs.TakeMessage();
    return m ? m->text : QString();
}

} // namespace pla::test
