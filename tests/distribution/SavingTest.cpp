#include "branch_generation/CriaDistribuicaoFilial.h"
#include "branch_generation/DistribuicaoFilial.h"
#include "framework/services/Showavi.h"
#include "framework/ui/Dispatch.h"
#include "framework/ui/FormHost.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TMenuItem.h"
#include "tests/distribution/ScreenFixture.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <functional>

namespace pla::test {
namespace {

// The standard fixture with some methods answered differently (or added).
QByteArray WithMethods(const QJsonObject& methods, const QByteArray& base = StandardFixture()) {
    QJsonObject root = QJsonDocument::fromJson(base).object();
    QJsonObject all = root.value("methods").toObject();
    for (auto it = methods.begin(); it != methods.end(); ++it)
        all.insert(it.key(), it.value());
    root.insert("methods", all);
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

QJsonArray Answer(const QJsonObject& result) {
    return QJsonArray{QJsonObject{{"result", result}}};
}

const QJsonObject kOk{{"ok", true}, {"data", QJsonValue()}};

// Three packagings: 10 holds a dish and 4 units, 11 holds nothing and no units, 12 holds a
// dish and no units.
QByteArray FaultyPackagingsFixture() {
    const QJsonObject distribution = QJsonDocument::fromJson(R"({"ok": true, "data": ["",
        {"fields": [{"name": "NRDISTCARD", "type": "float"}, {"name": "CDFILIAL", "type": "string", "size": 4}],
         "rows": [[56, "0001"]]},
        {"fields": ["NRDISTCARD", "NRSEQPRATCAR", "NMPRATO", "QTCOMENSAIS", "QTPRATO", "QTEXTRA", "NRORDPRATCAR", "QTPORPESSOA"],
         "rows": [[56, 1, "Arroz", 10, 1.5, 0, 1, 0.15], [56, 2, "Feijão", 0, 0, 0, 2, 0.1]]},
        {"fields": ["NREMBDISTCARD", "CDCONTAINER", "QTCONTAINER", "NMCONTAINER", "IDPROPOSITO"],
         "rows": [[10, "CX001", 4, "Caixa", "C"], [11, "MAR01", 0, "Marmita", "I"], [12, "MAR01", null, "Marmita", "I"]]},
        {"fields": ["NRSEQPRATCAR", "NREMBDISTCARD", "QTCOMENSAIS", "QTPRATO", "QTEXTRA", "NMPRATO", "IDPRINCIPAL"],
         "rows": [[2, 10, 60, 6, 0, "Feijão", "S"], [1, 12, 110, 16.5, 0, "Arroz", "S"]]}]})")
                                         .object();
    return WithMethods(
        {{"GetDistribuicao", Answer(distribution)}, {"SetDistribuicao", Answer(kOk)}});
}

// Index of a field in a packet's JSON form.
int ColumnOf(const QJsonValue& packet, const QString& name) {
    const QJsonArray fields = packet["fields"].toArray();
    for (int i = 0; i < fields.size(); ++i) {
        const QJsonValue f = fields.at(i);
        if ((f.isObject() ? f["name"].toString() : f.toString()) == name) return i;
    }
    return -1;
}

// One column of every row of a packet's JSON form.
QList<double> ColumnValues(const QJsonValue& packet, const QString& name) {
    const int c = ColumnOf(packet, name);
    QList<double> out;
    for (const QJsonValue& row : packet["rows"].toArray())
        out << row.toArray().at(c).toDouble();
    return out;
}

class SavingTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        Serve(WithMethods({{"SetDistribuicao", Answer(kOk)}, {"ApagaDistribuicao", Answer(kOk)}}));
    }

    // Opens on the standard distribution with the focus in the packaging grid.
    void OpenOnPackagings() {
        Open();
        EnterServiceList();
        Dispatch([&] { screen->dbgEmbalagens->SetFocus(); });
        server->Reset();
    }

    // Edits the current packaging's units and posts them, as the grid does.
    void SetUnits(double units) {
        ASSERT_TRUE(Dispatch([&] {
            screen->cdsEmbDistCard->Edit();
            screen->cdsEmbDistCard->FieldByName("QTCONTAINER").SetAsFloat(units);
            screen->cdsEmbDistCard->Post();
        }));
    }

    bool Confirm() {
        return Dispatch([&] { screen->sbtConfirmar->Click(); });
    }

    double CurrentPackaging() const {
        return screen->cdsEmbDistCard->FieldByName("NREMBDISTCARD").AsFloat();
    }
};

