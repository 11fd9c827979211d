#include "preview/print_mechanics.h"

#include "common/run_error.h"
#include "support/fake_clock.h"

#include <gtest/gtest.h>

namespace pelmar::preview {
namespace {

using namespace std::chrono_literals;
using Kind = PlannedFault::Kind;

// Keeps the printed labels by their width, which the tests use as the label's number.
class NumberedSink : public LabelSink {
public:
    void label(const QImage& picture) override {
        if (failNext)
            throw common::RunError(common::PathFileAccessError, QStringLiteral("disk full"));
        widths.push_back(picture.width());
    }
    std::vector<int> widths;
    bool failNext = false;
};

QImage labelNumber(int n) {
    return QImage(n, 1, QImage::Format_Mono);
}

struct Bench {
    explicit Bench(MechanicsOptions options) : mechanics(sink, clock, std::move(options)) {}
    void add(int from, int to, double seconds = 1.0) {
        for (int n = from; n <= to; ++n)
            mechanics.add(labelNumber(n), seconds);
    }
    void wait(std::chrono::steady_clock::duration d) {
        clock.advance(d);
        mechanics.advance();
    }
    NumberedSink sink;
    test::FakeClock clock;
    PrintMechanics mechanics;
};

MechanicsOptions timed(int bufferLabels = 4) {
    MechanicsOptions options;
    options.timed = true;
    options.bufferLabels = bufferLabels;
    return options;
}

TEST(PrintMechanicsTest, WithoutTimingEveryLabelPrintsAtOnce) {
    Bench bench({});
    bench.add(1, 10);
    EXPECT_EQ(bench.sink.widths.size(), 10u);
    EXPECT_EQ(bench.mechanics.pending(), 0);
    EXPECT_FALSE(bench.mechanics.nextEvent());
    EXPECT_FALSE(bench.mechanics.condition().printing);
}

TEST(PrintMechanicsTest, TimedLabelsPrintOneAfterAnotherAtTheirScaledTime) {
    MechanicsOptions options = timed();
    options.timeScale = 0.5;
    Bench bench(options);
    const auto start = bench.clock.now();
    bench.add(1, 3, 2.0); // one second each after scaling
    EXPECT_TRUE(bench.mechanics.condition().printing);
    EXPECT_EQ(bench.mechanics.nextEvent(), start + 1s);
    bench.wait(999ms);
    EXPECT_TRUE(bench.sink.widths.empty());
    bench.wait(1ms);
    EXPECT_EQ(bench.sink.widths, std::vector<int>{1});
    // A late call prints everything that is due, each at its own time.
    bench.wait(5s);
    EXPECT_EQ(bench.sink.widths, (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(bench.mechanics.condition().printing);
    // A label arriving to an idle printer starts when it arrives, not when the last one ended.
    bench.add(4, 4, 2.0);
    EXPECT_EQ(bench.mechanics.nextEvent(), bench.clock.now() + 1s);
}

TEST(PrintMechanicsTest, TheBufferIsFullAtItsBoundAndFreesWithEachPrintedLabel) {
    Bench bench(timed(3));
    bench.add(1, 2);
    EXPECT_FALSE(bench.mechanics.full());
    bench.add(3, 3);
    EXPECT_TRUE(bench.mechanics.full());
    EXPECT_TRUE(bench.mechanics.condition().bufferFull);
    bench.wait(1s);
    EXPECT_FALSE(bench.mechanics.full());
    EXPECT_EQ(bench.mechanics.mostPending(), 3);
}

TEST(PrintMechanicsTest, CancelDropsWhatIsNotPrintedAndTheNextLabelsPrintNormally) {
    Bench bench(timed());
    bench.add(1, 3);
    bench.wait(1s);
    EXPECT_EQ(bench.mechanics.cancel(), 2);
    EXPECT_FALSE(bench.mechanics.nextEvent());
    EXPECT_FALSE(bench.mechanics.condition().printing);
    bench.add(4, 4);
    bench.wait(1s);
    EXPECT_EQ(bench.sink.widths, (std::vector<int>{1, 4}));
}

struct FaultCase {
    const char* name;
    Kind kind;
    PrinterCondition expected; // while stopped, labels pending
};

TEST(PrintMechanicsTest, AFaultStopsAfterItsLabelsAndClearingLosesAndRepeatsNone) {
    const FaultCase cases[] = {
        {"paper out", Kind::PaperOut, {.paperOut = true, .printing = true}},
        {"head open", Kind::HeadOpen, {.headOpen = true, .printing = true}},
        {"pause", Kind::Pause, {.paused = true, .printing = true}},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        MechanicsOptions options = timed(10);
        options.faults = {{c.kind, 2}};
        Bench bench(options);
        bench.add(1, 5);
        bench.wait(10s);
        EXPECT_EQ(bench.sink.widths, (std::vector<int>{1, 2}));
        const PrinterCondition stopped = bench.mechanics.condition();
        EXPECT_EQ(stopped.headOpen, c.expected.headOpen);
        EXPECT_EQ(stopped.paperOut, c.expected.paperOut);
        EXPECT_EQ(stopped.paused, c.expected.paused);
        EXPECT_TRUE(stopped.printing);
        EXPECT_FALSE(bench.mechanics.nextEvent()); // waits for a hand
        bench.mechanics.clearFault();
        EXPECT_EQ(statusByte(bench.mechanics.condition()), 0x20);
        // The label that was next starts after the clearing, not before.
        EXPECT_EQ(bench.mechanics.nextEvent(), bench.clock.now() + 1s);
        bench.wait(10s);
        EXPECT_EQ(bench.sink.widths, (std::vector<int>{1, 2, 3, 4, 5}));
        EXPECT_EQ(statusByte(bench.mechanics.condition()), 0);
    }
}

TEST(PrintMechanicsTest, FaultsAtTheStartInTurnAndClearingThemselves) {
    MechanicsOptions options = timed();
    options.faults = {{Kind::HeadOpen, 0}, {Kind::PaperOut, 0}, {Kind::Pause, 1}};
    options.faultClearAfter = 4.0s;
    options.timeScale = 0.5; // the clearing time is scaled with the printing
    Bench bench(options);
    const auto start = bench.clock.now();
    EXPECT_TRUE(bench.mechanics.condition().headOpen);
    bench.add(1, 2, 2.0);
    EXPECT_EQ(bench.mechanics.nextEvent(), start + 2s);
    bench.wait(2s);
    EXPECT_TRUE(bench.mechanics.condition().paperOut);
    EXPECT_FALSE(bench.mechanics.condition().headOpen);
    bench.wait(2s);
    EXPECT_FALSE(bench.mechanics.faulted());
    bench.wait(1s);
    EXPECT_EQ(bench.sink.widths, std::vector<int>{1});
    EXPECT_TRUE(bench.mechanics.condition().paused);
    // Label 2 waits the pause's two seconds, then its own one.
    bench.wait(2s);
    EXPECT_TRUE(bench.sink.widths.size() == 1);
    bench.wait(1s);
    EXPECT_EQ(bench.sink.widths, (std::vector<int>{1, 2}));
}

TEST(PrintMechanicsTest, ALabelTheSinkCannotKeepStaysPending) {
    Bench bench({});
    bench.sink.failNext = true;
    EXPECT_THROW(bench.add(1, 1), common::RunError);
    EXPECT_EQ(bench.mechanics.pending(), 1);
    EXPECT_EQ(bench.mechanics.printed(), 0);
    bench.sink.failNext = false;
    bench.mechanics.advance();
    EXPECT_EQ(bench.sink.widths, std::vector<int>{1});
}

TEST(PrintMechanicsTest, PlannedFaultsAreReadFromTheirKindAndCount) {
    struct Case {
        const char* text;
        bool valid;
        Kind kind;
        long long after;
    };
    const Case cases[] = {
        {"paper-out@3", true, Kind::PaperOut, 3},
        {"head-open@0", true, Kind::HeadOpen, 0},
        {"pause@12", true, Kind::Pause, 12},
        {"pause@-1", false, {}, 0},
        {"pause", false, {}, 0},
        {"jam@2", false, {}, 0},
        {"pause@2@3", false, {}, 0},
        {"pause@x", false, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<PlannedFault> fault = parsePlannedFault(QString::fromLatin1(c.text));
        ASSERT_EQ(fault.has_value(), c.valid);
        if (fault) {
            EXPECT_EQ(fault->kind, c.kind);
            EXPECT_EQ(fault->afterLabels, c.after);
        }
    }
}

TEST(PrintMechanicsTest, ALabelTakesItsLengthAndGapAtItsSpeed) {
    struct Case {
        const char* name;
        int height;
        int gap;
        QByteArray speed;
        int dpi;
        double seconds;
    };
    const Case cases[] = {
        {"4-inch label, no gap, 4 in/s", 812, 0, "4", 203, 1.0},
        {"with gap, 2 in/s", 380, 26, "2", 203, 1.0},
        {"300 dpi, fraction speed", 450, 150, "1.5", 300, 2.0 / 1.5},
        {"no SPEED: 4 in/s", 812, 0, "", 203, 1.0},
        {"SPEED not a number", 812, 0, "fast", 203, 1.0},
        {"no SIZE: 2-inch label", 0, 0, "2", 203, 1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PrinterSetup setup;
        setup.labelHeight = c.height;
        setup.gap = c.gap;
        setup.speed = c.speed;
        EXPECT_NEAR(labelPrintSeconds(setup, c.dpi), c.seconds, 1e-9);
    }
}

} // namespace
} // namespace pelmar::preview
