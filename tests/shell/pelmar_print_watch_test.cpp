// pelmar-print --watch on the folder of [Watch] Folder, printing to a file: port: a file left in
// work/ prints first, a renamed file and files that settled print once into done/, a bad file goes
// to error/ with its reason, files still being written are never claimed early, SIGTERM ends it.
#include "common/clock.h"
#include "common/wait.h"
#include "support/loopback_listener.h"
#include "support/pelmar_print_run.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QProcess>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// A writer that is slow on purpose: `lines` lines 50 ms apart, appended, or written into a file
// that has its full size from the start. How often the path was gone (claimed) before the end.
int writeSlowly(const QString& path, int lines, bool fullSizeFirst) {
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const QByteArray line = "SLOW,1\r\n";
    if (fullSizeFirst) {
        EXPECT_EQ(::ftruncate(fd, line.size() * lines), 0);
    }
    int early = 0;
    for (int i = 0; i < lines; ++i) {
        EXPECT_EQ(::pwrite(fd, line.constData(), line.size(), i * line.size()), line.size());
        struct stat seen {};
        early += ::stat(native.constData(), &seen) != 0 ? 1 : 0;
        std::this_thread::sleep_for(50ms); // the writer's pace, not a wait for the service
    }
    ::close(fd);
    return early;
}

TEST(PelmarPrintWatchTest, ServesTheFolderUntilSigterm) {
    const pelmar::test::TempFolder home;
    home.write("PRICE.FMT",
               "LabelWidth=60\r\nLabelHeight=40\r\nLabelGap=2\r\nPrintSpeed=4\r\nPrintDarken=8\r\n"
               "V_Text=20,20,48,0,0,0,Arial,1\r\n");
    home.write("Pelmar.INI", "[Files]\r\nLabelCount=1\r\nLabelName01=PRICE.FMT\r\n[Printer]\r\n"
                             "PrinterName=TSC Out\r\n[Ports]\r\nTSC Out=file:out.prn\r\n[Watch]\r\n"
                             "Folder=in\r\n[Fields]\r\n"
                             "FieldCount=2\r\nField01=NAME,1,10,0,0\r\nField02=QTY,1,10,0,0\r\n");
    const QByteArray settings = home.read("Pelmar.INI");
    const QString in = home.file("in");
    home.write("in/work/LEFT.txt", "LEFT,1\r\n");
    pelmar::test::Listener noCups;
    noCups.close();
    QProcess service;
    pelmar::test::startPelmarPrint(service, home.path(),
                                   QStringLiteral("127.0.0.1:%1").arg(noCups.port()),
                                   {"--watch", "-", "--settle", "0.3", "--poll", "0.1"});
    ASSERT_TRUE(service.waitForStarted());

    home.write("in/good.tmp", "APPLE,2\r\nPEAR,1\r\n");
    ASSERT_TRUE(QDir().rename(home.file("in/good.tmp"), home.file("in/good.txt")));
    home.write("in/bad.txt", "BAD,99999\r\n");
    int earlyFull = -1;
    std::thread fullWriter([&] { earlyFull = writeSlowly(home.file("in/full.txt"), 16, true); });
    EXPECT_EQ(writeSlowly(home.file("in/slow.txt"), 16, false), 0);
    fullWriter.join();
    EXPECT_EQ(earlyFull, 0);

    pelmar::common::SteadyClock clock;
    struct : pelmar::common::EventPump {
        void processEvents() override { std::this_thread::sleep_for(10ms); }
    } pump;
    const auto count = [&](const char* folder) { return QDir(in + "/" + folder).count() - 2; };
    EXPECT_EQ(pelmar::common::waitFor({clock, pump}, 20s,
                                      [&] { return count("done") == 4 && count("error") == 2; }),
              pelmar::common::WaitEnd::Met);
    ::kill(static_cast<pid_t>(service.processId()), SIGTERM);
    ASSERT_TRUE(service.waitForFinished(10000));
    const QString log = QString::fromUtf8(service.readAllStandardError());
    EXPECT_EQ(service.exitCode(), 0) << log.toStdString();
    EXPECT_LT(log.indexOf(" LEFT.txt: status 0, 1 label(s)"), log.indexOf(" good.txt: status 0"))
        << log.toStdString();
    // One PRINT a record, each file once and whole: 1 + 2 + 16 + 16.
    EXPECT_EQ(home.read("out.prn").count("PRINT "), 35);
    EXPECT_TRUE(home.read("in/error/bad.txt.reason.txt").startsWith("exit status 3\n"));
    EXPECT_EQ(count("work"), 0);
    // A watched file is no data file for the next start.
    EXPECT_EQ(home.read("Pelmar.INI"), settings);
}

} // namespace