TEST_F(SavingTest, ValidationStopsAtThePackagingAtFaultAndSendsNothing) {
    Serve(FaultyPackagingsFixture());
    Open();
    EnterServiceList();
    Dispatch([&] { screen->dbgCardapio->SetFocus(); });
    Dispatch([&] { screen->sbtAlterar->Click(); });
    ASSERT_EQ(screen->cdsDistCard->State(), TDataSetState::Edit);
    server->Reset();

    // Packaging 11 has neither dishes nor units: the missing dishes are reported.
    EXPECT_FALSE(Confirm());
    EXPECT_EQ(NextMessage(), "A embalagem deve possuir pratos relacionados.");
    EXPECT_EQ(CurrentPackaging(), 11.0);
    EXPECT_EQ(screen->ActiveControl(), screen->dbgEmbalagens);
    // The dish grid shows the packaging at fault (none), the display is back, the pass ran.
    EXPECT_EQ(screen->cdsItEmbDistCard->Filter(), "NREMBDISTCARD = 11");
    EXPECT_FALSE(screen->cdsEmbDistCard->ControlsDisabled());
    EXPECT_FALSE(screen->cdsItEmbDistCard->ControlsDisabled());
    EXPECT_TRUE(screen->sbtConfirmar->Enabled());
    EXPECT_EQ(screen->cdsDistCard->State(), TDataSetState::Edit);

    // Without it, packaging 12 holds a dish but its units are empty: read as zero.
    ASSERT_TRUE(Dispatch([&] { screen->cdsEmbDistCard->Delete(); }));
    Dispatch([&] { screen->dbgCardapio->SetFocus(); });
    EXPECT_FALSE(Confirm());
    EXPECT_EQ(NextMessage(), "Quantidade de embalagens deve ser maior que zero.");
    EXPECT_EQ(CurrentPackaging(), 12.0);
    EXPECT_EQ(screen->ActiveControl(), screen->dbgEmbalagens);
    ASSERT_NE(screen->dbgEmbalagens->SelectedField(), nullptr);
    EXPECT_EQ(screen->dbgEmbalagens->SelectedField()->FieldName(), "QTCONTAINER");
    EXPECT_FALSE(screen->cdsEmbDistCard->ControlsDisabled());

    EXPECT_EQ(server->Count("SetDistribuicao"), 0);
    EXPECT_EQ(Showavi::Depth(), 0);
}

TEST_F(SavingTest, SaveSendsEveryRecordOfTheThreeSetsWhateverTheirFilters) {
    OpenOnPackagings();
    // The second packaging is current: the dish rows show only its two.
    Dispatch([&] { screen->dbgEmbalagens->UserSelectRow(1); });
    SetUnits(25);
    ASSERT_EQ(screen->cdsDistCard->State(), TDataSetState::Edit);
    ASSERT_EQ(screen->cdsCardapioDisponivel->RecordCount(), 2);

    EXPECT_TRUE(Confirm());
    const auto sent = server->Params("SetDistribuicao");
    ASSERT_EQ(sent.size(), 1);
    const QJsonArray p = sent.first();
    ASSERT_EQ(p.size(), 4);
    EXPECT_EQ(p.at(0).toDouble(), 55.0);
    // The fully distributed dish travels too.
    QList<double> dishes = ColumnValues(p.at(1), "NRSEQPRATCAR");
    std::sort(dishes.begin(), dishes.end());
    EXPECT_EQ(dishes, QList<double>({1, 2, 3}));
    EXPECT_EQ(ColumnValues(p.at(2), "NREMBDISTCARD"), QList<double>({10, 11}));
    EXPECT_EQ(ColumnValues(p.at(2), "QTCONTAINER"), QList<double>({4, 25}));
    // Data only: the calculated quantity per unit is the screen's own.
    EXPECT_EQ(ColumnOf(p.at(2), "QTMEDIA"), -1);
    EXPECT_EQ(ColumnValues(p.at(3), "NREMBDISTCARD"), QList<double>({10, 11, 11}));

    // Change mode is over and the screen shows the server's distribution, same service and
    // delivery point.
    EXPECT_EQ(screen->cdsDistCard->State(), TDataSetState::Browse);
    EXPECT_EQ(server->Count("GetServicos"), 1);
    EXPECT_GE(server->Count("GetDistribuicao"), 1);
    EXPECT_EQ(server->Params("GetDistribuicao").last().at(1).toString(), "00010");
    EXPECT_EQ(server->Params("GetDistribuicao").last().at(3).toString(), "12345");
    EXPECT_EQ(screen->cdsServicos->FieldByName("CDSERVFILI").AsString(), "00010");
    EXPECT_EQ(screen->cmbPontosEntrega->ItemIndex(), 1);
    EXPECT_EQ(Showavi::Depth(), 0);
    EXPECT_EQ(NextMessage(), "");
}

