#include "shell/app/run_locks.h"

#include "common/file_names.h"
#include "shell/app/startup.h"
#include "shell/shell_fakes.h"
#include "support/run_error_of.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace pelmar::app {
namespace {

using namespace std::chrono_literals;

class RunLocksTest : public ::testing::Test, public test::ShellFixture {
protected:
    // Holds a lock as another run would, from this process.
    std::unique_ptr<common::FileLock> holdAsAnotherRun(const QString& path) {
        return common::FileLock::take(path, common::thisProcess("cron"), {clock, clock}, 0ms);
    }
    const QString heldBy =
        QStringLiteral("正由另一個列印工作使用: 程序 %1 (cron), 自 ").arg(::getpid());
};

TEST_F(RunLocksTest, HeldFolderIsRefusedAtOnceOrWaitedForUpToTheLimit) {
    // Limit, the poll after which the other run ends (-1: never), cancelled, the refusal's text.
    for (const auto& [limit, releasedAfter, cancelled, says] :
         {std::tuple{0ms, -1, false, heldBy},
          {1s, 3, false, QString()},
          {1s, -1, false, QStringLiteral("(已等待 1 秒)")},
          {1s, -1, true, QStringLiteral("已取消")}}) {
        test::FakeClock waiting;
        auto held = holdAsAnotherRun(home.file(QLatin1String(kProgramFolderLockName)));
        waiting.onEvents = [&, after = releasedAfter] {
            if (waiting.pumpCalls == after)
                held.reset();
        };
        RunLocks locks(QStringLiteral("pelmar"), limit);
        const auto error = test::runErrorOf([&] {
            locks.holdProgramFolder(home.path(), {waiting, waiting, [c = cancelled] { return c; }});
        });
        const QString refusal = error ? error->description() : QString();
        EXPECT_EQ(refusal.isEmpty(), says.isEmpty()) << refusal.toStdString();
        EXPECT_TRUE(refusal.contains(says)) << refusal.toStdString();
    }
}

TEST_F(RunLocksTest, WindowRunToAHeldPrinterSaysWhoHoldsItAndSendsNothing) {
    writeStandardSettings();
    const auto held = holdAsAnotherRun(common::joinPath(
        common::sharedLockFolder(),
        common::lockFileName(printerLockKey(state::WorkingState(), QStringLiteral("TSC_A")))));
    RunLocks locks(QStringLiteral("pelmar"), 0ms);
    AppContext context = this->context();
    context.runLocks = &locks;
    EXPECT_EQ(Form_Load(context).end, FlowEnd::PrintError);
    EXPECT_TRUE(libraryNames.empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral("印表機 TSC_A ") + heldBy))
        << messages.shown[0].text.toStdString();
}

} // namespace
} // namespace pelmar::app
