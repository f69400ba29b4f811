#include "branch_panel/GroupChoice.h"

#include "branch_panel/GroupFilter.h"
#include "framework/data/ClientDataSet.h"
#include "framework/ui/TComboBox.h"

namespace pla {

void GroupChoice::Fill(TComboBox& combo, const QVector<ServiceGroup>& groups) {
    combo.Clear();
    codes_.clear();
    combo.AddItem(QString());
    codes_.append(QString());
    for (const ServiceGroup& g : groups) {
        combo.AddItem(g.name);
        codes_.append(g.code);
    }
    combo.SetItemIndex(0);
}

void GroupChoice::ApplyTo(TClientDataSet& services, int index) const {
    services.SetFiltered(false);
    const QString code = index >= 0 && index < codes_.size() ? codes_.at(index) : QString();
    if (code.isEmpty()) return;
    services.SetFilter(GroupFilter::For(code));
    services.SetFiltered(true);
}

} // namespace pla
