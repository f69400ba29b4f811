#include "framework/ui/FieldLink.h"

#include "framework/data/ClientDataSet.h"
#include "framework/data/DataSource.h"

namespace pla {

FieldLink::FieldLink(Listener listener) : listener_(std::move(listener)) {}

FieldLink::~FieldLink() {
    if (source_ && listenerId_) source_->RemoveListener(listenerId_);
}

void FieldLink::SetDataSource(TDataSource* source) {
    if (source == source_) return;
    if (source_ && listenerId_) source_->RemoveListener(listenerId_);
    source_ = source;
    listenerId_ = 0;
    if (source_)
        listenerId_ = source_->AddListener([this](TDataChange c, TField* f) {
            if (listener_) listener_(c, f);
        });
    if (listener_) listener_(TDataChange::DataSet, nullptr);
}

void FieldLink::SetFieldName(const QString& name) {
    fieldName_ = name;
    if (listener_) listener_(TDataChange::DataSet, nullptr);
}

TClientDataSet* FieldLink::DataSet() const {
    return source_ ? source_->DataSet() : nullptr;
}

bool FieldLink::Active() const {
    TClientDataSet* ds = DataSet();
    return ds && ds->Active();
}

TField* FieldLink::Field() const {
    TClientDataSet* ds = DataSet();
    if (!ds || fieldName_.isEmpty()) return nullptr;
    return ds->FindField(fieldName_);
}

bool FieldLink::Editing() const {
    TClientDataSet* ds = DataSet();
    return ds && (ds->State() == TDataSetState::Edit || ds->State() == TDataSetState::Insert);
}

bool FieldLink::Edit() {
    TClientDataSet* ds = DataSet();
    if (!ds || !ds->Active()) return false;
    if (!Editing()) ds->Edit();
    return Editing();
}

} // namespace pla
