#include "appserver/auth/CredentialCache.h"

namespace pla {

namespace {
// Entries kept at most; past it the aged ones go.
constexpr qsizetype kMaxEntries = 4096;
} // namespace

std::optional<UserRecord> CredentialCache::user(const QByteArray& token, const QDateTime& now) {
    std::lock_guard lock(mutex_);
    const auto it = users_.constFind(token);
    if (it == users_.cend() || it->second.msecsTo(now) >= lifetime_) return std::nullopt;
    return it->first;
}

void CredentialCache::rememberUser(const QByteArray& token, const UserRecord& user,
                                   const QDateTime& now) {
    if (lifetime_ <= 0) return;
    std::lock_guard lock(mutex_);
    if (users_.size() >= kMaxEntries)
        users_.removeIf([&](const auto& e) { return e.value().second.msecsTo(now) >= lifetime_; });
    if (users_.size() < kMaxEntries) users_.insert(token, {user, now});
}

std::optional<bool> CredentialCache::anyUsers(const QDateTime& now) {
    std::lock_guard lock(mutex_);
    if (!anyUsers_ || anyUsers_->second.msecsTo(now) >= lifetime_) return std::nullopt;
    return anyUsers_->first;
}

void CredentialCache::rememberAnyUsers(bool any, const QDateTime& now) {
    if (lifetime_ <= 0) return;
    std::lock_guard lock(mutex_);
    anyUsers_ = std::make_pair(any, now);
}

} // namespace pla
