#include "shell/app/command_line.h"

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

} // namespace
