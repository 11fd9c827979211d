#include "common/file_names.h"
#include "common/line_reader.h"
#include "common/run_error.h"
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

TEST(LineReader, SplitsAtCarriageReturns) {
    struct Case {
        QByteArray bytes;
        QList<QByteArray> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb", {"a", "b"}},
        {"a\nb\r\n", {"a\nb"}},
        {"\r\r\r", {"", "", ""}},
        {"a\r\n\r\n", {"a", ""}},
        {"a\r\r\nb", {"a", "", "b"}},
    };
    TempFolder dir;
    for (const auto& c : cases) {
        const QString path = dir.write(QStringLiteral("f.txt"), c.bytes);
        LineReader reader(path);
        QList<QByteArray> lines;
        QByteArray line;
        while (reader.next(line))
            lines << line;
        EXPECT_EQ(lines, c.lines) << c.bytes.toStdString();
    }
}

TEST(LineReader, LineFeedEndsALineWhenAsked) {
    TempFolder dir;
    const QString path = dir.write(QStringLiteral("f.fmt"), "a\nb\r\nc\rd\n\ne");
    LineReader reader(path, true);
    QList<QByteArray> lines;
    QByteArray line;
    while (reader.next(line))
        lines << line;
    EXPECT_EQ(lines, (QList<QByteArray>{"a", "b", "c", "d", "", "e"}));
}

TEST(LineReader, LongLinesCrossTheBuffer) {
    TempFolder dir;
    QByteArray big(1 << 20, 'x');
    const QString path = dir.write(QStringLiteral("big.txt"), big + "\r\nend");
    LineReader reader(path);
    QByteArray line;
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line.size(), 1 << 20);
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line, "end");
    EXPECT_FALSE(reader.next(line));
}

TEST(LineReader, MissingFileIsError53) {
    try {
        LineReader reader(QStringLiteral("/nonexistent/file.txt"));
        FAIL();
    } catch (const RunError& e) {
        EXPECT_EQ(e.number(), 53);
    }
}

} // namespace
