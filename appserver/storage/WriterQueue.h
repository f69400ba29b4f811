#pragma once

#include <QString>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace pla {

// Lets the writers of one SQLite database in this process in one at a time, first come first
// served. SQLite itself makes a waiting writer sleep and poll, so under load the unlucky ones
// lose every race and wait for seconds; a ticket queue in front of it hands the write lock on
// in order, and SQLite's own wait only ever meets writers of other processes.
class WriterQueue {
public:
    // The queue of the database file `path` (one per path for the life of the process).
    static WriterQueue& of(const QString& path);
    // Waits for the caller's turn.
    void enter();
    // Ends the caller's turn; the next writer in line goes on.
    void leave();

private:
    std::mutex mutex_;
    std::condition_variable turn_;
    std::uint64_t next_ = 0;    // ticket of the next writer to arrive
    std::uint64_t serving_ = 0; // ticket whose turn it is
};

} // namespace pla
