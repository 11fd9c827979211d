#include "support/virtual_printer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QThread>
#include <csignal>

namespace pelmar::test {

VirtualPrinter::VirtualPrinter(const QString& folder, const QStringList& options)
    : m_folder(folder) {
    m_process.start(
        QStringLiteral(PELMAR_BINARY_DIR "/bin/tspl-render"),
        QStringList{QStringLiteral("--listen"), QStringLiteral("0"), QStringLiteral("-o"), folder} +
            options);
    if (!m_process.waitForStarted(30000) || !m_process.waitForReadyRead(30000))
        return;
    const QString line = QString::fromLatin1(m_process.readLine()).trimmed();
    if (line.startsWith(QLatin1String("listening on 127.0.0.1:")))
        m_port = line.section(u':', -1).toInt();
}

VirtualPrinter::~VirtualPrinter() {
    stop();
}

void VirtualPrinter::clearFault() {
    if (m_process.state() == QProcess::Running)
        ::kill(static_cast<pid_t>(m_process.processId()), SIGUSR1);
}

int VirtualPrinter::labels() const {
    return static_cast<int>(
        QDir(m_folder).entryList({QStringLiteral("label-*.png")}, QDir::Files).size());
}

int VirtualPrinter::waitForLabels(int count, int milliseconds) const {
    const QDeadlineTimer deadline(milliseconds);
    while (labels() < count && !deadline.hasExpired())
        QThread::msleep(10);
    return labels();
}

QString VirtualPrinter::stop() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(30000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }
    return QString::fromUtf8(m_process.readAllStandardError());
}

} // namespace pelmar::test
