#include "preview/barcode_renderer.h"

#include "preview/text_renderer.h"

#include <zint.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>

namespace pelmar::preview {

namespace {

struct SymbolDeleter {
    void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};
using SymbolPtr = std::unique_ptr<zint_symbol, SymbolDeleter>;

bool moduleIsSet(const zint_symbol* symbol, int row, int column) {
    return (symbol->encoded_data[row][column >> 3] >> (column & 7)) & 1;
}

struct TypeEntry {
    const char* name;
    int symbology;
    int option2;     // zint's option_2 (check digit choices)
    int addOnDigits; // digits of a "+2" / "+5" add-on at the end of the content
    bool twoWidths;  // symbologies built of narrow and wide elements only
};

// The printer's barcode type names and how zint draws them; "128M" is drawn by our own
// encoder and "CPOST" has no counterpart.
constexpr TypeEntry kTypes[] = {
    {"128", BARCODE_CODE128, 0, 0, false},
    {"128M", BARCODE_CODE128, 0, 0, false},
    {"EAN128", BARCODE_GS1_128, 0, 0, false},
    {"25", BARCODE_C25INTER, 0, 0, true},
    {"25C", BARCODE_C25INTER, 1, 0, true},
    {"39", BARCODE_EXCODE39, 0, 0, true},
    {"39C", BARCODE_EXCODE39, 1, 0, true},
    {"39S", BARCODE_CODE39, 0, 0, true},
    {"93", BARCODE_CODE93, 0, 0, false},
    {"EAN13", BARCODE_EANX, 0, 0, false},
    {"EAN13+2", BARCODE_EANX, 0, 2, false},
    {"EAN13+5", BARCODE_EANX, 0, 5, false},
    {"EAN8", BARCODE_EANX, 0, 0, false},
    {"EAN8+2", BARCODE_EANX, 0, 2, false},
    {"EAN8+5", BARCODE_EANX, 0, 5, false},
    {"UPCA", BARCODE_UPCA, 0, 0, false},
    {"UPCA+2", BARCODE_UPCA, 0, 2, false},
    {"UPCA+5", BARCODE_UPCA, 0, 5, false},
    {"UPCE", BARCODE_UPCE, 0, 0, false},
    {"UPCE+2", BARCODE_UPCE, 0, 2, false},
    {"UPCE+5", BARCODE_UPCE, 0, 5, false},
    {"CODA", BARCODE_CODABAR, 0, 0, true},
    {"POST", BARCODE_POSTNET, 0, 0, false},
    {"MSI", BARCODE_MSI_PLESSEY, 0, 0, true},
    {"MSIC", BARCODE_MSI_PLESSEY, 1, 0, true},
    {"PLESSEY", BARCODE_PLESSEY, 0, 0, true},
    {"ITF14", BARCODE_ITF14, 0, 0, true},
    {"EAN14", BARCODE_EAN14, 0, 0, false},
    {"11", BARCODE_CODE11, 0, 0, true},
    {"TELEPEN", BARCODE_TELEPEN, 0, 0, false},
    {"TELEPENN", BARCODE_TELEPEN_NUM, 0, 0, false},
    {"PLANET", BARCODE_PLANET, 0, 0, false},
    {"CODE49", BARCODE_CODE49, 0, 0, false},
    {"DPI", BARCODE_DPIDENT, 0, 0, false},
    {"DPL", BARCODE_DPLEIT, 0, 0, false},
    {"LOGMARS", BARCODE_LOGMARS, 0, 0, true},
};

const TypeEntry* findType(const QByteArray& type) {
    const QByteArray upper = type.toUpper();
    for (const TypeEntry& e : kTypes)
        if (upper == e.name)
            return &e;
    return nullptr;
}

constexpr const char* kCode128Patterns[107] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312",  "132212",
    "221213", "221312", "231212", "112232", "122132", "122231", "113222", "123122",  "123221",
    "223211", "221132", "221231", "213212", "223112", "312131", "311222", "321122",  "321221",
    "312212", "322112", "322211", "212123", "212321", "232121", "111323", "131123",  "131321",
    "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331",  "132131",
    "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311",  "213131",
    "311123", "311321", "331121", "312113", "312311", "332111", "314111", "221411",  "431111",
    "111224", "111422", "121124", "121421", "141122", "141221", "112214", "112412",  "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",  "111242",
    "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211",  "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113",  "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232", "2331112",
};

// One row of a linear symbol as alternating runs, bar first: widths in dots.
using Runs = std::vector<int>;

// The module rows of a zint symbol as runs; two-width symbologies get narrow and wide dots,
// the others `narrow` dots a module.
std::vector<Runs> runsOf(const zint_symbol* symbol, int narrow, int wide, bool twoWidths) {
    std::vector<Runs> rows;
    for (int row = 0; row < symbol->rows; ++row) {
        Runs runs;
        bool colour = true;
        int length = 0;
        for (int col = 0; col < symbol->width; ++col) {
            const bool set = moduleIsSet(symbol, row, col);
            if (set != colour) {
                runs.push_back(length);
                colour = set;
                length = 0;
            }
            ++length;
        }
        runs.push_back(length);
        for (int& r : runs) {
            if (r == 0)
                continue;
            r = twoWidths ? (r > 1 ? wide : narrow) : r * narrow;
        }
        rows.push_back(std::move(runs));
    }
    return rows;
}

QString zintError(const zint_symbol* symbol) {
    return QString::fromUtf8(reinterpret_cast<const char*>(symbol->errtxt));
}

// Draws runs (bar first) into rows [top, top + height) of the bitmap.
void drawRuns(DotBitmap& bitmap, const Runs& runs, int top, int height) {
    int x = 0;
    bool bar = true;
    for (const int width : runs) {
        if (bar)
            bitmap.fill(x, top, width, height);
        x += width;
        bar = !bar;
    }
}

int runsWidth(const Runs& runs) {
    long long sum = 0;
    for (const int r : runs)
        sum += r;
    return static_cast<int>(std::min<long long>(sum, kMaxSymbolDots));
}

SymbolResult linearSymbol(const std::vector<Runs>& rows, const std::vector<float>& rowHeights,
                          int height, int readable, const QString& humanText, TextRenderer& text) {
    SymbolResult result;
    int width = 0;
    for (const Runs& r : rows)
        width = std::max(width, runsWidth(r));
    DotBitmap label;
    if (readable > 0 && !humanText.isEmpty())
        label = text.render("2", 1, 1, humanText);
    const int textGap = label.isEmpty() ? 0 : 2;
    const int total = std::max(width, label.width);
    const long long fullHeight = static_cast<long long>(height) + textGap + label.height;
    if (width <= 0 || static_cast<long long>(total) * fullHeight > kMaxSymbolDots) {
        result.error =
            QStringLiteral("symbol of %1 x %2 dots is too large").arg(total).arg(fullHeight);
        return result;
    }
    DotBitmap out(total, static_cast<int>(fullHeight));
    float sum = 0;
    for (const float h : rowHeights)
        sum += h;
    int top = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const int bottom = i + 1 == rows.size() || sum <= 0
                               ? static_cast<int>(height * (i + 1) / rows.size())
                               : top + static_cast<int>(height * rowHeights[i] / sum + 0.5f);
        drawRuns(out, rows[i], top, std::max(bottom - top, 0));
        top = bottom;
    }
    if (!label.isEmpty()) {
        int x = 0;
        if (readable == 2)
            x = (width - label.width) / 2;
        else if (readable == 3)
            x = width - label.width;
        x = std::max(x, 0);
        for (int y = 0; y < label.height; ++y)
            for (int lx = 0; lx < label.width && x + lx < out.width; ++lx)
                if (label.at(lx, y))
                    out.at(x + lx, height + textGap + y) = 1;
    }
    result.bitmap = std::move(out);
    return result;
}

