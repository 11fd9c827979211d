#include "common/byte_writer.h"
#include "common/file_writer.h"

#include "support/run_error_of.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace pelmar::common {
namespace {

using namespace std::chrono_literals;

enum class Peer { ReadsSlowly, HangsUp, NeverReads };

// Every byte reaches a peer that reads in small bites; a peer that has gone or never reads ends
// the write with the port's address and the reason, and never with SIGPIPE.
TEST(ByteWriter, WritesEverythingOrNamesThePortAndTheReason) {
    struct Case {
        bool socket;
        Peer peer;
        const char* reason; // empty: every byte arrived
    };
    const QByteArray bytes(300'000, 'x');
    for (const Case& c : {Case{true, Peer::ReadsSlowly, ""}, Case{false, Peer::ReadsSlowly, ""},
                          Case{true, Peer::HangsUp, "連線已被對方關閉"},
                          Case{false, Peer::HangsUp, "連線已被對方關閉"},
                          Case{true, Peer::NeverReads, "印表機逾時未接收資料"},
                          Case{false, Peer::NeverReads, "印表機逾時未接收資料"}}) {
        SCOPED_TRACE(testing::Message() << c.socket << "/" << int(c.peer));
        int fds[2]; // [0] reads, [1] is written
        ASSERT_EQ(c.socket ? ::socketpair(AF_UNIX, SOCK_STREAM, 0, fds) : ::pipe(fds), 0);
        ::fcntl(fds[1], F_SETFL, O_NONBLOCK);
        if (c.peer == Peer::HangsUp)
            ::close(fds[0]);
        QByteArray heard;
        std::thread reader([&] {
            char bite[4096];
            ssize_t got = 0;
            while (c.peer == Peer::ReadsSlowly && (got = ::read(fds[0], bite, sizeof bite)) > 0)
                heard.append(bite, got);
        });
        const auto error = test::runErrorOf(
            [&] { writeAll(fds[1], bytes, 100ms, QStringLiteral("socket://p:9100")); });
        ::close(fds[1]);
        reader.join();
        if (c.peer != Peer::HangsUp)
            ::close(fds[0]);
        if (*c.reason == 0) {
            EXPECT_FALSE(error);
            EXPECT_EQ(heard, bytes);
        } else {
            ASSERT_TRUE(error);
            EXPECT_EQ(error->number(), PrinterError);
            EXPECT_EQ(error->description(), QStringLiteral("無法連接印表機 socket://p:9100: ") +
                                                QString::fromUtf8(c.reason));
        }
    }
}

TEST(FileWriter, ReplacesWholeKeepsPermissionsAppendsAndNamesAFileItCannotWrite) {
    test::TempFolder folder;
    const QString path = folder.write(QStringLiteral("a.ini"), "old");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    const QFile::Permissions before = QFile::permissions(path);
    saveFile(path, "new");
    appendToFile(path, "+more");
    EXPECT_EQ(folder.read(QStringLiteral("a.ini")), "new+more");
    EXPECT_EQ(QFile::permissions(path), before);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.ini")});

    // A folder or a pipe in the way of the file, and a file in the way of the folder.
    QDir(folder.path()).mkdir(QStringLiteral("dir.png"));
    ASSERT_EQ(::mkfifo(folder.file(QStringLiteral("pipe")).toLocal8Bit().constData(), 0600), 0);
    for (const QString& name :
         {QStringLiteral("dir.png"), QStringLiteral("pipe"), QStringLiteral("a.ini/b.png")}) {
        try {
            saveFile(folder.file(name), "x");
            ADD_FAILURE() << name.toStdString();
        } catch (const FileWriteError& error) {
            EXPECT_EQ(error.number(), PathFileAccessError);
            EXPECT_EQ(error.path(), folder.file(name));
            EXPECT_TRUE(error.description().contains(folder.file(name)));
            EXPECT_FALSE(error.reason().isEmpty());
        }
    }
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::System),
              (QStringList{QStringLiteral("a.ini"), QStringLiteral("pipe")}));
}

} // namespace
} // namespace pelmar::common
