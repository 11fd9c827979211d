#include "barcode/symbol.h"

#include "barcode/code128_manual.h"

#include <zint.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace pelmar::barcode {

namespace {

struct SymbolDeleter {
    void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};
using ZintSymbol = std::unique_ptr<zint_symbol, SymbolDeleter>;

int zintSymbology(Symbology symbology) {
    switch (symbology) {
    case Symbology::Code128:
    case Symbology::Code128Manual:
        return BARCODE_CODE128;
    case Symbology::Gs1_128:
        return BARCODE_GS1_128;
    case Symbology::Interleaved2Of5:
        return BARCODE_C25INTER;
    case Symbology::Code39:
        return BARCODE_CODE39;
    case Symbology::Code39Extended:
        return BARCODE_EXCODE39;
    case Symbology::Code93:
        return BARCODE_CODE93;
    case Symbology::Ean:
        return BARCODE_EANX;
    case Symbology::UpcA:
        return BARCODE_UPCA;
    case Symbology::UpcE:
        return BARCODE_UPCE;
    case Symbology::Codabar:
        return BARCODE_CODABAR;
    case Symbology::Postnet:
        return BARCODE_POSTNET;
    case Symbology::Msi:
        return BARCODE_MSI_PLESSEY;
    case Symbology::Plessey:
        return BARCODE_PLESSEY;
    case Symbology::Itf14:
        return BARCODE_ITF14;
    case Symbology::Ean14:
        return BARCODE_EAN14;
    case Symbology::Code11:
        return BARCODE_CODE11;
    case Symbology::Telepen:
        return BARCODE_TELEPEN;
    case Symbology::TelepenNumeric:
        return BARCODE_TELEPEN_NUM;
    case Symbology::Planet:
        return BARCODE_PLANET;
    case Symbology::Code49:
        return BARCODE_CODE49;
    case Symbology::DeutschePostIdentcode:
        return BARCODE_DPIDENT;
    case Symbology::DeutschePostLeitcode:
        return BARCODE_DPLEIT;
    case Symbology::Logmars:
        return BARCODE_LOGMARS;
    }
    return BARCODE_CODE128;
}

Symbol outOfMemory() {
    Symbol symbol;
    symbol.error = QStringLiteral("out of memory");
    symbol.outOfMemory = true;
    return symbol;
}

ZintSymbol newSymbol(int symbology, int inputMode) {
    ZintSymbol symbol(ZBarcode_Create());
    if (symbol) {
        symbol->symbology = symbology;
        symbol->input_mode = inputMode;
        symbol->show_hrt = 0;
    }
    return symbol;
}

// Encodes data and copies zint's module matrix, row heights and text; or zint's reason.
Symbol encoded(zint_symbol* symbol, const QByteArray& data) {
    Symbol result;
    const int status =
        ZBarcode_Encode(symbol, reinterpret_cast<const unsigned char*>(data.constData()),
                        static_cast<int>(data.size()));
    if (status >= ZINT_ERROR) {
        result.error = QString::fromUtf8(reinterpret_cast<const char*>(symbol->errtxt));
        return result;
    }
    result.rows = std::max(symbol->rows, 0);
    result.columns = std::max(symbol->width, 0);
    result.modules.resize(static_cast<size_t>(result.rows) * static_cast<size_t>(result.columns));
    for (int row = 0; row < result.rows; ++row)
        for (int col = 0; col < result.columns; ++col)
            result.modules[static_cast<size_t>(row) * static_cast<size_t>(result.columns) +
                           static_cast<size_t>(col)] =
                (symbol->encoded_data[row][col >> 3] >> (col & 7)) & 1;
    result.rowHeights.assign(symbol->row_height, symbol->row_height + result.rows);
    result.text = QString::fromUtf8(reinterpret_cast<const char*>(symbol->text));
    return result;
}

// Data Matrix sizes (rows x columns) in the order of zint's option_2 values 1..30.
constexpr int kDataMatrixSizes[30][2] = {
    {10, 10}, {12, 12}, {14, 14}, {16, 16}, {18, 18},   {20, 20},   {22, 22},   {24, 24},
    {26, 26}, {32, 32}, {36, 36}, {40, 40}, {44, 44},   {48, 48},   {52, 52},   {64, 64},
    {72, 72}, {80, 80}, {88, 88}, {96, 96}, {104, 104}, {120, 120}, {132, 132}, {144, 144},
    {8, 18},  {8, 32},  {12, 26}, {12, 36}, {16, 36},   {16, 48},
};

} // namespace

Symbol encodeLinear(const LinearOptions& options, const QByteArray& data) {
    // The manual subsets are our own encoder: zint chooses Code 128 subsets itself.
    if (options.symbology == Symbology::Code128Manual)
        return code128ManualSymbol(data);
    int symbology = zintSymbology(options.symbology);
    if (symbology == BARCODE_EANX && options.dataHoldsCheckDigit)
        symbology = BARCODE_EANX_CHK;
    int inputMode = options.kind == DataKind::Utf8 ? UNICODE_MODE : DATA_MODE;
    if (options.symbology == Symbology::Gs1_128)
        inputMode = GS1_MODE | (data.contains('(') ? GS1PARENS_MODE : 0);
    ZintSymbol symbol = newSymbol(symbology, inputMode);
    if (!symbol)
        return outOfMemory();
    symbol->option_2 = options.checkDigit ? 1 : 0;
    return encoded(symbol.get(), data);
}

Symbol encodePdf417(const Pdf417Options& options, const QByteArray& data) {
    ZintSymbol symbol =
        newSymbol(options.truncated ? BARCODE_PDF417COMP : BARCODE_PDF417, DATA_MODE);
    if (!symbol)
        return outOfMemory();
    symbol->option_1 = options.errorLevel >= 0 && options.errorLevel <= 8 ? options.errorLevel : -1;
    symbol->option_2 = std::clamp(options.columns, 0, 30);
    symbol->option_3 = options.rows >= 3 && options.rows <= 90 ? options.rows : 0;
    return encoded(symbol.get(), data);
}

Symbol encodeDataMatrix(const DataMatrixOptions& options, const QByteArray& data) {
    ZintSymbol symbol = newSymbol(BARCODE_DATAMATRIX, DATA_MODE);
    if (!symbol)
        return outOfMemory();
    if (options.rows > 0 || options.columns > 0) {
        for (int k = 0; k < 30; ++k)
            if (kDataMatrixSizes[k][0] == options.rows && kDataMatrixSizes[k][1] == options.columns)
                symbol->option_2 = k + 1;
        if (symbol->option_2 == 0) {
            Symbol refused;
            refused.error = QStringLiteral("no Data Matrix symbol has %1 rows and %2 columns")
                                .arg(options.rows)
                                .arg(options.columns);
            return refused;
        }
    }
    if (!options.rectangle)
        symbol->option_3 = DM_SQUARE;
    return encoded(symbol.get(), data);
}

Symbol encodeQrCode(char errorLevel, const QByteArray& data) {
    ZintSymbol symbol = newSymbol(BARCODE_QRCODE, DATA_MODE);
    if (!symbol)
        return outOfMemory();
    const char levels[] = "LMQH";
    const char* level = errorLevel ? std::strchr(levels, errorLevel) : nullptr;
    symbol->option_1 = level && *level ? static_cast<int>(level - levels) + 1 : 1;
    return encoded(symbol.get(), data);
}

} // namespace pelmar::barcode
