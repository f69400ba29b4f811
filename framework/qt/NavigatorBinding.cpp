#include "framework/qt/NavigatorBinding.h"

#include "framework/qt/FormRenderer.h"
#include "framework/ui/TDBNavigator.h"

#include <QApplication>
#include <QStyle>
#include <QToolButton>

namespace pla {

namespace {

struct ButtonInfo {
    TNavigateBtn button;
    const char* hint;
    const char* text;
};

const ButtonInfo kButtons[] = {
    {TNavigateBtn::nbFirst, "Primeiro", "|◀"}, {TNavigateBtn::nbPrior, "Anterior", "◀"},
    {TNavigateBtn::nbNext, "Próximo", "▶"},    {TNavigateBtn::nbLast, "Último", "▶|"},
    {TNavigateBtn::nbInsert, "Incluir", "+"},  {TNavigateBtn::nbDelete, "Excluir", "−"},
    {TNavigateBtn::nbEdit, "Alterar", "▲"},    {TNavigateBtn::nbPost, "Gravar", "✓"},
    {TNavigateBtn::nbCancel, "Cancelar", "✗"}, {TNavigateBtn::nbRefresh, "Atualizar", "↻"},
};

} // namespace

NavigatorBinding::NavigatorBinding(FormRenderer& renderer, TControl& control, QWidget* parent)
    : ControlBinding(renderer, control, new QWidget(parent)) {
    widget_->setFocusPolicy(Qt::NoFocus);
    auto& nav = static_cast<TDBNavigator&>(control);
    for (const auto& info : kButtons) {
        auto* b = new QToolButton(widget_);
        b->setFocusPolicy(Qt::NoFocus);
        b->setText(QString::fromUtf8(info.text));
        b->setToolTip(QString::fromUtf8(info.hint));
        b->setAccessibleName(QString::fromUtf8(info.hint));
        const TNavigateBtn which = info.button;
        QObject::connect(b, &QToolButton::clicked, &context_, [this, &nav, which] {
            if (Syncing()) return;
            renderer_.RunAction([&nav, which] { nav.BtnClick(which); });
        });
        buttons_.push_back(b);
    }
}

void NavigatorBinding::SyncBounds() {
    ControlBinding::SyncBounds();
    auto& nav = static_cast<TDBNavigator&>(control_);
    int shown = 0;
    for (size_t i = 0; i < buttons_.size(); ++i)
        if (nav.ButtonVisible(kButtons[i].button)) ++shown;
    const int w = shown ? control_.Width() / shown : 0;
    int x = 0;
    for (size_t i = 0; i < buttons_.size(); ++i) {
        const bool visible = nav.ButtonVisible(kButtons[i].button);
        buttons_[i]->setVisible(visible);
        if (!visible) continue;
        buttons_[i]->setGeometry(x, 0, w, control_.Height());
        x += w;
    }
}

void NavigatorBinding::SyncAppearance() {
    ControlBinding::SyncAppearance();
    SyncBounds();
    SyncData();
}

void NavigatorBinding::SyncData() {
    auto& nav = static_cast<TDBNavigator&>(control_);
    for (size_t i = 0; i < buttons_.size(); ++i)
        buttons_[i]->setEnabled(nav.ButtonEnabled(kButtons[i].button));
}

} // namespace pla
