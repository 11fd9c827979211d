#include "support/barcode_reader.h"

#include <QColor>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace pelmar::test {

namespace {

// Code 128 patterns as written in the symbology's table: widths of bar, space, bar, space, bar,
// space in modules, for values 0 to 106 (106 is the stop, with a final bar of 2).
const char* const kPatterns[] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212",
    "221213", "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221",
    "223211", "221132", "221231", "213212", "223112", "312131", "311222", "321122", "321221",
    "312212", "322112", "322211", "212123", "212321", "232121", "111323", "131123", "131321",
    "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331", "132131",
    "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131",
    "311123", "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111",
    "111224", "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", "111242",
    "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232", "2331112"};

// Runs in whole modules of width `module` dots.
std::vector<int> modules(const std::vector<int>& runs, double module) {
    std::vector<int> out;
    for (const int r : runs)
        out.push_back(static_cast<int>(std::lround(r / module)));
    return out;
}

} // namespace

std::vector<int> scanRuns(const QImage& label, int y, int from, int to) {
    std::vector<int> runs;
    bool inSymbol = false;
    bool colour = true;
    for (int x = from; x < (to < 0 ? label.width() : to); ++x) {
        const bool isBlack = qGray(label.pixel(x, y)) < 128;
        if (!inSymbol) {
            if (!isBlack)
                continue;
            inSymbol = true;
            runs.push_back(0);
        }
        if (isBlack != colour) {
            runs.push_back(0);
            colour = isBlack;
        }
        ++runs.back();
    }
    if (!runs.empty() && !colour)
        runs.pop_back();
    return runs;
}

std::optional<QByteArray> readCode128(const std::vector<int>& runs) {
    if (runs.size() < 6 + 6 + 7 || (runs.size() - 7) % 6 != 0)
        return std::nullopt;
    const double module = std::accumulate(runs.begin(), runs.begin() + 6, 0) / 11.0;
    const std::vector<int> m = modules(runs, module);
    std::vector<int> values;
    for (size_t at = 0; at < m.size(); at += 6) {
        QByteArray pattern;
        const size_t length = at + 7 == m.size() ? 7 : 6;
        for (size_t k = 0; k < length; ++k)
            pattern.append(char('0' + m[at + k]));
        int value = -1;
        for (int v = 0; v < 107; ++v)
            if (pattern == kPatterns[v])
                value = v;
        if (value < 0)
            return std::nullopt;
        values.push_back(value);
        if (length == 7)
            break;
    }
    if (values.size() < 3 || values.back() != 106 || values[0] < 103 || values[0] > 105)
        return std::nullopt;
    long long sum = values[0];
    for (size_t k = 1; k + 2 < values.size(); ++k)
        sum += static_cast<long long>(k) * values[k];
    if (sum % 103 != values[values.size() - 2])
        return std::nullopt;
    QByteArray data;
    char set = "ABC"[values[0] - 103];
    bool shift = false;
    for (size_t k = 1; k + 2 < values.size(); ++k) {
        const int v = values[k];
        const char current = shift ? (set == 'A' ? 'B' : 'A') : set;
        shift = false;
        if (current == 'C' && v < 100) {
            data.append(char('0' + v / 10)).append(char('0' + v % 10));
        } else if (v == 99) {
            set = 'C';
        } else if (v == 100 && current != 'B') {
            set = 'B';
        } else if (v == 101 && current != 'A') {
            set = 'A';
        } else if (v == 98) {
            shift = true;
        } else if (v < 96) {
            data.append(current == 'A' && v >= 64 ? char(v - 64) : char(v + 32));
        }
    }
    return data;
}

std::optional<QByteArray> readEan13(const std::vector<int>& runs) {
    // 3 guard + 6 x 4 + 5 centre + 6 x 4 + 3 guard elements.
    if (runs.size() < 59)
        return std::nullopt;
    const std::vector<int> main(runs.begin(), runs.begin() + 59);
    const double module = std::accumulate(main.begin(), main.end(), 0) / 95.0;
    const std::vector<int> m = modules(main, module);
    static const char* const kLeft[] = {"3211", "2221", "2122", "1411", "1132",
                                        "1231", "1114", "1312", "1213", "3112"};
    static const char* const kParity[] = {"LLLLLL", "LLGLGG", "LLGGLG", "LLGGGL", "LGLLGG",
                                          "LGGLLG", "LGGGLL", "LGLGLG", "LGLGGL", "LGGLGL"};
    auto digitAt = [&](size_t at, char* parity) -> int {
        QByteArray widths;
        for (size_t k = 0; k < 4; ++k)
            widths.append(char('0' + m[at + k]));
        QByteArray reversed = widths;
        std::reverse(reversed.begin(), reversed.end());
        for (int d = 0; d < 10; ++d) {
            if (widths == kLeft[d]) {
                *parity = 'L';
                return d;
            }
            if (reversed == kLeft[d]) {
                *parity = 'G';
                return d;
            }
        }
        return -1;
    };
    QByteArray digits;
    QByteArray parities;
    for (int k = 0; k < 12; ++k) {
        const size_t at = k < 6 ? 3 + 4 * k : 3 + 24 + 5 + 4 * (k - 6);
        char parity = 0;
        const int d = digitAt(at, &parity);
        if (d < 0 || (k >= 6 && parity != 'L'))
            return std::nullopt;
        digits.append(char('0' + d));
        if (k < 6)
            parities.append(parity);
    }
    int first = -1;
    for (int d = 0; d < 10; ++d)
        if (parities == kParity[d])
            first = d;
    if (first < 0)
        return std::nullopt;
    digits.prepend(char('0' + first));
    int sum = 0;
    for (int k = 0; k < 12; ++k)
        sum += (digits[k] - '0') * (k % 2 ? 3 : 1);
    if ((10 - sum % 10) % 10 != digits[12] - '0')
        return std::nullopt;
    return digits;
}

} // namespace pelmar::test