TEST_F(SavingTest, ConfirmWhileAPackagingIsTypedOnlyPostsIt) {
    OpenOnPackagings();
    ASSERT_TRUE(Dispatch([&] {
        screen->cdsEmbDistCard->Edit();
        screen->cdsEmbDistCard->FieldByName("DSOBSETIQUETA").SetAsString("Frágil");
    }));
    EXPECT_TRUE(Confirm());
    EXPECT_EQ(screen->cdsEmbDistCard->State(), TDataSetState::Browse);
    EXPECT_EQ(screen->cdsDistCard->State(), TDataSetState::Edit);
    EXPECT_EQ(server->Count("SetDistribuicao"), 0);

    EXPECT_TRUE(Confirm());
    ASSERT_EQ(server->Count("SetDistribuicao"), 1);
    const QJsonValue packagings = server->Params("SetDistribuicao").first().at(2);
    const int remark = ColumnOf(packagings, "DSOBSETIQUETA");
    EXPECT_EQ(packagings["rows"][0][remark].toString(), "Frágil");
}

TEST_F(SavingTest, PendingEditsOfTheOtherSetsAreSavedNotLost) {
    OpenOnPackagings();
    // A quantity per person still being typed in the undistributed list.
    ASSERT_TRUE(Dispatch([&] {
        screen->cdsCardapioDisponivel->Edit();
        screen->cdsCardapioDisponivel->FieldByName("QTPORPESSOA").SetAsFloat(0.2);
    }));
    ASSERT_TRUE(Dispatch([&] { screen->sbtAlterar->Click(); }));
    EXPECT_TRUE(Dispatch([&] { screen->ConfirmaAltDistribuicao(); }));
    ASSERT_EQ(server->Count("SetDistribuicao"), 1);
    const QJsonValue dishes = server->Params("SetDistribuicao").first().at(1);
    const QList<double> sequence = ColumnValues(dishes, "NRSEQPRATCAR");
    const QList<double> perPerson = ColumnValues(dishes, "QTPORPESSOA");
    ASSERT_TRUE(sequence.contains(1));
    EXPECT_EQ(perPerson.at(sequence.indexOf(1)), 0.2);
}

TEST_F(SavingTest, ARefusedSaveKeepsChangeModeAndEveryEdit) {
    Serve(
        WithMethods({{"SetDistribuicao",
                      Answer(QJsonObject{{"ok", false},
                                         {"message", "Prato Arroz: quantidade distribuída e não "
                                                     "distribuída somam 3, mas o total é 2."}})}}));
    OpenOnPackagings();
    Dispatch([&] { screen->dbgEmbalagens->UserSelectRow(1); });
    SetUnits(7);

    EXPECT_FALSE(Confirm());
    EXPECT_EQ(NextMessage(),
              "Prato Arroz: quantidade distribuída e não distribuída somam 3, mas o total é 2.");
    EXPECT_EQ(screen->cdsDistCard->State(), TDataSetState::Edit);
    EXPECT_EQ(CurrentPackaging(), 11.0);
    EXPECT_EQ(screen->cdsEmbDistCard->FieldByName("QTCONTAINER").AsFloat(), 7.0);
    EXPECT_EQ(server->Count("GetServicos"), 0);
    EXPECT_EQ(server->Count("GetDistribuicao"), 0);
    EXPECT_TRUE(screen->sbtConfirmar->Enabled());
    EXPECT_TRUE(screen->sbtCancelar->Enabled());
    EXPECT_EQ(Showavi::Depth(), 0);

    // Out of reach: the user is told so and the edits stay too.
    server->Stop();
    EXPECT_FALSE(Confirm());
    EXPECT_FALSE(NextMessage().isEmpty());
    EXPECT_EQ(screen->cdsDistCard->State(), TDataSetState::Edit);
    EXPECT_EQ(screen->cdsEmbDistCard->FieldByName("QTCONTAINER").AsFloat(), 7.0);
    EXPECT_EQ(Showavi::Depth(), 0);
}

