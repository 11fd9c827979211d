#include "support/pelmar_print_run.h"

#include "support/loopback_listener.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace pelmar::test {

QProcessEnvironment programEnvironment(const QString& home, const QString& cupsServer) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PELMAR_HOME"), home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("CUPS_SERVER"), cupsServer);
    return env;
}

ToolRun runPelmarPrint(const TempFolder& home, int timeoutMs) {
    return runPelmarPrint(home.path(), QStringList(), timeoutMs);
}

ToolRun runPelmarPrint(const QString& home, const QStringList& arguments, int timeoutMs) {
    Listener noCups;
    noCups.close();
    return runPelmarPrintWithCups(QStringLiteral("127.0.0.1:%1").arg(noCups.port()), home,
                                  arguments, timeoutMs);
}

ToolRun runPelmarPrintWithCups(const QString& cupsServer, const QString& home,
                               const QStringList& arguments, int timeoutMs) {
    QProcess process;
    process.setProcessEnvironment(programEnvironment(home, cupsServer));
    process.start(QStringLiteral(PELMAR_BINARY_DIR "/bin/pelmar-print"), arguments);
    EXPECT_TRUE(process.waitForStarted());
    EXPECT_TRUE(process.waitForFinished(timeoutMs));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError()),
            QString::fromUtf8(process.readAllStandardOutput())};
}

} // namespace pelmar::test
