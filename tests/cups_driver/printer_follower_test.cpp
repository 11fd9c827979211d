#include "cups_driver/printer_follower.h"

#include "support/fake_clock.h"

#include <gtest/gtest.h>

namespace pelmar::cups_driver {
namespace {

// A device that answers each inquiry with the next status of its script (-1: no answer); the
// script's last entry repeats.
class ScriptedChannel : public StatusChannel {
public:
    bool canAnswer() override { return answers; }
    void ask() override {
        const int status = script[std::min<size_t>(asks++, script.size() - 1)];
        if (status >= 0)
            pending += static_cast<char>(status);
    }
    QByteArray take() override { return std::exchange(pending, QByteArray()); }

    bool answers = true;
    std::vector<int> script;
    size_t asks = 0;
    QByteArray pending;
};

TEST(PrinterFollowerTest, HoldsUntilPrintedAndTellsFaults) {
    struct Row {
        const char* name;
        bool answers;
        std::vector<int> script;
        int labels;
        QByteArrayList told;
        size_t asks;
    };
    const Row rows[] = {
        {"printed at once", true, {0}, 2, {}, 2},
        {"paper out reported, then cleared",
         true,
         {0x20, 0x24, 0x04, 0x20, 0},
         1,
         {"STATE: +media-empty-error", "ERROR: 印表機：紙張用完", "STATE: -media-empty-error",
          "INFO: 印表機恢復正常"},
         5},
        {"paused, then a jam with the cover open",
         true,
         {0x10, 0x42, 0},
         1,
         {"STATE: +paused", "INFO: 印表機：暫停", "STATE: -paused",
          "STATE: +media-jam-error,cover-open", "ERROR: 印表機：卡紙、上蓋開啟",
          "STATE: -media-jam-error,cover-open", "INFO: 印表機恢復正常"},
         3},
        {"no back channel: never asked", false, {0}, 3, {}, 0},
        {"no answer to the first inquiry: not asked again",
         true,
         {-1},
         3,
         {"INFO: 印表機不回答狀態查詢，不等候標籤印完"},
         1},
        // 30 s of silence at one inquiry per 400 ms answer wait.
        {"falls silent while printing",
         true,
         {0x20, -1},
         2,
         {"INFO: 印表機已停止回答狀態查詢，不再等候標籤印完"},
         1 + 75},
        // 30 s of "printing" at one inquiry per 100 ms poll.
        {"printing without end is bounded",
         true,
         {0x20},
         1,
         {"INFO: 印表機仍在列印，不再等候這張標籤"},
         301},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::FakeClock clock;
        ScriptedChannel channel;
        channel.answers = row.answers;
        channel.script = row.script;
        QByteArrayList told;
        PrinterFollower follower(channel, {clock, clock},
                                 [&](const QByteArray& line) { told << line; });
        for (int label = 0; label < row.labels; ++label)
            follower.afterLabel();
        EXPECT_EQ(told, row.told);
        EXPECT_EQ(channel.asks, row.asks);
    }
}

} // namespace
} // namespace pelmar::cups_driver
