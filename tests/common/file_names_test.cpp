#include "common/file_names.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

using namespace pelmar::common;
using pelmar::test::TempFolder;

namespace {

TEST(ResolveFileName, MatchesComponentsIgnoringCase) {
    TempFolder dir;
    dir.write(QStringLiteral("data/items.txt"), "x");
    dir.write(QStringLiteral("logo.pcx"), "x");
    EXPECT_EQ(resolveFileName(dir.file(QStringLiteral("DATA/ITEMS.TXT"))),
              dir.file(QStringLiteral("data/items.txt")));
    EXPECT_EQ(resolveFileName(dir.path() + QStringLiteral("\\LOGO.PCX")),
              dir.file(QStringLiteral("logo.pcx")));
    EXPECT_TRUE(resolveFileName(dir.file(QStringLiteral("nothing.txt"))).isEmpty());
    EXPECT_TRUE(resolveFileName(QStringLiteral("C:\\DATA\\ITEMS.TXT")).isEmpty());
}

TEST(ResolveFileName, ExactMatchWinsThenByteOrder) {
    TempFolder dir;
    dir.write(QStringLiteral("Logo.bmp"), "1");
    dir.write(QStringLiteral("logo.BMP"), "2");
    dir.write(QStringLiteral("LOGO.bmp"), "3");
    EXPECT_EQ(resolveFileName(dir.file(QStringLiteral("logo.BMP"))),
              dir.file(QStringLiteral("logo.BMP")));
    EXPECT_EQ(resolveFileName(dir.file(QStringLiteral("LoGo.BmP"))),
              dir.file(QStringLiteral("LOGO.bmp")));
}

} // namespace
