#pragma once

#include "branch_generation/CriaDistribuicaoFilial.h"
#include "branch_generation/DistribuicaoFilial.h"
#include "framework/net/NetConnection.h"
#include "framework/ui/FormHost.h"
#include "tests/remote/LoopbackServer.h"
#include "tests/remote/TestEnvironment.h"

#include <QDate>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace pla::test {

// Services of branch 0001 in three groups (one code holding a quote): ticks "NSNN" as the
// server delivers them; branch 0002 has none; branch 0003 has a row with an odd tick "X".
QByteArray BranchGenerationFixture();

// A form host whose modal run executes the test's actions while the screen is shown, as a
// user would, then ends (the screen's own result wins when it set one).
class ScriptedModalHost : public FormHost {
public:
    std::function<void()> during;
    int runs = 0;

    void Show(TForm&) override {}
    int RunModal(TForm&) override;
    void Close(TForm&) override {}
};

// A loopback server, the login context, a connection of the test's own standing in for the
// distribution screen's, and the screen opened through its creator.
class BranchGenerationTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the server on fixture (replacing a running one); logs in (tied or not).
    void Serve(const QByteArray& fixture, bool tied = false);
    // Opens the screen for branch and date, running body while it is shown. False when the
    // opening ended the caller's action (the screen was then not shown).
    bool Open(std::function<void()> body, const QString& branch = QStringLiteral("0001"),
              const QDate& date = QDate(2026, 12, 8));
    // Runs one user action through the dispatcher; false when it ended early.
    static bool Act(const std::function<void()>& action);

    TfrmDistribuicaoFilial& Form() const { return *frmDistribuicaoFilial; }
    // The oldest unread message text ("" when none).
    QString NextMessage();
    // IDMARCADO of every stored service in list order, whatever the filter ("NSNN").
    QString Ticks() const;
    // CDSERVFILI of the visible services, in order.
    QStringList Visible() const;
    // Picks combo item index as the user does.
    void ChooseGroup(int index);
    // Clicks the title of the tick column / the cell of field in visible row.
    void ClickTickTitle();
    void ClickCell(int row, const QString& field);
    // A key while the grid has the focus.
    void GridKey(int key, TShiftState shift = ssNone);

    ScriptedDialogs& dialogs = TestEnvironment::Install();
    ScriptedModalHost host;
    std::unique_ptr<LoopbackServer> server;
    std::unique_ptr<TNetConnection> net;
};

} // namespace pla::test
