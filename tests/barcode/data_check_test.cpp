#include "barcode/data_check.h"

#include <gtest/gtest.h>

namespace pelmar::barcode {
namespace {

// What either mode refuses of a barcode's data, and why; "" is drawn. EAN and UPC data comes
// with or without its check digit, "128M" data with the escapes the program writes.
TEST(DataCheck, WhatEachTypeRefusesAndWhy) {
    const struct {
        const char* type;
        const char* data;
        const char* reason;
    } cases[] = {
        {"128", "A001 \"x\"", ""},
        {"128", "螺絲 M3",
         "第 1 個字元「螺」是此條碼無法表示的字元 (只能是西歐拉丁字母、數字與符號)"},
        {"128", "", "沒有資料"},
        {"128M", "12!00110534", ""},
        {"128m", "A螺",
         "第 2 個字元「螺」是此條碼無法表示的字元 (只能是英文字母、數字與符號 (ASCII))"},
        {"128M", "!105123", "Code 128 字集 C 只能是成對的數字"},
        {"EAN13", "471008841001", ""},
        {"EAN13", "4710088410016", ""},
        {"EAN13", "4710088410013", "檢查碼錯誤: 最後一位是 3, 應為 6"},
        {"EAN13", "47100884100A", "第 12 個字元「A」是此條碼無法表示的字元 (只能是數字)"},
        {"EAN13", "4710088", "長度必須是 12 或 13 位數字, 資料有 7 位"},
        {"EAN8", "47100886", ""},
        {"EAN8", "47100884", "檢查碼錯誤: 最後一位是 4, 應為 6"},
        {"EAN13+2", "47100884100112", ""},
        {"UPCA", "012345678901", "檢查碼錯誤: 最後一位是 1, 應為 5"},
        {"UPCE", "0123456", ""},
        {"25", "12a4", "第 3 個字元「a」是此條碼無法表示的字元 (只能是數字)"},
        {"CPOST", "anything", ""},
        {"QR", "1", "印表機沒有「QR」這種條碼類型"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(printerBarcodeRefusal(c.type, QString::fromUtf8(c.data)),
                  QString::fromUtf8(c.reason))
            << c.type << ' ' << c.data;
}

// A 2D symbol refuses only what its size, given or greatest, cannot hold.
TEST(DataCheck, SymbolsRefuseWhatTheirSizeCannotHold) {
    const QByteArray many(2000, '\xa4'); // bytes beyond ASCII: the least a symbol holds
    const QString tooLong = QStringLiteral("資料太長, 此條碼放不下");
    EXPECT_EQ(dataMatrixRefusal(u"0,0,60,60", "A001"), QString());
    EXPECT_EQ(dataMatrixRefusal(u"0,0,60,60, c126,x4,10", "ABCDEFGHIJ"), tooLong);
    EXPECT_EQ(dataMatrixRefusal(u"0,0,60,60,11,11", "ABC"), QString()); // no such size
    EXPECT_EQ(dataMatrixRefusal(u"0,0,60,60", many), tooLong);
    EXPECT_EQ(pdf417Refusal(u"0,0,400,200,0,E2", "PELMAR"), QString());
    EXPECT_EQ(pdf417Refusal(u"0,0,400,200,0,C1,R3", many.left(200)), tooLong);
}

} // namespace
} // namespace pelmar::barcode
