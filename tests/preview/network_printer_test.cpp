#include "preview/network_printer.h"

#include "common/code_page.h"
#include "preview/png_label_writer.h"
#include "preview/tspl_interpreter.h"
#include "support/temp_folder.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTcpSocket>
#include <QTimer>
#include <arpa/inet.h>
#include <atomic>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace pelmar::preview {
namespace {

using namespace std::chrono_literals;

const QByteArray kLabel = "SIZE 20 mm,10 mm\r\nGAP 0,0\r\nSPEED 4\r\nCLS\r\nBAR 0,0,16,16\r\n";

// Runs the event loop until done() holds; false when it did not within the time.
bool spinUntil(const std::function<bool()>& done, int milliseconds = 5000) {
    QTimer wake; // the loop wakes at least this often to look again
    wake.start(2);
    const QDeadlineTimer deadline(milliseconds);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

QStringList labelFiles(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("label-*.png")}, QDir::Files, QDir::Name);
}

// A virtual network printer on loopback writing into a temporary folder.
struct Rig {
    explicit Rig(MechanicsOptions mechanicsOptions = {}, NetworkPrinterOptions options = {})
        : writer(temp.path()), mechanics(writer, clock, std::move(mechanicsOptions)),
          printer(mechanics, clock, std::move(options)) {
        printer.onWarning = [this](const QString& text) { warnings << text; };
        printer.onConnectionEnd = [this] { ++ended; };
        QString error;
        EXPECT_TRUE(printer.listen(error)) << error.toStdString();
    }
    std::unique_ptr<QTcpSocket> connect() {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QStringLiteral("127.0.0.1"), printer.port());
        EXPECT_TRUE(socket->waitForConnected(5000));
        return socket;
    }
    // Sends bytes and waits for an answer of size bytes.
    QByteArray ask(QTcpSocket& socket, const QByteArray& bytes, qsizetype size) {
        socket.write(bytes);
        spinUntil([&] { return socket.bytesAvailable() >= size; });
        return socket.read(size);
    }
    bool warned(const QString& part) const {
        return std::any_of(warnings.begin(), warnings.end(),
                           [&](const QString& w) { return w.contains(part); });
    }

    test::TempFolder temp;
    PngLabelWriter writer;
    common::SteadyClock clock;
    PrintMechanics mechanics;
    NetworkPrinter printer;
    QStringList warnings;
    int ended = 0;
};

TEST(NetworkPrinterTest, TheLabelsOfEachConnectionArePngFilesEqualToFileMode) {
    const QStringList streams = QDir(QStringLiteral(PELMAR_GOLDEN_DIR "/preview"))
                                    .entryList({QStringLiteral("*.tspl")}, QDir::Files, QDir::Name);
    ASSERT_GE(streams.size(), 5);
    test::TempFolder fileMode;
    {
        // File mode: one interpreter per stream, one folder for all.
        PngLabelWriter writer(fileMode.path());
        for (const QString& name : streams) {
            QFile file(QStringLiteral(PELMAR_GOLDEN_DIR "/preview/") + name);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            TsplInterpreter interpreter(writer, 203, common::CodePage());
            interpreter.feed(file.readAll());
            interpreter.finish();
        }
    }
    Rig rig;
    for (const QString& name : streams) {
        SCOPED_TRACE(name.toStdString());
        QFile file(QStringLiteral(PELMAR_GOLDEN_DIR "/preview/") + name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const int before = rig.ended;
        auto socket = rig.connect();
        socket->write(file.readAll());
        socket->disconnectFromHost();
        ASSERT_TRUE(spinUntil([&] { return rig.ended == before + 1; }));
    }
    const QStringList expected = labelFiles(fileMode.path());
    ASSERT_EQ(labelFiles(rig.temp.path()), expected);
    for (const QString& name : expected) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(rig.temp.read(name), fileMode.read(name));
    }
}

