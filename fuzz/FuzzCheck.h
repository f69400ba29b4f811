#pragma once

#include <QString>
#include <cstdio>
#include <cstdlib>

namespace pla::fuzz {

// Ends the run as a crash when a reader breaks its contract, so that libFuzzer keeps the input
// as a file and the seed-corpus test fails. `detail` says what the reader did instead.
[[noreturn]] inline void breach(const char* rule, const QString& detail = {}) {
    std::fprintf(stderr, "contract breach: %s\n", rule);
    if (!detail.isEmpty()) std::fprintf(stderr, "  %s\n", detail.toUtf8().constData());
    std::abort();
}

inline void require(bool holds, const char* rule, const QString& detail = {}) {
    if (!holds) breach(rule, detail);
}

} // namespace pla::fuzz
