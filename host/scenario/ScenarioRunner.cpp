#include "host/scenario/ScenarioRunner.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cmath>

#include "framework/data/Abort.h"
#include "framework/data/ClientDataSet.h"
#include "framework/data/Field.h"
#include "framework/data/ScopeExit.h"
#include "framework/net/NetConnection.h"
#include "framework/net/RemoteCallLog.h"
#include "framework/services/ScriptedDialogs.h"
#include "framework/services/Zelvora.h"
#include "framework/ui/Dispatch.h"
#include "framework/ui/TButton.h"
#include "framework/ui/TCheckBox.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TCustomEdit.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TForm.h"
#include "framework/ui/TLabel.h"
#include "framework/ui/TMenuItem.h"
#include "host/scenario/FixtureServer.h"
#include "host/scenario/KeyNames.h"
#include "host/scenario/ScenarioDemoServer.h"
#include "host/scenario/ScenarioModule.h"

namespace pla {

namespace {

const QString kGeneralDb = QStringLiteral("pla-scenario-geral");

bool ToInt(const QString& s, int& out) {
    bool ok = false;
    out = s.toInt(&ok);
    return ok;
}

} // namespace

ScenarioRunner::ScenarioRunner(const QString& scenarioFile, QTextStream& out,
                               ScenarioOptions options)
    : file_(scenarioFile), baseDir_(QFileInfo(scenarioFile).absoluteDir()), out_(out),
      options_(std::move(options)), dialogs_(std::make_unique<ScriptedDialogs>()),
      calls_(std::make_unique<RemoteCallLog>()) {
    SetDialogService(dialogs_.get());
    SetPrintOutput(&printing_);
    // Modules the screens hand over to (print) live beside the distribution module.
    if (!options_.moduleDir.isEmpty()) Zelvora::SetModuleFolder(options_.moduleDir);
    SetFormHost(this);
    SetErrorHandler([this](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const ScenarioFailure&) {
            throw;
        } catch (const UnexpectedDialog&) {
            throw;
        } catch (const std::exception& e) {
            // What the desktop shows for a failure nobody caught: an error box.
            dialogs_->MessageBox(QString::fromUtf8(e.what()), MsgDlgType::Error, mbOK);
        }
    });
    callObserver_ = TNetConnection::AddGlobalCallObserver(
        [this](const QString& method, const QJsonArray& params) { calls_->Record(method, params); });
}

ScenarioRunner::~ScenarioRunner() {
    try {
        CloseScreen();
    } catch (...) {
    }
    module_.reset();
    TNetConnection::RemoveGlobalCallObserver(callObserver_);
    SetErrorHandler({});
    SetFormHost(nullptr);
    SetPrintOutput(nullptr);
    SetDialogService(nullptr);
    fixture_.reset();
    demo_.reset();
    if (QSqlDatabase::contains(kGeneralDb)) QSqlDatabase::removeDatabase(kGeneralDb);
}

int ScenarioRunner::Run() {
    QFile f(file_);
    if (!f.open(QIODevice::ReadOnly)) {
        out_ << file_ << ": não foi possível ler o arquivo\n";
        return 1;
    }
    int index = 0;
    try {
        lines_ = ScenarioScript::Parse(QString::fromUtf8(f.readAll()), file_);
        RunLines(lines_, index);
    } catch (const ScenarioSyntaxError& e) {
        out_ << e.Message() << '\n';
        return 1;
    } catch (const ScenarioFailure& e) {
        out_ << file_ << ':' << lineNumber_ << ": FALHOU: " << e.Reason() << '\n';
        return 1;
    } catch (const UnexpectedDialog& e) {
        out_ << file_ << ':' << lineNumber_ << ": FALHOU: " << QString::fromUtf8(e.what()) << '\n';
        return 1;
    } catch (const std::exception& e) {
        out_ << file_ << ':' << lineNumber_ << ": FALHOU: " << QString::fromUtf8(e.what()) << '\n';
        return 1;
    }
    out_ << file_ << ": ok (" << lines_.size() << " linhas)\n";
    return 0;
}

void ScenarioRunner::RunLines(const QVector<ScenarioLine>& lines, int& index) {
    for (; index < lines.size(); ++index) {
        const ScenarioLine& line = lines.at(index);
        if (line.Command() == QLatin1String("end"))
            return;
        out_ << QStringLiteral("%1: %2\n").arg(line.number, 4).arg(line.text);
        out_.flush();
        lineNumber_ = line.number;
        Execute(lines, index);
        CheckUnforeseenDialogs();
    }
}

