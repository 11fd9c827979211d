#include "shell/app/format_text_file.h"

#include "common/file_names.h"
#include "common/file_writer.h"
#include "common/line_decoder.h"
#include "common/run_error.h"
#include "common/system_error_text.h"

#include <QFile>

namespace pelmar::app {

namespace {

QString fileName(const QString& path) {
    return QStringLiteral("格式檔 %1 ").arg(path);
}

} // namespace

FormatText readFormatText(const QString& path, const common::CodePage& codePage) {
    const QString existing = common::resolveFileName(path);
    if (existing.isEmpty())
        throw common::RunError(common::FileNotFound, QStringLiteral("找不到格式檔 %1").arg(path));
    QFile file(existing);
    if (!file.open(QIODevice::ReadOnly))
        throw common::RunError(common::PathFileAccessError,
                               QStringLiteral("無法讀取格式檔 %1 (%2)")
                                   .arg(path, common::systemErrorText(file.errorString())));
    QByteArray bytes = file.readAll();
    const common::LineDecoder decoder(codePage, existing, fileName(path));
    FormatText format;
    if (common::startsWithByteOrderMark(bytes)) {
        decoder.takeByteOrderMark(bytes); // throws unless the code page is UTF-8
        format.byteOrderMark = true;
    }
    const qsizetype firstEnd = bytes.indexOf('\n');
    if (firstEnd >= 0)
        format.lineEnd = firstEnd > 0 && bytes[firstEnd - 1] == '\r' ? QByteArrayLiteral("\r\n")
                                                                     : QByteArrayLiteral("\n");
    const QList<QByteArray> lines = bytes.split('\n');
    QStringList texts;
    texts.reserve(lines.size());
    int number = 0;
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        texts << decoder.decode(line, ++number);
    }
    format.text = texts.join(u'\n');
    return format;
}

std::optional<LackingCharacter> firstLackingCharacter(const QString& text,
                                                      const common::CodePage& codePage) {
    if (codePage.decode(codePage.encode(text)) == text)
        return std::nullopt;
    int line = 1;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        if (character == u"\n")
            ++line;
        else if (codePage.decode(codePage.encode(character)) != character)
            return LackingCharacter{character, line};
        i += length;
    }
    return std::nullopt;
}

QByteArray formatBytes(const FormatText& format, const common::CodePage& codePage) {
    QByteArray bytes = codePage.encode(format.text);
    if (format.lineEnd != "\n")
        bytes.replace('\n', format.lineEnd);
    if (format.byteOrderMark)
        bytes.prepend("\xEF\xBB\xBF");
    return bytes;
}

void saveFormatText(const QString& path, const FormatText& format,
                    const common::CodePage& codePage) {
    if (const std::optional<LackingCharacter> lacking =
            firstLackingCharacter(format.text, codePage))
        throw common::RunError(common::InvalidArgument,
                               QStringLiteral("第 %1 行的「%2」(U+%3) 不在字碼頁 %4 裡, "
                                              "無法存入格式檔 %5. 請改用字碼頁裡有的字.")
                                   .arg(lacking->line)
                                   .arg(lacking->character)
                                   .arg(lacking->character.toUcs4().value(0), 4, 16, QChar(u'0'))
                                   .arg(QString::fromLatin1(codePage.name()), path));
    const QString existing = common::resolveFileName(path);
    try {
        common::saveFile(existing.isEmpty() ? path : existing, formatBytes(format, codePage));
    } catch (const common::FileWriteError& error) {
        throw common::RunError(common::PathFileAccessError,
                               QStringLiteral("無法寫入格式檔 %1 (%2)").arg(path, error.reason()));
    }
}

} // namespace pelmar::app
