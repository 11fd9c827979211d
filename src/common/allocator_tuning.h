#pragma once

namespace pelmar::common {

// Keeps the memory of large short-lived buffers for the next page instead of giving it back to
// the system after every page: Qt's PDF writer takes and frees two 16 MB buffers a page, which
// glibc's default thresholds turn into four brk calls a page. Call once at program start, before
// any thread starts.
void keepLargeBuffersForReuse();

} // namespace pelmar::common
