#include "print_queue/job_follower.h"

#include "common/timing.h"
#include "support/fake_clock.h"
#include "support/fake_print_system.h"
#include "support/run_error_of.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using pelmar::print_queue::JobState;
using pelmar::print_queue::JobStatus;

JobStatus state(JobState s, QStringList reasons = {}, QString message = {}) {
    return JobStatus{s, std::move(reasons), std::move(message), {}};
}

struct FollowCase {
    const char* name;
    std::vector<JobStatus> states;
    const char* failure; // empty: the job completes
    bool cancelled;
};

TEST(JobFollower, StateSequencesEndAsTheJobDid) {
    const FollowCase cases[] = {
        {"completed at once", {state(JobState::Completed)}, "", false},
        {"pending, processing, completed",
         {state(JobState::Pending), state(JobState::Processing, {"job-printing"}),
          state(JobState::Completed, {"job-completed-successfully"})},
         "",
         false},
        {"aborted by a failing filter",
         {state(JobState::Processing),
          state(JobState::Aborted, {"job-aborted-by-system"}, "Filter failed")},
         "列印工作 7 已中止: job-aborted-by-system (Filter failed)",
         false},
        {"cancelled by the operator",
         {state(JobState::Cancelled, {"job-canceled-by-user"})},
         "已取消: job-canceled-by-user",
         false},
        {"stopped: cancelled so that it cannot print later",
         {state(JobState::Stopped, {"job-completed-with-errors"}, "Filter failed")},
         "已停止: job-completed-with-errors (Filter failed); 這個工作已取消",
         true},
        {"held", {state(JobState::Held, {"job-hold-until-specified"})}, "被保留", true},
        {"waiting on a queue that stopped",
         {state(JobState::Processing), state(JobState::Pending, {"printer-stopped"})},
         "停在已停止的印表機佇列: 印表機佇列已停止 (printer-stopped)",
         true},
        {"unplugged: CUPS reasons in the operator's words",
         {state(JobState::Stopped, {"media-empty-error", "offline-report", "connecting-to-device"},
                "Unable to locate printer \"tsc.local\".")},
         "已停止: 標籤紙用完 (media-empty-error), 印表機離線 (offline-report), 正在連接印表機, "
         "印表機沒有回應 (connecting-to-device) 找不到印表機 (Unable to locate printer "
         "\"tsc.local\".)",
         true},
        {"no reason given", {state(JobState::Aborted, {"none"})}, "已中止: 沒有原因", false},
        {"paper out at the printer while the job prints: cancelled, the run stops at its record",
         {JobStatus{
             JobState::Processing, {"job-printing"}, "印表機：標籤紙用完", {"media-empty-error"}}},
         "停在印表機的故障: 標籤紙用完 (media-empty-error) (印表機：標籤紙用完)",
         true},
    };
    for (const FollowCase& c : cases) {
        SCOPED_TRACE(c.name);
        pelmar::test::FakeClock clock;
        pelmar::test::FakePrintSystem jobs;
        jobs.jobStates = c.states;
        const auto error = pelmar::test::runErrorOf([&] {
            pelmar::print_queue::followJob(jobs, QStringLiteral("TSC_Q"), 7, {clock, clock}, 60s);
        });
        if (error) {
            EXPECT_EQ(error->number(), pelmar::common::PrinterError);
        }
        const QString failure = error ? error->description() : QString();
        if (*c.failure == '\0') {
            EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
        } else {
            EXPECT_TRUE(failure.startsWith(QStringLiteral("印表機 TSC_Q 的列印工作 7 ")))
                << failure.toStdString();
            EXPECT_TRUE(failure.contains(QString::fromUtf8(c.failure))) << failure.toStdString();
        }
        EXPECT_EQ(jobs.cancelled, c.cancelled ? std::vector<int>{7} : std::vector<int>{});
    }
}

TEST(JobFollower, AJobThatNeverCompletesIsCancelledAtTheLimitWhileEventsFlow) {
    pelmar::test::FakeClock clock;
    clock.step = 10ms;
    pelmar::test::FakePrintSystem jobs;
    jobs.jobStates = {state(JobState::Processing, {"job-printing"}, "Waiting for printer")};
    const auto error = pelmar::test::runErrorOf([&] {
        pelmar::print_queue::followJob(jobs, QStringLiteral("TSC_Q"), 3, {clock, clock}, 5s);
    });
    EXPECT_EQ(jobs.cancelled, std::vector<int>{3});
    // Bounded: ended just past the limit; the state was read once a poll, not at every pump.
    EXPECT_GE(clock.elapsed(), 5s);
    EXPECT_LT(clock.elapsed(), 5s + 200ms);
    EXPECT_NEAR(double(jobs.asked.size()),
                double(5s / pelmar::common::timing::kJobPollInterval + 1), 2.0);
    EXPECT_GT(clock.pumpCalls, 450);
    ASSERT_TRUE(error) << "a job that never completes was taken as printed";
    EXPECT_TRUE(error->description().contains(QStringLiteral("在 5 秒內沒有完成")));
    EXPECT_TRUE(error->description().contains(QStringLiteral("Waiting for printer")));
}

TEST(JobFollower, TimeLimitGrowsWithTheLabelsOfTheJob) {
    using pelmar::print_queue::jobTimeLimit;
    EXPECT_EQ(jobTimeLimit(1, 1.5), 61500ms);
    EXPECT_EQ(jobTimeLimit(10, 0.5), 70s); // at least a second a label
    EXPECT_EQ(jobTimeLimit(0, 2.0), 62s);  // never less than one label
    EXPECT_EQ(jobTimeLimit(1000, 1.575), 60s + 1575s);
}

} // namespace
