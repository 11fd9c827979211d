#include "preview/tspl_interpreter.h"

#include "render_helpers.h"
#include "support/temp_folder.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace pelmar::preview {
namespace {

using test::black;
using test::blackDots;
using test::labelHead;
using test::render;

bool anyWarningContains(const QStringList& warnings, const char* text) {
    for (const QString& w : warnings)
        if (w.contains(QLatin1String(text)))
            return true;
    return false;
}

TEST(TsplInterpreterTest, LabelSizeInDotsFollowsUnitsAndResolution) {
    struct Case {
        const char* size;
        int dpi;
        int width;
        int height;
    } cases[] = {
        {"SIZE 50 mm,30 mm", 203, 400, 240},   {"SIZE 50 mm,30 mm", 300, 600, 360},
        {"SIZE 2,1", 203, 406, 203},           {"SIZE 2, 1", 300, 600, 300},
        {"SIZE 100 dot,64 dot", 203, 100, 64}, {"size 63.5 mm , 40 mm", 203, 508, 320},
    };
    for (const Case& c : cases) {
        const test::Rendered out = render(QByteArray(c.size) + "\r\nCLS\r\nPRINT 1\r\n", c.dpi);
        ASSERT_EQ(out.labels.size(), 1u) << c.size;
        EXPECT_EQ(out.labels[0].size(), QSize(c.width, c.height)) << c.size;
        EXPECT_EQ(out.labels[0].format(), QImage::Format_Mono);
        EXPECT_TRUE(out.warnings.isEmpty()) << c.size;
    }
}

TEST(TsplInterpreterTest, PrintGivesSetsTimesCopiesLabels) {
    EXPECT_EQ(render(labelHead() + "PRINT 2,3\r\n").labels.size(), 6u);
    EXPECT_EQ(render(labelHead() + "PRINT 4\r\n").labels.size(), 4u);
    EXPECT_EQ(render(labelHead() + "PRINT 0\r\n").labels.size(), 0u);
    const test::Rendered negative = render(labelHead() + "PRINT -1\r\n");
    EXPECT_EQ(negative.labels.size(), 0u);
    EXPECT_EQ(negative.warnings.size(), 1);
}

// The buffer keeps its drawing after PRINT until CLS, as a printer's does.
TEST(TsplInterpreterTest, ClsClearsAndPrintKeepsTheBuffer) {
    const test::Rendered out =
        render(labelHead() + "BAR 0,0,10,10\r\nPRINT 1\r\nBAR 20,0,10,10\r\nPRINT 1\r\n"
                             "CLS\r\nBAR 40,0,10,10\r\nPRINT 1\r\n");
    ASSERT_EQ(out.labels.size(), 3u);
    EXPECT_TRUE(black(out.labels[1], 5, 5) && black(out.labels[1], 25, 5));
    EXPECT_FALSE(black(out.labels[2], 5, 5));
    EXPECT_TRUE(black(out.labels[2], 45, 5));
}

// Splitting the stream anywhere (a port receives chunks) changes nothing, also inside BITMAP
// and DOWNLOAD data and inside CR LF.
TEST(TsplInterpreterTest, ChunkedFeedingGivesTheSameLabels) {
    QByteArray stream = labelHead() + "BITMAP 10,10,2,3,0,";
    stream += QByteArray("\x0F\xF0\r\n\x00\xFF", 6) + "\r\nTEXT 10,40,\"2\",0,1,1,\"A\\[\"]B\"\r\n";
    stream += "DOWNLOAD \"X.BMP\",4,\r\n\r\n\r\nBAR 100,100,20,20\r\nPRINT 1\r\n";
    const test::Rendered whole = render(stream);
    ASSERT_EQ(whole.labels.size(), 1u);
    EXPECT_TRUE(whole.warnings.isEmpty()) << whole.warnings.join('\n').toStdString();
    for (const qsizetype chunk : {1, 2, 3, 7, 64}) {
        const test::Rendered split = render(stream, 203, chunk);
        ASSERT_EQ(split.labels.size(), 1u) << chunk;
        EXPECT_EQ(split.labels[0], whole.labels[0]) << chunk;
        EXPECT_EQ(split.warnings, whole.warnings) << chunk;
    }
}

// A 0 bit is a black dot; overwrite sets the rectangle, OR adds black, XOR toggles where the
// data bit is 0.
TEST(TsplInterpreterTest, BitmapModes) {
    // Row data 0x0F: four black dots then four white ones, over a bar covering dots 2..5.
    struct Case {
        int mode;
        const char* expected; // dots 0..7, '#' black
    } cases[] = {{0, "####...."}, {1, "######.."}, {2, "##..##.."}};
    for (const Case& c : cases) {
        const QByteArray stream = labelHead() + "BAR 2,0,4,1\r\nBITMAP 0,0,1,1," +
                                  QByteArray::number(c.mode) + ",\x0F\r\nPRINT 1\r\n";
        const test::Rendered out = render(stream);
        ASSERT_EQ(out.labels.size(), 1u);
        QByteArray dots;
        for (int x = 0; x < 8; ++x)
            dots.append(black(out.labels[0], x, 0) ? '#' : '.');
        EXPECT_EQ(dots, QByteArray(c.expected)) << "mode " << c.mode;
    }
}

TEST(TsplInterpreterTest, BoxLinesGrowInwardAndBarsFill) {
    const test::Rendered out =
        render(labelHead() + "BOX 10,10,110,60,5\r\nBAR 200,20,30,40\r\nPRINT 1\r\n");
    ASSERT_EQ(out.labels.size(), 1u);
    const QImage& l = out.labels[0];
    EXPECT_TRUE(black(l, 10, 10) && black(l, 14, 30) && black(l, 109, 59) && black(l, 105, 30));
    EXPECT_FALSE(black(l, 15, 30) || black(l, 104, 30) || black(l, 110, 30) || black(l, 9, 10));
    EXPECT_EQ(blackDots(l, 200, 20, 30, 40), 1200);
    EXPECT_EQ(blackDots(l, 0, 0, 320, 160), 1200 + 100 * 50 - 90 * 40);
}

TEST(TsplInterpreterTest, DirectionZeroTurnsAndMirrorFlips) {
    const QByteArray scene = "BAR 0,0,10,5\r\nPRINT 1\r\n";
    const QImage normal = render(labelHead() + "DIRECTION 1\r\n" + scene).labels.at(0);
    const QImage turned = render(labelHead() + "DIRECTION 0\r\n" + scene).labels.at(0);
    const QImage mirrored = render(labelHead() + "DIRECTION 1,1\r\n" + scene).labels.at(0);
    EXPECT_TRUE(black(normal, 0, 0) && black(normal, 9, 4) && !black(normal, 10, 0));
    EXPECT_TRUE(black(turned, 319, 159) && black(turned, 310, 155) && !black(turned, 0, 0));
    EXPECT_TRUE(black(mirrored, 319, 0) && black(mirrored, 310, 4) && !black(mirrored, 0, 0));
    EXPECT_EQ(turned, normal.mirrored(true, true));
}

TEST(TsplInterpreterTest, ReferenceMovesTheOrigin) {
    const QImage l =
        render(labelHead() + "REFERENCE 100,50\r\nBAR 0,0,4,4\r\nPRINT 1\r\n").labels.at(0);
    EXPECT_TRUE(black(l, 100, 50));
    EXPECT_FALSE(black(l, 0, 0));
}

TEST(TsplInterpreterTest, SetUpCommandsAreRemembered) {
    test::CollectingSink sink;
    TsplInterpreter interpreter(sink);
    interpreter.feed("SIZE 60 mm,40 mm\r\nSPEED 4\r\nDENSITY 8\r\nBLINE 3 mm,1 mm\r\n"
                     "OFFSET 2 mm\r\nSET TEAR OFF\r\nSET CUTTER BATCH\r\nDIRECTION 0,1\r\n"
                     "CODEPAGE 950\r\n"
                     "\x1B!?SET PEEL ON\r\n~!T\r\n");
    interpreter.finish();
    const PrinterSetup& s = interpreter.setup();
    EXPECT_EQ(s.labelWidth, 480);
    EXPECT_EQ(s.labelHeight, 320);
    EXPECT_EQ(s.speed, "4");
    EXPECT_EQ(s.density, "8");
    EXPECT_TRUE(s.blackMark);
    EXPECT_EQ(s.gap, 24);
    EXPECT_EQ(s.gapOffset, 8);
    EXPECT_EQ(s.offset, 16);
    EXPECT_EQ(s.direction, 0);
    EXPECT_TRUE(s.mirror);
    EXPECT_EQ(s.codePage, "950");
    EXPECT_EQ(s.settings.value("TEAR"), "OFF");
    EXPECT_EQ(s.settings.value("CUTTER"), "BATCH");
    // The immediate command <ESC>!? is taken out without breaking the line it stands in.
    EXPECT_EQ(s.settings.value("PEEL"), "ON");
    EXPECT_TRUE(interpreter.warnings().isEmpty())
        << interpreter.warnings().join('\n').toStdString();
}

TEST(TsplInterpreterTest, UnknownCommandsAreReportedOncePerName) {
    const test::Rendered out =
        render(labelHead() + "FROB 1\r\nFROB 2\r\nZAP\r\nFROB\r\nPRINT 1\r\n");
    EXPECT_EQ(out.labels.size(), 1u);
    ASSERT_EQ(out.warnings.size(), 2);
    EXPECT_TRUE(out.warnings[0].contains(QLatin1String("line 4")));
    EXPECT_TRUE(out.warnings[0].contains(QLatin1String("FROB")));
    EXPECT_TRUE(out.warnings[1].contains(QLatin1String("ZAP")));
}

// Bad input of every kind: a clear warning, no crash, nothing drawn from it.
TEST(TsplInterpreterTest, BadInputBecomesWarnings) {
    struct Case {
        QByteArray stream;
        const char* warning;
        size_t labels;
    } cases[] = {
        {labelHead() + "BAR 1,2,3\r\nPRINT 1\r\n", "too few parameters", 1},
        {labelHead() + "BAR 1,x,3,4\r\nPRINT 1\r\n", "not a number", 1},
        {labelHead() + "TEXT 10,10,\"3\",0,1,1,\"open\r\nPRINT 1\r\n", "not closed", 1},
        {labelHead() + "PRINT 1", "middle of the command", 0},
        {labelHead() + "BITMAP 0,0,10,10,0,abc", "ends inside BITMAP data", 0},
        {labelHead() + "DOWNLOAD \"A.PCX\",100,xyz", "ends inside DOWNLOAD data", 0},
        {"SIZE 10000 mm,10000 mm\r\nCLS\r\nPRINT 1\r\n", "larger than the printer takes", 1},
        {"SIZE 0 mm,10 mm\r\nPRINT 1\r\n", "not a label size", 1},
        {"BAR 0,0,5,5\r\nPRINT 1\r\n", "no SIZE", 1},
        {labelHead() + "PUTPCX 0,0,\"NONE.PCX\"\r\nPRINT 1\r\n", "not in the printer memory", 1},
        {labelHead() + "TEXT 0,0,\"NOFONT.TTF\",0,1,1,\"x\"\r\nPRINT 1\r\n", "not in the printer",
         1},
        {labelHead() + "BARCODE 0,0,\"EAN13\",40,0,0,2,4,\"ABC\"\r\nPRINT 1\r\n", "not drawn", 1},
        {labelHead() + "BARCODE 0,0,\"128\",40,0,45,2,4,\"ABC\"\r\nPRINT 1\r\n", "rotation", 1},
        {labelHead() + "DIRECTION 2\r\nPRINT 1\r\n", "DIRECTION", 1},
        {labelHead() + "PRINT 100000,100000\r\n", "labels asked for", 10000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stream.toStdString());
        const test::Rendered out = render(c.stream);
        EXPECT_EQ(out.labels.size(), c.labels);
        EXPECT_TRUE(anyWarningContains(out.warnings, c.warning))
            << out.warnings.join('\n').toStdString();
    }
}

TEST(TsplInterpreterTest, AbsurdSizesStayWithinBounds) {
    // The label is clamped to 4000 x 8000 dots.
    const test::Rendered big = render("SIZE 10000 mm,10000 mm\r\nCLS\r\nPRINT 1\r\n");
    ASSERT_EQ(big.labels.size(), 1u);
    EXPECT_EQ(big.labels[0].size(), QSize(4000, 8000));
    // A BITMAP claiming 1 GB reads what there is and waits for the rest without allocating it.
    test::CollectingSink sink;
    TsplInterpreter interpreter(sink);
    interpreter.feed(labelHead() + "BITMAP 0,0,32768,32768,0,");
    interpreter.feed(QByteArray(1 << 20, '\0'));
    interpreter.finish();
    ASSERT_EQ(interpreter.warnings().size(), 1);
    EXPECT_TRUE(interpreter.warnings()[0].contains(QLatin1String("1072693248 of 1073741824")));
    // A download larger than the printer memory is read past, not kept.
    TsplLimits small;
    small.maxDownloadBytes = 10;
    TsplInterpreter limited(sink, 203, common::CodePage(), small);
    limited.feed(
        "DOWNLOAD \"BIG.BMP\",11,01234567890\r\nDOWNLOAD \"OK.BMP\",3,abc\r\nKILL \"x\"\r\n");
    limited.finish();
    EXPECT_TRUE(limited.storedFile("BIG.BMP").isEmpty());
    EXPECT_EQ(limited.storedFile("ok.bmp"), "abc");
    EXPECT_TRUE(anyWarningContains(limited.warnings(), "do not fit"));
}

TEST(TsplInterpreterTest, LongLinesAndGarbageAreSkipped) {
    TsplLimits limits;
    limits.maxLineBytes = 100;
    test::CollectingSink sink;
    TsplInterpreter interpreter(sink, 203, common::CodePage(), limits);
    interpreter.feed(labelHead() + "TEXT 0,0,\"3\",0,1,1,\"" + QByteArray(500, 'x') +
                     "\"\r\nBAR 0,0,5,5\r\n");
    QByteArray garbage;
    for (int i = 0; i < 5000; ++i)
        garbage.append(char((i * 7919) % 251));
    interpreter.feed(garbage);
    interpreter.feed("\r\nPRINT 1\r\n");
    interpreter.finish();
    ASSERT_EQ(sink.labels.size(), 1u);
    EXPECT_TRUE(black(sink.labels[0], 2, 2));
    EXPECT_TRUE(anyWarningContains(interpreter.warnings(), "longer than 100 bytes"));
    EXPECT_LE(interpreter.warnings().size(), limits.maxWarnings + 1);
}

TEST(TsplInterpreterTest, TextDrawsItsCellsAndDecodesTheCodePage) {
    const QImage one =
        render(labelHead() + "TEXT 10,10,\"3\",0,1,1,\"H\"\r\nPRINT 1\r\n").labels.at(0);
    // Font 3 is 16 x 24 dots a character.
    EXPECT_GT(blackDots(one, 10, 10, 16, 24), 20);
    EXPECT_EQ(blackDots(one, 0, 0, 320, 160), blackDots(one, 10, 10, 16, 24));
    const QImage doubled =
        render(labelHead() + "TEXT 10,10,\"3\",0,2,3,\"H\"\r\nPRINT 1\r\n").labels.at(0);
    EXPECT_EQ(blackDots(doubled, 10, 10, 32, 72), 6 * blackDots(one, 10, 10, 16, 24));
    // Turned 90 degrees clockwise about (x, y): the text runs down, left of x.
    const QImage turned =
        render(labelHead() + "TEXT 100,10,\"3\",90,1,1,\"HH\"\r\nPRINT 1\r\n").labels.at(0);
    EXPECT_EQ(blackDots(turned, 76, 10, 24, 32), 2 * blackDots(one, 10, 10, 16, 24));
    // Big5 text is decoded; the Chinese font has 24 x 24 dot characters.
    const QImage chinese = render(labelHead() + "TEXT 10,10,\"TST24.BF2\",0,1,1,\"" +
                                  test::big5(QStringLiteral("價格")) + "\"\r\nPRINT 1\r\n")
                               .labels.at(0);
    EXPECT_GT(blackDots(chinese, 10, 10, 24, 24), 30);
    EXPECT_GT(blackDots(chinese, 34, 10, 24, 24), 30);
    EXPECT_EQ(blackDots(chinese, 58, 0, 262, 160), 0);
}

} // namespace
} // namespace pelmar::preview
