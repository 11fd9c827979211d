#include "barcode/refusal_reason.h"

#include <QRegularExpression>
#include <functional>

namespace pelmar::barcode {

namespace {

// The first character of data that fails `allowed`, with its 1-based position.
QString firstRefused(const QString& data, const std::function<bool(char32_t)>& allowed) {
    int position = 0;
    for (const char32_t c : data.toUcs4()) {
        ++position;
        if (!allowed(c))
            return QStringLiteral("第 %1 個字元「%2」").arg(position).arg(QString::fromUcs4(&c, 1));
    }
    return QString();
}

QString refusedCharacter(const QString& data, const QString& allowedText,
                         const std::function<bool(char32_t)>& allowed) {
    const QString culprit = firstRefused(data, allowed);
    return (culprit.isEmpty() ? QStringLiteral("含有") : culprit + QStringLiteral("是")) +
           QStringLiteral("此條碼無法表示的字元 (只能是%1)").arg(allowedText);
}

bool isDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}

} // namespace

QString digitsOnlyReason(const QString& data) {
    return refusedCharacter(data, QStringLiteral("數字"), isDigit);
}

QString refusalReason(const QString& encoderText, const QString& data) {
    // zint's texts start with "Error NNN: ".
    static const QRegularExpression errorNumber(QStringLiteral("^(Error|Warning) \\d+: "));
    QString text = encoderText;
    text.remove(errorNumber);

    static const QRegularExpression checkDigit(
        QStringLiteral("Invalid check digit '(.)', expecting '(.)'"));
    if (const auto match = checkDigit.match(text); match.hasMatch())
        return QStringLiteral("檢查碼錯誤: 最後一位是 %1, 應為 %2")
            .arg(match.captured(1), match.captured(2));
    static const QRegularExpression tooLong(QStringLiteral("too long \\((\\d+) character"));
    if (const auto match = tooLong.match(text); match.hasMatch())
        return QStringLiteral("資料太長: 此條碼最多 %1 個字元").arg(match.captured(1));
    // A symbol of a fixed size, or the symbology's greatest, cannot hold the data.
    if (text.contains(QLatin1String("too long")))
        return QStringLiteral("資料太長, 此條碼放不下");
    if (text.contains(QLatin1String("No input data")))
        return QStringLiteral("沒有資料");
    if (text.contains(QLatin1String("Invalid character"))) {
        if (text.contains(QLatin1String("digits")))
            return digitsOnlyReason(data);
        if (text.contains(QLatin1String("8859-1")))
            return refusedCharacter(data, QStringLiteral("西歐拉丁字母、數字與符號"),
                                    [](char32_t c) { return c <= 0xff; });
        if (text.contains(QLatin1String("ASCII")))
            return refusedCharacter(data, QStringLiteral("英文字母、數字與符號 (ASCII)"),
                                    [](char32_t c) { return c <= 0x7f; });
        return QStringLiteral("含有此條碼無法表示的字元");
    }
    if (text.contains(QLatin1String("Invalid UTF-8")))
        return QStringLiteral("含有無法辨識的字元");
    static const QRegularExpression startStop(
        QStringLiteral("Does not (begin|end) with \"A\", \"B\", \"C\" or \"D\""));
    if (const auto match = startStop.match(text); match.hasMatch())
        return QStringLiteral("Codabar 資料必須以 A、B、C 或 D %1")
            .arg(match.captured(1) == QLatin1String("begin") ? QStringLiteral("開頭")
                                                             : QStringLiteral("結尾"));
    if (text.contains(QLatin1String("does not start with an AI")))
        return QStringLiteral("GS1-128 資料必須以應用識別碼開頭, 例如 (01)");
    static const QRegularExpression notInSubset(
        QStringLiteral("character (\\d+) is not in subset ([AB])"));
    if (const auto match = notInSubset.match(text); match.hasMatch()) {
        // Beyond ASCII the value is one byte of a character; the character is what to name.
        if (match.captured(1).toInt() > 0x7f)
            return refusedCharacter(data, QStringLiteral("英文字母、數字與符號 (ASCII)"),
                                    [](char32_t c) { return c <= 0x7f; });
        return QStringLiteral("字元碼 %1 不在 Code 128 的字集 %2 內")
            .arg(match.captured(1), match.captured(2));
    }
    if (text.contains(QLatin1String("subset C needs pairs of digits")))
        return QStringLiteral("Code 128 字集 C 只能是成對的數字");
    return QStringLiteral("條碼程式庫無法編碼: ") + text;
}

} // namespace pelmar::barcode