// The module matrix of a 2D symbol, each module moduleWidth x moduleHeight dots.
SymbolResult matrixSymbol(const zint_symbol* symbol, int moduleWidth, int moduleHeight) {
    SymbolResult result;
    const long long w = static_cast<long long>(symbol->width) * moduleWidth;
    const long long h = static_cast<long long>(symbol->rows) * moduleHeight;
    if (w <= 0 || h <= 0 || w * h > kMaxSymbolDots) {
        result.error = QStringLiteral("symbol of %1 x %2 dots is too large").arg(w).arg(h);
        return result;
    }
    result.bitmap = DotBitmap(static_cast<int>(w), static_cast<int>(h));
    for (int row = 0; row < symbol->rows; ++row)
        for (int col = 0; col < symbol->width; ++col)
            if (moduleIsSet(symbol, row, col))
                result.bitmap.fill(col * moduleWidth, row * moduleHeight, moduleWidth,
                                   moduleHeight);
    return result;
}

// Encodes content with zint; on failure returns nothing and sets *error.
SymbolPtr encode(SymbolPtr symbol, const QByteArray& content, QString* error) {
    const int status =
        ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(content.constData()),
                        static_cast<int>(content.size()));
    if (status >= ZINT_ERROR) {
        *error = zintError(symbol.get());
        return nullptr;
    }
    return symbol;
}

} // namespace

bool isKnownBarcodeType(const QByteArray& type) {
    return findType(type) != nullptr || type.toUpper() == "CPOST";
}

