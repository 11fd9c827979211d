#include "journal/journal.h"

#include "support/run_error_of.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace pelmar::journal {
namespace {

using enum RecordState;

class JournalTest : public ::testing::Test {
protected:
    qint64 start(const QByteArray& data = "A,1\r\n", RunSource source = RunSource::Command) {
        RunStart run;
        run.source = source;
        run.dataFileName = QStringLiteral("ITEMS.TXT");
        run.dataBytes = data;
        run.formatName = QStringLiteral("PRICE.FMT");
        run.formatBytes = "LabelWidth=60\r\n";
        return journal->startRun(run);
    }
    test::TempFolder folder;
    std::unique_ptr<Journal> journal = Journal::open(folder.file("Pelmar.journal"));
};

TEST_F(JournalTest, RecordStatesMoveOnlyForwardAndNeverBackToSending) {
    struct Row {
        std::vector<RecordState> steps; // all but the last are allowed
        bool lastAllowed;
    };
    const Row rows[] = {
        {{Sending, Sent, Printed}, true},
        {{Pending, Sending, Pending, Sending, Sent}, true}, // cancelled while made, then sent
        {{Sending, LeftOut}, true},                         // refused before a byte went out
        {{LeftOut}, true},
        {{Sending, InDoubt}, true},
        {{Sent}, false},
        {{Sending, Sent, Sending}, false},
        {{Sending, Sent, Printed, Sending}, false},
        {{Sending, InDoubt, Sending}, false},
        {{LeftOut, Sending}, false},
        {{Sending, Sent, Pending}, false},
    };
    const qint64 run = start();
    int record = 0;
    for (const Row& row : rows) {
        ++record;
        for (std::size_t i = 0; i + 1 < row.steps.size(); ++i)
            journal->setRecord(run, record, 2, row.steps[i]);
        const auto stateNow = [&]() -> std::optional<RecordState> {
            for (const RecordRow& found : journal->records(run))
                if (found.record == record)
                    return found.state;
            return std::nullopt;
        };
        const std::optional<RecordState> before = stateNow();
        const auto last = [&] { journal->setRecord(run, record, 2, row.steps.back()); };
        if (row.lastAllowed) {
            last();
            EXPECT_EQ(stateNow(), row.steps.back()) << record;
        } else {
            EXPECT_THROW(last(), common::RunError) << record;
            EXPECT_EQ(stateNow(), before) << record; // the refused change is rolled back
        }
    }
}

TEST_F(JournalTest, RunsKeepTheirFilesAndAnUnfinishedOneIsFoundByNameAndBytes) {
    const qint64 first = start("A,2\r\nB,3\r\n");
    journal->setRecord(first, 1, 2, Sending);
    journal->setRecord(first, 1, 2, Sent);
    journal->setRecord(first, 2, 3, Sending);
    start("A,2\r\n");                            // another file's bytes
    start("A,2\r\nB,3\r\n", RunSource::Reprint); // reprints are never taken up again

    const std::optional<RunRow> found = journal->unfinishedRun("ITEMS.TXT", "A,2\r\nB,3\r\n");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->id, first);
    EXPECT_EQ(found->dataSize, 10);
    EXPECT_EQ(found->status, -1);
    EXPECT_FALSE(found->ended.isValid());
    EXPECT_EQ(journal->dataBytes(first), QByteArray("A,2\r\nB,3\r\n"));
    EXPECT_EQ(journal->formatBytes(first), QByteArray("LabelWidth=60\r\n"));
    EXPECT_FALSE(journal->unfinishedRun("OTHER.TXT", "A,2\r\nB,3\r\n"));

    EXPECT_EQ(journal->markSendingInDoubt(first), std::vector<int>{2});
    journal->finishRun(first, QStringLiteral("records in doubt"), 10);
    EXPECT_FALSE(journal->unfinishedRun("ITEMS.TXT", "A,2\r\nB,3\r\n"));
    const RunRow ended = *journal->run(first);
    EXPECT_EQ(ended.status, 10);
    EXPECT_EQ(ended.records, 2);
    EXPECT_EQ(ended.labels, 2);                       // in-doubt labels are not counted as printed
    EXPECT_EQ(journal->runs().front().id, first + 2); // newest first

    // Reopened, the same file holds the same rows; pruning 0 days empties it.
    journal.reset();
    journal = Journal::open(folder.file("Pelmar.journal"));
    EXPECT_EQ(journal->records(first).at(1).state, InDoubt);
    EXPECT_EQ(journal->prune(0), 3);
    EXPECT_TRUE(journal->runs().empty());
    EXPECT_TRUE(journal->records(first).empty());
}

TEST_F(JournalTest, AJournalThatCannotBeOpenedIsARunError) {
    for (const QString& path :
         {folder.file("missing/Pelmar.journal"), folder.write("not-sqlite", "plain text\n")}) {
        const auto error = test::runErrorOf([&] { Journal::open(path); });
        ASSERT_TRUE(error) << path.toStdString();
        EXPECT_EQ(error->number(), common::DeviceIoError);
        EXPECT_TRUE(error->description().contains(path)) << error->what();
    }
}

} // namespace
} // namespace pelmar::journal
