#pragma once

#include <QDate>
#include <QDir>
#include <QString>
#include <QTextStream>
#include <QVector>

#include <deque>
#include <memory>
#include <stdexcept>
#include <vector>

#include "framework/print/RecordedPrintOutput.h"
#include "framework/ui/FormHost.h"
#include "host/scenario/ScenarioScript.h"

class TForm;
class TComponent;
class TClientDataSet;
class TField;

namespace pla {

class FixtureServer;
class ScriptedDialogs;
class RemoteCallLog;
class ScenarioModule;
class ScenarioDemoServer;

// A scenario line that did not hold: the runner stops at the first one.
class ScenarioFailure : public std::runtime_error {
public:
    explicit ScenarioFailure(const QString& reason)
        : std::runtime_error(reason.toStdString()), reason_(reason) {}
    QString Reason() const { return reason_; }

private:
    QString reason_;
};

// Where the runner finds what it loads.
struct ScenarioOptions {
    QString moduleDir; // folder holding libPkg_PLA15400.so
};

// Runs a scripted user session on the headless screens: the module is loaded through its
// exported entries, dialogs are answered from the script, and remote calls go over a real
// loopback connection to a fixture server or the reference server. Prints a transcript.
class ScenarioRunner : private FormHost {
public:
    ScenarioRunner(const QString& scenarioFile, QTextStream& out, ScenarioOptions options);
    ~ScenarioRunner() override;

    // Runs every line; 0 when all held, 1 at the first failure (reported with its line).
    int Run();

private:
    // FormHost: modal forms run the next queued dialog block.
    void Show(TForm& form) override;
    int RunModal(TForm& form) override;
    void Close(TForm& form) override;

    void RunLines(const QVector<ScenarioLine>& lines, int& index);
    void Execute(const QVector<ScenarioLine>& lines, int& index);
    void ExecuteExpect(const ScenarioLine& line);
    void ExecuteGrid(const ScenarioLine& line);
    void CheckUnforeseenDialogs();

    // Runs one user action the way the event loop does: the silent abort ends it quietly,
    // other failures of the screen become an error box; scenario failures go on.
    void UserAction(const std::function<void()>& action);

    void Open();
    void CloseScreen();
    void EnsureConnectionTarget();
    void PrepareGeneralDatabase();

    TForm& CurrentForm() const;
    TForm* Screen() const;
    TComponent& Control(const ScenarioLine& line, int arg) const;
    template <class T> T& ControlAs(const ScenarioLine& line, int arg, const char* kind) const;
    TClientDataSet& DataSet(const QString& name) const;
    TField& FieldRef(const QString& dottedName) const;
    void Need(const ScenarioLine& line, int count) const;
    QString ControlText(TComponent& c) const;

    QString file_;
    QDir baseDir_;
    QTextStream& out_;
    ScenarioOptions options_;
    QVector<ScenarioLine> lines_;

    std::unique_ptr<ScriptedDialogs> dialogs_;
    RecordedPrintOutput printing_; // what the print module was asked to output
    std::unique_ptr<RemoteCallLog> calls_;
    int callObserver_ = 0;
    std::unique_ptr<FixtureServer> fixture_;
    std::unique_ptr<ScenarioDemoServer> demo_;
    std::unique_ptr<ScenarioModule> module_;
    std::deque<QVector<ScenarioLine>> dialogBlocks_;
    std::vector<TForm*> modalForms_;

    QString branch_;
    bool tied_ = false;
    QDate today_;
    bool generalDbReady_ = false;
    bool wantDemo_ = false;
    qsizetype failuresSeen_ = 0;
    int lineNumber_ = 0; // of the line running now, inside a dialog block too
};

} // namespace pla
