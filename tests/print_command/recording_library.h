#pragma once

#include "print_command/printer_library.h"

#include <QStringList>
#include <algorithm>
#include <functional>
#include <vector>

namespace pelmar::test {

// Records every call as "name|arg|arg..." (integers as decimal text); `onCall` runs after each
// record (a test's stand-in for the operator or a failing port).
class RecordingLibrary : public print_command::PrinterLibrary {
public:
    void openport(const QString& name) override { add({QStringLiteral("openport"), name}); }
    void downloadpcx(const QString& path, const QString& name) override {
        add({QStringLiteral("downloadpcx"), path, name});
    }
    void setup(const QString& w, const QString& h, const QString& speed, const QString& density,
               const QString& sensor, const QString& vertical, const QString& offset) override {
        add({QStringLiteral("setup"), w, h, speed, density, sensor, vertical, offset});
    }
    void sendcommand(const QString& command) override {
        add({QStringLiteral("sendcommand"), command});
    }
    void clearbuffer() override { add({QStringLiteral("clearbuffer")}); }
    void barcode(const QString& x, const QString& y, const QString& type, const QString& height,
                 const QString& readable, const QString& rotation, const QString& narrow,
                 const QString& wide, const QString& code) override {
        add({QStringLiteral("barcode"), x, y, type, height, readable, rotation, narrow, wide,
             code});
    }
    void windowsfont(std::int16_t x, std::int16_t y, std::int16_t h, std::int16_t rotation,
                     std::int16_t style, std::int16_t underline, const QString& face,
                     const QString& content) override {
        add({QStringLiteral("windowsfont"), QString::number(x), QString::number(y),
             QString::number(h), QString::number(rotation), QString::number(style),
             QString::number(underline), face, content});
    }
    void printlabel(const QString& sets, const QString& copies) override {
        add({QStringLiteral("printlabel"), sets, copies});
    }
    void closeport() override { add({QStringLiteral("closeport")}); }
    bool isPhysical() const override { return physical; }
    bool answersStatus() const override { return !statuses.empty(); }
    // Hands out the scripted answers one per inquiry, the last repeated; "status" is recorded
    // only for the first of a run of equal answers, so the calls stay readable.
    std::optional<std::uint8_t> printerStatus(std::chrono::milliseconds) override {
        if (statuses.empty())
            return std::nullopt;
        const std::size_t at = std::min(statusesAsked, statuses.size() - 1);
        ++statusesAsked;
        const std::optional<std::uint8_t> answer = statuses[at];
        const QString call =
            answer ? QStringLiteral("status|%1").arg(*answer) : QStringLiteral("status|none");
        if (calls.isEmpty() || calls.last() != call)
            add({call});
        return answer;
    }

    // The calls whose name is `name`.
    QStringList named(const QString& name) const {
        QStringList out;
        for (const QString& call : calls)
            if (call == name || call.startsWith(name + u'|'))
                out << call;
        return out;
    }

    QStringList calls;
    bool physical = true;
    // Scripted status answers (nothing: the printer is silent); empty: no status at all.
    std::vector<std::optional<std::uint8_t>> statuses;
    std::size_t statusesAsked = 0;
    std::function<void(const QString& call)> onCall;

private:
    void add(const QStringList& parts) {
        calls << parts.join(u'|');
        if (onCall)
            onCall(calls.last());
    }
};

// A library handed to a run that keeps recording into `target`, which the test owns.
class ForwardingLibrary : public print_command::PrinterLibrary {
public:
    explicit ForwardingLibrary(RecordingLibrary& target) : m_target(target) {}
    void openport(const QString& n) override { m_target.openport(n); }
    void downloadpcx(const QString& p, const QString& n) override { m_target.downloadpcx(p, n); }
    void setup(const QString& a, const QString& b, const QString& c, const QString& d,
               const QString& e, const QString& f, const QString& g) override {
        m_target.setup(a, b, c, d, e, f, g);
    }
    void sendcommand(const QString& c) override { m_target.sendcommand(c); }
    void clearbuffer() override { m_target.clearbuffer(); }
    void barcode(const QString& a, const QString& b, const QString& c, const QString& d,
                 const QString& e, const QString& f, const QString& g, const QString& h,
                 const QString& i) override {
        m_target.barcode(a, b, c, d, e, f, g, h, i);
    }
    void windowsfont(std::int16_t a, std::int16_t b, std::int16_t c, std::int16_t d, std::int16_t e,
                     std::int16_t f, const QString& g, const QString& h) override {
        m_target.windowsfont(a, b, c, d, e, f, g, h);
    }
    void printlabel(const QString& s, const QString& c) override { m_target.printlabel(s, c); }
    void closeport() override { m_target.closeport(); }
    bool isPhysical() const override { return m_target.isPhysical(); }
    bool answersStatus() const override { return m_target.answersStatus(); }
    std::optional<std::uint8_t> printerStatus(std::chrono::milliseconds wait) override {
        return m_target.printerStatus(wait);
    }

private:
    RecordingLibrary& m_target;
};

} // namespace pelmar::test
