#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <memory>

namespace pelmar::common {

// The program's "ANSI code page": the encoding of settings, data and format files and of every
// text handed to the printer. Invalid bytes never stop a conversion: they become U+FFFD on the
// way in, and characters the code page lacks become "?" on the way out.
class CodePage {
public:
    // name is an iconv encoding name (CP950, UTF-8, CP1252, ...). Throws RunError(5) when iconv
    // does not know it.
    explicit CodePage(const QByteArray& name = defaultName());

    static QByteArray defaultName() { return QByteArrayLiteral("CP950"); }

    const QByteArray& name() const { return m_name; }

    QString decode(const char* bytes, qsizetype size) const;
    QString decode(const QByteArray& bytes) const {
        return decode(bytes.constData(), bytes.size());
    }
    QByteArray encode(QStringView text) const;

    // Width of one character for the data reader's width limit: 1 for a character that the code
    // page writes as one byte with a value above 0, otherwise the bytes it takes (at least 2).
    int characterWidth(char32_t character) const;

    // True when text is one character that the code page writes as one byte other than zero and
    // reads back as that character (a character the code page lacks is written as "?").
    bool isSingleByteCharacter(QStringView text) const;

private:
    struct Converters;
    QByteArray m_name;
    bool m_asciiCompatible = true;
    std::shared_ptr<Converters> m_converters;
};

} // namespace pelmar::common
