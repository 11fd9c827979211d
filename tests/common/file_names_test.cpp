#include "common/file_names.h"
#include "support/temp_folder.h"

#include <QDir>
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

// A relative data file name is taken from the current folder when the file is there, otherwise
// from the program folder.
TEST(DataFilePath, RelativeNamesFallBackToTheProgramFolder) {
    TempFolder current;
    TempFolder program;
    current.write(QStringLiteral("HERE.TXT"), "x");
    current.write(QStringLiteral("BOTH.TXT"), "x");
    program.write(QStringLiteral("BOTH.TXT"), "x");
    program.write(QStringLiteral("ITEMS.TXT"), "x");
    program.write(QStringLiteral("data/items.txt"), "x");
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(current.path()));
    struct Case {
        QString name;
        QString expected;
    };
    const Case cases[] = {
        {QStringLiteral("ITEMS.TXT"), program.file(QStringLiteral("ITEMS.TXT"))},
        {QStringLiteral("DATA\\ITEMS.TXT"), program.file(QStringLiteral("DATA/ITEMS.TXT"))},
        {QStringLiteral("BOTH.TXT"), QStringLiteral("BOTH.TXT")},
        {QStringLiteral("here.txt"), QStringLiteral("here.txt")},
        {QStringLiteral("NOWHERE.TXT"), QStringLiteral("NOWHERE.TXT")},
        {program.file(QStringLiteral("ITEMS.TXT")), program.file(QStringLiteral("ITEMS.TXT"))},
        {QString(), QString()},
    };
    for (const Case& c : cases) {
        const QString path = dataFilePath(c.name, program.path());
        EXPECT_EQ(path, c.expected) << c.name.toStdString();
        if (!c.expected.isEmpty() && c.name != QStringLiteral("NOWHERE.TXT")) {
            EXPECT_FALSE(resolveFileName(path).isEmpty()) << c.name.toStdString();
        }
    }
    QDir::setCurrent(before);
}

} // namespace
