#include "shell/app/command_line.h"
#include "shell/app/program_arguments.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, IsTrimmedAndUpperCased) {
    using pelmar::app::normalizeCommandLine;
    EXPECT_EQ(normalizeCommandLine({}), "");
    EXPECT_EQ(normalizeCommandLine({"/t"}), "/T");
    EXPECT_EQ(normalizeCommandLine({"  C:\\Data\\Items.txt "}), "C:\\DATA\\ITEMS.TXT");
    EXPECT_EQ(normalizeCommandLine({"/home/shop/items.txt", "/T"}), "/HOME/SHOP/ITEMS.TXT /T");
    EXPECT_EQ(normalizeCommandLine({"\"c:\\a b\\x.txt\""}), "\"C:\\A B\\X.TXT\"");
}

// The program folder holds today.csv and items.txt; relative names are not in the current folder.
TEST(ProgramArguments, DecideWhatPelmarDoesBeforeAnythingIsRead) {
    using enum pelmar::app::ArgumentsAsk;
    const pelmar::test::TempFolder home;
    home.write("today.csv", "A,1\n");
    home.write("items.txt", "A,1\n");
    struct Case {
        QStringList given;
        pelmar::app::ArgumentsAsk ask;
        QStringList arguments; // for start-up
        QString dataFile;
        QString refusal; // a part of it
    } cases[] = {
        {{"-x", "/T", "-h"}, Help, {}, {}, {}},
        {{"today.csv", "-x", "/T"}, Refuse, {}, {}, "不明的選項「-x」"},
        {{"--version", "today.csv"}, Version, {}, {}, {}},
        {{"-t"}, Start, {"/T"}, {}, {}},
        {{"nowhere.csv", "-T"}, Start, {"nowhere.csv", "/T"}, {}, {}},
        {{"/tmp/x/t.txt/t"}, Start, {"/tmp/x/t.txt/t"}, {}, {}},
        {{"ITEMS.TXT"}, Start, {"ITEMS.TXT"}, {}, {}},
        {{"nowhere.txt", "/Tmp"}, Refuse, {}, {}, "「nowhere.txt /Tmp」不是選項"},
        {{"\"today.csv\""}, Refuse, {}, {}, "找不到這個資料檔"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given.join(' ').toStdString());
        const auto read = pelmar::app::readProgramArguments(c.given, [&] { return home.path(); });
        EXPECT_EQ(read.ask, c.ask);
        EXPECT_EQ(read.arguments, c.arguments);
        EXPECT_EQ(read.dataFile, c.dataFile);
        EXPECT_TRUE(read.refusal.contains(c.refusal)) << read.refusal.toStdString();
    }
}

} // namespace
