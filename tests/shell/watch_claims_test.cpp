// Which files of a watched folder are complete, over scans made up step by step, and the free
// names of the done and error folders.
#include "shell/app/watch_claims.h"
#include "shell/app/watch_folder.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

using pelmar::app::ClaimTracker;
using pelmar::app::FolderScan;
using pelmar::app::SeenFile;
using namespace std::chrono_literals;

// One scan at atMs (settle 300 ms): the files it sees (a failed scan when `fails`), the names
// renamed in before it, and the names it must find complete, in order.
struct Step {
    int atMs;
    std::vector<SeenFile> files;
    QStringList complete;
    QStringList renamed = {};
    bool fails = false;
    int nextMs = -2; // when the next file settles after this scan (-1: none; -2: not checked)
};

struct ClaimCase {
    const char* what;
    std::vector<Step> steps;
};

const SeenFile a{"a.txt", 5, 1000};

const ClaimCase kClaimCases[] = {
    {"names a writer is still filling wait",
     {{0, {{".a", 1, 1}, {"b.TMP", 1, 1}, {"c.part", 1, 1}, {"d~", 1, 1}, a}, {}},
      {400, {{".a", 1, 1}, {"b.TMP", 1, 1}, {"c.part", 1, 1}, {"d~", 1, 1}, a}, {"a.txt"}}}},
    {"the same size and time for the settle time",
     {{0, {a}, {}}, {200, {a}, {}}, {300, {a}, {"a.txt"}}}},
    {"a growing file starts its settle time again",
     {{0, {a}, {}},
      {400, {{"a.txt", 9, 1000}}, {}},
      {600, {{"a.txt", 9, 1000}}, {}},
      {700, {{"a.txt", 9, 1000}}, {"a.txt"}}}},
    {"the full size first, the data after: the time tells",
     {{0, {{"a.txt", 100, 1}}, {}},
      {400, {{"a.txt", 100, 2}}, {}},
      {800, {{"a.txt", 100, 2}}, {"a.txt"}}}},
    {"a rename is complete at once", {{0, {a}, {"a.txt"}, {"a.txt"}}}},
    {"a rename hint of an unfinished name counts for nothing",
     {{0, {{"a.tmp", 1, 1}}, {}, {"a.tmp"}}}},
    {"in the order they arrived: time, then name",
     {{0, {{"c", 1, 7}, {"b", 1, 9}, {"a", 1, 9}}, {}},
      {300, {{"c", 1, 7}, {"b", 1, 9}, {"a", 1, 9}}, {"c", "a", "b"}}}},
    {"a failed scan is no empty folder: what was seen keeps its time",
     {{0, {a}, {}}, {200, {}, {}, {}, true}, {300, {a}, {"a.txt"}}}},
    {"a file taken back and written again starts again",
     {{0, {a}, {}}, {200, {}, {}}, {400, {a}, {}}, {600, {a}, {}}, {700, {a}, {"a.txt"}}}},
    {"a complete file stays complete until it is claimed, and sets no time to wait for",
     {{0, {a}, {}, {}, false, 300},
      {300, {a}, {"a.txt"}, {}, false, -1},
      {900, {a}, {"a.txt"}},
      {1000, {}, {}},
      {1400, {a}, {}, {}, false, 1700}}},
};

TEST(WatchClaimsTest, CompleteFilesOverScans) {
    for (const ClaimCase& c : kClaimCases) {
        SCOPED_TRACE(c.what);
        ClaimTracker tracker(300ms);
        const ClaimTracker::Clock::time_point start{1h};
        for (const Step& step : c.steps) {
            SCOPED_TRACE(step.atMs);
            for (const QString& name : step.renamed)
                tracker.arrivedByRename(name);
            const FolderScan scan{!step.fails, step.fails ? "I/O" : "", step.files};
            QStringList complete;
            for (const SeenFile& file :
                 tracker.complete(scan, start + std::chrono::milliseconds(step.atMs)))
                complete << file.name;
            EXPECT_EQ(complete, step.complete);
            if (step.nextMs != -2) {
                const auto next = tracker.nextSettled(start + std::chrono::milliseconds(step.atMs));
                EXPECT_EQ(next ? (*next - start) / 1ms : -1, step.nextMs);
            }
        }
    }
}

TEST(WatchClaimsTest, AFreeNameKeepsTheExtensionAndNeverReplaces) {
    const struct {
        const char* name;
        QSet<QString> taken;
        const char* free;
    } cases[] = {
        {"items.txt", {}, "items.txt"},
        {"items.txt", {"items.txt"}, "items-2.txt"},
        {"items.txt", {"items.txt", "items-2.txt"}, "items-3.txt"},
        {"ITEMS", {"ITEMS"}, "ITEMS-2"},
        {"a.b.txt", {"a.b.txt"}, "a.b-2.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(pelmar::app::freeName(
                      c.name, [&](const QString& name) { return c.taken.contains(name); }),
                  c.free);
    }
}

} // namespace
