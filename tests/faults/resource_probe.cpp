#include "faults/resource_probe.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace pelmar::test {

namespace {

double statusKb(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QRegularExpression line(QStringLiteral("^%1:\\s+(\\d+) kB").arg(QLatin1String(key)),
                                  QRegularExpression::MultilineOption);
    const auto match = line.match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toDouble() : 0;
}

} // namespace

ResourceUse measure(const std::function<void()>& op) {
    {
        // "5" resets the peak resident size to the current one.
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        if (clear.open(QIODevice::WriteOnly))
            clear.write("5");
    }
    const double before = statusKb("VmRSS");
    const auto start = std::chrono::steady_clock::now();
    op();
    ResourceUse use;
    use.seconds = std::chrono::steady_clock::now() - start;
    use.peakMb = (statusKb("VmHWM") - before) / 1024.0;
    return use;
}

int openDescriptors() {
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd"))
                                .entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot)
                                .size());
}

} // namespace pelmar::test
