#pragma once

#include <QString>

namespace pelmar::common {

// The largest files a run reads, in bytes. The data file is held several times over while it is
// cut (32767 records of 2 KB are about 66 MB); settings and formats are typed by hand and a few
// kilobytes long.
inline constexpr qint64 kMaxDataFileBytes = 128LL * 1024 * 1024;
inline constexpr qint64 kMaxFormatFileBytes = 16LL * 1024 * 1024;
inline constexpr qint64 kMaxSettingsFileBytes = 1024LL * 1024;

// Checks, without opening it, that path (links followed) is a regular file of at most maxBytes:
// a device, a FIFO or a folder could block a read or never end it. what names the file in the
// message ("資料檔"). Throws RunError(75) naming the path for a file that is not a regular one or
// cannot be examined, and RunError(7) naming the path and the limit for a larger one.
void checkInputFile(const QString& path, const QString& what, qint64 maxBytes);

// resolveFileName, then checkInputFile on what was found. Throws RunError(53) with the name when
// nothing is there (or the name ends at a separator), and what checkInputFile throws.
QString existingInputFile(const QString& path, const QString& what, qint64 maxBytes);

} // namespace pelmar::common
