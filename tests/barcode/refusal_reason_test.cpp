#include "barcode/refusal_reason.h"

#include "barcode/symbol.h"

#include <gtest/gtest.h>

namespace pelmar::barcode {
namespace {

constexpr const char* kLongCode39 =
    "0123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890";

// The encoder's own refusals, told in Chinese with the culprit where there is one.
TEST(RefusalReason, EncoderRefusalsInChinese) {
    struct Case {
        LinearOptions options;
        const char* data;
        const char* reason;
    } cases[] = {
        {{Symbology::Ean, false, true}, "4710088412373", "檢查碼錯誤: 最後一位是 3, 應為 9"},
        {{Symbology::Code39}, kLongCode39, "資料太長: 此條碼最多 85 個字元"},
        {{Symbology::Ean}, "47100884123A", "第 12 個字元「A」是此條碼無法表示的字元 (只能是數字)"},
        {{Symbology::Interleaved2Of5},
         "12a4",
         "第 3 個字元「a」是此條碼無法表示的字元 (只能是數字)"},
        {{Symbology::Code128, false, false, DataKind::Utf8},
         "A中文",
         "第 2 個字元「中」是此條碼無法表示的字元 (只能是西歐拉丁字母、數字與符號)"},
        {{Symbology::Code39Extended, false, false, DataKind::Utf8},
         "café",
         "第 4 個字元「é」是此條碼無法表示的字元 (只能是英文字母、數字與符號 (ASCII))"},
        {{Symbology::Codabar}, "123B", "Codabar 資料必須以 A、B、C 或 D 開頭"},
        {{Symbology::Codabar}, "A123", "Codabar 資料必須以 A、B、C 或 D 結尾"},
        {{Symbology::Gs1_128}, "12345", "GS1-128 資料必須以應用識別碼開頭, 例如 (01)"},
        {{Symbology::Code128}, "", "沒有資料"},
        {{Symbology::Code128Manual}, "!105123", "Code 128 字集 C 只能是成對的數字"},
    };
    for (const Case& c : cases) {
        const QString data = QString::fromUtf8(c.data);
        const Symbol symbol = encodeLinear(c.options, data.toUtf8());
        ASSERT_FALSE(symbol.ok()) << c.data;
        EXPECT_EQ(refusalReason(symbol.error, data), QString::fromUtf8(c.reason))
            << symbol.error.toStdString();
    }
}

TEST(RefusalReason, UntranslatedTextIsKeptAfterAChineseLeadIn) {
    EXPECT_EQ(refusalReason(QStringLiteral("Error 999: Something new"), QStringLiteral("x")),
              QStringLiteral("條碼程式庫無法編碼: Something new"));
}

} // namespace
} // namespace pelmar::barcode
