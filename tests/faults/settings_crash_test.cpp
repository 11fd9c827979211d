// The settings file survives a save that is killed at any moment, a read-only folder and a full
// disk: it is always the old or the new file, whole, with its owner, group and mode.
#include "state/settings.h"

#include "support/run_error_of.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <tuple>
#include <unistd.h>

namespace pelmar::state {
namespace {

using namespace std::chrono_literals;

// A settings file with many field definitions, so that a write takes a while.
QByteArray largeSettings(int fields) {
    QByteArray ini = "[Files]\r\nTextFileName=ITEMS.TXT\r\nLabelCount=1\r\nLabelName01=A.FMT\r\n"
                     "[Fields]\r\nADPrice=0\r\nFieldCount=3\r\n";
    for (int i = 1; i <= fields; ++i)
        ini += "Field" + QByteArray::number(i).rightJustified(2, '0') + "=NAME" +
               QByteArray::number(i) + ",1,10,1,0\r\n";
    return ini;
}

WorkingState runSettings(const QString& folder, int version) {
    WorkingState state;
    state.programFolder = folder;
    state.textFileName = QStringLiteral("/shop/data/version-%1.txt").arg(version);
    state.adPrice = version * 1000;
    return state;
}

// The file's bytes after SaveRunSettings of a version over the base file.
QByteArray savedVersion(const QByteArray& base, int version) {
    test::TempFolder folder;
    folder.write(QStringLiteral("Pelmar.INI"), base);
    WorkingState state = runSettings(folder.path(), version);
    SaveRunSettings(state);
    return folder.read(QStringLiteral("Pelmar.INI"));
}

TEST(CrashSafeSettings, KilledSavesLeaveTheOldOrTheNewFile) {
    const QByteArray base = largeSettings(5000);
    const QByteArray versions[2] = {savedVersion(base, 1), savedVersion(base, 2)};
    ASSERT_NE(versions[0], versions[1]);
    test::TempFolder folder;
    const QString path = folder.file(QStringLiteral("Pelmar.INI"));
    folder.write(QStringLiteral("Pelmar.INI"), versions[0]);
    // A shop user's file (0640) that root saves stays the user's.
    const QByteArray localPath = path.toLocal8Bit();
    const bool root = ::geteuid() == 0;
    const uid_t owner = root ? 4321 : ::geteuid();
    const gid_t group = root ? 4322 : ::getegid();
    ASSERT_EQ(::chown(localPath.constData(), owner, group), 0);
    ASSERT_EQ(::chmod(localPath.constData(), 0640), 0);

    // Kills fall anywhere within the first few saves of the child.
    const auto saveStart = std::chrono::steady_clock::now();
    {
        WorkingState state = runSettings(folder.path(), 1);
        SaveRunSettings(state);
    }
    const auto saveUs = std::chrono::duration_cast<std::chrono::microseconds>(
                            std::chrono::steady_clock::now() - saveStart)
                            .count();
    std::mt19937 random(20261208);
    std::uniform_int_distribution<long long> delayUs(0, 3 * saveUs + 500);
    int iterations = 0;
    int changed = 0;
    // 300 kills; a machine too loaded for them in 30 s must still reach 50.
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (iterations < 300 && std::chrono::steady_clock::now() < deadline) {
        const QByteArray before = folder.read(QStringLiteral("Pelmar.INI"));
        // The child's first save changes the file.
        const int first = before == versions[0] ? 2 : 1;
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Saves the two versions in turn until killed; nothing of the test runs here.
            for (int n = 0;; ++n) {
                WorkingState state = runSettings(folder.path(), n % 2 ? 3 - first : first);
                try {
                    SaveRunSettings(state);
                } catch (...) {
                    ::_exit(3);
                }
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child stopped by itself: " << status;
        const QByteArray after = folder.read(QStringLiteral("Pelmar.INI"));
        ASSERT_TRUE(after == versions[0] || after == versions[1])
            << "iteration " << iterations << ": " << after.size() << " bytes, neither version";
        struct stat file {};
        ASSERT_EQ(::stat(localPath.constData(), &file), 0);
        ASSERT_EQ(std::tuple(file.st_uid, file.st_gid, file.st_mode & 07777),
                  std::tuple(owner, group, 0640u));
        changed += after != before;
        ++iterations;
    }
    RecordProperty("iterations", iterations);
    RecordProperty("changed", changed);
    EXPECT_GE(iterations, 50);
    // Some kills fell before the first rename, some after.
    EXPECT_LT(changed, iterations);
    EXPECT_GT(changed, 0);
    // A killed save leaves at most its temporary file beside the settings; the next load reads
    // the settings file alone.
    WorkingState loaded;
    loaded.programFolder = folder.path();
    LoadSettings(loaded);
    EXPECT_TRUE(loaded.textFileName.startsWith(u"/shop/data/version-"));
}

// Mounts a small tmpfs on a folder (root only); unmounted by the destructor.
class SmallDisk {
public:
    explicit SmallDisk(const QString& folder, const char* options)
        : m_folder(folder.toLocal8Bit()) {
        m_mounted = ::mount("tmpfs", m_folder.constData(), "tmpfs", 0, options) == 0;
        m_reason = m_mounted ? "" : std::strerror(errno);
    }
    ~SmallDisk() {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    bool makeReadOnly() {
        return ::mount("tmpfs", m_folder.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) ==
               0;
    }
    const char* reason() const { return m_reason; }

private:
    QByteArray m_folder;
    bool m_mounted = false;
    const char* m_reason = "";
};

void expectRefusedAndOldKept(const QString& folder, const QByteArray& old) {
    WorkingState state = runSettings(folder, 7);
    const auto error = test::runErrorOf([&] { SaveRunSettings(state); });
    ASSERT_TRUE(error) << "the save was reported as done";
    EXPECT_EQ(error->number(), common::PathFileAccessError);
    EXPECT_TRUE(
        error->description().startsWith(QStringLiteral("無法寫入設定檔 %1/Pelmar.INI").arg(folder)))
        << error->what();
    QFile file(folder + QStringLiteral("/Pelmar.INI"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), old);
}

TEST(CrashSafeSettings, ReadOnlyDiskRefusesTheSaveAndKeepsTheOldFile) {
    test::TempFolder folder;
    SmallDisk disk(folder.path(), "size=1m");
    const QByteArray old = largeSettings(10);
    folder.write(QStringLiteral("Pelmar.INI"), old);
    if (disk.mounted()) {
        ASSERT_TRUE(disk.makeReadOnly());
    } else if (::geteuid() != 0) {
        QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    } else {
        GTEST_SKIP() << "root ignores folder permissions and cannot mount: " << disk.reason();
    }
    expectRefusedAndOldKept(folder.path(), old);
    QFile::setPermissions(folder.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(CrashSafeSettings, FullDiskRefusesTheSaveAndKeepsTheOldFile) {
    test::TempFolder folder;
    SmallDisk disk(folder.path(), "size=64k");
    if (!disk.mounted())
        GTEST_SKIP() << "a small tmpfs needs root: " << disk.reason();
    // The old file takes most of the disk: the new one does not fit beside it.
    const QByteArray old = largeSettings(1400);
    ASSERT_GT(old.size(), 36 * 1024);
    folder.write(QStringLiteral("Pelmar.INI"), old);
    ASSERT_EQ(folder.read(QStringLiteral("Pelmar.INI")), old);
    expectRefusedAndOldKept(folder.path(), old);
    // Nothing of the failed save is left behind.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 1);
}

TEST(CrashSafeSettings, FileSizeLimitRefusesTheSaveAndKeepsTheOldFile) {
    // Works without privileges: the process may write no file larger than 16 KB.
    test::TempFolder folder;
    const QByteArray old = largeSettings(1200);
    folder.write(QStringLiteral("Pelmar.INI"), old);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 16 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    expectRefusedAndOldKept(folder.path(), old);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 1);
}

} // namespace
} // namespace pelmar::state
