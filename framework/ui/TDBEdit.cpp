#include "framework/ui/TDBEdit.h"

#include "framework/data/ClientDataSet.h"
#include "framework/data/DatabaseError.h"
#include "framework/data/Field.h"

TDBEdit::TDBEdit(TComponent* owner)
    : TCustomEdit(owner), link_([this](TDataChange c, TField* f) { DataChanged(c, f); }) {}

void TDBEdit::DataChanged(TDataChange change, TField* field) {
    if (writing_) return;
    if (change == TDataChange::UpdateRecord) {
        UpdateRecord(); // the record is being posted: the typed text goes with it
        return;
    }
    if (change == TDataChange::Field && field && field != Field()) return;
    if (change != TDataChange::Field) pending_ = false;
    if (pending_) return;
    Refresh();
}

void TDBEdit::Refresh() {
    TField* f = Field();
    QString t;
    TClientDataSet* ds = link_.DataSet();
    if (f && ds && ds->Active() && (!ds->IsEmpty() || link_.Editing()))
        t = Focused() ? f->Text() : f->DisplayText();
    if (t == Text()) return; // keep the user's selection
    int caret = static_cast<int>(t.size());
    ReplaceText(t, caret);
    SetModified(false);
}

bool TDBEdit::BeginUserEdit() {
    if (ReadOnly()) return false;
    TField* f = Field();
    if (!f || f->FieldKind() != TFieldKind::Data) return false;
    return link_.Edit();
}

bool TDBEdit::AcceptChar(QChar ch, int pos) const {
    if (!TCustomEdit::AcceptChar(ch, pos)) return false;
    TField* f = Field();
    if (!f) return true;
    switch (f->DataType()) {
    case TFieldType::Float:
        return ch.isDigit() || ch == QLatin1Char(',') || ch == QLatin1Char('-') ||
               ch == QLatin1Char('+') || ch == QLatin1Char('.');
    case TFieldType::Integer:
        return ch.isDigit() || ch == QLatin1Char('-') || ch == QLatin1Char('+');
    case TFieldType::Date:
        return ch.isDigit() || ch == QLatin1Char('/');
    default:
        break;
    }
    if (f->Size() > 0 && Text().size() - SelLength() + 1 > f->Size()) return false;
    return true;
}

void TDBEdit::UserEdited() {
    pending_ = true;
    TField* f = Field();
    if (!f || !link_.Editing()) return;
    // Keep the field in step while the text reads as a value, so a post made without
    // leaving the edit stores what is shown.
    writing_ = true;
    try {
        f->SetText(Text());
        pending_ = false;
    } catch (const EDatabaseError&) {
        // Not a value yet (a lone comma, say): written, or refused, when the edit is left.
    }
    writing_ = false;
}

void TDBEdit::UpdateRecord() {
    if (!pending_) return;
    TField* f = Field();
    if (!f || !link_.Editing()) {
        pending_ = false;
        return;
    }
    writing_ = true;
    try {
        f->SetText(Text());
    } catch (...) {
        writing_ = false;
        throw;
    }
    writing_ = false;
    pending_ = false;
}

void TDBEdit::DoEnter() {
    if (!pending_) Refresh();
    TCustomEdit::DoEnter();
}

void TDBEdit::DoExit() {
    UpdateRecord();
    TCustomEdit::DoExit();
    if (!pending_ && !Focused()) Refresh();
}
