#include "framework/data/DataSource.h"

#include "framework/data/ClientDataSet.h"

#include <algorithm>

TDataSource::TDataSource(const QString& name, TClientDataSet* ds) : name_(name) {
    SetDataSet(ds);
}

TDataSource::~TDataSource() {
    detach();
}

QString TDataSource::Name() const {
    return name_;
}

TClientDataSet* TDataSource::DataSet() const {
    return ds_;
}

void TDataSource::detach() {
    if (!ds_) return;
    ds_->RemoveChangeListener(dsListener_);
    auto& s = ds_->sources_;
    s.erase(std::remove(s.begin(), s.end(), this), s.end());
    ds_ = nullptr;
    dsListener_ = 0;
}

void TDataSource::SetDataSet(TClientDataSet* ds) {
    if (ds == ds_) return;
    detach();
    ds_ = ds;
    if (!ds_) return;
    ds_->sources_.push_back(this);
    dsListener_ = ds_->AddChangeListener(
        [this](TDataChange change, TField* field) { dispatch(change, field); });
}

void TDataSource::dataSetDestroyed() {
    // The data set is going away: forget it without touching it further.
    ds_ = nullptr;
    dsListener_ = 0;
}

void TDataSource::dispatch(TDataChange change, TField* field) {
    if (change == TDataChange::State)
        OnStateChange(*this);
    else if (change == TDataChange::UpdateRecord)
        OnUpdateData(*this);
    else
        OnDataChange(*this, field);
    const auto listeners = listeners_;
    for (const Listener& l : listeners)
        l.fn(change, field);
}

int TDataSource::AddListener(std::function<void(TDataChange, TField*)> listener) {
    const int id = nextId_++;
    listeners_.push_back({id, std::move(listener)});
    return id;
}

void TDataSource::RemoveListener(int id) {
    listeners_.erase(std::remove_if(listeners_.begin(), listeners_.end(),
                                    [id](const Listener& l) { return l.id == id; }),
                     listeners_.end());
}
