#include "framework/services/ScriptedDialogs.h"

#include "framework/data/Abort.h"
#include "framework/data/ClientDataSet.h"
#include "framework/data/DataSource.h"
#include "framework/data/Field.h"
#include "framework/services/BusyScope.h"
#include "framework/services/Pesquisa.h"
#include "framework/services/Procurar.h"
#include "framework/services/Showavi.h"
#include "framework/ui/ModalResult.h"

#include <gtest/gtest.h>

using pla::MsgDlgType;
using pla::ScriptedDialogs;
using Answer = ScriptedDialogs::Answer;

namespace {

class Scripted : public ::testing::Test {
protected:
    void SetUp() override { pla::SetDialogService(&dialogs); }
    void TearDown() override {
        while (Showavi::Depth() > 0)
            Showavi::DeactiveShowAvi();
        pla::SetDialogService(nullptr);
    }
    // A lookup set of branches "0001".."000n".
    void FillBranches(int n) {
        TFieldDef def;
        def.Name = QStringLiteral("CDFILIAL");
        def.Size = 4;
        ds.AddField(def);
        ds.CreateDataSet();
        for (int i = 1; i <= n; ++i) {
            ds.Append();
            ds.FieldByName(QStringLiteral("CDFILIAL"))
                .SetAsString(QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0')));
            ds.Post();
        }
        ds.First();
    }
    QString Current() const { return ds.FieldByName(QStringLiteral("CDFILIAL")).AsString(); }

    ScriptedDialogs dialogs;
    TClientDataSet ds{QStringLiteral("cdsFilial")};
    TDataSource src{QStringLiteral("dtsFilial"), &ds};
};

} // namespace

TEST_F(Scripted, QuestionsTakeQueuedAnswersInOrderAndOkBoxesNeedNone) {
    dialogs.QueueAnswer(Answer::Yes);
    dialogs.QueueAnswer(Answer::Cancel);
    pla::Dialogs().ShowInformation(QStringLiteral("informação"));
    EXPECT_TRUE(pla::Dialogs().AskYesNo(QStringLiteral("Confirma?")));
    EXPECT_FALSE(pla::Dialogs().AskOkCancel(QStringLiteral("Cancela?")));
    pla::Dialogs().ShowError(QStringLiteral("erro"));

    EXPECT_EQ(dialogs.PendingAnswers(), 0);
    ASSERT_EQ(dialogs.UncheckedCount(), 4);
    const QStringList expected{"informação", "Confirma?", "Cancela?", "erro"};
    const MsgDlgType kinds[] = {MsgDlgType::Information, MsgDlgType::Confirmation,
                                MsgDlgType::Confirmation, MsgDlgType::Error};
    for (int i = 0; i < 4; ++i) {
        const auto m = dialogs.TakeMessage();
        ASSERT_TRUE(m.has_value());
        EXPECT_EQ(m->text, expected[i]);
        EXPECT_EQ(m->type, kinds[i]);
    }
    EXPECT_FALSE(dialogs.TakeMessage().has_value());
    EXPECT_EQ(dialogs.Messages().size(), 4);
}

TEST_F(Scripted, UnforeseenOrMismatchedAnswersAreFailures) {
    EXPECT_THROW(pla::Dialogs().AskYesNo(QStringLiteral("Confirma a exclusão?")),
                 pla::UnexpectedDialog);
    dialogs.QueueAnswer(Answer::OK);
    EXPECT_THROW(pla::Dialogs().AskYesNo(QStringLiteral("Outra?")), pla::UnexpectedDialog);
    ASSERT_EQ(dialogs.Failures().size(), 2);
    EXPECT_TRUE(dialogs.Failures()[0].contains(QStringLiteral("Confirma a exclusão?")));
    // The question itself was shown, so it is still a message to check.
    EXPECT_EQ(dialogs.Messages().size(), 2);
}

TEST_F(Scripted, PesquisarPositionsOnThePickedRowOrStaysOnCancel) {
    FillBranches(3);
    ds.SetRecNo(2);
    dialogs.QueuePick(3);
    dialogs.QueuePickNone();
    EXPECT_TRUE(
        Pesquisa::Pesquisar(src, QStringLiteral("Filial|Não há filial cadastrada."), false, true));
    EXPECT_EQ(Current(), QStringLiteral("0003"));
    EXPECT_FALSE(Pesquisa::Pesquisar(src, QStringLiteral("Filial|x"), false, true));
    EXPECT_EQ(Current(), QStringLiteral("0003"));
    EXPECT_EQ(dialogs.PickCaptions(),
              (QStringList{"Filial|Não há filial cadastrada.", "Filial|x"}));
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}

TEST_F(Scripted, PickListFailures) {
    FillBranches(2);
    EXPECT_THROW(Pesquisa::Pesquisar(src, QStringLiteral("Filial|x")), pla::UnexpectedDialog);
    dialogs.QueuePick(5);
    EXPECT_THROW(Pesquisa::Pesquisar(src, QStringLiteral("Filial|x")), pla::UnexpectedDialog);
    EXPECT_EQ(dialogs.Failures().size(), 2);
    EXPECT_EQ(Current(), QStringLiteral("0001"));
}

TEST_F(Scripted, PesquisarOnAnEmptySetShowsTheEmptyTextInsteadOfAList) {
    FillBranches(0);
    dialogs.QueuePick(1);
    EXPECT_FALSE(Pesquisa::Pesquisar(src, QStringLiteral("Filial|Não há filial cadastrada.")));
    ASSERT_EQ(dialogs.Messages().size(), 1);
    EXPECT_EQ(dialogs.Messages()[0].text, QStringLiteral("Não há filial cadastrada."));
    EXPECT_EQ(dialogs.PendingPicks(), 1);
    EXPECT_TRUE(dialogs.PickCaptions().isEmpty());
}

TEST_F(Scripted, ProcuraLocatesTheQueuedRecord) {
    FillBranches(3);
    dialogs.QueueFind(QStringLiteral("CDFILIAL"), QStringLiteral("0002"));
    Procurar::Procura(ds);
    EXPECT_EQ(Current(), QStringLiteral("0002"));
    Procurar::Procura(ds); // closed unused
    EXPECT_EQ(Current(), QStringLiteral("0002"));
    EXPECT_EQ(dialogs.FindCount(), 2);
}

TEST_F(Scripted, BusyAnimationNestsAndIsRemovedOnEveryPath) {
    Showavi::ActiveShowAvi(nullptr, 1);
    Showavi::ActiveShowAvi(nullptr, 1);
    EXPECT_EQ(dialogs.BusyDepth(), 2);
    Showavi::DeactiveShowAvi();
    Showavi::DeactiveShowAvi();
    Showavi::DeactiveShowAvi(); // nothing left to remove: ignored
    EXPECT_EQ(dialogs.BusyDepth(), 0);
    EXPECT_EQ(dialogs.BusyShownCount(), 1);
    EXPECT_EQ(dialogs.BusyUnbalancedEnds(), 0);

    try {
        pla::BusyScope busy(nullptr, 1);
        EXPECT_EQ(dialogs.BusyDepth(), 1);
        throw Abort();
    } catch (const Abort&) {
    }
    EXPECT_EQ(dialogs.BusyDepth(), 0);
    {
        pla::BusyScope busy(nullptr, 1);
        busy.Release();
        EXPECT_EQ(dialogs.BusyDepth(), 0);
    }
    EXPECT_EQ(dialogs.BusyShownCount(), 3);
    EXPECT_EQ(dialogs.BusyUnbalancedEnds(), 0);
}

TEST(BusyWithoutDialogs, NothingIsShownAndNothingBreaks) {
    pla::SetDialogService(nullptr);
    {
        pla::BusyScope busy(nullptr, 1);
        EXPECT_EQ(Showavi::Depth(), 0);
    }
    EXPECT_EQ(Showavi::Depth(), 0);
}
