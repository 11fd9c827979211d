#include "barcode/code128_manual.h"

namespace pelmar::barcode {

namespace {

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

constexpr int kStop = 106;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The value of a !nnn escape at `at`, or -1 when there is none.
int escapeAt(const QByteArray& data, qsizetype at) {
    if (at + 4 > data.size() || data[at] != '!')
        return -1;
    int value = 0;
    for (int k = 1; k <= 3; ++k) {
        const char c = data[at + k];
        if (!isDigit(c))
            return -1;
        value = value * 10 + (c - '0');
    }
    return value <= kStop ? value : -1;
}

// What a reader shows: the data without its escapes and control characters. Any "!" with three
// digits is left out, even one above 106 that the symbol holds as ordinary characters.
QString humanText(const QByteArray& data) {
    QString text;
    for (qsizetype k = 0; k < data.size(); ++k) {
        if (data[k] == '!' && k + 3 < data.size() && isDigit(data[k + 1]) && isDigit(data[k + 2]) &&
            isDigit(data[k + 3])) {
            k += 3;
            continue;
        }
        if (static_cast<unsigned char>(data[k]) >= 32)
            text += QLatin1Char(data[k]);
    }
    return text;
}

} // namespace

const char* code128Pattern(int value) {
    return value >= 0 && value <= kStop ? kCode128Patterns[value] : "";
}

std::vector<int> code128ManualValues(const QByteArray& data, QString* error) {
    enum Set { A, B, C };
    std::vector<int> values;
    Set set = B;
    bool shifted = false;
    qsizetype i = 0;
    const int first = escapeAt(data, 0);
    if (first >= 103 && first <= 105) {
        values.push_back(first);
        set = first == 103 ? A : (first == 104 ? B : C);
        i = 4;
    } else {
        values.push_back(104);
    }
    while (i < data.size()) {
        const int escaped = escapeAt(data, i);
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
        const unsigned char c = static_cast<unsigned char>(data[i]);
        Set current = set;
        if (shifted)
            current = set == A ? B : A;
        shifted = false;
        if (current == C) {
            const bool pair = i + 1 < data.size() && c >= '0' && c <= '9' && data[i + 1] >= '0' &&
                              data[i + 1] <= '9';
            if (!pair) {
                *error = QStringLiteral("subset C needs pairs of digits");
                return {};
            }
            values.push_back((c - '0') * 10 + (data[i + 1] - '0'));
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

Symbol code128ManualSymbol(const QByteArray& data) {
    Symbol symbol;
    std::vector<int> values = code128ManualValues(data, &symbol.error);
    if (values.empty())
        return symbol;
    long long check = values[0];
    for (size_t k = 1; k < values.size(); ++k)
        check += static_cast<long long>(k) * values[k];
    values.push_back(static_cast<int>(check % 103));
    values.push_back(kStop);
    bool bar = true;
    for (const int v : values) {
        for (const char* p = code128Pattern(v); *p; ++p) {
            symbol.modules.insert(symbol.modules.end(), static_cast<size_t>(*p - '0'), bar);
            bar = !bar;
        }
    }
    symbol.rows = 1;
    symbol.columns = static_cast<int>(symbol.modules.size());
    symbol.rowHeights = {1.0f};
    symbol.text = humanText(data);
    return symbol;
}

} // namespace pelmar::barcode