void ScenarioRunner::CheckUnforeseenDialogs() {
    // A screen may catch what the scripted dialogs throw for an unforeseen question; the
    // dialogs keep it, so the session still fails on the line that caused it.
    const QStringList& failures = dialogs_->Failures();
    if (failures.size() > failuresSeen_) {
        failuresSeen_ = failures.size();
        throw ScenarioFailure(failures.last());
    }
}

// ---------------------------------------------------------------------------------------
// Forms

void ScenarioRunner::Show(TForm&) {}

void ScenarioRunner::Close(TForm&) {}

int ScenarioRunner::RunModal(TForm& form) {
    if (dialogBlocks_.empty())
        throw ScenarioFailure(
            QStringLiteral("o diálogo %1 abriu sem um bloco dialog … end no roteiro").arg(form.Name()));
    const QVector<ScenarioLine> block = dialogBlocks_.front();
    dialogBlocks_.pop_front();
    out_ << QStringLiteral("      diálogo %1 aberto\n").arg(form.Name());
    modalForms_.push_back(&form);
    const ScopeExit pop([this] { modalForms_.pop_back(); });
    // Every line of the block runs: those after the one that closes the dialog too, with the
    // result already set and names still on the dialog, before control returns to the screen.
    const int openingLine = lineNumber_;
    for (int index = 0; index < block.size(); ++index) {
        const ScenarioLine& line = block.at(index);
        out_ << QStringLiteral("%1: %2\n").arg(line.number, 4).arg(line.text);
        lineNumber_ = line.number;
        Execute(block, index);
        CheckUnforeseenDialogs();
    }
    // A failure further on belongs to the line that opened the dialog again.
    lineNumber_ = openingLine;
    if (form.ModalResult() == mrNone) {
        out_ << QStringLiteral("      diálogo %1 fechado pelo fim do bloco\n").arg(form.Name());
        return mrCancel;
    }
    return form.ModalResult();
}

TForm* ScenarioRunner::Screen() const { return module_ ? module_->Screen() : nullptr; }

TForm& ScenarioRunner::CurrentForm() const {
    if (!modalForms_.empty()) return *modalForms_.back();
    TForm* screen = Screen();
    if (!screen) throw ScenarioFailure(QStringLiteral("nenhuma tela aberta (falta \"open\")"));
    return *screen;
}

void ScenarioRunner::Need(const ScenarioLine& line, int count) const {
    if (line.words.size() < count + 1)
        throw ScenarioFailure(QStringLiteral("\"%1\" precisa de %2 argumento(s)")
                                  .arg(line.Command())
                                  .arg(count));
}

TComponent& ScenarioRunner::Control(const ScenarioLine& line, int arg) const {
    Need(line, arg);
    const QString name = line.words.at(arg);
    TForm& form = CurrentForm();
    TComponent* c = form.Name().compare(name, Qt::CaseInsensitive) == 0
                        ? &form
                        : form.FindComponentDeep(name);
    if (!c)
        throw ScenarioFailure(QStringLiteral("o controle %1 não existe em %2").arg(name, form.Name()));
    return *c;
}

template <class T>
T& ScenarioRunner::ControlAs(const ScenarioLine& line, int arg, const char* kind) const {
    TComponent& c = Control(line, arg);
    T* t = dynamic_cast<T*>(&c);
    if (!t)
        throw ScenarioFailure(
            QStringLiteral("%1 não é %2").arg(c.Name(), QString::fromUtf8(kind)));
    return *t;
}

TClientDataSet& ScenarioRunner::DataSet(const QString& name) const {
    TForm& form = CurrentForm();
    TClientDataSet* ds = form.FindDataSet(name);
    if (!ds && &form != Screen() && Screen()) ds = Screen()->FindDataSet(name);
    if (!ds)
        throw ScenarioFailure(QStringLiteral("o dataset %1 não existe em %2").arg(name, form.Name()));
    return *ds;
}

