#include "print_command/tspl_library.h"

#include "print_command/memory_port.h"
#include "print_command/tspl_bytes.h"
#include "support/run_error_of.h"

#include <QFile>
#include <gtest/gtest.h>

namespace pelmar::print_command {
namespace {

class TsplLibraryTest : public ::testing::Test {
protected:
    TsplLibraryTest() { library.openport(QStringLiteral("TSC")); }

    QByteArray take() {
        const QByteArray bytes = port.bytes;
        port.bytes.clear();
        return bytes;
    }
    std::vector<test::ParsedBitmap> bitmapsOf(const QByteArray& bytes) {
        std::vector<test::ParsedBitmap> bitmaps;
        test::readableTspl(bytes, &bitmaps);
        return bitmaps;
    }
    test::ParsedBitmap text(int x, int y, int height, int rotation, const QString& content,
                            int style = 0, int underline = 0,
                            const QString& face = QStringLiteral("Arial")) {
        library.windowsfont(static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
                            static_cast<std::int16_t>(height), static_cast<std::int16_t>(rotation),
                            static_cast<std::int16_t>(style), static_cast<std::int16_t>(underline),
                            face, content);
        const std::vector<test::ParsedBitmap> strips = bitmapsOf(take());
        EXPECT_FALSE(strips.empty());
        for (const test::ParsedBitmap& strip : strips) {
            if (rotation == 0 && x >= 8) {
                EXPECT_EQ((strip.x - x) % 8, 0) << "strips keep the cell's byte columns";
            }
            EXPECT_EQ(strip.data.size(), strip.widthBytes * strip.height);
        }
        return test::mergedBitmap(strips);
    }

