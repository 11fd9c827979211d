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

enum Set { A, B, C };

// What a reader shows for a data value: its character (two digits in subset C); nothing for a
// control character or a function.
void appendText(Set set, int value, QString* text) {
    if (set == C)
        *text += QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
    else if (value < 95 && (set == B || value < 64))
        *text += QLatin1Char(static_cast<char>(value + 32));
}

// The symbol values of data, and the text a reader shows; empty values with *error set for a
// character the current subset cannot encode.
std::vector<int> decode(const QByteArray& data, QString* error, QString* text) {
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
        Set current = set;
        if (shifted)
            current = set == A ? B : A;
        const int escaped = escapeAt(data, i);
        if (escaped >= 0) {
            values.push_back(escaped);
            i += 4;
            if (current == C && escaped < 100) {
                appendText(C, escaped, text); // a pair of digits, not a function
            } else if (escaped == 99) {
                set = C;
            } else if (escaped == 100 && set != B) {
                set = B;
            } else if (escaped == 101 && set != A) {
                set = A;
            } else if (escaped == 98 && set != C) {
                shifted = true;
                continue;
            } else if (escaped < 96) {
                appendText(current, escaped, text);
            }
            shifted = false;
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(data[i]);
        shifted = false;
        int value = -1;
        if (current == C) {
            const bool pair = i + 1 < data.size() && c >= '0' && c <= '9' && data[i + 1] >= '0' &&
                              data[i + 1] <= '9';
            if (!pair) {
                *error = QStringLiteral("subset C needs pairs of digits");
                return {};
            }
            value = (c - '0') * 10 + (data[i + 1] - '0');
            ++i;
        } else if (current == A && c < 96) {
            value = c < 32 ? c + 64 : c - 32;
        } else if (current == B && c >= 32 && c < 128) {
            value = c - 32;
        } else {
            *error = QStringLiteral("character %1 is not in subset %2")
                         .arg(int(c))
                         .arg(QChar(current == A ? u'A' : u'B'));
            return {};
        }
        values.push_back(value);
        appendText(current, value, text);
        ++i;
    }
    return values;
}

} // namespace

const char* code128Pattern(int value) {
    return value >= 0 && value <= kStop ? kCode128Patterns[value] : "";
}

std::vector<int> code128ManualValues(const QByteArray& data, QString* error) {
    QString text;
    return decode(data, error, &text);
}

QString escapeCode128Data(const QString& data) {
    QString escaped = data;
    // "!" is value 1 in subset B, where the symbol starts and data stays.
    escaped.replace(u'!', QStringLiteral("!001"));
    return escaped;
}

Symbol code128ManualSymbol(const QByteArray& data) {
    Symbol symbol;
    QString text;
    std::vector<int> values = decode(data, &symbol.error, &text);
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
    symbol.text = text;
    return symbol;
}

} // namespace pelmar::barcode