TEST_F(SavingTest, ACancelThatCannotReloadKeepsTheChangePending) {
    OpenOnPackagings();
    SetUnits(7);
    const int port = server->Port();
    server->Stop();

    dialogs.QueueAnswer(ScriptedDialogs::Answer::Yes);
    EXPECT_FALSE(Dispatch([&] { screen->sbtCancelar->Click(); }));
    EXPECT_EQ(NextMessage(), "Cancela alteração na distribuição?");
    EXPECT_FALSE(NextMessage().isEmpty()); // the connection fault
    EXPECT_EQ(NextMessage(), "Não foi possível recarregar a distribuição do servidor: nada foi "
                             "cancelado e as alterações continuam pendentes.");
    EXPECT_EQ(screen->cdsDistCard->State(), TDataSetState::Edit);
    EXPECT_EQ(screen->cdsEmbDistCard->FieldByName("QTCONTAINER").AsFloat(), 7.0);
    EXPECT_TRUE(screen->sbtCancelar->Enabled());

    // The server back, the pending change is what a later confirmation saves.
    server->Start(port);
    EXPECT_TRUE(Confirm());
    ASSERT_EQ(server->Count("SetDistribuicao"), 1);
    EXPECT_EQ(ColumnValues(server->Params("SetDistribuicao").first().at(2), "QTCONTAINER"),
              QList<double>({7, 20}));
    EXPECT_EQ(screen->cdsDistCard->State(), TDataSetState::Browse);
}

TEST_F(SavingTest, ADistributionWithoutPackagingsIsSaved) {
    const QJsonObject empty = QJsonDocument::fromJson(R"({"ok": true, "data": ["",
        {"fields": ["NRDISTCARD"], "rows": [[57]]},
        {"fields": ["NRDISTCARD", "NRSEQPRATCAR", "NMPRATO", "QTCOMENSAIS", "QTPRATO", "QTEXTRA"],
         "rows": [[57, 1, "Arroz", 10, 1.5, 0]]},
        {"fields": ["NREMBDISTCARD"], "rows": []},
        {"fields": ["NRSEQPRATCAR", "NREMBDISTCARD"], "rows": []}]})")
                                  .object();
    Serve(WithMethods({{"GetDistribuicao", Answer(empty)}, {"SetDistribuicao", Answer(kOk)}}));
    Open();
    EnterServiceList();
    Dispatch([&] { screen->dbgCardapio->SetFocus(); });
    Dispatch([&] { screen->sbtAlterar->Click(); });
    server->Reset();
    EXPECT_TRUE(Confirm());
    ASSERT_EQ(server->Count("SetDistribuicao"), 1);
    EXPECT_EQ(server->Params("SetDistribuicao").first().at(0).toDouble(), 57.0);
    EXPECT_EQ(screen->cdsDistCard->State(), TDataSetState::Browse);
}

