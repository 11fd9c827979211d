#pragma once

#include <QString>
#include <chrono>
#include <functional>

namespace pelmar::test {

// Memory bound of every bounded-resource case, in MB above the resident size before it.
// Builds with AddressSanitizer keep freed memory in quarantine and get twice as much.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr double kMemoryBoundMb = 1024;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr double kMemoryBoundMb = 1024;
#else
inline constexpr double kMemoryBoundMb = 512;
#endif
#else
inline constexpr double kMemoryBoundMb = 512;
#endif

// What an operation cost: the peak resident memory it added (MB) and its wall time.
struct ResourceUse {
    double peakMb = 0;
    std::chrono::duration<double> seconds{};
};

// Runs op and measures it: the process's peak resident size is reset first (clear_refs), so
// the peak is the operation's own. Exceptions of op pass through.
ResourceUse measure(const std::function<void()>& op);

// Open file descriptors of this process: a closed port gives its descriptor back.
int openDescriptors();

} // namespace pelmar::test
