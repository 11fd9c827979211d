#include "support/temp_folder.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <csignal>
#include <gtest/gtest.h>

namespace pelmar::preview {
namespace {

const QByteArray kStream =
    "SIZE 50 mm,30 mm\r\nCLS\r\nBAR 0,0,80,8\r\nTEXT 10,20,\"3\",0,1,1,\"A1\"\r\n"
    "PRINT 3\r\n";

// The answer of size bytes to a query.
QByteArray ask(QTcpSocket& socket, const QByteArray& query, qsizetype size) {
    socket.write(query);
    const QDeadlineTimer deadline(5000);
    while (socket.bytesAvailable() < size && !deadline.hasExpired())
        socket.waitForReadyRead(100);
    return socket.read(size);
}

TEST(TsplRenderListenTest, ServesAStreamAsFileModeRendersItAndEndsOnSigterm) {
    const QString tool = QStringLiteral(PELMAR_BINARY_DIR "/bin/tspl-render");
    if (!QFile::exists(tool))
        GTEST_SKIP() << "tspl-render not built";
    test::TempFolder temp;
    QProcess fileMode;
    fileMode.start(tool, {temp.write(QStringLiteral("in.tspl"), kStream), QStringLiteral("-o"),
                          temp.file(QStringLiteral("file"))});
    ASSERT_TRUE(fileMode.waitForFinished(30000));

    QProcess listener;
    listener.start(tool, {QStringLiteral("--listen"), QStringLiteral("0"), QStringLiteral("-o"),
                          temp.file(QStringLiteral("net")), QStringLiteral("--fault"),
                          QStringLiteral("pause@1")});
    ASSERT_TRUE(listener.waitForReadyRead(30000));
    const QString line = QString::fromLatin1(listener.readLine()).trimmed();
    ASSERT_TRUE(line.startsWith(QLatin1String("listening on 127.0.0.1:"))) << line.toStdString();
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), line.section(u':', -1).toUShort());
    ASSERT_TRUE(socket.waitForConnected(5000));
    EXPECT_EQ(ask(socket, kStream + "\x1b!?", 1), QByteArray(1, '\x30'));
    ::kill(static_cast<pid_t>(listener.processId()), SIGUSR1);
    QDeadlineTimer cleared(5000);
    QByteArray status;
    while ((status = ask(socket, "\x1b!?", 1)) != QByteArray(1, '\0') && !cleared.hasExpired())
        ;
    EXPECT_EQ(status, QByteArray(1, '\0'));
    socket.disconnectFromHost();

    listener.terminate(); // SIGTERM
    ASSERT_TRUE(listener.waitForFinished(30000));
    EXPECT_EQ(listener.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(listener.exitCode(), 0);
    EXPECT_TRUE(listener.readAllStandardError().contains("3 label(s) written"));
    const QStringList files = QDir(temp.file(QStringLiteral("file"))).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 3);
    EXPECT_EQ(QDir(temp.file(QStringLiteral("net"))).entryList(QDir::Files), files);
    for (const QString& name : files)
        EXPECT_EQ(temp.read(QStringLiteral("net/") + name),
                  temp.read(QStringLiteral("file/") + name));

    QProcess bad;
    bad.start(tool, {QStringLiteral("--listen"), QStringLiteral("70000"), QStringLiteral("-o"),
                     temp.path()});
    ASSERT_TRUE(bad.waitForFinished(30000));
    EXPECT_EQ(bad.exitCode(), 2);
}

} // namespace
} // namespace pelmar::preview
