#include "common/code_page.h"

#include <gtest/gtest.h>

using pelmar::common::CodePage;

namespace {

TEST(CodePage, RoundTripsBig5) {
    const CodePage cp950;
    const QString text = QStringLiteral("牛奶 A1");
    const QByteArray bytes = cp950.encode(text);
    EXPECT_EQ(bytes, QByteArray("\xA4\xFB\xA5\xA4 A1"));
    EXPECT_EQ(cp950.decode(bytes), text);
}

TEST(CodePage, InvalidBytesBecomeReplacementAndReadingGoesOn) {
    const CodePage cp950;
    // 0xFF is no Big5 lead byte; 0xA4 at the end is a character cut in half.
    EXPECT_EQ(cp950.decode(QByteArray("A\xFF"
                                      "B\xA4")),
              QString::fromUtf16(u"A\uFFFDB\uFFFD"));
    EXPECT_EQ(cp950.encode(QStringLiteral("A\u263A")), QByteArray("A?"));
}

TEST(CodePage, CharacterWidthsFollowTheCodePage) {
    const CodePage cp950;
    EXPECT_EQ(cp950.characterWidth(U'A'), 1);
    EXPECT_EQ(cp950.characterWidth(U'中'), 2);
    EXPECT_EQ(cp950.characterWidth(U'\0'), 2);
    const CodePage latin(QByteArrayLiteral("CP1252"));
    EXPECT_EQ(latin.characterWidth(U'é'), 1);
    const CodePage utf8(QByteArrayLiteral("UTF-8"));
    EXPECT_EQ(utf8.characterWidth(U'中'), 3);
}

TEST(CodePage, SingleByteCharactersAreThoseThatCutAsOneByte) {
    const struct {
        const char* codePage;
        QString text;
        bool single;
    } cases[] = {
        {"CP950", ",", true},
        {"CP950", "\t", true},
        {"CP950", " ", true},
        {"CP950", "", false},
        {"CP950", QStringLiteral("中"), false},   // two bytes
        {"CP950", ";|", false},                   // two characters
        {"CP950", QString(QChar(0xFFFD)), false}, // an invalid byte as it was read; written "?"
        {"CP950", QStringLiteral("é"), false},    // not in Big5: written "?"
        {"CP950", QString(QChar(0)), false},
        {"CP950", QStringLiteral("\U0001F600"), false},
        {"CP1252", QStringLiteral("é"), true},
        {"CP1252", QStringLiteral("€"), true}, // byte 0x80
        {"UTF-8", QStringLiteral("é"), false},
        {"UTF-8", ";", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.codePage) + " " + c.text.toStdString());
        EXPECT_EQ(CodePage(c.codePage).isSingleByteCharacter(c.text), c.single);
    }
}

TEST(CodePage, UnknownNameIsAnError) {
    EXPECT_ANY_THROW(CodePage(QByteArrayLiteral("NO-SUCH-CODEPAGE")));
}

} // namespace