TField& ScenarioRunner::FieldRef(const QString& dotted) const {
    const int dot = dotted.indexOf(QLatin1Char('.'));
    if (dot <= 0) throw ScenarioFailure(QStringLiteral("use DATASET.CAMPO em vez de \"%1\"").arg(dotted));
    TClientDataSet& ds = DataSet(dotted.left(dot));
    TField* f = ds.FindField(dotted.mid(dot + 1));
    if (!f)
        throw ScenarioFailure(
            QStringLiteral("o campo %1 não existe em %2").arg(dotted.mid(dot + 1), ds.Name()));
    return *f;
}

QString ScenarioRunner::ControlText(TComponent& c) const {
    if (auto* e = dynamic_cast<TCustomEdit*>(&c)) return e->Text();
    if (auto* cb = dynamic_cast<TComboBox*>(&c)) return cb->Text();
    if (auto* m = dynamic_cast<TMenuItem*>(&c)) return m->Caption();
    if (auto* g = dynamic_cast<TDBGrid*>(&c)) return g->EditorText();
    if (auto* ctl = dynamic_cast<TControl*>(&c)) return ctl->Caption();
    return {};
}

// ---------------------------------------------------------------------------------------
// Actions

void ScenarioRunner::UserAction(const std::function<void()>& action) { Dispatch(action); }

void ScenarioRunner::PrepareGeneralDatabase() {
    if (generalDbReady_) return;
    QSqlDatabase db;
    if (demo_) {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kGeneralDb);
        db.setDatabaseName(demo_->DatabaseFile());
        if (!db.open()) throw ScenarioFailure(db.lastError().text());
    } else {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kGeneralDb);
        db.setDatabaseName(QStringLiteral(":memory:"));
        if (!db.open()) throw ScenarioFailure(db.lastError().text());
        QSqlQuery q(db);
        q.exec(QStringLiteral(
            "CREATE TABLE FILIAL (CDFILIAL VARCHAR(4) PRIMARY KEY, NMFILIAL VARCHAR(30), "
            "IDCNTRRESC VARCHAR(1), CDFILCENTPME VARCHAR(4), IDFILCENTPME VARCHAR(1))"));
        if (fixture_) {
            for (const QJsonValue& row : fixture_->Branches()) {
                const QJsonArray r = row.toArray();
                QSqlQuery ins(db);
                ins.prepare(QStringLiteral("INSERT INTO FILIAL (CDFILIAL, NMFILIAL) VALUES (?, ?)"));
                ins.addBindValue(r.at(0).toString());
                ins.addBindValue(r.at(1).toString());
                if (!ins.exec()) throw ScenarioFailure(ins.lastError().text());
            }
        }
    }
    Zelvora::SetDatabaseConnectionName(kGeneralDb);
    generalDbReady_ = true;
}

void ScenarioRunner::EnsureConnectionTarget() {
    if (wantDemo_ && !demo_) demo_ = std::make_unique<ScenarioDemoServer>(today_);
    int port = 0;
    if (fixture_) port = fixture_->Port();
    else if (demo_) port = demo_->Port();
    else throw ScenarioFailure(QStringLiteral("falta \"fixture ARQUIVO\" ou \"server demo\" antes de \"open\""));
    Zelvora::WebURL = QStringLiteral("127.0.0.1");
    Zelvora::WebPort = port;
}

void ScenarioRunner::Open() {
    if (!module_) {
        EnsureConnectionTarget();
        PrepareGeneralDatabase();
        Zelvora::FiliProc = branch_;
        Zelvora::ModuFili = tied_;
        Zelvora::SetToday(today_.isValid() ? today_ : QDate::currentDate());
        module_ = std::make_unique<ScenarioModule>(options_.moduleDir);
    }
    UserAction([this] { module_->IniProc(); });
}

void ScenarioRunner::CloseScreen() {
    if (module_) module_->DestroyScreen();
}

