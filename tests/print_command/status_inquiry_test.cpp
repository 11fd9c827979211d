#include "print_command/status_inquiry.h"

#include "print_command/file_port.h"
#include "support/run_error_of.h"

#include <QString>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace pelmar::print_command {
namespace {

using namespace std::chrono_literals;

// Both ends of a connection: `ours` for the inquiry, `printer` for the test's answers.
struct Pair {
    Pair() {
        int fds[2];
        EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
        ours = fds[0];
        printer = fds[1];
    }
    ~Pair() {
        ::close(ours);
        if (printer >= 0)
            ::close(printer);
    }
    QByteArray heard() {
        char buffer[64];
        const ssize_t got = ::recv(printer, buffer, sizeof buffer, MSG_DONTWAIT);
        return got > 0 ? QByteArray(buffer, got) : QByteArray();
    }
    void answer(std::uint8_t status) { ASSERT_EQ(::write(printer, &status, 1), 1); }
    int ours = -1;
    int printer = -1;
};

TEST(StatusInquiryTest, SendsOneInquiryAtATimeAndTakesALateAnswerForIt) {
    Pair pair;
    StatusInquiry inquiry(QStringLiteral("socket://p"), StatusInquiry::End::Closes);
    pair.answer(0x20); // already there: answers the inquiry about to be sent
    EXPECT_EQ(inquiry.ask(pair.ours, 100ms), std::optional<std::uint8_t>(0x20));
    EXPECT_EQ(pair.heard(), QByteArray("\x1b!?"));

    // Unanswered in time: nothing, and no second inquiry while it is open.
    EXPECT_EQ(inquiry.ask(pair.ours, 20ms), std::nullopt);
    EXPECT_EQ(inquiry.ask(pair.ours, 20ms), std::nullopt);
    EXPECT_EQ(pair.heard(), QByteArray("\x1b!?"));
    pair.answer(0x20); // the late answer counts for the open inquiry
    EXPECT_EQ(inquiry.ask(pair.ours, 20ms), std::optional<std::uint8_t>(0x20));
    EXPECT_EQ(pair.heard(), QByteArray());
    pair.answer(0x05); // the answer of the next one
    EXPECT_EQ(inquiry.ask(pair.ours, 100ms), std::optional<std::uint8_t>(0x05));
    EXPECT_EQ(pair.heard(), QByteArray("\x1b!?"));
}

TEST(StatusInquiryTest, AnswersDroppedElsewhereCountAndAHangUpIsAPortFailure) {
    Pair pair;
    StatusInquiry inquiry(QStringLiteral("socket://p"), StatusInquiry::End::Closes);
    EXPECT_EQ(inquiry.ask(pair.ours, 10ms), std::nullopt);
    inquiry.dropped(1); // its answer was read and dropped by a write
    pair.answer(0x10);
    EXPECT_EQ(inquiry.ask(pair.ours, 100ms), std::optional<std::uint8_t>(0x10));

    ::close(pair.printer);
    pair.printer = -1;
    const auto error = test::runErrorOf([&] { inquiry.ask(pair.ours, 100ms); });
    ASSERT_TRUE(error) << "a hang-up went unnoticed";
    EXPECT_EQ(error->number(), common::PrinterError);
    EXPECT_TRUE(error->description().contains(QStringLiteral("socket://p")));
}

// A printer device node (here a terminal pair) is opened for reading too and answers status;
// a plain file has none.
TEST(StatusInquiryTest, ACharacterDeviceAnswersStatusAndAFileDoesNot) {
    int master = -1;
    int slave = -1;
    char name[256] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    termios raw{};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
    {
        FilePort port(QString::fromLocal8Bit(name));
        EXPECT_TRUE(port.isPhysical());
        const std::uint8_t paused = 0x10;
        ASSERT_EQ(::write(master, &paused, 1), 1);
        EXPECT_EQ(port.askStatus(200ms), std::optional<std::uint8_t>(0x10));
        char heard[8] = {};
        EXPECT_EQ(::read(master, heard, sizeof heard), 3);
        EXPECT_EQ(QByteArray(heard, 3), QByteArray("\x1b!?"));
        EXPECT_EQ(port.askStatus(20ms), std::nullopt); // a silent printer
        port.close();
    }
    ::close(slave);
    ::close(master);

    char file[] = "/tmp/pelmar-status-XXXXXX";
    const int fd = ::mkstemp(file);
    ASSERT_GE(fd, 0);
    ::close(fd);
    FilePort plain{QString::fromLocal8Bit(file)};
    EXPECT_FALSE(plain.isPhysical());
    EXPECT_EQ(plain.askStatus(20ms), std::nullopt);
    plain.close();
    ::unlink(file);
}

} // namespace
} // namespace pelmar::print_command
