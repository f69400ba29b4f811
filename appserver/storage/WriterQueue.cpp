#include "appserver/storage/WriterQueue.h"

#include <QHash>
#include <memory>

namespace pla {

WriterQueue& WriterQueue::of(const QString& path) {
    static std::mutex mutex;
    static QHash<QString, std::shared_ptr<WriterQueue>> queues;
    std::lock_guard<std::mutex> lock(mutex);
    std::shared_ptr<WriterQueue>& q = queues[path];
    if (!q) q = std::make_shared<WriterQueue>();
    return *q;
}

void WriterQueue::enter() {
    std::unique_lock<std::mutex> lock(mutex_);
    const std::uint64_t ticket = next_++;
    turn_.wait(lock, [&] { return serving_ == ticket; });
}

void WriterQueue::leave() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++serving_;
    }
    turn_.notify_all();
}

} // namespace pla
