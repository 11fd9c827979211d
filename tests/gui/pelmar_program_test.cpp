#include "gui/program_folder.h"
#include "support/pelmar_print_run.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace pelmar::test {
namespace {

// The pelmar program itself, started the way a shop's ERP system starts it.
class PelmarProgram : public ::testing::Test {
protected:
    // Runs pelmar in the folder with the arguments; returns its exit status.
    int run(const QStringList& arguments) {
        QProcess process;
        process.setProcessEnvironment(
            programEnvironment(m_folder.path(), m_folder.file(QStringLiteral("no-cups"))));
        process.start(QStringLiteral(PELMAR_BINARY_DIR "/bin/pelmar"), arguments);
        EXPECT_TRUE(process.waitForFinished(30000)) << "pelmar did not end";
        m_errors = process.readAllStandardError();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QStringList traceLines() const {
        const QString text = QString::fromUtf8(m_folder.read(QStringLiteral("trace.txt")));
        return text.split(u'\n', Qt::SkipEmptyParts);
    }

    TempFolder m_folder;
    QByteArray m_errors;
};

TEST_F(PelmarProgram, AutomaticSingleFormatPrintsEveryRecordAndWritesTheRunSettings) {
    ProgramFolderOptions options;
    options.records = 3;
    options.adPrice = 4;
    writeProgramFolder(m_folder, options);
    // A data file named on the command line replaces the one of the settings.
    m_folder.write(QStringLiteral("DAY.TXT"), big5(QStringLiteral("4710000000099,豆漿,30,2\r\n")));

    EXPECT_EQ(run({m_folder.file(QStringLiteral("day.txt"))}), 0) << m_errors.toStdString();

    const QStringList trace = traceLines();
    ASSERT_FALSE(trace.isEmpty());
    EXPECT_EQ(trace.first(), QStringLiteral("openport\tTSC TEST"));
    EXPECT_EQ(trace.filter(QStringLiteral("printlabel")),
              QStringList{QStringLiteral("printlabel\t2\t1")});
    EXPECT_TRUE(trace.contains(QStringLiteral("windowsfont\t20\t20\t48\t0\t0\t0\t新細明體\t豆漿")));
    EXPECT_EQ(trace.last(), QStringLiteral("closeport"));

    // The upper-cased command line became the data file, and was written back with ADPrice.
    const QString settings = QString::fromLocal8Bit(m_folder.read(QStringLiteral("Pelmar.INI")));
    const QString expected =
        QStringLiteral("TextFileName=") + m_folder.file(QStringLiteral("day.txt")).toUpper();
    EXPECT_TRUE(big5(settings).size() > 0);
    EXPECT_TRUE(m_folder.read(QStringLiteral("Pelmar.INI")).contains(big5(expected)))
        << settings.toStdString();
    EXPECT_TRUE(m_folder.read(QStringLiteral("Pelmar.INI")).contains("ADPrice=4"));
}

TEST_F(PelmarProgram, EmptyDataFileEndsSilently) {
    writeProgramFolder(m_folder, ProgramFolderOptions{});
    m_folder.write(QStringLiteral("ITEMS.TXT"), QByteArray());
    const QByteArray before = m_folder.read(QStringLiteral("Pelmar.INI"));
    EXPECT_EQ(run({}), 0);
    EXPECT_FALSE(QFile::exists(m_folder.file(QStringLiteral("trace.txt"))));
    EXPECT_EQ(m_folder.read(QStringLiteral("Pelmar.INI")), before);
}

} // namespace
} // namespace pelmar::test
