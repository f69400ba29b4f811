#pragma once

#include "remote/DistEmbCardMethods.h"

#include <QStringList>
#include <QVector>

class TClientDataSet;
class TComboBox;

namespace pla {

// The service-group combo of the distribution screens and the group code behind each of its
// items: item 0 is empty and stands for every group.
class GroupChoice {
public:
    // Fills combo with an empty item and then every group by name, and selects item 0.
    void Fill(TComboBox& combo, const QVector<ServiceGroup>& groups);
    // Group code of each item (entry 0 empty).
    const QStringList& Codes() const { return codes_; }
    void Clear() { codes_.clear(); }
    // Shows only the services of the group of item index (any group code, matched exactly);
    // the empty entry, or an index the combo does not have, shows them all.
    void ApplyTo(TClientDataSet& services, int index) const;

private:
    QStringList codes_;
};

} // namespace pla
