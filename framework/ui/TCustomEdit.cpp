#include "framework/ui/TCustomEdit.h"

#include "framework/ui/Colors.h"

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 21);
}

namespace {
// The pattern part of a mask, and whether it forces a case.
QString MaskPattern(const QString& mask) {
    return mask.section(QLatin1Char(';'), 0, 0);
}
} // namespace

QString TCustomEdit::ApplyCase(const QString& s) const {
    QString pattern = MaskPattern(editMask_);
    if (charCase_ == TEditCharCase::ecUpperCase || pattern.startsWith(QLatin1Char('>')))
        return s.toUpper();
    if (charCase_ == TEditCharCase::ecLowerCase ||
        (pattern.startsWith(QLatin1Char('<')) && !pattern.startsWith(QLatin1String("<>"))))
        return s.toLower();
    return s;
}

void TCustomEdit::SetText(const QString& value) {
    modified_ = false;
    QString v = ApplyCase(value);
    ReplaceText(v, static_cast<int>(v.size()));
}

void TCustomEdit::ReplaceText(const QString& value, int caret) {
    bool differs = value != text_;
    text_ = value;
    selStart_ = std::clamp(caret, 0, static_cast<int>(text_.size()));
    selLength_ = 0;
    if (differs) {
        Changed(TChange::Text);
        Change();
    } else {
        Changed(TChange::Selection);
    }
}

void TCustomEdit::Change() {
    OnChange(*this);
}

void TCustomEdit::SetCharCase(TEditCharCase c) {
    charCase_ = c;
    if (c != TEditCharCase::ecNormal) ReplaceText(ApplyCase(text_), selStart_);
}

void TCustomEdit::SetReadOnly(bool r) {
    if (readOnly_ == r) return;
    readOnly_ = r;
    Changed(TChange::Appearance);
}

void TCustomEdit::SetEditMask(const QString& mask) {
    editMask_ = mask;
    Changed(TChange::Appearance);
}

void TCustomEdit::SetSelection(int start, int length) {
    int n = static_cast<int>(text_.size());
    selStart_ = std::clamp(start, 0, n);
    selLength_ = std::clamp(length, 0, n - selStart_);
    Changed(TChange::Selection);
}

int TCustomEdit::MaskLength() const {
    QString p = MaskPattern(editMask_);
    int n = 0;
    for (QChar c : p)
        if (c != QLatin1Char('>') && c != QLatin1Char('<')) ++n;
    return n;
}

bool TCustomEdit::AcceptChar(QChar ch, int pos) const {
    QString p = MaskPattern(editMask_);
    if (p.isEmpty()) return true;
    int i = 0;
    for (QChar m : p) {
        if (m == QLatin1Char('>') || m == QLatin1Char('<')) continue;
        if (i++ != pos) continue;
        switch (m.toLatin1()) {
        case 'L':
        case 'l':
            return ch.isLetter();
        case 'A':
        case 'a':
            return ch.isLetterOrNumber();
        case '0':
        case '9':
            return ch.isDigit();
        case '#':
            return ch.isDigit() || ch == QLatin1Char('+') || ch == QLatin1Char('-');
        case 'C':
        case 'c':
            return true;
        default:
            return ch == m; // a literal must be typed as is
        }
    }
    return false; // beyond the mask
}

bool TCustomEdit::BeginUserEdit() {
    return !readOnly_;
}

void TCustomEdit::UserReplaceSelection(const QString& with) {
    QString t = text_;
    t.replace(selStart_, selLength_, with);
    int caret = selStart_ + static_cast<int>(with.size());
    modified_ = true;
    ReplaceText(t, caret);
    UserEdited();
}

bool TCustomEdit::UserClear() {
    if (!BeginUserEdit()) return false;
    SelectAll();
    if (!text_.isEmpty()) UserReplaceSelection(QString());
    return true;
}

void TCustomEdit::DefaultKeyDown(int& key, TShiftState shift) {
    int n = static_cast<int>(text_.size());
    switch (key) {
    case VK_DELETE:
        if (!BeginUserEdit()) return;
        if (selLength_ == 0 && selStart_ < n) selLength_ = 1;
        if (selLength_ > 0) UserReplaceSelection(QString());
        break;
    case VK_LEFT:
        SetSelection(selLength_ ? selStart_ : selStart_ - 1, 0);
        break;
    case VK_RIGHT:
        SetSelection(selLength_ ? selStart_ + selLength_ : selStart_ + 1, 0);
        break;
    case VK_HOME:
        SetSelection(0, 0);
        break;
    case VK_END:
        SetSelection(n, 0);
        break;
    default:
        break;
    }
}

void TCustomEdit::DefaultKeyPress(QChar& ch) {
    ushort u = ch.unicode();
    if (u == 8) { // Backspace
        if (!BeginUserEdit()) return;
        if (selLength_ == 0 && selStart_ > 0) {
            --selStart_;
            selLength_ = 1;
        }
        if (selLength_ > 0) UserReplaceSelection(QString());
        return;
    }
    if (u == 13 && multiline_) {
        if (!BeginUserEdit()) return;
        int cap = maxLength_ > 0 ? maxLength_ : INT_MAX;
        if (text_.size() - selLength_ + 1 > cap) return;
        UserReplaceSelection(QStringLiteral("\n"));
        return;
    }
    if (u < 32 || u == 127) return; // other control characters do nothing in a text
    QString c = ApplyCase(QString(ch));
    int limit = maxLength_ > 0 ? maxLength_ : INT_MAX;
    if (!editMask_.isEmpty()) limit = std::min(limit, MaskLength());
    if (static_cast<int>(text_.size()) - selLength_ + 1 > limit) return;
    if (!AcceptChar(c.at(0), selStart_)) return;
    if (!BeginUserEdit()) return;
    UserReplaceSelection(c);
}

void TCustomEdit::DoEnter() {
    if (autoSelect_ && !multiline_) SelectAll();
    TWinControl::DoEnter();
}

bool TCustomEdit::FormKey(TWinControl& focused, int key, TShiftState shift) {
    if (&focused != this || key != 'A' || shift != ssCtrl) return false;
    SelectAll();
    return true;
}