const char* code128Pattern(int value) {
    return value >= 0 && value < 107 ? kCode128Patterns[value] : "";
}

std::vector<int> code128ManualValues(const QByteArray& content, QString* error) {
    enum Set { A, B, C };
    std::vector<int> values;
    Set set = B;
    bool shifted = false;
    qsizetype i = 0;
    auto escapeAt = [&](qsizetype at) -> int {
        if (at + 4 > content.size())
            return -1;
        if (content[at] != '!')
            return -1;
        int v = 0;
        for (int k = 1; k <= 3; ++k) {
            const char c = content[at + k];
            if (c < '0' || c > '9')
                return -1;
            v = v * 10 + (c - '0');
        }
        return v <= 106 ? v : -1;
    };
    const int first = escapeAt(0);
    if (first >= 103 && first <= 105) {
        values.push_back(first);
        set = first == 103 ? A : (first == 104 ? B : C);
        i = 4;
    } else {
        values.push_back(104);
    }
    while (i < content.size()) {
        const int escaped = escapeAt(i);
        if (escaped >= 0) {
            values.push_back(escaped);
            i += 4;
            if (escaped == 99)
                set = C;
            else if (escaped == 100 && set != B)
                set = B;
            else if (escaped == 101 && set != A)
                set = A;
            else if (escaped == 98 && set != C)
                shifted = true;
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(content[i]);
        Set current = set;
        if (shifted)
            current = set == A ? B : A;
        shifted = false;
        if (current == C) {
            const bool pair = i + 1 < content.size() && c >= '0' && c <= '9' &&
                              content[i + 1] >= '0' && content[i + 1] <= '9';
            if (!pair) {
                *error = QStringLiteral("subset C needs pairs of digits");
                return {};
            }
            values.push_back((c - '0') * 10 + (content[i + 1] - '0'));
            i += 2;
            continue;
        }
        if (current == A && c < 96) {
            values.push_back(c < 32 ? c + 64 : c - 32);
        } else if (current == B && c >= 32 && c < 128) {
            values.push_back(c - 32);
        } else {
            *error = QStringLiteral("character %1 is not in subset %2")
                         .arg(int(c))
                         .arg(current == A ? u'A' : u'B');
            return {};
        }
        ++i;
    }
    return values;
}

SymbolResult renderBarcode(const BarcodeRequest& request, TextRenderer& text) {
    SymbolResult result;
    const TypeEntry* type = findType(request.type);
    if (!type) {
        result.error = QStringLiteral("barcode type \"%1\" is not supported")
                           .arg(QString::fromLatin1(request.type));
        return result;
    }
    const int narrow = std::clamp(request.narrow, 1, 100);
    const int wide = std::clamp(std::max(request.wide, narrow), 1, 100);
    const int height = std::clamp(request.height, 1, 8000);
    if (qstrcmp(type->name, "128M") == 0) {
        QString error;
        std::vector<int> values = code128ManualValues(request.content, &error);
        if (values.empty()) {
            result.error = error;
            return result;
        }
        long long check = values[0];
        for (size_t k = 1; k < values.size(); ++k)
            check += static_cast<long long>(k) * values[k];
        values.push_back(static_cast<int>(check % 103));
        values.push_back(106);
        Runs runs;
        for (const int v : values)
            for (const char* p = code128Pattern(v); *p; ++p)
                runs.push_back((*p - '0') * narrow);
        QString human;
        for (qsizetype k = 0; k < request.content.size(); ++k) {
            if (request.content[k] == '!' && k + 3 < request.content.size() &&
                std::isdigit(static_cast<unsigned char>(request.content[k + 1])) &&
                std::isdigit(static_cast<unsigned char>(request.content[k + 2])) &&
                std::isdigit(static_cast<unsigned char>(request.content[k + 3]))) {
                k += 3;
                continue;
            }
            if (static_cast<unsigned char>(request.content[k]) >= 32)
                human += QLatin1Char(request.content[k]);
        }
        return linearSymbol({runs}, {1.0f}, height, request.readable, human, text);
    }
    SymbolPtr symbol(ZBarcode_Create());
    if (!symbol) {
        result.error = QStringLiteral("out of memory");
        return result;
    }
    symbol->symbology = type->symbology;
    symbol->option_2 = type->option2;
    symbol->show_hrt = 0;
    QByteArray content = request.content;
    if (type->symbology == BARCODE_CODE128) {
        symbol->input_mode = DATA_MODE;
    } else if (type->symbology == BARCODE_GS1_128) {
        symbol->input_mode = GS1_MODE | (content.contains('(') ? GS1PARENS_MODE : 0);
    }
    if (type->addOnDigits > 0) {
        if (content.size() <= type->addOnDigits) {
            result.error = QStringLiteral("content too short for its add-on");
            return result;
        }
        content.insert(content.size() - type->addOnDigits, '+');
    }
    QString error;
    symbol = encode(std::move(symbol), content, &error);
    if (!symbol) {
        result.error = error;
        return result;
    }
    const std::vector<Runs> rows = runsOf(symbol.get(), narrow, wide, type->twoWidths);
    std::vector<float> heights(symbol->row_height, symbol->row_height + symbol->rows);
    return linearSymbol(rows, heights, height, request.readable,
                        QString::fromUtf8(reinterpret_cast<const char*>(symbol->text)), text);
}

SymbolResult renderPdf417(const Pdf417Request& request) {
    SymbolResult result;
    SymbolPtr symbol(ZBarcode_Create());
    if (!symbol) {
        result.error = QStringLiteral("out of memory");
        return result;
    }
    symbol->symbology = request.truncated ? BARCODE_PDF417COMP : BARCODE_PDF417;
    symbol->input_mode = DATA_MODE;
    symbol->option_1 = request.errorLevel >= 0 && request.errorLevel <= 8 ? request.errorLevel : -1;
    symbol->option_2 = std::clamp(request.columns, 0, 30);
    symbol->option_3 = request.rows >= 3 && request.rows <= 90 ? request.rows : 0;
    QString error;
    symbol = encode(std::move(symbol), request.content, &error);
    if (!symbol) {
        result.error = error;
        return result;
    }
    const int moduleWidth = request.moduleWidth > 0 ? std::clamp(request.moduleWidth, 1, 20) : 3;
    const int rowHeight =
        request.rowHeight > 0 ? std::clamp(request.rowHeight, 1, 200) : 3 * moduleWidth;
    return matrixSymbol(symbol.get(), moduleWidth, rowHeight);
}

namespace {

// Data Matrix sizes (rows x columns) in the order of zint's option_2 values 1..30.
constexpr int kDataMatrixSizes[30][2] = {
    {10, 10}, {12, 12}, {14, 14}, {16, 16}, {18, 18},   {20, 20},   {22, 22},   {24, 24},
    {26, 26}, {32, 32}, {36, 36}, {40, 40}, {44, 44},   {48, 48},   {52, 52},   {64, 64},
    {72, 72}, {80, 80}, {88, 88}, {96, 96}, {104, 104}, {120, 120}, {132, 132}, {144, 144},
    {8, 18},  {8, 32},  {12, 26}, {12, 36}, {16, 36},   {16, 48},
};

} // namespace

SymbolResult renderDataMatrix(const DataMatrixRequest& request) {
    SymbolResult result;
    SymbolPtr symbol(ZBarcode_Create());
    if (!symbol) {
        result.error = QStringLiteral("out of memory");
        return result;
    }
    symbol->symbology = BARCODE_DATAMATRIX;
    symbol->input_mode = DATA_MODE;
    if (request.rows > 0 || request.columns > 0) {
        for (int k = 0; k < 30; ++k)
            if (kDataMatrixSizes[k][0] == request.rows && kDataMatrixSizes[k][1] == request.columns)
                symbol->option_2 = k + 1;
        if (symbol->option_2 == 0) {
            result.error = QStringLiteral("no Data Matrix symbol has %1 rows and %2 columns")
                               .arg(request.rows)
                               .arg(request.columns);
            return result;
        }
    }
    if (!request.rectangle)
        symbol->option_3 = DM_SQUARE;
    QString error;
    symbol = encode(std::move(symbol), request.content, &error);
    if (!symbol) {
        result.error = error;
        return result;
    }
    int module = request.moduleSize;
    if (module <= 0) {
        const int side = std::max(symbol->width, symbol->rows);
        module = request.area > 0 ? std::max(request.area / side, 1) : 6;
    }
    module = std::clamp(module, 1, 100);
    return matrixSymbol(symbol.get(), module, module);
}

SymbolResult renderQrCode(const QrRequest& request) {
    SymbolResult result;
    SymbolPtr symbol(ZBarcode_Create());
    if (!symbol) {
        result.error = QStringLiteral("out of memory");
        return result;
    }
    symbol->symbology = BARCODE_QRCODE;
    symbol->input_mode = DATA_MODE;
    const char levels[] = "LMQH";
    const char* level = std::strchr(levels, request.errorLevel);
    symbol->option_1 = level && *level ? static_cast<int>(level - levels) + 1 : 1;
    QString error;
    symbol = encode(std::move(symbol), request.content, &error);
    if (!symbol) {
        result.error = error;
        return result;
    }
    const int cell = std::clamp(request.cellWidth, 1, 100);
    return matrixSymbol(symbol.get(), cell, cell);
}

} // namespace pelmar::preview
