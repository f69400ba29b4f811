// Confirming: the checks before the call, the packet sent, the messages and where the focus
// and the group filter end up.
#include "framework/data/PacketCodec.h"
#include "framework/ui/ModalResult.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TCheckBox.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"
#include "tests/branch_generation/BranchGenerationFixture.h"

namespace pla::test {
namespace {

class ConfirmTest : public BranchGenerationTest {
protected:
    bool Confirm() {
        return Act([&] { Form().sbtConfirma->UserClick(); });
    }
    // The services packet of the n-th generation call as (code, tick) pairs.
    QStringList SentServices(int n) const {
        const TDataPacket p = PacketCodec::FromJson(server->Params("GeraDistribuicaoFilial")[n][1]);
        int code = -1, tick = -1;
        for (int i = 0; i < p.Fields.size(); ++i) {
            if (p.Fields[i].Name == QLatin1String("CDSERVFILI")) code = i;
            if (p.Fields[i].Name == QLatin1String("IDMARCADO")) tick = i;
        }
        QStringList out;
        for (const auto& row : p.Rows)
            out << row.at(code).toString() + QLatin1Char('=') + row.at(tick).toString();
        return out;
    }
};

TEST_F(ConfirmTest, TicksOfAHiddenGroupAreSentWithEveryServiceAndTheDialogCloses) {
    ASSERT_TRUE(Open([&] {
        ChooseGroup(3); // only 00040, unticked, is shown; 00020 is ticked in another group
        server->Reset();
        EXPECT_TRUE(Confirm());
        ASSERT_EQ(server->Count("GeraDistribuicaoFilial"), 1);
        const QJsonArray params = server->Params("GeraDistribuicaoFilial")[0];
        EXPECT_EQ(params[0].toString(), QStringLiteral("2026-12-08"));
        EXPECT_EQ(params[2].toString(), QStringLiteral("N"));
        EXPECT_EQ(SentServices(0), QStringList({"00010=N", "00020=S", "00030=N", "00040=N"}));
        const auto m = dialogs.TakeMessage();
        ASSERT_TRUE(m.has_value());
        EXPECT_EQ(m->text, QStringLiteral("Operação concluída com sucesso"));
        EXPECT_EQ(m->type, MsgDlgType::Information);
        EXPECT_EQ(m->buttons, mbOK);
        EXPECT_EQ(Form().ModalResult(), mrOk);
        // The group shown before the click is shown again.
        EXPECT_EQ(Visible(), QStringList({"00040"}));
    }));
    EXPECT_EQ(Form().ModalResult(), mrOk);
    EXPECT_FALSE(Form().Showing());
}

TEST_F(ConfirmTest, ReplaceBoxSendsS) {
    ASSERT_TRUE(Open([&] {
        Act([&] { Form().chbSubstitui->UserClick(); });
        EXPECT_TRUE(Confirm());
        EXPECT_EQ(server->Params("GeraDistribuicaoFilial")[0][2].toString(), QStringLiteral("S"));
    }));
}

TEST_F(ConfirmTest, NoTickInAnyGroupIsRefusedWithTheFocusOnTheListAndTheGroupShownAgain) {
    ASSERT_TRUE(Open([&] {
        TfrmDistribuicaoFilial& f = Form();
        ChooseGroup(2); // the group whose code holds a quote
        ClickCell(0, "IDMARCADO");
        EXPECT_EQ(Ticks(), QStringLiteral("NNNN"));
        Act([&] { f.depCardapio->SetFocus(); });

        EXPECT_FALSE(Confirm());
        EXPECT_EQ(NextMessage(),
                  QStringLiteral("Pelo menos um serviço deve ser selecionado para efetuar a "
                                 "distribuição."));
        EXPECT_EQ(f.ActiveControl(), f.dbgServicos);
        EXPECT_EQ(server->Count("GeraDistribuicaoFilial"), 0);
        EXPECT_TRUE(f.cdsServicos->Filtered());
        EXPECT_EQ(Visible(), QStringList({"00020", "00030"}));
        EXPECT_FALSE(f.cdsServicos->ControlsDisabled());
        EXPECT_EQ(f.ModalResult(), mrNone);
        EXPECT_TRUE(f.Showing());
    }));
}

TEST_F(ConfirmTest, EmptyDateIsReportedBeforeTheTicksAreLookedAt) {
    ASSERT_TRUE(Open([&] {
        TfrmDistribuicaoFilial& f = Form();
        Act([&] { f.depCardapio->SetFocus(); });
        Act([&] { f.depCardapio->UserClear(); });
        EXPECT_FALSE(Confirm());
        EXPECT_EQ(NextMessage(), QStringLiteral("Data do cardápio deve ser informada"));
        EXPECT_EQ(NextMessage(), QString());
        EXPECT_EQ(f.ActiveControl(), f.depCardapio);
        EXPECT_EQ(server->Count("GeraDistribuicaoFilial"), 0);
        EXPECT_EQ(Ticks(), QStringLiteral("NSNN"));
    }));
}

TEST_F(ConfirmTest, UnregisteredBranchTypedBeforeConfirmingIsReportedAtTheCode) {
    ASSERT_TRUE(Open([&] {
        TfrmDistribuicaoFilial& f = Form();
        Act([&] { f.edtCdFilial->SetFocus(); });
        Act([&] { f.DeliverChar(QLatin1Char('9')); });
        EXPECT_FALSE(Confirm());
        EXPECT_EQ(NextMessage(), QStringLiteral("Filial informada não cadastrada."));
        EXPECT_EQ(f.ActiveControl(), f.edtCdFilial);
        EXPECT_EQ(server->Count("GeraDistribuicaoFilial"), 0);
    }));
}

TEST_F(ConfirmTest, ServerRefusalKeepsTheDialogOpenAndASecondTryRepeatsTheCall) {
    QByteArray fixture = BranchGenerationFixture();
    fixture.replace(
        R"("GeraDistribuicaoFilial": [{"result": {"ok": true, "data": {"geradas": 2}}}])",
        R"("GeraDistribuicaoFilial": [{"result": {"ok": false,
                        "message": "Cardápio da filial ainda não liberado"}}])");
    Serve(fixture);
    ASSERT_TRUE(Open([&] {
        TfrmDistribuicaoFilial& f = Form();
        EXPECT_FALSE(Confirm());
        EXPECT_EQ(NextMessage(), QStringLiteral("Cardápio da filial ainda não liberado"));
        EXPECT_EQ(NextMessage(), QString());
        EXPECT_EQ(f.ModalResult(), mrNone);
        EXPECT_EQ(dialogs.BusyDepth(), 0);
        EXPECT_EQ(Ticks(), QStringLiteral("NSNN"));

        EXPECT_FALSE(Confirm());
        const QVector<QJsonArray> calls = server->Params("GeraDistribuicaoFilial");
        ASSERT_EQ(calls.size(), 2);
        EXPECT_EQ(calls[0], calls[1]);
        NextMessage();
    }));
    EXPECT_EQ(Form().ModalResult(), mrCancel);
}

} // namespace
} // namespace pla::test
