// Failure messages show Qt's strings as readable text: the printers of tests/support/qt_printers.h
// reach every test program and escape exactly what would not read as UTF-8 text.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

TEST(QtPrinters, TextsAndBytesPrintAsQuotedUtf8) {
    struct Case {
        const char* what;
        QByteArray bytes;
        std::string printed;
    };
    const Case cases[] = {
        {"plain text", "lpadmin failed: no queue", R"("lpadmin failed: no queue")"},
        {"Chinese in UTF-8", "印表機佇列已停止", R"("印表機佇列已停止")"},
        {"printer line ends and tabs", "PRINT 3,1\r\n\t", R"("PRINT 3,1\r\n\t")"},
        {"quote and backslash", "a\"b\\c", R"("a\"b\\c")"},
        {"NUL and 0xFF", QByteArray("A\0\xFF", 3), R"("A\x00\xFF")"},
        {"Big5 bytes are not UTF-8", "\xA5\x78\xA6\x4C", R"("\xA5x\xA6L")"},
        {"a cut sequence at the end", "\xE5\x8D", R"("\xE5\x8D")"},
        {"a sequence broken in the middle",
         "\xE5"
         "A\x8D",
         R"("\xE5A\x8D")"},
        {"an overlong lead byte", "\xC0\x80", R"("\xC0\x80")"},
        {"DEL and ESC", "\x7F\x1B", R"("\x7F\x1B")"},
        {"empty", "", R"("")"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(testing::PrintToString(c.bytes), c.printed);
        // A QString holds what the bytes decode to; valid text prints the same.
        const QString text = QString::fromUtf8(c.bytes);
        if (text.toUtf8() == c.bytes) {
            EXPECT_EQ(testing::PrintToString(text), c.printed);
        }
    }
}

TEST(QtPrinters, ListsOfTextsUseTheTextPrinter) {
    EXPECT_EQ(testing::PrintToString(QStringList{"甲", "B"}), R"({ "甲", "B" })");
}

TEST(QtPrinters, LongBytesAreCutAndGiveTheirSize) {
    const QByteArray bytes(5000, 'x');
    const std::string printed = testing::PrintToString(bytes);
    EXPECT_EQ(printed, '"' + std::string(4096, 'x') + "\"... (5000 bytes)");
    // A character that would straddle the cut is not split into half a sequence.
    const QByteArray straddling = QByteArray(4095, 'x') + "印";
    EXPECT_EQ(testing::PrintToString(straddling),
              '"' + std::string(4095, 'x') + "\\xE5\"... (4098 bytes)");
}

} // namespace
