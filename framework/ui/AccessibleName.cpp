#include "framework/ui/AccessibleName.h"

#include "framework/ui/TForm.h"
#include "framework/ui/TGroupBox.h"
#include "framework/ui/TLabel.h"

namespace pla {

namespace {

// "&Incluir" is read "Incluir", "Filial:" is read "Filial".
QString Plain(QString text) {
    text.replace(QLatin1String("&&"), QString(QChar(0xFFFF)));
    text.remove(QLatin1Char('&'));
    text.replace(QChar(0xFFFF), QLatin1Char('&'));
    text = text.trimmed();
    if (text.endsWith(QLatin1Char(':'))) text.chop(1);
    return text;
}

const TLabel* LabelFor(const TWinControl& container, const TWinControl& target) {
    for (const TControl* child : container.Controls()) {
        if (auto* label = dynamic_cast<const TLabel*>(child);
            label && label->FocusControl() == &target)
            return label;
        if (auto* inner = dynamic_cast<const TWinControl*>(child))
            if (const TLabel* found = LabelFor(*inner, target)) return found;
    }
    return nullptr;
}

bool OnlyFocusableOf(const TControl& control, const TWinControl& box) {
    for (const TControl* child : box.Controls()) {
        auto* win = dynamic_cast<const TWinControl*>(child);
        if (win && win->TabStop() && child != &control) return false;
    }
    return true;
}

} // namespace

QString AccessibleName(const TControl& control) {
    if (!control.AccessibleName().isEmpty()) return control.AccessibleName();
    if (auto* win = dynamic_cast<const TWinControl*>(&control)) {
        if (const TForm* form = control.ParentForm(); form && form != &control)
            if (const TLabel* label = LabelFor(*form, *win)) return Plain(label->Caption());
    }
    if (const QString caption = Plain(control.Caption()); !caption.isEmpty()) return caption;
    if (const QString hint = control.Hint().section(QLatin1Char('|'), 0, 0).trimmed();
        !hint.isEmpty())
        return hint;
    if (auto* box = dynamic_cast<const TGroupBox*>(control.Parent());
        box && !box->Caption().isEmpty() && OnlyFocusableOf(control, *box))
        return Plain(box->Caption());
    return {};
}

} // namespace pla