void ScenarioRunner::Execute(const QVector<ScenarioLine>& lines, int& index) {
    const ScenarioLine& line = lines.at(index);
    const QString cmd = line.Command();

    if (cmd == QLatin1String("fixture")) {
        Need(line, 1);
        QFile f(baseDir_.filePath(line.words.at(1)));
        if (!f.open(QIODevice::ReadOnly))
            throw ScenarioFailure(QStringLiteral("fixture %1 não encontrado").arg(f.fileName()));
        try {
            fixture_ = std::make_unique<FixtureServer>(f.readAll());
        } catch (const std::runtime_error& e) {
            throw ScenarioFailure(
                QStringLiteral("fixture %1: %2").arg(f.fileName(), QString::fromUtf8(e.what())));
        }
        fixture_->Start();
        return;
    }
    if (cmd == QLatin1String("server")) {
        Need(line, 1);
        if (line.words.at(1) != QLatin1String("demo"))
            throw ScenarioFailure(QStringLiteral("só \"server demo\" é conhecido"));
        // Started at "open", so a "today" written after this line still shapes the demo menus.
        wantDemo_ = true;
        return;
    }
    if (cmd == QLatin1String("login")) {
        Need(line, 1);
        branch_ = line.words.at(1);
        tied_ = line.words.size() > 2 && line.words.at(2) == QLatin1String("tied");
        return;
    }
    if (cmd == QLatin1String("today")) {
        Need(line, 1);
        today_ = QDate::fromString(line.words.at(1), Qt::ISODate);
        if (!today_.isValid()) throw ScenarioFailure(QStringLiteral("data inválida: %1").arg(line.words.at(1)));
        Zelvora::SetToday(today_);
        return;
    }
    if (cmd == QLatin1String("open")) {
        Open();
        return;
    }
    if (cmd == QLatin1String("close")) {
        CloseScreen();
        return;
    }
    if (cmd == QLatin1String("dialog")) {
        QVector<ScenarioLine> block;
        int depth = 0;
        for (++index; index < lines.size(); ++index) {
            const QString c = lines.at(index).Command();
            if (c == QLatin1String("dialog")) ++depth;
            if (c == QLatin1String("end") && depth-- == 0) break;
            block << lines.at(index);
        }
        if (index >= lines.size()) throw ScenarioFailure(QStringLiteral("\"dialog\" sem \"end\""));
        dialogBlocks_.push_back(block);
        return;
    }
    if (cmd == QLatin1String("end")) return;
    if (cmd == QLatin1String("answer")) {
        Need(line, 1);
        const auto answer = ScriptedDialogs::ParseAnswer(line.words.at(1));
        if (!answer) throw ScenarioFailure(QStringLiteral("resposta desconhecida: %1").arg(line.words.at(1)));
        dialogs_->QueueAnswer(*answer);
        return;
    }
    if (cmd == QLatin1String("pick")) {
        Need(line, 1);
        int n = 0;
        if (line.words.at(1) == QLatin1String("none")) dialogs_->QueuePickNone();
        else if (ToInt(line.words.at(1), n) && n >= 1) dialogs_->QueuePick(n);
        else throw ScenarioFailure(QStringLiteral("pick N (a partir de 1) ou pick none"));
        return;
    }
    if (cmd == QLatin1String("focus")) {
        auto& c = ControlAs<TWinControl>(line, 1, "um controle que recebe foco");
        if (!c.CanFocus()) throw ScenarioFailure(QStringLiteral("%1 não pode receber o foco").arg(c.Name()));
        UserAction([&] { CurrentForm().FocusControl(&c); });
        return;
    }
    if (cmd == QLatin1String("type")) {
        Need(line, 2);
        auto& c = ControlAs<TWinControl>(line, 1, "um controle de edição");
        const QString text = line.RestAfter(2);
        if (!c.CanFocus()) throw ScenarioFailure(QStringLiteral("%1 está desabilitado").arg(c.Name()));
        TForm& form = CurrentForm();
        UserAction([&] {
            if (form.ActiveControl() != &c) form.FocusControl(&c);
        });
        for (QChar ch : text) {
            if (form.ActiveControl() != &c) break; // a handler moved the focus away
            UserAction([&] { form.DeliverChar(ch); });
        }
        return;
    }
    if (cmd == QLatin1String("clear")) {
        auto& c = ControlAs<TCustomEdit>(line, 1, "um campo de texto");
        if (!c.CanFocus()) throw ScenarioFailure(QStringLiteral("%1 está desabilitado").arg(c.Name()));
        TForm& form = CurrentForm();
        UserAction([&] {
            if (form.ActiveControl() != &c) form.FocusControl(&c);
        });
        UserAction([&] { c.UserClear(); });
        return;
    }
    if (cmd == QLatin1String("key")) {
        Need(line, 2);
        auto& c = ControlAs<TWinControl>(line, 1, "um controle que recebe teclas");
        int key = 0;
        TShiftState shift = ssNone;
        if (!ParseKeyName(line.words.at(2), key, shift))
            throw ScenarioFailure(QStringLiteral("tecla desconhecida: %1").arg(line.words.at(2)));
        TForm& form = CurrentForm();
        if (form.ActiveControl() != &c) {
            if (!c.CanFocus()) throw ScenarioFailure(QStringLiteral("%1 não pode receber o foco").arg(c.Name()));
            UserAction([&] { form.FocusControl(&c); });
        }
        UserAction([&] { form.DeliverKey(key, shift); });
        return;
    }
    if (cmd == QLatin1String("click")) {
        TComponent& c = Control(line, 1);
        if (auto* item = dynamic_cast<TMenuItem*>(&c)) {
            if (!item->IsEnabledInTree())
                throw ScenarioFailure(QStringLiteral("%1 está desabilitado").arg(c.Name()));
            UserAction([&] { item->Click(); });
            return;
        }
        auto* ctl = dynamic_cast<TControl*>(&c);
        if (!ctl) throw ScenarioFailure(QStringLiteral("%1 não pode ser clicado").arg(c.Name()));
        if (!ctl->IsEnabledInTree() || !ctl->IsVisibleInTree())
            throw ScenarioFailure(QStringLiteral("%1 está desabilitado").arg(c.Name()));
        UserAction([&] { ctl->UserClick(); });
        return;
    }
    if (cmd == QLatin1String("choose")) {
        Need(line, 2);
        auto& combo = ControlAs<TComboBox>(line, 1, "uma caixa de seleção");
        if (!combo.IsEnabledInTree())
            throw ScenarioFailure(QStringLiteral("%1 está desabilitado").arg(combo.Name()));
        int n = 0;
        const bool byIndex = line.quoted.at(2) == QLatin1String("0") && ToInt(line.words.at(2), n);
        const int target = byIndex ? n : combo.IndexOf(line.RestAfter(2));
        if (target < 0 || target >= combo.Count())
            throw ScenarioFailure(
                QStringLiteral("%1 não tem o item %2").arg(combo.Name(), line.RestAfter(2)));
        UserAction([&] { combo.UserSelect(target); });
        return;
    }
    if (cmd == QLatin1String("row") || cmd == QLatin1String("column") || cmd == QLatin1String("cell") ||
        cmd == QLatin1String("title") || cmd == QLatin1String("editbutton")) {
        ExecuteGrid(line);
        return;
    }
    if (cmd == QLatin1String("expect")) {
        ExecuteExpect(line);
        return;
    }
    if (cmd == QLatin1String("reset")) {
        calls_->Reset();
        return;
    }
    if (cmd == QLatin1String("dump")) {
        Need(line, 1);
        if (line.words.at(1) == QLatin1String("calls")) {
            Need(line, 2);
            for (const QJsonArray& p : calls_->Params(line.words.at(2)))
                out_ << "      " << QString::fromUtf8(QJsonDocument(p).toJson(QJsonDocument::Compact)) << '\n';
            return;
        }
        TClientDataSet& ds = DataSet(line.words.at(1));
        QStringList names;
        for (int i = 0; i < ds.FieldCount(); ++i) names << ds.Fields(i).FieldName();
        out_ << "      " << names.join(QLatin1String(" | ")) << '\n';
        for (int r = 0; r < ds.RecordCount(); ++r) {
            QStringList cells;
            for (int i = 0; i < ds.FieldCount(); ++i) cells << ds.VisibleDisplayText(r, i);
            out_ << "      " << cells.join(QLatin1String(" | ")) << '\n';
        }
        return;
    }
    throw ScenarioFailure(QStringLiteral("comando desconhecido: %1").arg(cmd));
}

