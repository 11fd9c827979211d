#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <memory>

namespace pelmar::common {

// The program's "ANSI code page": the encoding of settings, data and format files and of every
// text handed to the printer. decode never stops at invalid bytes (they become U+FFFD);
// decodeUntilInvalid stops there and says where, for readers that must refuse them. Characters
// the code page lacks become "?" on the way out.
class CodePage {
public:
    // name is an iconv encoding name (CP950, UTF-8, CP1252, ...). Throws RunError(5) when iconv
    // does not know it.
    explicit CodePage(const QByteArray& name = defaultName());

    static QByteArray defaultName() { return QByteArrayLiteral("CP950"); }

    const QByteArray& name() const { return m_name; }

    // Whether bytes below 0x80 are the ASCII characters, one byte each.
    bool keepsAscii() const { return m_asciiCompatible; }

    // Whether this is UTF-8 (under any spelling iconv takes: UTF-8, utf8).
    bool isUtf8() const;

    QString decode(const char* bytes, qsizetype size) const;
    QString decode(const QByteArray& bytes) const {
        return decode(bytes.constData(), bytes.size());
    }
    QByteArray encode(QStringView text) const;

    // The text of bytes up to the first byte that is not valid in the code page (a byte that
    // begins no character, or a character cut off by the end). invalidAt becomes that byte's
    // offset, counted from 0, or -1 when every byte is valid. Never throws.
    QString decodeUntilInvalid(const char* bytes, qsizetype size, qsizetype& invalidAt) const;

    // Bytes of the character that begins at bytes[0] (size: the bytes available), 0 when no
    // valid character begins there. The length is learnt once for each pair of first bytes, so
    // the bytes after the second are not checked again: decodeUntilInvalid checks them.
    int characterLength(const char* bytes, qsizetype size) const {
        if (size <= 0)
            return 0;
        const auto first = static_cast<unsigned char>(bytes[0]);
        if (first < 0x80 && m_asciiCompatible)
            return 1;
        if (size >= 2) {
            const std::uint8_t known =
                m_pairLengths[(first << 8) | static_cast<unsigned char>(bytes[1])];
            if (known != 0 && known <= size)
                return known;
        }
        return learnCharacterLength(bytes, size);
    }

    // Width of one character for the data reader's width limit: 1 for a character that the code
    // page writes as one byte with a value above 0, otherwise the bytes it takes (at least 2).
    int characterWidth(char32_t character) const;

    // True when text is one character that the code page writes as one byte other than zero and
    // reads back as that character (a character the code page lacks is written as "?").
    bool isSingleByteCharacter(QStringView text) const;

private:
    QString toText(const char* bytes, qsizetype size, bool stopAtInvalid,
                   qsizetype& invalidAt) const;

    int learnCharacterLength(const char* bytes, qsizetype size) const;

    struct Converters;
    QByteArray m_name;
    bool m_asciiCompatible = true;
    std::shared_ptr<Converters> m_converters;
    // Character lengths by the first two bytes, 0 while not known; held by m_converters.
    std::uint8_t* m_pairLengths = nullptr;
};

} // namespace pelmar::common
