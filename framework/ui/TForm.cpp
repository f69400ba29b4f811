#include "framework/ui/TForm.h"

#include "framework/data/ClientDataSet.h"
#include "framework/ui/FormHost.h"
#include "framework/ui/TMainMenu.h"

#include <algorithm>
#include <stdexcept>

TForm::TForm(TComponent* owner) : TWinControl(owner) {
    TControl::SetVisible(false);
    SetColor(QColor(240, 240, 240));
}

TForm::~TForm() {
    NotifyDestroying();
    if (showing_) pla::CurrentFormHost().Close(*this);
    // Controls go while this is still a whole form, so their containers can forget them.
    DestroyComponents();
    focused_ = entered_ = nullptr;
}

TWinControl* TForm::ParentWithin(TWinControl* c) const {
    TWinControl* p = c ? c->Parent() : nullptr;
    return p == this ? nullptr : p;
}

void TForm::FocusControl(TWinControl* target) {
    if (!target || target == this) throw std::logic_error("alvo de foco inválido");
    if (target->ParentForm() != this)
        throw std::logic_error("o controle não pertence a este formulário");
    if (!showing_) {
        focused_ = target;
        Changed(TChange::Focus);
        return;
    }
    if (!target->CanFocus())
        throw std::logic_error(
            QStringLiteral(
                "Não é possível dar o foco ao controle %1: está desabilitado ou invisível")
                .arg(target->Name())
                .toStdString());
    if (target == focused_ && target == entered_) return;

    TWinControl* from = focused_;
    focused_ = target;
    const unsigned serial = ++focusSerial_;
    Changed(TChange::Focus);
    try {
        // Exit events, innermost first, for everything entered that does not hold the target.
        while (entered_ && !entered_->ContainsControl(target)) {
            TWinControl* leaving = entered_;
            bool alreadyExiting =
                std::find(exiting_.begin(), exiting_.end(), leaving) != exiting_.end();
            if (!alreadyExiting) {
                exiting_.push_back(leaving);
                try {
                    leaving->DoExit();
                } catch (...) {
                    exiting_.erase(std::find(exiting_.begin(), exiting_.end(), leaving));
                    throw;
                }
                exiting_.erase(std::find(exiting_.begin(), exiting_.end(), leaving));
                if (focusSerial_ != serial) return; // a handler moved the focus itself
            }
            if (entered_ == leaving) entered_ = ParentWithin(leaving);
        }
        // Enter events, outermost first, for the containers of the target not yet entered.
        std::vector<TWinControl*> chain;
        for (TWinControl* c = target; c && c != this && c != entered_; c = c->Parent())
            chain.push_back(c);
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            entered_ = *it;
            (*it)->DoEnter();
            if (focusSerial_ != serial) return;
        }
    } catch (...) {
        // A refused exit that left the focus alone keeps the user where he was.
        if (focusSerial_ == serial && from && from->ParentForm() == this &&
            !(entered_ && entered_->ContainsControl(target))) {
            focused_ = from;
            entered_ = from;
            ++focusSerial_;
            Changed(TChange::Focus);
        }
        throw;
    }
}

std::vector<TWinControl*> TForm::TabSequence() const {
    std::vector<TWinControl*> out;
    std::function<void(const TWinControl*)> walk = [&](const TWinControl* w) {
        for (TWinControl* c : w->TabList()) {
            if (!c->Visible() || !c->Enabled()) continue;
            if (c->TabStop()) out.push_back(c);
            walk(c);
        }
    };
    walk(this);
    return out;
}

void TForm::SelectNext(bool forward) {
    std::vector<TWinControl*> seq = TabSequence();
    if (seq.empty()) return;
    auto it = std::find(seq.begin(), seq.end(), focused_);
    int n = static_cast<int>(seq.size());
    int i = it == seq.end() ? (forward ? -1 : n) : static_cast<int>(it - seq.begin());
    for (int step = 0; step < n; ++step) {
        i = ((forward ? i + 1 : i - 1) % n + n) % n;
        if (seq[static_cast<size_t>(i)]->CanFocus()) {
            FocusControl(seq[static_cast<size_t>(i)]);
            return;
        }
    }
}

QChar TForm::CharForKey(int key, TShiftState shift) {
    if (shift & ssAlt) return {};
    switch (key) {
    case VK_BACK:
        return QChar(8);
    case VK_TAB:
        return QChar(9);
    case VK_RETURN:
        return QChar(13);
    case VK_ESCAPE:
        return QChar(27);
    case VK_SPACE:
        return QChar(' ');
    default:
        break;
    }
    if (key >= 'A' && key <= 'Z') {
        if (shift & ssCtrl) return QChar(key - 'A' + 1);
        return QChar((shift & ssShift) ? key : key + 32);
    }
    if (key >= '0' && key <= '9' && !(shift & ssCtrl)) return QChar(key);
    return {};
}