void ScenarioRunner::ExecuteGrid(const ScenarioLine& line) {
    const QString cmd = line.Command();
    auto& grid = ControlAs<TDBGrid>(line, 1, "uma grade");
    if (!grid.IsEnabledInTree())
        throw ScenarioFailure(QStringLiteral("%1 está desabilitada").arg(grid.Name()));
    TForm& form = CurrentForm();
    UserAction([&] {
        if (form.ActiveControl() != &grid) form.FocusControl(&grid);
    });
    auto columnOf = [&](const QString& field) {
        const int col = grid.ColumnOf(field);
        if (col < 0)
            throw ScenarioFailure(QStringLiteral("%1 não tem coluna %2").arg(grid.Name(), field));
        return col;
    };
    auto rowOf = [&](const QString& text) {
        int n = 0;
        if (!ToInt(text, n) || n < 1 || n > grid.RowCount())
            throw ScenarioFailure(QStringLiteral("%1 não tem a linha %2 (tem %3)")
                                      .arg(grid.Name(), text)
                                      .arg(grid.RowCount()));
        return n - 1;
    };
    if (cmd == QLatin1String("row")) {
        Need(line, 2);
        const int row = rowOf(line.words.at(2));
        UserAction([&] { grid.UserSelectRow(row); });
    } else if (cmd == QLatin1String("column")) {
        Need(line, 2);
        const int col = columnOf(line.words.at(2));
        UserAction([&] { grid.UserSelectColumn(grid.Column(col).FieldName()); });
    } else if (cmd == QLatin1String("cell")) {
        Need(line, 3);
        const int row = rowOf(line.words.at(2));
        const int col = columnOf(line.words.at(3));
        UserAction([&] { grid.UserClickCell(row, col); });
    } else if (cmd == QLatin1String("title")) {
        Need(line, 2);
        const int col = columnOf(line.words.at(2));
        UserAction([&] { grid.UserClickTitle(col); });
    } else {
        UserAction([&] { grid.UserClickEditButton(); });
    }
}

