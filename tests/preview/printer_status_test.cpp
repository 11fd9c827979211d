#include "preview/printer_status.h"

#include <gtest/gtest.h>

namespace pelmar::preview {
namespace {

struct StatusCase {
    const char* name;
    PrinterCondition condition;
    int statusByte;
    QByteArray extended; // the four status bytes between STX and ETX
};

TEST(PrinterStatusTest, EachConditionAnswersItsBitsAndItsFourExtendedBytes) {
    const StatusCase cases[] = {
        {"ready", {}, 0x00, "@@@@"},
        {"printing", {.printing = true}, 0x20, "P@@@"},
        {"printing, buffer full", {.printing = true, .bufferFull = true}, 0x20, "PH@@"},
        {"paused", {.paused = true}, 0x10, "`@@@"},
        {"paused with labels", {.paused = true, .printing = true}, 0x30, "`@@@"},
        {"out of paper", {.paperOut = true}, 0x04, "E@@A"},
        {"head open", {.headOpen = true}, 0x01, "E@@`"},
        {"head open, out of paper, printing",
         {.headOpen = true, .paperOut = true, .printing = true},
         0x25,
         "E@@a"},
    };
    for (const StatusCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(static_cast<unsigned char>(statusByte(c.condition)), c.statusByte);
        const QByteArray answer = extendedStatus(c.condition);
        ASSERT_EQ(answer.size(), 8);
        EXPECT_EQ(answer.front(), '\x02');
        EXPECT_EQ(answer.mid(1, 4), c.extended);
        EXPECT_EQ(answer.mid(5), QByteArray("\x03\r\n"));
    }
}

TEST(PrinterStatusTest, TheModelNameTellsTheResolutionAndEndsTheLine) {
    EXPECT_EQ(modelName(203), QByteArray("PELMAR VIRTUAL 203\r\n"));
    EXPECT_EQ(modelName(300), QByteArray("PELMAR VIRTUAL 300\r\n"));
}

} // namespace
} // namespace pelmar::preview
