#include "common/line_decoder.h"

#include "common/file_names.h"
#include "common/run_error.h"

#include <QFile>
#include <utility>

namespace pelmar::common {

namespace {

// A file larger than this gets no UTF-8 hint: checking it would hold it in memory whole.
constexpr qint64 kLargestCheckedFile = 64 * 1024 * 1024;

QString codePageName(const CodePage& codePage) {
    return QString::fromLatin1(codePage.name());
}

} // namespace

bool startsWithByteOrderMark(QByteArrayView bytes) {
    return bytes.startsWith(QByteArrayView("\xEF\xBB\xBF"));
}

bool fileIsUtf8(const QString& path) {
    try {
        QFile file(resolveExistingFile(path));
        if (file.size() > kLargestCheckedFile || !file.open(QIODevice::ReadOnly))
            return false;
        const QByteArray bytes = file.readAll();
        qsizetype invalidAt = -1;
        CodePage(QByteArrayLiteral("UTF-8"))
            .decodeUntilInvalid(bytes.constData(), bytes.size(), invalidAt);
        return invalidAt < 0;
    } catch (const RunError&) {
        return false;
    }
}

LineDecoder::LineDecoder(const CodePage& codePage, QString path, QString place)
    : m_codePage(codePage), m_path(std::move(path)), m_place(std::move(place)) {}

void LineDecoder::takeByteOrderMark(QByteArray& firstLine) const {
    if (!startsWithByteOrderMark(firstLine))
        return;
    if (m_codePage.isUtf8()) {
        firstLine.remove(0, 3);
        return;
    }
    throw RunError(InvalidArgument,
                   m_place +
                       QStringLiteral("第 1 行以 UTF-8 的位元組順序記號 (EF BB BF) 開頭, "
                                      "但檔案是以字碼頁 %1 讀取.")
                           .arg(codePageName(m_codePage)) +
                       utf8Hint());
}

QString LineDecoder::decode(QByteArrayView bytes, int number) const {
    qsizetype invalidAt = -1;
    QString text = m_codePage.decodeUntilInvalid(bytes.data(), bytes.size(), invalidAt);
    if (invalidAt >= 0)
        refuseByte(number, invalidAt);
    return text;
}

void LineDecoder::refuseByte(int number, qsizetype offset) const {
    throw RunError(InvalidArgument,
                   m_place +
                       QStringLiteral("第 %1 行第 %2 個位元組不是字碼頁 %3 的有效字元, "
                                      "這一行無法正確讀取.")
                           .arg(number)
                           .arg(offset + 1)
                           .arg(codePageName(m_codePage)) +
                       utf8Hint());
}

QString LineDecoder::utf8Hint() const {
    if (m_codePage.isUtf8() || !fileIsUtf8(m_path))
        return {};
    return QStringLiteral("\r\r這個檔案是 UTF-8 編碼: 若要以 UTF-8 讀取, 請在 Pelmar.INI 的 "
                          "[Files] 設定 CodePage=UTF-8.");
}

} // namespace pelmar::common
