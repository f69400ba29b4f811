#include "framework/services/ScriptedDialogs.h"

#include "framework/data/ClientDataSet.h"
#include "framework/data/DataSource.h"
#include "framework/ui/ModalResult.h"

namespace pla {

namespace {

QString ButtonsText(MsgDlgButtons b) {
    QStringList names;
    if (b & mbOK) names << QStringLiteral("OK");
    if (b & mbCancel) names << QStringLiteral("Cancel");
    if (b & mbYes) names << QStringLiteral("Yes");
    if (b & mbNo) names << QStringLiteral("No");
    return names.join(QLatin1Char('/'));
}

// A copy that owns its characters: a text built from a literal inside a module package
// points into that library and would dangle once the module is unloaded.
QString Owned(const QString& text) {
    return QString(text.unicode(), text.size());
}

} // namespace

UnexpectedDialog::UnexpectedDialog(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message) {}

std::optional<ScriptedDialogs::Answer> ScriptedDialogs::ParseAnswer(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("ok")) return Answer::OK;
    if (t == QLatin1String("cancel")) return Answer::Cancel;
    if (t == QLatin1String("yes")) return Answer::Yes;
    if (t == QLatin1String("no")) return Answer::No;
    return std::nullopt;
}

void ScriptedDialogs::QueueAnswer(Answer answer) {
    answers_.enqueue(answer);
}

void ScriptedDialogs::QueuePick(int row) {
    picks_.enqueue(row);
}

void ScriptedDialogs::QueuePickNone() {
    picks_.enqueue(0);
}

void ScriptedDialogs::QueueFind(const QString& field, const QVariant& value) {
    finds_.enqueue({field, value});
}

void ScriptedDialogs::Fail(const QString& message) {
    failures_ << message;
    throw UnexpectedDialog(message);
}

int ScriptedDialogs::MessageBox(const QString& text, MsgDlgType type, MsgDlgButtons buttons) {
    messages_.push_back({type, Owned(text), buttons});
    if (buttons == mbOK || buttons == 0) return mrOk;
    if (answers_.isEmpty())
        Fail(QStringLiteral("pergunta sem resposta no roteiro (%1): \"%2\"")
                 .arg(ButtonsText(buttons), text));
    const Answer a = answers_.dequeue();
    struct Map {
        Answer answer;
        MsgDlgButtons button;
        int result;
    };
    static const Map map[] = {{Answer::OK, mbOK, mrOk},
                              {Answer::Cancel, mbCancel, mrCancel},
                              {Answer::Yes, mbYes, mrYes},
                              {Answer::No, mbNo, mrNo}};
    for (const Map& m : map)
        if (m.answer == a) {
            if (!(buttons & m.button))
                Fail(QStringLiteral("a resposta do roteiro %1 não é um botão da pergunta (%2): "
                                    "\"%3\"")
                         .arg(ButtonsText(m.button), ButtonsText(buttons), text));
            return m.result;
        }
    return mrNone;
}

std::optional<ScriptedDialogs::Message> ScriptedDialogs::TakeMessage() {
    if (checked_ >= messages_.size()) return std::nullopt;
    return messages_[checked_++];
}

bool ScriptedDialogs::PickList(TDataSource& source, const QString& caption) {
    pickCaptions_ << Owned(caption);
    if (picks_.isEmpty())
        Fail(QStringLiteral("lista de seleção sem escolha no roteiro: \"%1\"").arg(caption));
    const int row = picks_.dequeue();
    if (row == 0) return false;
    TClientDataSet* ds = source.DataSet();
    const int count = ds && ds->Active() ? ds->RecordCount() : 0;
    if (row < 0 || row > count)
        Fail(QStringLiteral("a lista de seleção \"%1\" tem %2 linhas; o roteiro escolheu a %3")
                 .arg(caption)
                 .arg(count)
                 .arg(row));
    ds->SetRecNo(row);
    return true;
}

void ScriptedDialogs::Find(TClientDataSet& dataSet) {
    ++findCount_;
    if (finds_.isEmpty()) return;
    const auto [field, value] = finds_.dequeue();
    dataSet.Locate(field, value);
}

void ScriptedDialogs::BusyBegin(int /*kind*/) {
    if (busyDepth_++ == 0) ++busyShown_;
}

void ScriptedDialogs::BusyEnd() {
    if (busyDepth_ == 0) {
        ++busyUnbalanced_;
        return;
    }
    --busyDepth_;
}

void ScriptedDialogs::Reset() {
    *this = ScriptedDialogs();
}

} // namespace pla
