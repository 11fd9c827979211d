#pragma once

#include <QString>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace pelmar::app {

// One regular file of a watched folder as a scan saw it.
struct SeenFile {
    QString name;                // the name in the folder, without a path
    std::int64_t size = 0;       // bytes
    std::int64_t modifiedNs = 0; // modification time, nanoseconds since the epoch
};

// What a scan of the watched folder found: its files, or why it could not be read. A failed
// scan says nothing about the files, so it is never an empty folder.
struct FolderScan {
    bool read = false;
    QString error; // when not read: why, in the words of the system
    std::vector<SeenFile> files;
};

// True for a name a writer may still be filling: starting with "." or ending in ".tmp", ".part"
// or "~" (letter case ignored).
bool isUnfinishedName(const QString& name);

// Files in the order they arrived: modification time, then name.
void sortByArrival(std::vector<SeenFile>& files);

// Decides which files of a watched folder are complete. A file is complete when it arrived by
// rename, or when two scans at least `settle` apart saw the same size and modification time: a
// writer that sets the full size first and writes the data after changes the time.
class ClaimTracker {
public:
    using Clock = std::chrono::steady_clock;

    explicit ClaimTracker(Clock::duration settle) : m_settle(settle) {}

    // A hint that the name was renamed into the folder: complete once a scan sees it.
    void arrivedByRename(const QString& name);

    // The complete files of the scan taken at `now`, in the order they arrived. A file stays
    // complete until a scan no longer sees it (claimed, or taken back). A failed scan changes
    // nothing and gives nothing.
    std::vector<SeenFile> complete(const FolderScan& scan, Clock::time_point now);

    // The first time after `now` at which a file still settling may be complete; nothing when
    // none is settling.
    std::optional<Clock::time_point> nextSettled(Clock::time_point now) const;

private:
    struct Watched {
        std::int64_t size = 0;
        std::int64_t modifiedNs = 0;
        Clock::time_point since; // when this size and time were first seen
        bool renamed = false;
    };

    Clock::duration m_settle;
    std::map<QString, Watched> m_watched;
};

} // namespace pelmar::app
