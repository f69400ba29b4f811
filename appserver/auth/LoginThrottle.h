#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <mutex>

namespace pla {

// Slows down password guessing. Failed logins are counted per address and per login at that
// address; after `kFreeFailures` failures in a row, each next attempt from there must wait 1 s,
// then 2, 4, … up to `kMaxDelaySeconds`, and one that comes sooner is refused without checking
// the password. A success clears the count of its address and login. Because a login is counted
// only together with the address it is tried from, an attacker elsewhere never locks a clerk out
// of her own desk, and the longest wait anyone meets is one minute. Entries idle for
// `kForgetSeconds` are forgotten, and the table never holds more than `kMaxEntries`. Safe from
// any thread.
class LoginThrottle {
public:
    static constexpr int kFreeFailures = 5;
    static constexpr int kMaxDelaySeconds = 60;
    static constexpr int kForgetSeconds = 15 * 60;
    static constexpr int kMaxEntries = 10000;

    // Seconds an attempt of `login` from `address` must still wait; 0 when it may be checked.
    int wait(const QString& login, const QString& address, const QDateTime& now);
    // Counts a failed attempt; returns the failures in a row from that address.
    int failed(const QString& login, const QString& address, const QDateTime& now);
    void succeeded(const QString& login, const QString& address);

private:
    struct Entry {
        int failures = 0;
        QDateTime last;  // of the last failure
        QDateTime until; // no attempt before this
    };
    void count(const QString& key, const QDateTime& now);
    int waitOf(const QString& key, const QDateTime& now) const;
    void forgetOld(const QDateTime& now);

    std::mutex mutex_;
    QHash<QString, Entry> entries_; // by address, and by address and login
};

} // namespace pla
