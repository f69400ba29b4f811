#include "framework/ui/TComponent.h"

#include <algorithm>
#include <stdexcept>

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner_) owner_->owned_.push_back(this);
}

TComponent::~TComponent() {
    NotifyDestroying();
    DestroyComponents();
    if (owner_) {
        auto& v = owner_->owned_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
}

void TComponent::SetName(const QString& name) {
    if (name == name_) return;
    if (owner_ && !name.isEmpty()) {
        TComponent* other = owner_->FindComponent(name);
        if (other && other != this)
            throw std::invalid_argument(
                QStringLiteral("Já existe um componente chamado %1").arg(name).toStdString());
    }
    name_ = name;
}

TComponent* TComponent::FindComponent(const QString& name) const {
    if (name.isEmpty()) return nullptr;
    for (TComponent* c : owned_)
        if (c->name_.compare(name, Qt::CaseInsensitive) == 0) return c;
    return nullptr;
}

TComponent* TComponent::FindComponentDeep(const QString& name) const {
    if (TComponent* c = FindComponent(name)) return c;
    for (TComponent* c : owned_)
        if (TComponent* found = c->FindComponentDeep(name)) return found;
    return nullptr;
}

int TComponent::AddChangeListener(ChangeListener listener) {
    int id = nextListenerId_++;
    listeners_.emplace_back(id, std::move(listener));
    return id;
}

void TComponent::RemoveChangeListener(int id) {
    for (auto& l : listeners_)
        if (l.first == id) l.second = nullptr; // compacted after notifying
}

void TComponent::Changed(TChange what) {
    if (listeners_.empty()) return;
    // Index loop: listeners may add or remove listeners while we notify.
    ++notifying_;
    try {
        for (size_t i = 0; i < listeners_.size(); ++i) {
            auto fn = listeners_[i].second;
            if (fn) fn(*this, what);
        }
    } catch (...) {
        --notifying_;
        throw;
    }
    if (--notifying_ > 0) return;
    listeners_.erase(std::remove_if(listeners_.begin(), listeners_.end(),
                                    [](const auto& l) { return !l.second; }),
                     listeners_.end());
}

void TComponent::NotifyDestroying() {
    if (destroyNotified_) return;
    destroyNotified_ = true;
    Changed(TChange::Destroyed);
}

void TComponent::DestroyComponents() {
    // Newest first, so children die before their containers.
    while (!owned_.empty()) {
        TComponent* c = owned_.back();
        delete c; // its destructor removes it from owned_
    }
}
