#pragma once

#include "common/clock.h"
#include "preview/label_sink.h"
#include "preview/printer_status.h"
#include "preview/tspl_interpreter.h"

#include <QImage>
#include <QString>
#include <chrono>
#include <deque>
#include <optional>
#include <vector>

namespace pelmar::preview {

// A stop the printer makes on its own after a number of printed labels.
struct PlannedFault {
    enum class Kind { PaperOut, HeadOpen, Pause };
    Kind kind = Kind::PaperOut;
    long long afterLabels = 0;
};

// Reads "paper-out@N", "head-open@N" or "pause@N"; nothing when the text is not one of them.
std::optional<PlannedFault> parsePlannedFault(const QString& text);

// Inches per second when the stream sets no SPEED (or one that is not a number).
constexpr double kDefaultSpeed = 4.0;

// The time the mechanics take for one label of the set-up: label length and gap (or black
// mark) at SPEED. A stream without SIZE gets the interpreter's 2-inch label; one without GAP
// or BLINE no gap.
double labelPrintSeconds(const PrinterSetup& setup, int dpi);

struct MechanicsOptions {
    // Labels take their printing time; without it every label prints as soon as it is made.
    bool timed = false;
    // Factor on every printing time and on faultClearAfter (0.01: a hundred times faster).
    double timeScale = 1.0;
    // Labels the printer holds before it stops reading.
    int bufferLabels = 4;
    std::vector<PlannedFault> faults;
    // A fault clears itself after this long (scaled); never when not given.
    std::optional<std::chrono::duration<double>> faultClearAfter;
};

// The print engine of the virtual printer: holds the labels made but not yet printed, prints
// them one after another at the pace of the mechanics, stops at the planned faults and hands
// every printed label to the sink. Nothing happens by itself: advance() does what the clock
// says is due, and nextEvent() tells when to call it again.
class PrintMechanics {
public:
    PrintMechanics(LabelSink& output, common::Clock& clock, MechanicsOptions options);

    // A label to print that takes seconds (unscaled) on the mechanics. Prints at once when the
    // mechanics are not timed and nothing stops them. Throws what the sink throws.
    void add(const QImage& label, double seconds);
    // Prints the labels whose time has come and clears a fault whose time is up.
    void advance();
    // When advance() has something to do next; nothing while it waits for labels or for a
    // fault to be cleared by hand.
    std::optional<std::chrono::steady_clock::time_point> nextEvent() const;

    // Drops the labels not yet printed (<ESC>!.); returns how many.
    int cancel();
    // Ends the fault the printer stopped with; labels still pending go on printing.
    void clearFault();
    // The receive buffer is full: the printer reads nothing more until a label is printed.
    bool full() const { return static_cast<int>(m_pending.size()) >= m_options.bufferLabels; }

    PrinterCondition condition() const;
    long long printed() const { return m_printed; }
    int pending() const { return static_cast<int>(m_pending.size()); }
    bool faulted() const { return m_fault.has_value(); }
    // The most labels ever held at once.
    int mostPending() const { return m_mostPending; }

private:
    struct Label {
        QImage picture;
        std::chrono::steady_clock::duration time;
    };
    void startFront(std::chrono::steady_clock::time_point at);
    void faultIfPlanned(std::chrono::steady_clock::time_point at);
    // When the fault clears itself; nothing when there is none or it waits for a hand.
    std::optional<std::chrono::steady_clock::time_point> faultEnds() const;
    std::chrono::steady_clock::duration scaled(double seconds) const;

    LabelSink& m_output;
    common::Clock& m_clock;
    MechanicsOptions m_options;
    std::deque<Label> m_pending;
    // When the label at the front of m_pending began printing; none while nothing prints.
    std::optional<std::chrono::steady_clock::time_point> m_frontStarted;
    std::optional<PlannedFault::Kind> m_fault;
    std::chrono::steady_clock::time_point m_faultSince;
    std::vector<bool> m_faultDone;
    long long m_printed = 0;
    int m_mostPending = 0;
};

} // namespace pelmar::preview
