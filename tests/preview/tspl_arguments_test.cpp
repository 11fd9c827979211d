#include "preview/tspl_arguments.h"

#include <gtest/gtest.h>

namespace pelmar::preview {
namespace {

TEST(DecodeEscapesTest, ControlCodesBytesAndTheEscapeItself) {
    struct Case {
        const char* content;
        QByteArray decoded;
        bool malformed;
    };
    const Case cases[] = {
        {"plain", "plain", false},
        {"a~Jb~M", "a\nb\r", false},
        {"~@~[~_", QByteArray("\0\x1B\x1F", 3), false},
        {"~d065~d255~d000", QByteArray("A\xFF\0", 3), false},
        {"~~d065", "~d065", false},
        {"~d256", "~d256", true}, // not a byte
        {"~d06", "~d06", true},
        {"~1A", "~1A", true}, // FNC1 is not drawn
        {"A~", "A~", true},
    };
    for (const Case& c : cases) {
        bool malformed = !c.malformed;
        EXPECT_EQ(decodeEscapes(c.content, '~', &malformed), c.decoded) << c.content;
        EXPECT_EQ(malformed, c.malformed) << c.content;
    }
    EXPECT_EQ(decodeEscapes("#J~J", '#'), QByteArray("\n~J"));
}

} // namespace
} // namespace pelmar::preview
