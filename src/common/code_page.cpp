#include "common/code_page.h"

#include "common/run_error.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>

namespace pelmar::common {

struct CodePage::Converters {
    iconv_t toUnicode = reinterpret_cast<iconv_t>(-1);
    iconv_t fromUnicode = reinterpret_cast<iconv_t>(-1);
    // Character lengths learnt by the first two bytes of a character (0: not yet known).
    std::unique_ptr<std::uint8_t[]> pairLengths{new std::uint8_t[0x10000]()};
    ~Converters() {
        if (toUnicode != reinterpret_cast<iconv_t>(-1))
            iconv_close(toUnicode);
        if (fromUnicode != reinterpret_cast<iconv_t>(-1))
            iconv_close(fromUnicode);
    }
};

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool isAscii(const char* bytes, qsizetype size) {
    for (qsizetype i = 0; i < size; ++i)
        if (static_cast<unsigned char>(bytes[i]) >= 0x80)
            return false;
    return true;
}

bool isAscii(QStringView text) {
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

} // namespace

CodePage::CodePage(const QByteArray& name)
    : m_name(name), m_converters(new Converters), m_pairLengths(m_converters->pairLengths.get()) {
    m_converters->toUnicode = iconv_open("UTF-16LE", name.constData());
    m_converters->fromUnicode = iconv_open(name.constData(), "UTF-16LE");
    if (m_converters->toUnicode == reinterpret_cast<iconv_t>(-1) ||
        m_converters->fromUnicode == reinterpret_cast<iconv_t>(-1))
        throw RunError(InvalidArgument,
                       QStringLiteral("不支援的字碼頁: %1").arg(QString::fromLatin1(name)));
    // Code pages whose first 128 characters are ASCII take a fast path for ASCII-only text.
    const QByteArray probe = "AZaz09,.;\r\n \"\\";
    m_asciiCompatible = false;
    m_asciiCompatible =
        (decode(probe) == QString::fromLatin1(probe)) && !m_name.toUpper().startsWith("UTF-16") &&
        !m_name.toUpper().startsWith("UTF-32") && !m_name.toUpper().startsWith("UCS");
}

QString CodePage::decode(const char* bytes, qsizetype size) const {
    qsizetype invalidAt = -1;
    return toText(bytes, size, false, invalidAt);
}

QString CodePage::decodeUntilInvalid(const char* bytes, qsizetype size,
                                     qsizetype& invalidAt) const {
    return toText(bytes, size, true, invalidAt);
}

QString CodePage::toText(const char* bytes, qsizetype size, bool stopAtInvalid,
                         qsizetype& invalidAt) const {
    invalidAt = -1;
    if (m_asciiCompatible && isAscii(bytes, size))
        return QString::fromLatin1(bytes, size);
    iconv_t cd = m_converters->toUnicode;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    QString result;
    result.resize(size + 4);
    char* in = const_cast<char*>(bytes);
    size_t inLeft = static_cast<size_t>(size);
    char* outStart = reinterpret_cast<char*>(result.data());
    char* out = outStart;
    size_t outLeft = static_cast<size_t>(result.size()) * 2;
    while (inLeft > 0) {
        const size_t done = iconv(cd, &in, &inLeft, &out, &outLeft);
        if (done != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG) {
            const qsizetype used = (out - outStart) / 2;
            result.resize(result.size() * 2 + 8);
            outStart = reinterpret_cast<char*>(result.data());
            out = outStart + used * 2;
            outLeft = static_cast<size_t>(result.size() - used) * 2;
            continue;
        }
        // EILSEQ or EINVAL (a character cut at the end).
        if (stopAtInvalid) {
            invalidAt = in - bytes;
            break;
        }
        // One byte becomes U+FFFD.
        if (outLeft < 2) {
            const qsizetype used = (out - outStart) / 2;
            result.resize(result.size() * 2 + 8);
            outStart = reinterpret_cast<char*>(result.data());
            out = outStart + used * 2;
            outLeft = static_cast<size_t>(result.size() - used) * 2;
        }
        const char16_t replacement = kReplacement;
        std::memcpy(out, &replacement, 2);
        out += 2;
        outLeft -= 2;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    result.resize((out - outStart) / 2);
    return result;
}

QByteArray CodePage::encode(QStringView text) const {
    if (m_asciiCompatible && isAscii(text))
        return text.toLatin1();
    iconv_t cd = m_converters->fromUnicode;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    QByteArray result;
    result.resize(text.size() * 4 + 8);
    char* in = reinterpret_cast<char*>(const_cast<QChar*>(text.data()));
    size_t inLeft = static_cast<size_t>(text.size()) * 2;
    char* out = result.data();
    size_t outLeft = static_cast<size_t>(result.size());
    while (inLeft > 0) {
        const size_t done = iconv(cd, &in, &inLeft, &out, &outLeft);
        if (done != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG) {
            const qsizetype used = out - result.data();
            result.resize(result.size() * 2);
            out = result.data() + used;
            outLeft = static_cast<size_t>(result.size() - used);
            continue;
        }
        if (outLeft < 1) {
            const qsizetype used = out - result.data();
            result.resize(result.size() * 2);
            out = result.data() + used;
            outLeft = static_cast<size_t>(result.size() - used);
        }
        // A character the code page lacks (or a lone surrogate) becomes "?".
        const char16_t unit = *reinterpret_cast<const char16_t*>(in);
        const size_t skip = (unit >= 0xD800 && unit <= 0xDBFF && inLeft >= 4) ? 4 : 2;
        *out++ = '?';
        --outLeft;
        in += skip;
        inLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    result.resize(out - result.data());
    return result;
}

bool CodePage::isUtf8() const {
    const QByteArray name = m_name.toUpper();
    return name == "UTF-8" || name == "UTF8";
}

int CodePage::learnCharacterLength(const char* bytes, qsizetype size) const {
    // One character into a room of one UTF-16 unit (two for a character beyond U+FFFF): what
    // iconv takes from the input is the character's length.
    iconv_t cd = m_converters->toUnicode;
    int length = 0;
    for (size_t room : {size_t(2), size_t(4)}) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char16_t units[2];
        char* in = const_cast<char*>(bytes);
        size_t inLeft = static_cast<size_t>(std::min<qsizetype>(size, 8));
        char* out = reinterpret_cast<char*>(units);
        size_t outLeft = room;
        const size_t done = iconv(cd, &in, &inLeft, &out, &outLeft);
        length = static_cast<int>(in - bytes);
        if (length > 0 && (done != static_cast<size_t>(-1) || errno == E2BIG ||
                           out != reinterpret_cast<char*>(units)))
            break;
        length = 0;
        if (done != static_cast<size_t>(-1) || errno != E2BIG)
            break; // an invalid or cut-off character
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    // Only a valid character teaches its length: an invalid one may be so for a later byte.
    if (length > 0 && size >= 2 && length < 256)
        m_pairLengths[(static_cast<unsigned char>(bytes[0]) << 8) |
                      static_cast<unsigned char>(bytes[1])] = static_cast<std::uint8_t>(length);
    return length;
}

int CodePage::characterWidth(char32_t character) const {
    if (m_asciiCompatible && character > 0 && character < 0x80)
        return 1;
    const QString text = QString::fromUcs4(&character, 1);
    const QByteArray bytes = encode(text);
    if (bytes.size() == 1 && bytes[0] != '\0')
        return 1;
    return bytes.size() < 2 ? 2 : static_cast<int>(bytes.size());
}

bool CodePage::isSingleByteCharacter(QStringView text) const {
    if (text.size() != 1 || text.front().isSurrogate())
        return false;
    const QByteArray bytes = encode(text);
    return bytes.size() == 1 && bytes[0] != '\0' && decode(bytes) == text;
}

} // namespace pelmar::common
