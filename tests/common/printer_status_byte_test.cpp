#include "common/printer_status_byte.h"

#include <gtest/gtest.h>

namespace pelmar::common {
namespace {

TEST(PrinterStatusByteTest, EachBitHasItsTextAndSeveralAreJoinedInBitOrder) {
    struct Case {
        int status;
        const char* text;
        bool fault;
        bool printing;
    };
    const Case cases[] = {
        {0x00, "", false, false},
        {0x01, "印字頭開啟", true, false},
        {0x02, "卡紙", true, false},
        {0x04, "紙張用完", true, false},
        {0x08, "碳帶用完", true, false},
        {0x10, "暫停", true, false},
        {0x20, "列印中", false, true},
        {0x40, "上蓋開啟", true, false},
        {0x80, "其他錯誤", true, false},
        {0x30, "暫停、列印中", true, true},
        {0x25, "印字頭開啟、紙張用完、列印中", true, true},
        {0xff, "印字頭開啟、卡紙、紙張用完、碳帶用完、暫停、列印中、上蓋開啟、其他錯誤", true,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status);
        const auto status = static_cast<std::uint8_t>(c.status);
        EXPECT_EQ(statusText(status), QString::fromUtf8(c.text));
        EXPECT_EQ(statusIsFault(status), c.fault);
        EXPECT_EQ(statusIsPrinting(status), c.printing);
    }
}

} // namespace
} // namespace pelmar::common
