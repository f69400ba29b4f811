#include "appserver/auth/LoginThrottle.h"

#include <algorithm>

namespace pla {

namespace {

QString pairKey(const QString& login, const QString& address) {
    return address + QLatin1Char('\x1f') + login;
}

} // namespace

int LoginThrottle::waitOf(const QString& key, const QDateTime& now) const {
    const auto it = entries_.constFind(key);
    if (it == entries_.cend() || !it->until.isValid() || it->until <= now) return 0;
    // Rounded up: "try again in 0 seconds" would be refused again.
    return int((now.msecsTo(it->until) + 999) / 1000);
}

int LoginThrottle::wait(const QString& login, const QString& address, const QDateTime& now) {
    const std::lock_guard lock(mutex_);
    return std::max(waitOf(address, now), waitOf(pairKey(login, address), now));
}

void LoginThrottle::count(const QString& key, const QDateTime& now) {
    Entry& e = entries_[key];
    ++e.failures;
    e.last = now;
    const int over = e.failures - kFreeFailures + 1;
    if (over > 0) e.until = now.addSecs(std::min(kMaxDelaySeconds, 1 << std::min(over - 1, 6)));
}

int LoginThrottle::failed(const QString& login, const QString& address, const QDateTime& now) {
    const std::lock_guard lock(mutex_);
    if (entries_.size() >= kMaxEntries - 1) forgetOld(now);
    count(pairKey(login, address), now);
    count(address, now);
    return entries_.value(address).failures;
}

void LoginThrottle::succeeded(const QString& login, const QString& address) {
    const std::lock_guard lock(mutex_);
    entries_.remove(pairKey(login, address));
    entries_.remove(address);
}

void LoginThrottle::forgetOld(const QDateTime& now) {
    entries_.removeIf([&](const auto& it) { return it.value().last.secsTo(now) > kForgetSeconds; });
    // Still full (a flood from many addresses at once): the oldest half goes, and with it at
    // most a minute of slowing down for those addresses.
    if (entries_.size() < kMaxEntries - 1) return;
    QList<QDateTime> times;
    for (const Entry& e : std::as_const(entries_))
        times << e.last;
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    const QDateTime median = times[times.size() / 2];
    entries_.removeIf([&](const auto& it) { return it.value().last <= median; });
}

} // namespace pla
