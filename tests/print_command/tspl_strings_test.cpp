#include "print_command/tspl_strings.h"

#include <gtest/gtest.h>

namespace pelmar::print_command {
namespace {

const common::CodePage kBig5{QByteArrayLiteral("CP950")};

TEST(QuotedRefusalTest, OnlyWhatCannotEndTheStringOrTheCommandPasses) {
    struct Case {
        QString text;
        const char* reasonStart; // nullptr: carried
    };
    const Case cases[] = {
        {QStringLiteral("A001 螺絲 \"M3\""), nullptr},
        {QStringLiteral("A\tB"), nullptr}, // TAB neither ends a string nor a command
        {QStringLiteral("x\nPRINT 5\nREM"), "含控制字元 0x0A (LF)"},
        {QStringLiteral("x\rCLS"), "含控制字元 0x0D (CR)"},
        {QStringLiteral("\x1B!R"), "含控制字元 0x1B (ESC)"},
        {QString(QChar(0)), "含控制字元 0x00"},
        {QString(2048, u'9'), nullptr},
        {QString(2049, u'9'), "長度 2049 位元組"},
        {QString(1024, u'許'), nullptr},                   // 2,048 bytes in the code page
        {QString(1024, u'許') + u'9', "長度 2049 位元組"}, // counted in bytes, not characters
        {QString(2045, u'9') + u'"', "長度 2049 位元組"},  // the quote goes out as \["]
        {QStringLiteral("C:\\["), "以 \\[ 結尾"},
        {QStringLiteral("許["), "以 \\[ 結尾"}, // its second byte is a backslash
        {QStringLiteral("\\[x"), nullptr},
        {QStringLiteral("\\"), nullptr},
    };
    for (const Case& c : cases) {
        const QString reason = quotedRefusal(kBig5.encode(c.text));
        if (!c.reasonStart)
            EXPECT_TRUE(reason.isEmpty())
                << c.text.left(20).toStdString() << ": " << reason.toStdString();
        else
            EXPECT_TRUE(reason.startsWith(QString::fromUtf8(c.reasonStart)))
                << c.text.left(20).toStdString() << ": " << reason.toStdString();
    }
}

TEST(SymbolCommandTest, Pdf417QuotesWhatItCanAndGivesTheLengthOtherwise) {
    struct Case {
        QString content;
        QString line;
    };
    const Case cases[] = {
        {QStringLiteral("A001\t17.5"), QStringLiteral("PDF417 0,0,400,200,0,\"A001\t17.5\"")},
        {QStringLiteral("12\" pipe"), QStringLiteral("PDF417 0,0,400,200,0,\"12\\[\"] pipe\"")},
        // The length counts bytes of the code page: two for each Chinese character.
        {QStringLiteral("螺絲\r\nM3"), QStringLiteral("PDF417 0,0,400,200,0,L8,螺絲\r\nM3")},
        {QStringLiteral("x\nPRINT 5\n\"\""),
         QStringLiteral("PDF417 0,0,400,200,0,L12,x\nPRINT 5\n\"\"")},
        {QStringLiteral("C:\\["), QStringLiteral("PDF417 0,0,400,200,0,L4,C:\\[")},
    };
    for (const Case& c : cases) {
        const SymbolCommand command =
            pdf417Command(QStringLiteral("0,0,400,200,0"), c.content, kBig5);
        EXPECT_EQ(command.line, c.line);
        EXPECT_TRUE(command.refusal.isEmpty());
    }
    const SymbolCommand tooLong =
        pdf417Command(QStringLiteral("0,0,400,200,0"), QString(2049, u'\n'), kBig5);
    EXPECT_TRUE(tooLong.line.isEmpty());
    EXPECT_TRUE(tooLong.refusal.startsWith(u"長度 2049 位元組"));
}

TEST(SymbolCommandTest, DataMatrixWritesControlBytesWithItsEscapeCharacter) {
    struct Case {
        const char* parameters;
        QString content;
        QString line; // empty: refused
    };
    const Case cases[] = {
        {"400,20,60,60", QStringLiteral("A~001"), QStringLiteral("DMATRIX 400,20,60,60,\"A~001\"")},
        // ~ (c126) comes right after x,y,width,height; a ~ of the data is doubled then.
        {"400,20,60,60", QStringLiteral("A~\r\nB"),
         QStringLiteral("DMATRIX 400,20,60,60,c126,\"A~~~M~JB\"")},
        {"400,20,60,60,x6,18,18", QStringLiteral("\x1B!R"),
         QStringLiteral("DMATRIX 400,20,60,60,c126,x6,18,18,\"~[!R\"")},
        // The format's own escape character is used; in the data it is doubled, so the data
        // cannot write codes, with or without control bytes.
        {"400,20,60,60,c35,x6", QStringLiteral("#1\nA~"),
         QStringLiteral("DMATRIX 400,20,60,60,c35,x6,\"##1#JA~\"")},
        {"400,20,60,60,c126", QStringLiteral("A~d065"),
         QStringLiteral("DMATRIX 400,20,60,60,c126,\"A~~d065\"")},
        {"400,20,60,60", QStringLiteral("\"\n\""),
         QStringLiteral("DMATRIX 400,20,60,60,c126,\"\\[\"]~J\\[\"]\"")},
        // A trailing \[ keeps its [ as ~d091, away from the closing quote.
        {"400,20,60,60", QStringLiteral("C:\\["),
         QStringLiteral("DMATRIX 400,20,60,60,c126,\"C:\\~d091\"")},
        {"400,20,60,60,c34", QStringLiteral("a\nb"), QString()},
        {"400,20,60,60,c9", QStringLiteral("a\nb"), QString()},
        {"400,20,60,60", QString(1025, u'\n'), QString()}, // 2,050 bytes once escaped
    };
    for (const Case& c : cases) {
        const SymbolCommand command =
            dataMatrixCommand(QString::fromUtf8(c.parameters), c.content, kBig5);
        EXPECT_EQ(command.line, c.line) << c.parameters;
        EXPECT_EQ(command.refusal.isEmpty(), !c.line.isEmpty()) << c.parameters;
    }
}

} // namespace
} // namespace pelmar::print_command
