#pragma once

#include "framework/ui/TWinControl.h"

#include <QString>

enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// The text-editing core shared by edits, memos, date edits and data-aware edits: text with
// a caret and a selection, typing rules (read-only, maximum length, character case, an input
// mask), and a change event that fires whenever the text changes, by typing or from code.
class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* owner);

    QString Text() const { return text_; }
    // Sets the text (case rules applied, no length limit), caret at the end. Fires OnChange
    // when the text differs from before.
    void SetText(const QString& value);

    int MaxLength() const { return maxLength_; }
    // Longest text the user can type; 0 means no limit.
    void SetMaxLength(int n) { maxLength_ = std::max(0, n); }
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase c);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool r);
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool a) { autoSelect_ = a; }
    // Input mask "<pattern>;<save literals>;<blank>", pattern characters: > upper case,
    // < lower case, L/l letter, A/a letter or digit, 0/9 digit, C/c any (upper case letters
    // required, lower case optional; both accepted while typing). Its length caps the text.
    QString EditMask() const { return editMask_; }
    void SetEditMask(const QString& mask);

    int SelStart() const { return selStart_; }
    int SelLength() const { return selLength_; }
    QString SelText() const { return text_.mid(selStart_, selLength_); }
    void SetSelection(int start, int length);
    void SelectAll() { SetSelection(0, static_cast<int>(text_.size())); }

    // True once the user changed the text (reset by SetText from code).
    bool Modified() const { return modified_; }
    void SetModified(bool m) { modified_ = m; }

    TNotifyEvent OnChange;

    // What the user does to empty the field (select everything, delete it); refused like
    // typing when the edit is read-only. True when the field allowed it.
    bool UserClear();

    // Ctrl+A in the focused edit selects the whole text, as everywhere on the desktop.
    bool FormKey(TWinControl& focused, int key, TShiftState shift) override;

protected:
    // Asked before every change the user makes; false (or an exception) refuses it. The
    // default refuses when read-only.
    virtual bool BeginUserEdit();
    // After the user changed the text.
    virtual void UserEdited() {}
    // Whether ch may be typed so that it lands at position pos (mask rules by default).
    virtual bool AcceptChar(QChar ch, int pos) const;
    // The case rule applied to typed and assigned text.
    QString ApplyCase(const QString& s) const;
    // Sets text without touching Modified; fires OnChange when different.
    void ReplaceText(const QString& value, int caret);
    // Fires OnChange.
    virtual void Change();
    bool multiline_ = false;

    void DefaultKeyDown(int& key, TShiftState shift) override;
    void DefaultKeyPress(QChar& ch) override;
    void DoEnter() override;

private:
    void UserReplaceSelection(const QString& with);
    int MaskLength() const;
    QString text_;
    int maxLength_ = 0;
    TEditCharCase charCase_ = TEditCharCase::ecNormal;
    bool readOnly_ = false;
    bool autoSelect_ = true;
    QString editMask_;
    int selStart_ = 0;
    int selLength_ = 0;
    bool modified_ = false;
};
