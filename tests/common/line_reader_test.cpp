#include "common/line_reader.h"

#include "common/run_error.h"
#include "support/run_error_of.h"
#include "support/temp_folder.h"

#include <QList>
#include <gtest/gtest.h>

using namespace pelmar::common;
using pelmar::test::runErrorNumberOf;
using pelmar::test::TempFolder;

namespace {

constexpr int kBuffer = 1 << 16; // the reader's buffer: terminators placed at its edge

QList<QByteArray> readAll(const QString& path, bool lineFeedEndsLine) {
    LineReader reader(path, lineFeedEndsLine);
    QList<QByteArray> lines;
    QByteArray line;
    while (reader.next(line))
        lines << line;
    return lines;
}

std::string visible(QByteArray bytes) {
    if (bytes.size() > 40)
        bytes = bytes.first(20) + "..." + bytes.last(20);
    return bytes.replace('\r', "<CR>").replace('\n', "<LF>").toStdString();
}

TEST(LineReader, LineEndsByRule) {
    struct Case {
        QByteArray bytes;
        QList<QByteArray> carriageReturn; // lines when only CR ends a line (data files with CR)
        QList<QByteArray> lineFeedToo;    // lines when LF ends one too (format, LF-only data)
    };
    const Case cases[] = {
        {"", {}, {}},
        {"a", {"a"}, {"a"}},
        {"a\r\nb\r\n", {"a", "b"}, {"a", "b"}},
        {"a\rb", {"a", "b"}, {"a", "b"}},
        {"a\nb\r\n", {"a\nb"}, {"a", "b"}},
        {"\r\r\r", {"", "", ""}, {"", "", ""}},
        {"a\r\n\r\n", {"a", ""}, {"a", ""}},
        {"a\r\r\nb", {"a", "", "b"}, {"a", "", "b"}},
        {"a\nb\r\nc\rd\n\ne", {"a\nb", "c", "d\n\ne"}, {"a", "b", "c", "d", "", "e"}},
        {"a\n", {"a\n"}, {"a"}},
        {"\n\n", {"\n\n"}, {"", ""}},
        {"a\n\rb", {"a\n", "b"}, {"a", "", "b"}},
    };
    TempFolder dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(visible(c.bytes));
        const QString path = dir.write(QStringLiteral("f.txt"), c.bytes);
        EXPECT_EQ(readAll(path, false), c.carriageReturn);
        EXPECT_EQ(readAll(path, true), c.lineFeedToo);
    }
}

TEST(LineReader, TerminatorsAtTheEdgeOfTheBuffer) {
    struct Case {
        int before; // bytes of the first line
        QByteArray terminator;
        bool lineFeedEndsLine;
        int lines; // lines before "end"
    };
    const Case cases[] = {
        {kBuffer - 1, "\r\n", false, 1}, // CR last in the buffer, its LF first in the next
        {kBuffer - 1, "\r\n", true, 1},   {kBuffer - 1, "\n", true, 1},
        {kBuffer, "\n", true, 1}, // LF first in the next buffer
        {kBuffer - 2, "\n\n", true, 2},   {kBuffer - 1, "\r\r", false, 2},
        {3 * kBuffer + 5, "\n", true, 1},
    };
    TempFolder dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        SCOPED_TRACE(visible(c.terminator));
        const QByteArray first(c.before, 'x');
        const QString path = dir.write(QStringLiteral("f.txt"), first + c.terminator + "end");
        QList<QByteArray> expected{first};
        while (expected.size() < c.lines)
            expected << QByteArray();
        expected << "end";
        EXPECT_EQ(readAll(path, c.lineFeedEndsLine), expected);
    }
}

TEST(LineReader, ManyLinesOverManyBuffers) {
    // Line lengths vary so that every terminator sits somewhere else in a buffer.
    for (const QByteArray& terminator : {QByteArray("\n"), QByteArray("\r\n"), QByteArray("\r")}) {
        SCOPED_TRACE(visible(terminator));
        QByteArray bytes;
        QList<QByteArray> expected;
        for (int i = 0; i < 40000; ++i) {
            const QByteArray line = QByteArray::number(i) + QByteArray(i % 37, '-');
            bytes += line + terminator;
            expected << line;
        }
        TempFolder dir;
        const QString path = dir.write(QStringLiteral("f.txt"), bytes);
        EXPECT_EQ(readAll(path, true), expected);
        if (terminator != "\n") {
            EXPECT_EQ(readAll(path, false), expected);
        }
    }
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

TEST(LineReader, LimitIsCheckedBeforeTheLineIsWhole) {
    TempFolder dir;
    const QString path = dir.write(QStringLiteral("f.txt"), "abc\n" + QByteArray(3 * kBuffer, 'x'));
    LineReader reader(path, true, kBuffer);
    QByteArray line;
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line, "abc");
    EXPECT_THROW(reader.next(line), LineTooLong);
}

TEST(LineReader, MissingFileIsError53) {
    for (const bool lineFeedEndsLine : {false, true})
        EXPECT_EQ(runErrorNumberOf([&] {
                      LineReader reader(QStringLiteral("/nonexistent/file.txt"), lineFeedEndsLine);
                  }),
                  53);
}

TEST(HoldsCarriageReturn, AnywhereInTheFile) {
    const struct {
        QByteArray bytes;
        bool holds;
    } cases[] = {
        {"", false},
        {"a\nb\n", false},
        {"a\r\nb", true},
        {"\r", true},
        {QByteArray(3 * kBuffer, '\n') + "\r", true}, // only in the fourth buffer
        {QByteArray(3 * kBuffer, '\n'), false},
    };
    TempFolder dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(visible(c.bytes));
        EXPECT_EQ(holdsCarriageReturn(dir.write(QStringLiteral("f.txt"), c.bytes)), c.holds);
    }
    EXPECT_EQ(
        runErrorNumberOf([&] { holdsCarriageReturn(dir.file(QStringLiteral("NOTHERE.TXT"))); }),
        53);
}

} // namespace
