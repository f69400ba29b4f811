#pragma once

#include <QtGlobal>

namespace pla {

// Bounds the server puts on what a client sends. They lie far above any real distribution
// (a menu has a few dozen dishes, a delivery point a few hundred packagings), so they only
// stop damage: absurd amounts that break the views of every user, and packets so large that
// one save would hold the write lock for seconds.
struct InputLimits {
    // Units of one packaging (QTCONTAINER).
    static constexpr double maxUnits = 100000;
    // Any amount: diners, dish quantity, extra, quantity per person, capacity, totals.
    static constexpr double maxAmount = 1e9;
    // Decimals kept of a stored amount.
    static constexpr int decimals = 5;
    // Rows per packet of one save.
    static constexpr int maxDishes = 1000;     // undistributed dishes
    static constexpr int maxPackagings = 2000; // packagings
    static constexpr int maxDishRows = 10000;  // dishes in packagings
    // Services of one branch generation.
    static constexpr int maxServices = 1000;
    // Packaging numbers: temporary negative ones and stored ones alike fit a double exactly.
    static constexpr qint64 maxPackagingNumber = qint64(1) << 53;
    // Calls in one JSON-RPC batch: the client sends one call per request, and a batch of thousands
    // would hold a worker and its memory for seconds.
    static constexpr int maxBatchCalls = 100;
    // A numeric request id must be whole and of at most 15 digits: every such number reads and is
    // written back exactly, so the answer carries the id the client sent.
    static constexpr double maxNumericId = 999999999999999;
    // Characters of client input quoted back in a message.
    static constexpr int maxQuoted = 80;
};

} // namespace pla
