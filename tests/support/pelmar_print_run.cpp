#include "support/pelmar_print_run.h"

#include "support/loopback_listener.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
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
    startPelmarPrint(process, home, cupsServer, arguments);
    EXPECT_TRUE(process.waitForStarted());
    EXPECT_TRUE(process.waitForFinished(timeoutMs));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError()),
            QString::fromUtf8(process.readAllStandardOutput())};
}

void startPelmarPrint(QProcess& process, const QString& home, const QString& cupsServer,
                      const QStringList& arguments) {
    process.setProcessEnvironment(programEnvironment(home, cupsServer));
    process.start(QStringLiteral(PELMAR_BINARY_DIR "/bin/pelmar-print"), arguments);
}

std::vector<QJsonObject> jsonLines(const QString& out) {
    std::vector<QJsonObject> objects;
    for (const QString& line : out.split(u'\n', Qt::SkipEmptyParts)) {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(line.toUtf8(), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
        objects.push_back(document.object());
    }
    return objects;
}

QString copyExampleShop(const TempFolder& shop, const QList<int>& records) {
    const QString examples = QStringLiteral(PELMAR_SOURCE_DIR "/examples/shop");
    EXPECT_TRUE(QDir(shop.path()).mkdir(QStringLiteral("driver")));
    for (const QString& folder : {QString(), QStringLiteral("/driver")})
        for (const QString& file : QDir(examples + folder).entryList(QDir::Files))
            EXPECT_TRUE(
                QFile::copy(examples + folder + u'/' + file, shop.path() + folder + u'/' + file));
    const QList<QByteArray> all = shop.read(QStringLiteral("ITEMS.TXT")).split('\n');
    QByteArray kept;
    for (const int line : records)
        kept += all.value(line) + '\n';
    if (!records.isEmpty())
        shop.write(QStringLiteral("ITEMS.TXT"), kept);
    return QString::fromLatin1((records.isEmpty() ? all.value(0) : kept).left(13));
}

} // namespace pelmar::test