TEST(NetworkPrinterTest, StatusQueriesAreAnsweredBetweenCommandsButNotInsideData) {
    MechanicsOptions timed;
    timed.timed = true;
    timed.timeScale = 10; // a 10 mm label at 4 in/s then takes about a second
    Rig rig(timed);
    auto socket = rig.connect();
    EXPECT_EQ(rig.ask(*socket, "\x1b!?", 1), QByteArray(1, '\0'));
    EXPECT_EQ(rig.ask(*socket, "\x1b!S", 8), QByteArray("\x02@@@@\x03\r\n"));
    EXPECT_EQ(rig.ask(*socket, "~!T\r\n", 20), QByteArray("PELMAR VIRTUAL 203\r\n"));
    // In the middle of a stream, between two commands, while a label prints.
    EXPECT_EQ(rig.ask(*socket, kLabel + "PRINT 1\r\n\x1b!?CLS\r\n", 1), QByteArray(1, '\x20'));
    EXPECT_EQ(rig.ask(*socket, "\x1b!S", 8), QByteArray("\x02P@@@\x03\r\n"));
    EXPECT_EQ(rig.ask(*socket, "\x1b!.\x1b!?", 1), QByteArray(1, '\0'));
    // Bytes 1B 21 3F inside BITMAP data are picture, not a query.
    socket->write("BITMAP 0,0,3,1,0,\x1b!?\r\n\x1b!?");
    ASSERT_TRUE(spinUntil([&] { return socket->bytesAvailable() >= 1; }));
    spinUntil([] { return false; }, 30); // time for a second answer, which must not come
    EXPECT_EQ(socket->readAll(), QByteArray(1, '\0'));
    EXPECT_EQ(rig.mechanics.printed(), 0);
}

struct FaultCase {
    const char* fault;
    char statusByte;
    QByteArray extended;
};

TEST(NetworkPrinterTest, AFaultAtItsLabelIsReportedAndPrintsTheRestAfterClearing) {
    const FaultCase cases[] = {
        {"paper-out@1", '\x24',
         "\x02"
         "E@@A\x03\r\n"},
        {"head-open@1", '\x21',
         "\x02"
         "E@@`\x03\r\n"},
        {"pause@1", '\x30', "\x02`@@@\x03\r\n"},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.fault);
        MechanicsOptions options;
        options.faults = {*parsePlannedFault(QString::fromLatin1(c.fault))};
        Rig rig(options);
        auto socket = rig.connect();
        EXPECT_EQ(rig.ask(*socket, kLabel + "PRINT 3\r\n\x1b!?", 1), QByteArray(1, c.statusByte));
        EXPECT_EQ(rig.ask(*socket, "\x1b!S", 8), c.extended);
        EXPECT_EQ(labelFiles(rig.temp.path()).size(), 1);
        rig.printer.clearFault();
        EXPECT_EQ(rig.ask(*socket, "\x1b!?", 1), QByteArray(1, '\0'));
        EXPECT_EQ(labelFiles(rig.temp.path()).size(), 3);
    }
}

TEST(NetworkPrinterTest, EscapeDotCancelsTheLabelsNotYetPrinted) {
    MechanicsOptions options;
    options.faults = {{PlannedFault::Kind::Pause, 1}};
    Rig rig(options);
    auto socket = rig.connect();
    EXPECT_EQ(rig.ask(*socket, kLabel + "PRINT 4\r\n\x1b!?", 1), QByteArray(1, '\x30'));
    EXPECT_EQ(rig.ask(*socket, "\x1b!.\x1b!?", 1), QByteArray(1, '\x10'));
    EXPECT_TRUE(rig.warned(QStringLiteral("cancelled 3 label(s)")));
    rig.printer.clearFault();
    EXPECT_EQ(rig.ask(*socket, "PRINT 1\r\n\x1b!?", 1), QByteArray(1, '\0'));
    EXPECT_EQ(labelFiles(rig.temp.path()).size(), 2);
}

