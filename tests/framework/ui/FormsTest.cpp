#include "framework/data/ClientDataSet.h"
#include "framework/data/DataSource.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/FormHost.h"
#include "framework/ui/TButton.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TDBNavigator.h"
#include "framework/ui/TDBText.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TGroupBox.h"
#include "framework/ui/TMenuItem.h"
#include "framework/ui/TMessages.h"
#include "framework/ui/TPanel.h"
#include "framework/ui/TScrollBox.h"
#include "framework/ui/TfrmPadraoGrid.h"
#include "framework/ui/TfrmRotiGeral.h"

#include <QStringList>
#include <functional>
#include <gtest/gtest.h>

namespace {

// A host that runs a script while a modal form is open, as the scenario runner does.
class ScriptedHost : public pla::FormHost {
public:
    std::function<void(TForm&)> whileModal;
    QStringList events;
    void Show(TForm& f) override { events << "show " + f.Name(); }
    int RunModal(TForm& f) override {
        events << "modal " + f.Name();
        if (whileModal) whileModal(f);
        return mrNone;
    }
    void Close(TForm& f) override { events << "close " + f.Name(); }
};

struct HostGuard {
    explicit HostGuard(pla::FormHost* h) { pla::SetFormHost(h); }
    ~HostGuard() { pla::SetFormHost(nullptr); }
};

class Dialog : public TfrmRotiGeral {
public:
    TEdit* edtQt;
    int confirmed = 0;
    Dialog() {
        SetName(QStringLiteral("frmDialog"));
        edtQt = new TEdit(this);
        edtQt->SetName(QStringLiteral("edtQt"));
        edtQt->SetParent(grbDadosRel);
    }
    void sbtConfirmaClick(TComponent& s) override {
        ++confirmed;
        TfrmRotiGeral::sbtConfirmaClick(s);
    }
};

TEST(Forms, ModalRunIsDrivenByTheHostAndEndsWithTheResult) {
    ScriptedHost host;
    HostGuard guard(&host);
    Dialog dlg;
    host.whileModal = [&](TForm& f) {
        EXPECT_TRUE(f.IsModal());
        EXPECT_EQ(f.ActiveControl(), dlg.edtQt); // the first edit has the focus
        dlg.sbtConfirma->UserClick();
    };
    EXPECT_EQ(dlg.ShowModal(), mrOk);
    EXPECT_EQ(dlg.confirmed, 1);
    EXPECT_FALSE(dlg.Showing());
    EXPECT_EQ(host.events, QStringList({"modal frmDialog", "close frmDialog"}));

    host.whileModal = [&](TForm&) { dlg.sbtCancel->UserClick(); };
    EXPECT_EQ(dlg.ShowModal(), mrCancel);
    host.whileModal = nullptr; // nobody answers: the run ends as cancelled
    EXPECT_EQ(dlg.ShowModal(), mrCancel);
}

TEST(Forms, ModalButtonsAndTheHeadlessDefault) {
    TForm form;
    auto* ok = new TButton(&form);
    ok->SetParent(&form);
    ok->SetModalResult(mrYes);
    ok->Click();
    EXPECT_EQ(form.ModalResult(), mrYes);
    // Without a host of its own, a modal run returns at once.
    EXPECT_EQ(form.ShowModal(), mrCancel);
}

TEST(Forms, DialogBaseLaysOutItsRegions) {
    Dialog dlg;
    dlg.SetBounds(0, 0, 400, 300);
    EXPECT_EQ(dlg.panMenu->BoundsRect(), QRect(336, 0, 64, 300));
    EXPECT_EQ(dlg.grbDadosRel->BoundsRect(), QRect(0, 0, 336, 300));
    EXPECT_EQ(dlg.panHelp->Top() + dlg.panHelp->Height(), 300);
    EXPECT_EQ(dlg.FindComponent(QStringLiteral("sbtHelp")), dlg.sbtHelp);
    EXPECT_TRUE(dlg.sbtConfirma->IsInside(dlg.panBotoes));
}

// ----------------------------------------------------------------- list screen base

class RecordingDialogs : public pla::DialogService {
public:
    QStringList asked;
    int answer = mrNo;
    int MessageBox(const QString& text, pla::MsgDlgType, pla::MsgDlgButtons) override {
        asked << text;
        return answer;
    }
    bool PickList(TDataSource&, const QString&) override { return false; }
    void Find(TClientDataSet&) override { asked << "find"; }
    void BusyBegin(int) override {}
    void BusyEnd() override {}
};

struct ServiceList {
    TClientDataSet cds{QStringLiteral("cdsServicos")};
    ServiceList() {
        cds.AddField({QStringLiteral("SERVICO"), TFieldType::String, 20});
        cds.CreateDataSet();
        for (const char* s : {"00001 - Almoço", "00002 - Jantar", "00003 - Ceia"}) {
            cds.Append();
            cds.FieldByName(QStringLiteral("SERVICO")).SetAsString(QString::fromUtf8(s));
            cds.Post();
        }
        cds.First();
    }
};

TEST(ListScreen, RegionsRecordLabelNavigatorAndDefaultActions) {
    ServiceList data;
    RecordingDialogs dialogs;
    pla::SetDialogService(&dialogs);
    {
        TfrmPadraoGrid s;
        s.SetBounds(0, 0, 1000, 600);
        s.dtsPadrao()->SetDataSet(&data.cds);
        s.dbtNome->SetDataField(QStringLiteral("SERVICO"));
        EXPECT_EQ(s.panMenu->BoundsRect(), QRect(0, 0, 1000, 29));
        EXPECT_EQ(s.panNavigator->BoundsRect(), QRect(0, 571, 1000, 29));
        EXPECT_EQ(s.panDbgPadrao->BoundsRect(), QRect(0, 29, 185, 542));
        EXPECT_EQ(s.scbFolhaDados->BoundsRect(), QRect(185, 29, 815, 542));
        EXPECT_EQ(s.dbtNome->Caption(), QString::fromUtf8("00001 - Almoço"));

        EXPECT_FALSE(s.dbnPadrao->ButtonEnabled(TNavigateBtn::nbPrior));
        EXPECT_TRUE(s.dbnPadrao->BtnClick(TNavigateBtn::nbLast));
        EXPECT_EQ(s.dbtNome->Caption(), QStringLiteral("00003 - Ceia"));
        EXPECT_FALSE(s.dbnPadrao->BtnClick(TNavigateBtn::nbDelete)); // hidden on this bar
        s.dbnPadrao->SetEnabled(false);
        EXPECT_FALSE(s.dbnPadrao->BtnClick(TNavigateBtn::nbFirst));

        // Deleting asks with the standard text; No keeps the record.
        s.sbtExcluir->Click();
        EXPECT_EQ(dialogs.asked, QStringList({QString::fromUtf8("Confirma exclusão?")}));
        EXPECT_EQ(data.cds.RecordCount(), 3);
        dialogs.answer = mrYes;
        s.mnuExcluir->Click();
        EXPECT_EQ(data.cds.RecordCount(), 2);
        s.sbtProcurar->Click();
        EXPECT_EQ(dialogs.asked.last(), QStringLiteral("find"));
    }
    pla::SetDialogService(nullptr);
    // The screen went first; the data set outlived it without dangling listeners.
    data.cds.First();
    EXPECT_EQ(data.cds.RecordCount(), 2);
}

TEST(ListScreen, TabInTheGridWalksColumnsThenRowsThenLeaves) {
    ServiceList data;
    TForm form;
    auto* grid = new TDBGrid(&form);
    grid->SetParent(&form);
    auto* after = new TEdit(&form);
    after->SetParent(&form);
    TDataSource dts(QStringLiteral("dts"), &data.cds);
    grid->SetDataSource(&dts);
    grid->AddColumn(QStringLiteral("SERVICO"));
    grid->AddColumn(QStringLiteral("SERVICO"));
    form.Show();
    form.DeliverKey(VK_TAB);
    EXPECT_EQ(grid->SelectedIndex(), 1);
    form.DeliverKey(VK_TAB);
    EXPECT_EQ(data.cds.RecNo(), 2);
    EXPECT_EQ(grid->SelectedIndex(), 0);
    data.cds.Last();
    grid->SetSelectedIndex(1);
    form.DeliverKey(VK_TAB); // last cell: the focus moves on
    EXPECT_EQ(form.ActiveControl(), after);
    // Without the tabs option the grid lets Tab move the focus at once.
    grid->SetFocus();
    grid->SetOption(dgTabs, false);
    form.DeliverKey(VK_TAB);
    EXPECT_EQ(form.ActiveControl(), after);
    form.DestroyComponents(); // before dts goes
}

} // namespace
