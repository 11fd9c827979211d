#include "barcode/type_names.h"

#include <gtest/gtest.h>
#include <optional>

namespace pelmar::barcode {
namespace {

using S = Symbology;

// Each printer's vocabulary: BARCODE type names of the printer (letter case only ignored) and
// barcode font parameters of driver mode (written freely, a smaller set).
TEST(TypeNames, EachPrinterNamesItsSymbologies) {
    struct Case {
        const char* name;
        std::optional<S> printer;
        std::optional<S> driver;
    } cases[] = {
        {"128", S::Code128, S::Code128},
        {"128M", S::Code128Manual, S::Code128Manual},
        {"128m", S::Code128Manual, S::Code128Manual},
        {"Code 128M", std::nullopt, S::Code128Manual},
        {"Code-128", std::nullopt, S::Code128},
        {"EAN128", S::Gs1_128, S::Gs1_128},
        {"GS1-128", std::nullopt, S::Gs1_128},
        {"39", S::Code39Extended, S::Code39Extended},
        {"39S", S::Code39, S::Code39},
        {"25", S::Interleaved2Of5, S::Interleaved2Of5},
        {"Interleaved 2 of 5", std::nullopt, S::Interleaved2Of5},
        {"ITF", std::nullopt, S::Interleaved2Of5},
        {"ITF14", S::Itf14, std::nullopt},
        {"CODA", S::Codabar, S::Codabar},
        {"Codabar", std::nullopt, S::Codabar},
        {"EAN-13", std::nullopt, S::Ean},
        {"EAN13+5", S::Ean, std::nullopt},
        {"MSI", S::Msi, std::nullopt},
        {"CODE49", S::Code49, std::nullopt},
        {"CPOST", std::nullopt, std::nullopt}, // a printer type without a counterpart here
        {"QRCODE", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const BarcodeType* printer = printerBarcodeType(c.name);
        const BarcodeType* driver = driverBarcodeFont(QString::fromUtf8(c.name));
        EXPECT_EQ(printer ? std::optional(printer->symbology) : std::nullopt, c.printer);
        EXPECT_EQ(driver ? std::optional(driver->symbology) : std::nullopt, c.driver);
    }
}

// One name is one type for both printers: "128M" in driver mode is the printer's "128M".
TEST(TypeNames, BothPrintersShareOneEntryPerName) {
    for (const char* name : {"128", "128M", "EAN128", "39C", "25C", "EAN13", "EAN8", "UPCE"})
        EXPECT_EQ(printerBarcodeType(name), driverBarcodeFont(QString::fromLatin1(name))) << name;
}

TEST(TypeNames, CheckDigitsAddOnsAndLengths) {
    EXPECT_TRUE(printerBarcodeType("39C")->checkDigit);
    EXPECT_FALSE(printerBarcodeType("39")->checkDigit);
    EXPECT_TRUE(printerBarcodeType("MSIC")->checkDigit);
    EXPECT_EQ(printerBarcodeType("UPCA+2")->addOnDigits, 2);
    EXPECT_EQ(printerBarcodeType("EAN13")->digits, 12);
    EXPECT_EQ(printerBarcodeType("EAN8")->digits, 7);
    EXPECT_TRUE(printerBarcodeType("39S")->twoWidths);
    EXPECT_FALSE(printerBarcodeType("128M")->twoWidths);
}

} // namespace
} // namespace pelmar::barcode
