#pragma once
// Readable GoogleTest output for Qt's strings. Left alone, GoogleTest prints a QString as the
// bytes of its QChars and a QByteArray as a list of chars; a failing comparison of "lpadmin
// failed: ..." or of printer bytes then has to be decoded by hand. Every test program gets this
// header through the test support library (a forced include), so each comparison uses it.
#include <QByteArray>
#include <QString>
#include <algorithm>
#include <ostream>

namespace pelmar::test {

// Bytes shown as a quoted text: valid UTF-8 as it is, line ends, tabs, quotes and backslashes
// escaped, every other byte as \xNN; past the first 4096 bytes only the total size is shown.
inline void printQuoted(const QByteArray& bytes, std::ostream& out) {
    constexpr qsizetype kShown = 4096;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype shown = std::min(bytes.size(), kShown);
    // The length of the UTF-8 sequence of a multi-byte character starting at i, or 0.
    const auto sequence = [&](qsizetype i) -> qsizetype {
        const unsigned char lead = data[i];
        const qsizetype length = lead >= 0xF0 && lead <= 0xF4   ? 4
                                 : lead >= 0xE0 && lead <= 0xEF ? 3
                                 : lead >= 0xC2 && lead <= 0xDF ? 2
                                                                : 0;
        if (length == 0 || i + length > shown)
            return 0;
        for (qsizetype k = 1; k < length; ++k)
            if ((data[i + k] & 0xC0) != 0x80)
                return 0;
        return length;
    };
    static constexpr char kHex[] = "0123456789ABCDEF";
    out << '"';
    for (qsizetype i = 0; i < shown; ++i) {
        const unsigned char c = data[i];
        if (c == '\r')
            out << "\\r";
        else if (c == '\n')
            out << "\\n";
        else if (c == '\t')
            out << "\\t";
        else if (c == '"' || c == '\\')
            out << '\\' << static_cast<char>(c);
        else if (c >= 0x20 && c < 0x7F)
            out << static_cast<char>(c);
        else if (const qsizetype length = sequence(i); length > 0) {
            out.write(bytes.constData() + i, length);
            i += length - 1;
        } else
            out << "\\x" << kHex[c >> 4] << kHex[c & 0xF];
    }
    out << '"';
    if (bytes.size() > shown)
        out << "... (" << bytes.size() << " bytes)";
}

} // namespace pelmar::test

// GoogleTest finds these by argument-dependent lookup: Qt's types live in the global namespace.
inline void PrintTo(const QString& text, std::ostream* out) {
    pelmar::test::printQuoted(text.toUtf8(), *out);
}

inline void PrintTo(const QByteArray& bytes, std::ostream* out) {
    pelmar::test::printQuoted(bytes, *out);
}
