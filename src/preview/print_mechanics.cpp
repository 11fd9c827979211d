#include "preview/print_mechanics.h"

#include "preview/tspl_arguments.h"

#include <QStringList>
#include <algorithm>

namespace pelmar::preview {

using TimePoint = std::chrono::steady_clock::time_point;

std::optional<PlannedFault> parsePlannedFault(const QString& text) {
    const QStringList parts = text.split(u'@');
    if (parts.size() != 2)
        return std::nullopt;
    PlannedFault fault;
    if (parts[0] == QLatin1String("paper-out"))
        fault.kind = PlannedFault::Kind::PaperOut;
    else if (parts[0] == QLatin1String("head-open"))
        fault.kind = PlannedFault::Kind::HeadOpen;
    else if (parts[0] == QLatin1String("pause"))
        fault.kind = PlannedFault::Kind::Pause;
    else
        return std::nullopt;
    bool ok = false;
    fault.afterLabels = parts[1].toLongLong(&ok);
    if (!ok || fault.afterLabels < 0)
        return std::nullopt;
    return fault;
}

PrintMechanics::PrintMechanics(LabelSink& output, common::Clock& clock, MechanicsOptions options)
    : m_output(output), m_clock(clock), m_options(std::move(options)),
      m_faultDone(m_options.faults.size(), false) {
    m_options.bufferLabels = std::max(1, m_options.bufferLabels);
    faultIfPlanned(m_clock.now());
}

std::chrono::steady_clock::duration PrintMechanics::scaled(double seconds) const {
    if (!m_options.timed)
        return {};
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(std::max(0.0, seconds * m_options.timeScale)));
}

void PrintMechanics::add(const QImage& label, double seconds) {
    m_pending.push_back({label, scaled(seconds)});
    m_mostPending = std::max(m_mostPending, pending());
    if (!m_frontStarted && !m_fault)
        startFront(m_clock.now());
    advance();
}

void PrintMechanics::startFront(TimePoint at) {
    if (m_pending.empty() || m_fault)
        m_frontStarted.reset();
    else
        m_frontStarted = at;
}

void PrintMechanics::faultIfPlanned(TimePoint at) {
    for (std::size_t i = 0; i < m_options.faults.size(); ++i) {
        if (m_faultDone[i] || m_options.faults[i].afterLabels > m_printed)
            continue;
        m_faultDone[i] = true;
        m_fault = m_options.faults[i].kind;
        m_faultSince = at;
        m_frontStarted.reset();
        return;
    }
}

void PrintMechanics::advance() {
    const TimePoint now = m_clock.now();
    while (true) {
        if (m_fault) {
            // A fault that clears itself does so at its time, and printing resumes from then.
            const std::optional<TimePoint> clearAt = faultEnds();
            if (!clearAt || *clearAt > now)
                return;
            m_fault.reset();
            faultIfPlanned(*clearAt);
            startFront(*clearAt);
            continue;
        }
        if (!m_frontStarted)
            return;
        const TimePoint finished = *m_frontStarted + m_pending.front().time;
        if (finished > now)
            return;
        // The label stays pending when the sink fails, so nothing counts as printed that is not.
        m_output.label(m_pending.front().picture);
        m_pending.pop_front();
        ++m_printed;
        faultIfPlanned(finished);
        startFront(finished);
    }
}

std::optional<TimePoint> PrintMechanics::faultEnds() const {
    if (!m_fault || !m_options.faultClearAfter)
        return std::nullopt;
    return m_faultSince + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                              *m_options.faultClearAfter * m_options.timeScale);
}

double labelPrintSeconds(const PrinterSetup& setup, int dpi) {
    const std::optional<double> speed = parseNumber(setup.speed);
    const double inchesPerSecond = speed && *speed > 0 ? *speed : kDefaultSpeed;
    const int length = setup.labelHeight > 0 ? setup.labelHeight : 2 * dpi;
    return (length + std::max(0, setup.gap)) / static_cast<double>(dpi) / inchesPerSecond;
}

std::optional<TimePoint> PrintMechanics::nextEvent() const {
    if (m_fault)
        return faultEnds();
    if (m_frontStarted)
        return *m_frontStarted + m_pending.front().time;
    return std::nullopt;
}

int PrintMechanics::cancel() {
    const int dropped = pending();
    m_pending.clear();
    m_frontStarted.reset();
    return dropped;
}

void PrintMechanics::clearFault() {
    if (!m_fault)
        return;
    const TimePoint now = m_clock.now();
    m_fault.reset();
    faultIfPlanned(now);
    startFront(now);
    advance();
}

PrinterCondition PrintMechanics::condition() const {
    PrinterCondition c;
    c.headOpen = m_fault == PlannedFault::Kind::HeadOpen;
    c.paperOut = m_fault == PlannedFault::Kind::PaperOut;
    c.paused = m_fault == PlannedFault::Kind::Pause;
    c.printing = !m_pending.empty();
    c.bufferFull = full();
    return c;
}

} // namespace pelmar::preview
