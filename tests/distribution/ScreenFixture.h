#pragma once

#include "distribution/DistEmbCard.h"
#include "tests/remote/LoopbackServer.h"
#include "tests/remote/TestEnvironment.h"

#include <gtest/gtest.h>
#include <memory>

namespace pla::test {

// The fixture the screen tests share: branch 0001 and 0002 registered, two service groups
// (one with a quote in its code), three services of branch 0001 on 2026-12-08, two delivery
// points and a distribution with two packagings.
QByteArray StandardFixture();

// A running loopback server, the login context and the screen, created and shown.
class ScreenTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the server on fixture (replacing a running one) and logs in.
    void Serve(const QByteArray& fixture, const QString& branch = QStringLiteral("0001"),
               bool tied = false);
    // Builds the screen and runs its creation sequence; false when it stopped at a step.
    bool Create();
    // Creates and shows; the focus is on the first control of the tab order.
    void Open();
    // Leaves the branch and date panel for the service list (loads the services).
    void EnterServiceList();
    // The oldest unread message text ("" when none).
    QString NextMessage();

    ScriptedDialogs& dialogs = TestEnvironment::Install();
    std::unique_ptr<LoopbackServer> server;
    TfrmDistEmbCard* screen = nullptr;
};

} // namespace pla::test
