#include "shell/app/watch_claims.h"

#include <algorithm>
#include <set>
#include <tuple>

namespace pelmar::app {

bool isUnfinishedName(const QString& name) {
    return name.startsWith(u'.') || name.endsWith(QStringLiteral(".tmp"), Qt::CaseInsensitive) ||
           name.endsWith(QStringLiteral(".part"), Qt::CaseInsensitive) || name.endsWith(u'~');
}

void sortByArrival(std::vector<SeenFile>& files) {
    std::sort(files.begin(), files.end(), [](const SeenFile& a, const SeenFile& b) {
        return std::tie(a.modifiedNs, a.name) < std::tie(b.modifiedNs, b.name);
    });
}

void ClaimTracker::arrivedByRename(const QString& name) {
    if (!isUnfinishedName(name))
        m_watched[name].renamed = true;
}

std::vector<SeenFile> ClaimTracker::complete(const FolderScan& scan, Clock::time_point now) {
    if (!scan.read)
        return {};
    std::vector<SeenFile> done;
    std::set<QString> present;
    for (const SeenFile& file : scan.files) {
        if (isUnfinishedName(file.name))
            continue;
        present.insert(file.name);
        const auto [at, isNew] = m_watched.try_emplace(file.name);
        Watched& watched = at->second;
        // A rename hint may come before the scan that first sees the file.
        const bool firstSight = isNew || watched.since == Clock::time_point{};
        if (firstSight || watched.size != file.size || watched.modifiedNs != file.modifiedNs) {
            watched.size = file.size;
            watched.modifiedNs = file.modifiedNs;
            watched.since = now;
            if (!watched.renamed)
                continue;
        }
        if (watched.renamed || now - watched.since >= m_settle)
            done.push_back(file);
    }
    // A file gone from the folder (claimed, or taken back by its writer) is forgotten, and so is
    // a rename hint whose file has left again.
    std::erase_if(m_watched,
                  [&present](const auto& entry) { return !present.contains(entry.first); });
    sortByArrival(done);
    return done;
}

std::optional<ClaimTracker::Clock::time_point>
ClaimTracker::nextSettled(Clock::time_point now) const {
    std::optional<Clock::time_point> next;
    for (const auto& [name, watched] : m_watched) {
        const Clock::time_point at = watched.since + m_settle;
        // A file complete already waits for its claim (the lock), not for a time.
        if (watched.renamed || watched.since == Clock::time_point{} || at <= now)
            continue;
        if (!next || at < *next)
            next = at;
    }
    return next;
}

} // namespace pelmar::app