void ScenarioRunner::ExecuteExpect(const ScenarioLine& line) {
    Need(line, 1);
    const QString what = line.words.at(1);
    if (what == QLatin1String("message") || what == QLatin1String("no")) {
        if (what == QLatin1String("no")) {
            if (dialogs_->UncheckedCount() > 0)
                throw ScenarioFailure(QStringLiteral("mensagem não conferida: \"%1\"")
                                          .arg(dialogs_->TakeMessage()->text));
            return;
        }
        const QString expected = line.RestAfter(2);
        const auto seen = dialogs_->TakeMessage();
        if (!seen)
            throw ScenarioFailure(QStringLiteral("esperava a mensagem \"%1\", nenhuma foi mostrada").arg(expected));
        if (seen->text != expected)
            throw ScenarioFailure(QStringLiteral("esperava a mensagem \"%1\", veio \"%2\"").arg(expected, seen->text));
        return;
    }
    if (what == QLatin1String("enabled") || what == QLatin1String("disabled") ||
        what == QLatin1String("visible") || what == QLatin1String("hidden")) {
        Need(line, 2);
        for (int i = 2; i < line.words.size(); ++i) {
            TComponent& c = Control(line, i);
            bool state = false;
            if (auto* item = dynamic_cast<TMenuItem*>(&c))
                state = what.endsWith(QLatin1String("abled")) ? item->Enabled() : item->Visible();
            else if (auto* ctl = dynamic_cast<TControl*>(&c))
                state = what.endsWith(QLatin1String("abled")) ? ctl->Enabled() : ctl->Visible();
            else
                throw ScenarioFailure(QStringLiteral("%1 não é um controle").arg(c.Name()));
            const bool want = what == QLatin1String("enabled") || what == QLatin1String("visible");
            if (state != want)
                throw ScenarioFailure(QStringLiteral("%1 não está %2").arg(c.Name(), what == QLatin1String("enabled") ? QStringLiteral("habilitado")
                                                                              : what == QLatin1String("disabled") ? QStringLiteral("desabilitado")
                                                                              : what == QLatin1String("visible")  ? QStringLiteral("visível")
                                                                                                                  : QStringLiteral("oculto")));
        }
        return;
    }
    if (what == QLatin1String("text")) {
        TComponent& c = Control(line, 2);
        const QString expected = line.words.size() > 3 ? line.RestAfter(3) : QString();
        const QString seen = ControlText(c);
        if (seen != expected)
            throw ScenarioFailure(QStringLiteral("%1 mostra \"%2\", esperava \"%3\"").arg(c.Name(), seen, expected));
        return;
    }
    if (what == QLatin1String("focus")) {
        TComponent& c = Control(line, 2);
        TWinControl* active = CurrentForm().ActiveControl();
        if (active != &c)
            throw ScenarioFailure(QStringLiteral("o foco está em %1, esperava %2")
                                      .arg(active ? active->Name() : QStringLiteral("(nenhum)"), c.Name()));
        return;
    }
    if (what == QLatin1String("items")) {
        auto& combo = ControlAs<TComboBox>(line, 2, "uma caixa de seleção");
        const QStringList expected = line.words.mid(3);
        if (combo.Items() != expected)
            throw ScenarioFailure(QStringLiteral("%1 tem os itens [%2], esperava [%3]")
                                      .arg(combo.Name(), combo.Items().join(QLatin1String(", ")),
                                           expected.join(QLatin1String(", "))));
        return;
    }
    if (what == QLatin1String("value") || what == QLatin1String("display")) {
        Need(line, 3);
        TField& f = FieldRef(line.words.at(2));
        if (f.DataSet().IsEmpty())
            throw ScenarioFailure(QStringLiteral("%1 está vazio").arg(f.DataSet().Name()));
        const QString expected = line.RestAfter(3);
        if (what == QLatin1String("display")) {
            const QString seen = f.DisplayText();
            if (seen != expected)
                throw ScenarioFailure(QStringLiteral("%1 mostra \"%2\", esperava \"%3\"").arg(line.words.at(2), seen, expected));
            return;
        }
        if (expected == QLatin1String("null") && line.quoted.at(3) == QLatin1String("0")) {
            if (!f.IsNull())
                throw ScenarioFailure(QStringLiteral("%1 vale \"%2\", esperava null").arg(line.words.at(2), f.AsString()));
            return;
        }
        if (f.DataType() == TFieldType::Float || f.DataType() == TFieldType::Integer) {
            bool ok = false;
            const double want = expected.toDouble(&ok);
            if (!ok) throw ScenarioFailure(QStringLiteral("valor numérico inválido: %1").arg(expected));
            if (f.IsNull() || std::fabs(f.AsFloat() - want) > 1e-9)
                throw ScenarioFailure(QStringLiteral("%1 vale %2, esperava %3")
                                          .arg(line.words.at(2), f.IsNull() ? QStringLiteral("null") : QString::number(f.AsFloat(), 'g', 17), expected));
            return;
        }
        if (f.IsNull() || f.AsString() != expected)
            throw ScenarioFailure(QStringLiteral("%1 vale \"%2\", esperava \"%3\"")
                                      .arg(line.words.at(2), f.IsNull() ? QStringLiteral("null") : f.AsString(), expected));
        return;
    }
    if (what == QLatin1String("count") || what == QLatin1String("total")) {
        Need(line, 3);
        TClientDataSet& ds = DataSet(line.words.at(2));
        int want = 0;
        if (!ToInt(line.words.at(3), want)) throw ScenarioFailure(QStringLiteral("número inválido: %1").arg(line.words.at(3)));
        const int seen = what == QLatin1String("count") ? ds.RecordCount() : ds.Data().Rows.size();
        if (seen != want)
            throw ScenarioFailure(QStringLiteral("%1 tem %2 registro(s) %3, esperava %4")
                                      .arg(ds.Name()).arg(seen)
                                      .arg(what == QLatin1String("count") ? QStringLiteral("visíveis") : QStringLiteral("no total"))
                                      .arg(want));
        return;
    }
    if (what == QLatin1String("state")) {
        Need(line, 3);
        TClientDataSet& ds = DataSet(line.words.at(2));
        static const char* names[] = {"inactive", "browse", "edit", "insert"};
        const QString seen = QString::fromLatin1(names[static_cast<int>(ds.State())]);
        if (seen != line.words.at(3))
            throw ScenarioFailure(QStringLiteral("%1 está em %2, esperava %3").arg(ds.Name(), seen, line.words.at(3)));
        return;
    }
    if (what == QLatin1String("calls")) {
        Need(line, 3);
        int want = 0;
        if (!ToInt(line.words.at(3), want)) throw ScenarioFailure(QStringLiteral("número inválido: %1").arg(line.words.at(3)));
        const int seen = calls_->Count(line.words.at(2));
        if (seen != want)
            throw ScenarioFailure(QStringLiteral("%1 foi chamado %2 vez(es), esperava %3").arg(line.words.at(2)).arg(seen).arg(want));
        return;
    }
    throw ScenarioFailure(QStringLiteral("expect desconhecido: %1").arg(what));
}

} // namespace pla
