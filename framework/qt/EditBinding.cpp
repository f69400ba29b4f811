#include "framework/qt/EditBinding.h"

#include "framework/qt/FormRenderer.h"
#include "framework/ui/Colors.h"
#include "framework/ui/TCustomEdit.h"
#include "framework/ui/TDBMemo.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TForm.h"
#include "framework/ui/TMemo.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace pla {

namespace {

bool IsMultiline(TControl& c) {
    return dynamic_cast<TMemo*>(&c) != nullptr || dynamic_cast<TDBMemo*>(&c) != nullptr;
}

QWidget* MakeWidget(TControl& control, QWidget* parent) {
    if (IsMultiline(control)) {
        auto* memo = new QPlainTextEdit(parent);
        memo->setContextMenuPolicy(Qt::NoContextMenu);
        memo->setAcceptDrops(false);
        memo->setTabChangesFocus(true);
        return memo;
    }
    auto* edit = new QLineEdit(parent);
    edit->setContextMenuPolicy(Qt::NoContextMenu);
    edit->setDragEnabled(false);
    edit->setAcceptDrops(false);
    return edit;
}

} // namespace

EditBinding::EditBinding(FormRenderer& renderer, TControl& control, QWidget* parent)
    : ControlBinding(renderer, control, MakeWidget(control, parent)),
      multiline_(IsMultiline(control)) {
    widget_->setFocusPolicy(Qt::StrongFocus);
    if (auto* line = dynamic_cast<QLineEdit*>(widget_.data())) {
        QObject::connect(line, &QLineEdit::selectionChanged, &context_, [this] { UserSelected(); });
        QObject::connect(line, &QLineEdit::cursorPositionChanged, &context_,
                         [this] { UserSelected(); });
        QObject::connect(line, &QLineEdit::textChanged, &context_,
                         [this](const QString& text) { TextWritten(text); });
    } else if (auto* memo = dynamic_cast<QPlainTextEdit*>(widget_.data())) {
        renderer.WatchWidget(memo->viewport(), &control);
        QObject::connect(memo, &QPlainTextEdit::cursorPositionChanged, &context_,
                         [this] { UserSelected(); });
        QObject::connect(memo, &QPlainTextEdit::textChanged, &context_,
                         [this, memo] { TextWritten(memo->toPlainText()); });
    }
}

TCustomEdit& EditBinding::Edit() const {
    return static_cast<TCustomEdit&>(control_);
}

void EditBinding::SyncText() {
    const QString text = Edit().Text();
    if (auto* line = dynamic_cast<QLineEdit*>(widget_.data())) {
        if (line->text() != text) line->setText(text);
    } else if (auto* memo = dynamic_cast<QPlainTextEdit*>(widget_.data())) {
        // The model keeps line breaks as "\r\n" or "\n"; the widget shows plain lines.
        QString shown = text;
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (memo->toPlainText() != shown) memo->setPlainText(shown);
    }
    if (auto* date = dynamic_cast<TDateEditPlus*>(&control_)) {
        // A valid date is shown in blue.
        QPalette pal = widget_->palette();
        SetEnabledColor(pal, QPalette::Text,
                        date->GetDate().isValid() ? clBlue : control_.Font().Color);
        widget_->setPalette(pal);
    }
    SyncSelection();
}

void EditBinding::SyncSelection() {
    const int start = Edit().SelStart();
    const int length = Edit().SelLength();
    if (auto* line = dynamic_cast<QLineEdit*>(widget_.data())) {
        if (length > 0)
            line->setSelection(start, length);
        else
            line->setCursorPosition(start);
    } else if (auto* memo = dynamic_cast<QPlainTextEdit*>(widget_.data())) {
        // Positions in the model count "\r\n" as two characters; the widget as one.
        const QString text = Edit().Text();
        auto shownPos = [&](int pos) {
            return pos - static_cast<int>(text.left(pos).count(QStringLiteral("\r\n")));
        };
        QTextCursor cursor = memo->textCursor();
        cursor.setPosition(shownPos(start));
        if (length > 0) cursor.setPosition(shownPos(start + length), QTextCursor::KeepAnchor);
        memo->setTextCursor(cursor);
    }
}

void EditBinding::SyncAppearance() {
    ControlBinding::SyncAppearance();
    QPalette pal = widget_->palette();
    // A read-only edit shows the window's colour, as the desktop draws a text one cannot type
    // into.
    const bool readOnly = Edit().ReadOnly();
    SetEnabledColor(pal, QPalette::Base, readOnly ? pal.color(QPalette::Window) : control_.Color());
    widget_->setPalette(pal);
    if (auto* line = dynamic_cast<QLineEdit*>(widget_.data())) {
        line->setFrame(true);
        line->setReadOnly(readOnly);
    } else if (auto* memo = dynamic_cast<QPlainTextEdit*>(widget_.data())) {
        memo->setReadOnly(readOnly);
    }
    if (dynamic_cast<TDateEditPlus*>(&control_)) SyncText();
}

void EditBinding::TextWritten(const QString& text) {
    // Keys never reach the widget, so a change not made by this binding comes from outside:
    // it is the user's typing, with the field's rules and the edit mode it starts.
    if (Syncing() || !widget_) return;
    QString held = Edit().Text();
    held.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (text == held) return;
    TCustomEdit& edit = Edit();
    const QPointer<QWidget> widget = widget_;
    renderer_.UserFocused(edit);
    TForm* form = edit.ParentForm();
    if (form && form->ActiveControl() == &edit) {
        renderer_.RunAction([form, &edit, text] {
            if (!edit.UserClear()) return;
            for (QChar ch : text) {
                if (form->ActiveControl() != &edit) break;
                if (ch == QLatin1Char('\n')) ch = QChar(13);
                edit.KeyPress(ch);
            }
        });
    }
    // Whatever the rules let through is what the widget shows (the binding goes with its
    // widget when the action closed the form).
    if (widget) Sync(TChange::Text);
}

void EditBinding::UserSelected() {
    if (Syncing() || !widget_) return;
    if (auto* line = dynamic_cast<QLineEdit*>(widget_.data())) {
        if (line->text() != Edit().Text()) return;
        if (line->hasSelectedText())
            Edit().SetSelection(line->selectionStart(),
                                static_cast<int>(line->selectedText().size()));
        else
            Edit().SetSelection(line->cursorPosition(), 0);
    } else if (auto* memo = dynamic_cast<QPlainTextEdit*>(widget_.data())) {
        const QTextCursor cursor = memo->textCursor();
        const QString text = Edit().Text();
        // Back from widget positions to the model's, where a line break may be two chars.
        auto modelPos = [&](int shown) {
            int model = 0;
            for (int i = 0; i < shown && model < text.size(); ++i) {
                if (text.at(model) == QLatin1Char('\r') && model + 1 < text.size() &&
                    text.at(model + 1) == QLatin1Char('\n'))
                    ++model;
                ++model;
            }
            return model;
        };
        const int a = modelPos(cursor.selectionStart());
        const int b = modelPos(cursor.selectionEnd());
        Edit().SetSelection(a, b - a);
    }
}

} // namespace pla