TEST_F(SavingTest, DeletingAsksThenDeletesAndReloadsTheServices) {
    Open();
    EnterServiceList();
    server->Reset();

    dialogs.QueueAnswer(ScriptedDialogs::Answer::No);
    EXPECT_TRUE(Dispatch([&] { screen->sbtApagar->Click(); }));
    EXPECT_EQ(NextMessage(), "Confirma a exclusão da distribuição?");
    EXPECT_EQ(server->Requests().size(), 0);

    // The menu item does what the button does.
    dialogs.QueueAnswer(ScriptedDialogs::Answer::Yes);
    ASSERT_TRUE(screen->mnuApagar->Enabled());
    EXPECT_TRUE(Dispatch([&] { screen->mnuApagar->Click(); }));
    EXPECT_EQ(NextMessage(), "Confirma a exclusão da distribuição?");
    ASSERT_EQ(server->Count("ApagaDistribuicao"), 1);
    EXPECT_EQ(server->Params("ApagaDistribuicao").first(), QJsonArray({55}));
    EXPECT_EQ(server->Params("GetServicos").value(0), QJsonArray({"0001", "2026-12-08"}));
    EXPECT_EQ(screen->cdsServicos->FieldByName("CDSERVFILI").AsString(), "00010");
    EXPECT_EQ(Showavi::Depth(), 0);
    EXPECT_EQ(NextMessage(), "");
}

TEST_F(SavingTest, TheVersionOfTheLoadedHeaderTravelsBackWithASaveAndADeletion) {
    // The standard header with the version a versioning server adds to it.
    QJsonObject root = QJsonDocument::fromJson(WithMethods({{"SetDistribuicao", Answer(kOk)},
                                                            {"ApagaDistribuicao", Answer(kOk)}}))
                           .object();
    QJsonObject methods = root["methods"].toObject();
    QJsonArray entries = methods["GetDistribuicao"].toArray();
    QJsonObject entry = entries.last().toObject();
    QJsonObject result = entry["result"].toObject();
    QJsonArray data = result["data"].toArray();
    QJsonObject header = data[1].toObject();
    QJsonArray fields = header["fields"].toArray();
    fields.append(QJsonObject{{"name", "NRVERSAO"}, {"type", "integer"}});
    QJsonArray row = header["rows"].toArray()[0].toArray();
    row.append(7);
    header["fields"] = fields;
    header["rows"] = QJsonArray{row};
    data[1] = header;
    result["data"] = data;
    entry["result"] = result;
    entries[entries.size() - 1] = entry;
    methods["GetDistribuicao"] = entries;
    root["methods"] = methods;
    Serve(QJsonDocument(root).toJson());

    OpenOnPackagings();
    SetUnits(25);
    EXPECT_TRUE(Confirm());
    ASSERT_EQ(server->Params("SetDistribuicao").size(), 1);
    EXPECT_EQ(server->Params("SetDistribuicao").first().size(), 5);
    EXPECT_EQ(server->Params("SetDistribuicao").first().at(4), QJsonValue(7));

    dialogs.QueueAnswer(ScriptedDialogs::Answer::Yes);
    EXPECT_TRUE(Dispatch([&] { screen->sbtApagar->Click(); }));
    EXPECT_EQ(NextMessage(), "Confirma a exclusão da distribuição?");
    EXPECT_EQ(server->Params("ApagaDistribuicao").value(0), QJsonArray({55, 7}));
}

TEST_F(SavingTest, ARefusedDeletionReloadsNothing) {
    Serve(WithMethods(
        {{"ApagaDistribuicao",
          Answer(QJsonObject{{"ok", false}, {"message", "Distribuição 55 não encontrada."}})}}));
    Open();
    EnterServiceList();
    server->Reset();
    dialogs.QueueAnswer(ScriptedDialogs::Answer::Yes);
    EXPECT_FALSE(Dispatch([&] { screen->sbtApagar->Click(); }));
    NextMessage();
    EXPECT_EQ(NextMessage(), "Distribuição 55 não encontrada.");
    EXPECT_EQ(server->Count("GetServicos"), 0);
    EXPECT_EQ(screen->cdsDistCard->FieldByName("NRDISTCARD").AsFloat(), 55.0);
    EXPECT_EQ(Showavi::Depth(), 0);
}

// Runs the test's actions while a modal form is shown, then ends the run.
class ModalHost : public FormHost {
public:
    std::function<void(TForm&)> during;
    int runs = 0;
    void Show(TForm&) override {}
    void Close(TForm&) override {}
    int RunModal(TForm& form) override {
        ++runs;
        if (during) during(form);
        return mrCancel;
    }
};

class GenerationTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        SetFormHost(&host);
    }
    void TearDown() override {
        if (frmDistribuicaoFilial) TForm::Free(frmDistribuicaoFilial);
        SetFormHost(nullptr);
        ScreenTest::TearDown();
    }

    // Serves the standard answers plus the branch generation screen's.
    void ServeGeneration(const QJsonArray& transported) {
        Serve(WithMethods(
            {{"GetServicosTransportados", transported}, {"GeraDistribuicaoFilial", Answer(kOk)}}));
    }

    ModalHost host;
};

const QJsonArray kTransported = Answer(QJsonObject{
    {"ok", true},
    {"data",
     QJsonObject{
         {"fields", QJsonArray{"IDMARCADO", "CDGRUPSERV", "CDFILIAL", "CDSERVFILI", "NMSERVICO"}},
         {"rows", QJsonArray{QJsonArray{"N", "001", "0001", "00010", "Almoço"}}}}}});

TEST_F(GenerationTest, OpensForTheBranchAndDateThenReloadsTheServices) {
    ServeGeneration(kTransported);
    Open();
    EnterServiceList();
    server->Reset();

    QString shownBranch;
    QDate shownDate;
    host.during = [&](TForm&) {
        shownBranch = frmDistribuicaoFilial->edtCdFilial->Text();
        shownDate = frmDistribuicaoFilial->depCardapio->GetDate();
        // The screen lent its own connection: the list came from the same server.
        EXPECT_EQ(server->Count("GetServicosTransportados"), 1);
        EXPECT_EQ(server->Count("GetServicos"), 0);
    };
    ASSERT_TRUE(screen->mnuGerar->Enabled());
    EXPECT_TRUE(Dispatch([&] { screen->mnuGerar->Click(); }));
    EXPECT_EQ(host.runs, 1);
    EXPECT_EQ(shownBranch, "0001");
    EXPECT_EQ(shownDate, QDate(2026, 12, 8));
    EXPECT_EQ(server->Params("GetServicos").value(0), QJsonArray({"0001", "2026-12-08"}));
    EXPECT_EQ(screen->cdsServicos->FieldByName("CDSERVFILI").AsString(), "00010");
    EXPECT_EQ(NextMessage(), "");
}

TEST_F(GenerationTest, ABranchThatFailsOpensNothing) {
    QJsonArray transported = kTransported;
    transported.prepend(
        QJsonObject{{"params", QJsonArray{"0002"}},
                    {"result", QJsonObject{{"ok", false}, {"message", "Servidor indisponível"}}}});
    ServeGeneration(transported);
    Open();
    Dispatch([&] { screen->edtCdFilial->SetFocus(); });
    Dispatch([&] { screen->edtCdFilial->SetText(""); });
    server->Reset();
    EXPECT_FALSE(Dispatch([&] { screen->sbtGerar->Click(); }));
    EXPECT_EQ(NextMessage(), "Filial deve ser informada.");
    EXPECT_EQ(host.runs, 0);
    EXPECT_EQ(server->Requests().size(), 0);

    // The generation screen's own opening refused by the server: no reload behind it.
    Dispatch([&] { screen->edtCdFilial->SetText("0002"); });
    EXPECT_FALSE(Dispatch([&] { screen->sbtGerar->Click(); }));
    EXPECT_EQ(NextMessage(), "Servidor indisponível");
    EXPECT_EQ(host.runs, 0);
    EXPECT_EQ(server->Count("GetServicos"), 0);
}

TEST_F(GenerationTest, WithoutAMenuDateTheServiceListIsNotReloaded) {
    ServeGeneration(kTransported);
    Open();
    Dispatch([&] { screen->edtCdFilial->SetFocus(); });
    Dispatch([&] { screen->depCardapio->SetText(""); });
    server->Reset();
    QDate shownDate(2000, 1, 1);
    host.during = [&](TForm&) { shownDate = frmDistribuicaoFilial->depCardapio->GetDate(); };
    EXPECT_TRUE(Dispatch([&] { screen->sbtGerar->Click(); }));
    EXPECT_EQ(host.runs, 1);
    EXPECT_FALSE(shownDate.isValid());
    EXPECT_EQ(server->Count("GetServicos"), 0);
    EXPECT_EQ(NextMessage(), "");
}

} // namespace
} // namespace pla::test