TEST(NetworkPrinterTest, AClientThatHangsUpMidCommandIsAWarningAndTheNextOneIsServed) {
    Rig rig;
    {
        auto socket = rig.connect();
        socket->write(kLabel + "PRINT 1\r\nBAR 0,0,8");
        socket->disconnectFromHost();
        ASSERT_TRUE(spinUntil([&] { return rig.ended == 1; }));
    }
    EXPECT_TRUE(rig.warned(QStringLiteral("middle of the command")))
        << rig.warnings.join(u'\n').toStdString();
    {
        // Hung up in the middle of BITMAP data.
        auto socket = rig.connect();
        socket->write(kLabel + "BITMAP 0,0,2,10,0,abc");
        socket->waitForBytesWritten(5000);
        socket->abort();
        ASSERT_TRUE(spinUntil([&] { return rig.ended == 2; }));
    }
    EXPECT_TRUE(rig.warned(QStringLiteral("BITMAP data")));
    {
        // A picture downloaded in one job stays in the printer's memory for the next ones.
        auto socket = rig.connect();
        socket->write("DOWNLOAD \"LOGO.BMP\",4,BM\x01\x02");
        socket->disconnectFromHost();
        ASSERT_TRUE(spinUntil([&] { return rig.ended == 3; }));
    }
    auto socket = rig.connect();
    socket->write(kLabel + "PUTBMP 0,0,\"logo.bmp\"\r\nPRINT 1\r\n");
    ASSERT_TRUE(spinUntil([&] { return rig.mechanics.printed() == 2; }));
    EXPECT_EQ(labelFiles(rig.temp.path()).size(), 2);
    EXPECT_FALSE(rig.warned(QStringLiteral("not in the printer memory")));
    EXPECT_TRUE(rig.warned(QStringLiteral("not a BMP file")));
}

TEST(NetworkPrinterTest, ASilentClientIsClosedAfterTheIdleTime) {
    NetworkPrinterOptions options;
    options.idleTimeout = 30ms;
    Rig rig({}, options);
    auto silent = rig.connect();
    auto next = rig.connect();
    next->write(kLabel + "PRINT 1\r\n");
    ASSERT_TRUE(spinUntil([&] { return rig.mechanics.printed() == 1; }));
    EXPECT_TRUE(rig.warned(QStringLiteral("nothing received")));
}

// Sends bytes over a plain blocking socket from a thread of its own, counting what got out.
class BlockingSender {
public:
    BlockingSender(quint16 port, QByteArray bytes) : m_bytes(std::move(bytes)) {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        const int small = 8 * 1024;
        ::setsockopt(m_fd, SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        m_thread = std::thread([this] {
            while (sent < m_bytes.size()) {
                const ssize_t n = ::send(m_fd, m_bytes.constData() + sent.load(),
                                         std::min<qsizetype>(4096, m_bytes.size() - sent), 0);
                if (n <= 0)
                    break;
                sent += n;
            }
            ::shutdown(m_fd, SHUT_WR);
        });
    }
    ~BlockingSender() {
        m_thread.join();
        ::close(m_fd);
    }
    std::atomic<qsizetype> sent = 0;

private:
    QByteArray m_bytes;
    int m_fd = -1;
    std::thread m_thread;
};

TEST(NetworkPrinterTest, ASenderThatOutrunsTheMechanicsBlocksAndNothingIsLost) {
    MechanicsOptions options;
    options.timed = true;
    options.timeScale = 0.05; // each label about 5 ms
    options.bufferLabels = 3;
    Rig rig(options);
    // 200 labels of about 4 KB each: far more than the socket buffers hold.
    QByteArray stream;
    const QByteArray picture(4000, '\xff');
    for (int n = 0; n < 200; ++n)
        stream += kLabel + "BITMAP 0,0,40,100,0," + picture + "\r\nPRINT 1\r\n";
    BlockingSender sender(rig.printer.port(), stream);
    ASSERT_TRUE(spinUntil([&] { return rig.mechanics.printed() >= 20; }));
    EXPECT_LT(sender.sent.load(), stream.size() / 2) << "the sender did not wait for the printer";
    EXPECT_LT(rig.printer.bytesReceived(), stream.size() / 2);
    ASSERT_TRUE(spinUntil([&] { return rig.ended == 1; }, 20000));
    // The labels still held when the sender hangs up print after it.
    ASSERT_TRUE(spinUntil([&] { return rig.mechanics.printed() == 200; }));
    EXPECT_EQ(labelFiles(rig.temp.path()).size(), 200);
    EXPECT_LE(rig.mechanics.mostPending(), 3);
}

} // namespace
} // namespace pelmar::preview