    test::MemoryPort::Record port;
    TsplLibrary library{common::CodePage(), [this](const QString&) {
                            return std::make_unique<test::MemoryPort>(port);
                        }};
};

TEST_F(TsplLibraryTest, CallsSendTheMakersBytes) {
    struct Case {
        std::function<void(TsplLibrary&)> call;
        QByteArray bytes;
    };
    const Case cases[] = {
        {[](TsplLibrary& l) { l.setup("60", "40", "4", "8", "0", "3", "0"); },
         "SIZE 60 mm,40 mm\r\nSPEED 4\r\nDENSITY 8\r\nGAP 3 mm, 0 mm\r\n"},
        {[](TsplLibrary& l) { l.setup("63.5", "38.1", "3", "10", "1", "2", "1.5"); },
         "SIZE 63.5 mm,38.1 mm\r\nSPEED 3\r\nDENSITY 10\r\nBLINE 2 mm, 1.5 mm\r\n"},
        {[](TsplLibrary& l) { l.setup("60", "40", "4", "8", "2", "3", "0"); },
         "SIZE 60 mm,40 mm\r\nSPEED 4\r\nDENSITY 8\r\n"},
        {[](TsplLibrary& l) { l.sendcommand("DIRECTION 1"); }, "DIRECTION 1\r\n"},
        {[](TsplLibrary& l) { l.clearbuffer(); }, "CLS\r\n"},
        {[](TsplLibrary& l) { l.barcode("10", "20", "128", "80", "1", "0", "2", "4", "A1"); },
         "BARCODE 10,20,\"128\",80,1,0,2,4,\"A1\"\r\n"},
        {[](TsplLibrary& l) { l.barcode("1", "2", "39", "50", "0", "0", "2", "6", ""); },
         "BARCODE 1,2,\"39\",50,0,0,2,6,\"\"\r\n"},
        {[](TsplLibrary& l) { l.barcode("0", "0", "128", "50", "0", "0", "2", "4", "1\"2"); },
         "BARCODE 0,0,\"128\",50,0,0,2,4,\"1\\[\"]2\"\r\n"},
        {[](TsplLibrary& l) { l.printlabel("3", "1"); }, "PRINT 3,1\r\n"},
        // Texts in the code page (Big5).
        {[](TsplLibrary& l) { l.sendcommand(QStringLiteral("品名")); },
         QByteArray("\xab\x7e\xa6\x57\r\n")},
    };
    for (const Case& c : cases) {
        c.call(library);
        EXPECT_EQ(take(), c.bytes);
    }
}

TEST_F(TsplLibraryTest, PrintEndsTheJobAndClosePortClosesIt) {
    library.clearbuffer();
    library.printlabel("1", "1");
    library.clearbuffer();
    EXPECT_EQ(port.jobs, QList<QByteArray>{"CLS\r\nPRINT 1,1\r\n"});
    library.closeport();
    EXPECT_TRUE(port.closed);
    EXPECT_THROW(library.clearbuffer(), common::RunError);
}

TEST_F(TsplLibraryTest, DownloadSendsTheFileFoundIgnoringCase) {
    const QString folder = QStringLiteral(PELMAR_TEST_DATA_DIR "/print_command");
    library.downloadpcx(folder + QStringLiteral("/LOGO.PCX"), QStringLiteral("LOGO.PCX"));
    QFile file(folder + QStringLiteral("/logo.pcx"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_EQ(take(),
              "DOWNLOAD \"LOGO.PCX\"," + QByteArray::number(content.size()) + ',' + content);
    // A missing picture is not detected: nothing is sent, nothing fails.
    library.downloadpcx(folder + QStringLiteral("/NONE.PCX"), QStringLiteral("NONE.PCX"));
    EXPECT_TRUE(take().isEmpty());
}

TEST_F(TsplLibraryTest, TextBitmapLiesInItsCellAndIsCroppedToInk) {
    const test::ParsedBitmap b = text(100, 50, 48, 0, QStringLiteral("Hg"));
    EXPECT_EQ(b.mode, 1);
    EXPECT_EQ(b.data.size(), b.widthBytes * b.height);
    EXPECT_EQ((b.x - 100) % 8, 0);
    EXPECT_GE(b.x, 100);
    EXPECT_GT(b.y, 50);                 // the ascent leaves room above the H
    EXPECT_LE(b.y + b.height, 50 + 48); // the g's descender stays in the cell
    EXPECT_GT(b.height, 30);
    // Cropped: the first and last rows and the first and last bytes hold ink.
    bool top = false, bottom = false, left = false, right = false;
    for (int c = 0; c < b.widthBytes * 8; ++c) {
        top |= b.black(c, 0);
        bottom |= b.black(c, b.height - 1);
    }
    for (int r = 0; r < b.height; ++r) {
        for (int c = 0; c < 8; ++c)
            left |= b.black(c, r);
        for (int c = (b.widthBytes - 1) * 8; c < b.widthBytes * 8; ++c)
            right |= b.black(c, r);
    }
    EXPECT_TRUE(top && bottom && left && right);
}

TEST_F(TsplLibraryTest, RotationTurnsCounterClockwiseAboutTheCellCorner) {
    const int x = 400, y = 400, h = 48;
    const test::ParsedBitmap flat = text(x, y, h, 0, QStringLiteral("HHHH"));
    const int width = flat.x + flat.widthBytes * 8 - x; // at least the ink's reach
    struct Case {
        int rotation;
        int minX, maxX, minY, maxY; // where the ink must lie
    };
    const Case cases[] = {
        {90, x, x + h, y - width, y},
        {180, x - width, x, y - h, y},
        {270, x - h, x, y, y + width},
        {45, x, x + width, y, y + h}, // other angles as 0
    };
    for (const Case& c : cases) {
        const test::ParsedBitmap b = text(x, y, h, c.rotation, QStringLiteral("HHHH"));
        EXPECT_GE(b.y, c.minY) << c.rotation;
        EXPECT_LE(b.y + b.height, c.maxY) << c.rotation;
        // The bitmap may start left of the ink (whole bytes) but the ink itself stays inside.
        int inkMin = 1 << 20, inkMax = -1;
        for (int r = 0; r < b.height; ++r)
            for (int col = 0; col < b.widthBytes * 8; ++col)
                if (b.black(col, r)) {
                    inkMin = std::min(inkMin, b.x + col);
                    inkMax = std::max(inkMax, b.x + col);
                }
        EXPECT_GE(inkMin, c.minX) << c.rotation;
        EXPECT_LT(inkMax, c.maxX) << c.rotation;
        EXPECT_EQ(b.inkDots(), flat.inkDots()) << c.rotation;
    }
    // Rotated by 90, a horizontal text runs upwards: its height is the flat text's width.
    const test::ParsedBitmap up = text(x, y, h, 90, QStringLiteral("HHHH"));
    EXPECT_GT(up.height, 3 * h / 2);
    EXPECT_LE(up.widthBytes * 8, h + 8);
}

TEST_F(TsplLibraryTest, StylesAndUnderline) {
    const int plain = text(0, 0, 48, 0, QStringLiteral("Label")).inkDots();
    EXPECT_GT(text(0, 0, 48, 0, QStringLiteral("Label"), 2).inkDots(), plain * 5 / 4);
    const test::ParsedBitmap underlined = text(0, 0, 48, 0, QStringLiteral("Label"), 0, 1);
    EXPECT_GT(underlined.inkDots(), plain);
    EXPECT_NE(text(0, 0, 48, 0, QStringLiteral("Label"), 1).data,
              text(0, 0, 48, 0, QStringLiteral("Label"), 0).data);
}

TEST_F(TsplLibraryTest, HeightIsTheCellHeight) {
    // A cell twice as high draws glyphs about twice as high.
    const int small = text(0, 0, 24, 0, QStringLiteral("H")).height;
    const int large = text(0, 0, 48, 0, QStringLiteral("H")).height;
    EXPECT_NEAR(large, 2 * small, 2);
    // Chinese faces through the fontconfig aliases.
    const test::ParsedBitmap chinese =
        text(0, 0, 48, 0, QStringLiteral("品名"), 0, 0, QStringLiteral("新細明體"));
    EXPECT_GT(chinese.height, 30);
    EXPECT_LE(chinese.height, 48);
}

TEST_F(TsplLibraryTest, BadTextInputNeverBreaksTheStream) {
    // Empty and blank texts, and no height, send nothing.
    for (const QString& blank : {QString(), QStringLiteral("   ")}) {
        library.windowsfont(0, 0, 48, 0, 0, 0, QStringLiteral("Arial"), blank);
        EXPECT_TRUE(take().isEmpty());
    }
    library.windowsfont(0, 0, 0, 0, 0, 0, QStringLiteral("Arial"), QStringLiteral("X"));
    library.windowsfont(0, 0, -20, 0, 0, 0, QStringLiteral("Arial"), QStringLiteral("X"));
    EXPECT_TRUE(take().isEmpty());
    // A face no font provides falls back to a default face.
    EXPECT_GT(
        text(0, 0, 32, 0, QStringLiteral("X"), 0, 0, QStringLiteral("No Such Face 123")).inkDots(),
        0);
    // Text left of and above the label's origin is dropped, not wrapped.
    const test::ParsedBitmap clipped = text(10, 10, 48, 180, QStringLiteral("WWWW"));
    EXPECT_GE(clipped.x, 0);
    EXPECT_GE(clipped.y, 0);
    // A 2,000-character field is drawn up to a bound and the stream stays parseable.
    library.windowsfont(0, 0, 48, 0, 0, 0, QStringLiteral("Arial"), QString(2000, u'W'));
    library.clearbuffer();
    const QStringList commands = test::readableTspl(take());
    EXPECT_TRUE(commands.first().startsWith(u"BITMAP 0,"));
    EXPECT_EQ(commands.last(), QStringLiteral("CLS"));
}

TEST_F(TsplLibraryTest, StringsThatWouldBreakTheCommandAreRefusedWithNothingSent) {
    const QString codes[] = {QStringLiteral("x\nPRINT 5\nREM"), QStringLiteral("x\rCLS"),
                             QStringLiteral("C:\\["), QString(2049, u'9')};
    for (const QString& code : codes) {
        EXPECT_THROW(library.barcode("0", "0", "128", "50", "1", "0", "2", "4", code),
                     common::RunError);
        EXPECT_TRUE(take().isEmpty());
    }
    // A line end inside a text only draws: the bitmap carries any text.
    const test::ParsedBitmap drawn = text(0, 0, 32, 0, QStringLiteral("A\nB"));
    EXPECT_GT(drawn.inkDots(), 0);
}

TEST(TsplLibraryPort, CallsBeforeOpenportFail) {
    TsplLibrary library(common::CodePage(),
                        [](const QString&) { return std::unique_ptr<common::BytePort>(); });
    EXPECT_THROW(library.clearbuffer(), common::RunError);
    EXPECT_THROW(library.openport(QStringLiteral("X")), common::RunError);
    library.closeport(); // nothing open: nothing to do
}

} // namespace
} // namespace pelmar::print_command

namespace pelmar::print_command {
namespace {

TEST(TextStrips, StripsDrawThePictureAndSkipBlankColumns) {
    TextBitmapRenderer renderer;
    const TextBitmap whole =
        renderer.render(16, 16, 48, 0, 0, 0, QStringLiteral("Arial"), QStringLiteral("a      T"));
    const std::vector<TextBitmap> strips = splitIntoStrips(whole);
    ASSERT_GE(strips.size(), 2u); // the blanks between the letters are not sent
    std::vector<test::ParsedBitmap> parsed;
    qsizetype sent = 0;
    for (const TextBitmap& strip : strips) {
        test::readableTspl(TsplLibrary::bitmapCommand(strip), &parsed);
        sent += strip.data.size();
    }
    test::readableTspl(TsplLibrary::bitmapCommand(whole), &parsed);
    const test::ParsedBitmap merged = test::mergedBitmap({parsed.begin(), parsed.end() - 1});
    const test::ParsedBitmap& original = parsed.back();
    EXPECT_EQ(merged.x, original.x);
    EXPECT_EQ(merged.y, original.y);
    EXPECT_EQ(merged.height, original.height);
    EXPECT_EQ(merged.inkDots(), original.inkDots());
    EXPECT_LT(sent, whole.data.size());
}

} // namespace
} // namespace pelmar::print_command

namespace pelmar::print_command {
namespace {

// openport asks a two-way port for the status: not ready stops before any byte of a label.
TEST(TsplLibraryStatusTest, OpenportRefusesAPrinterThatIsNotReadyAndNamesItsState) {
    struct Case {
        std::vector<std::uint8_t> statuses; // empty: the port cannot answer
        const char* refusal;                // nullptr: openport goes on
        bool answers;
    };
    const Case cases[] = {
        {{}, nullptr, false},
        {{0x00}, nullptr, true},
        {{0x04}, "印表機 TSC 未就緒: 紙張用完", true},
        {{0x01}, "印表機 TSC 未就緒: 印字頭開啟", true},
        {{0x11}, "印表機 TSC 未就緒: 印字頭開啟、暫停", true},
        {{0x20}, "印表機 TSC 未就緒: 列印中", true},
        {{0x88}, "印表機 TSC 未就緒: 碳帶用完、其他錯誤", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.refusal ? c.refusal : "ready");
        test::MemoryPort::Record port;
        port.statuses = c.statuses;
        TsplLibrary library(common::CodePage(), [&port](const QString&) {
            return std::make_unique<test::MemoryPort>(port);
        });
        if (c.refusal) {
            const auto error = test::runErrorOf([&] { library.openport(QStringLiteral("TSC")); });
            EXPECT_TRUE(port.bytes.isEmpty());
            ASSERT_TRUE(error) << "openport went on";
            EXPECT_EQ(error->number(), common::PrinterError);
            EXPECT_EQ(error->description(), QString::fromUtf8(c.refusal));
            continue;
        }
        library.openport(QStringLiteral("TSC"));
        EXPECT_EQ(library.answersStatus(), c.answers);
        EXPECT_EQ(port.inquiries, c.statuses.empty() ? 0 : 1);
        EXPECT_EQ(library.printerStatus(std::chrono::milliseconds(1)).has_value(), c.answers);
    }
}

} // namespace
} // namespace pelmar::print_command
