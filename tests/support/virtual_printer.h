#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace pelmar::test {

// The virtual network printer (tspl-render --listen) as a process of its own on a free loopback
// port, writing its labels into folder.
class VirtualPrinter {
public:
    // Starts it with the extra options (--mechanics, --fault ...); started() tells whether it
    // listens.
    VirtualPrinter(const QString& folder, const QStringList& options);
    ~VirtualPrinter();
    VirtualPrinter(const VirtualPrinter&) = delete;
    VirtualPrinter& operator=(const VirtualPrinter&) = delete;

    bool started() const { return m_port > 0; }
    QString address() const { return QStringLiteral("socket://127.0.0.1:%1").arg(m_port); }
    // Clears the printer's fault (SIGUSR1), as the operator does at the printer.
    void clearFault();
    // The labels printed so far.
    int labels() const;
    // Waits up to milliseconds for count labels; returns the labels printed by then.
    int waitForLabels(int count, int milliseconds = 10000) const;
    // Ends it (SIGTERM) and returns what it said on standard error.
    QString stop();

private:
    QString m_folder;
    QProcess m_process;
    int m_port = 0;
};

} // namespace pelmar::test