void TForm::DeliverKey(int key, TShiftState shift) {
    TWinControl* c = focused_ && showing_ && focused_->IsEnabledInTree() ? focused_ : nullptr;
    int k = key;
    if (DeliverCommandKey(k, shift)) return;
    QChar ch = CharForKey(k, shift);
    if (!ch.isNull() && c && focused_ == c) c->KeyPress(ch);
}

bool TForm::DeliverCommandKey(int& k, TShiftState shift) {
    TWinControl* c = focused_ && showing_ && focused_->IsEnabledInTree() ? focused_ : nullptr;
    const bool ctrlTab = k == VK_TAB && (shift & ~ssShift) == ssCtrl;
    if (k == VK_TAB && (ctrlTab || (!(shift & (ssCtrl | ssAlt)) && !(c && c->WantsTab())))) {
        SelectNext(!(shift & ssShift));
        return true;
    }
    if (k == 0) return true;
    if (c) {
        c->KeyDown(k, shift);
        if (k == 0) return true;
    }
    if (c) {
        if (c->FormKey(*c, k, shift)) return true;
        if (TWinControl* parent = c->Parent())
            for (TControl* beside : parent->Controls())
                if (beside != c && beside->FormKey(*c, k, shift)) return true;
    }
    if (menu_ && menu_->DispatchShortCut(k, shift)) return true;
    return DialogKey(k, shift);
}

bool TForm::DialogKey(int, TShiftState) {
    return false;
}

void TForm::DeliverChar(QChar ch) {
    TWinControl* c = focused_ && showing_ && focused_->IsEnabledInTree() ? focused_ : nullptr;
    if (c) c->KeyPress(ch);
}

void TForm::SetMenu(TMainMenu* menu) {
    menu_ = menu;
    Changed(TChange::Items);
}

void TForm::ApplyInitialFocus() {
    TWinControl* target = focused_ && focused_->CanFocus() ? focused_ : nullptr;
    focused_ = entered_ = nullptr;
    if (!target) {
        std::vector<TWinControl*> seq = TabSequence();
        for (TWinControl* c : seq)
            if (c->CanFocus()) {
                target = c;
                break;
            }
    }
    if (target) FocusControl(target);
}

void TForm::Show() {
    if (showing_) {
        pla::CurrentFormHost().Show(*this);
        return;
    }
    showing_ = true;
    TControl::SetVisible(true);
    Changed(TChange::Modal);
    pla::CurrentFormHost().Show(*this);
    OnShow(*this);
    ApplyInitialFocus();
}

void TForm::HideForm() {
    if (!showing_) return;
    showing_ = false;
    focused_ = entered_ = nullptr;
    TControl::SetVisible(false);
    Changed(TChange::Focus);
    Changed(TChange::Modal);
    pla::CurrentFormHost().Close(*this);
}

void TForm::Hide() {
    HideForm();
}

void TForm::SetVisible(bool value) {
    if (value)
        Show();
    else
        HideForm();
}

int TForm::ShowModal() {
    if (modal_) throw std::logic_error("o formulário já está em execução modal");
    if (showing_) HideForm();
    modal_ = true;
    modalResult_ = mrNone;
    showing_ = true;
    TControl::SetVisible(true);
    Changed(TChange::Modal);
    int r = mrNone;
    try {
        OnShow(*this);
        ApplyInitialFocus();
        r = pla::CurrentFormHost().RunModal(*this);
    } catch (...) {
        modal_ = false;
        HideForm();
        throw;
    }
    if (modalResult_ == mrNone) modalResult_ = r != mrNone ? r : mrCancel;
    modal_ = false;
    OnClose(*this);
    HideForm();
    return modalResult_;
}

void TForm::Close() {
    if (!CloseQuery()) return;
    if (modal_) {
        if (modalResult_ == mrNone) SetModalResult(mrCancel);
        return;
    }
    OnClose(*this);
    HideForm();
}

void TForm::SetModalResult(int result) {
    modalResult_ = result;
    Changed(TChange::Modal);
}

void TForm::RegisterDataSet(TClientDataSet* ds) {
    if (ds && std::find(dataSets_.begin(), dataSets_.end(), ds) == dataSets_.end())
        dataSets_.push_back(ds);
}

TClientDataSet* TForm::FindDataSet(const QString& name) const {
    for (TClientDataSet* ds : dataSets_)
        if (ds->Name().compare(name, Qt::CaseInsensitive) == 0) return ds;
    return nullptr;
}

void TForm::ForgetControl(TWinControl* c) {
    if (!c || c == this) return;
    if (focused_ && c->ContainsControl(focused_)) {
        focused_ = nullptr;
        Changed(TChange::Focus);
    }
    if (entered_ && c->ContainsControl(entered_)) entered_ = ParentWithin(c);
}

void TForm::Free(TForm* form) {
    if (!form) return;
    try {
        form->FormDestroy();
    } catch (...) {
        delete form;
        throw;
    }
    delete form;
}
