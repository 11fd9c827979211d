#include "format/format_check.h"

#include "common/numbers.h"
#include "common/run_error.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace pelmar::format {

namespace {

using Severity = FormatProblem::Severity;
using state::LabelSettings;

// A label setting the run needs, and the values it can take.
struct SettingRule {
    const char16_t* key;
    QString LabelSettings::*member;
    const char16_t* name;
    double least;
    bool leastAllowed; // least itself is a value it can take (a gap of 0 is continuous media)
    double most;       // the run reads these settings as 16-bit numbers
    bool whole;
};

// Command mode needs all five, driver mode the label's size (the first two).
constexpr SettingRule kSettingRules[] = {
    {u"LabelWidth", &LabelSettings::width, u"標籤寬度 (公釐)", 0, false, 32767, false},
    {u"LabelHeight", &LabelSettings::height, u"標籤高度 (公釐)", 0, false, 32767, false},
    {u"LabelGap", &LabelSettings::gap, u"標籤間距 (公釐)", 0, true, 32767, false},
    {u"PrintSpeed", &LabelSettings::speed, u"列印速度 (英吋/秒)", 1, true, 32767, false},
    {u"PrintDarken", &LabelSettings::darkness, u"列印濃度 (DENSITY)", 0, true, 15, true},
};
constexpr size_t kDriverSettings = 2;

// Command-mode printer settings without a check: their texts go to the printer as written.
constexpr QStringView kPrinterSettingKeys[] = {u"LabelOffset", u"SensorType", u"Direction",
                                               u"SetStripe", u"SetCutter"};
// Keys every format may hold; the keyword list that a wrongly cased key is matched against.
constexpr QStringView kAllKeys[] = {u"LabelWidth",  u"LabelHeight", u"LabelGap",   u"PrintSpeed",
                                    u"PrintDarken", u"LabelOffset", u"SensorType", u"Direction",
                                    u"SetStripe",   u"SetCutter",   u"Line",       u"Box",
                                    u"F_Text",      u"V_Text",      u"F_Barcode",  u"V_Barcode",
                                    u"PDF417",      u"DMATRIX",     u"Graphic"};

bool isOneOf(QStringView key, std::span<const QStringView> keys) {
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

std::span<const SettingRule> neededSettings(FormatMode mode) {
    return std::span<const SettingRule>(kSettingRules)
        .first(mode == FormatMode::Command ? std::size(kSettingRules) : kDriverSettings);
}

bool isSettingKey(QStringView key) {
    return std::any_of(std::begin(kSettingRules), std::end(kSettingRules),
                       [key](const SettingRule& rule) { return key == QStringView(rule.key); });
}

// What is wrong with a setting's value; empty when the run can use it.
QString settingReason(const SettingRule& rule, const QString& value) {
    const QString name = QString::fromUtf16(rule.name);
    if (value.isEmpty())
        return QStringLiteral("沒有設定") + name;
    if (!common::isNumberText(value))
        return name + QStringLiteral(" 必須是一個數字, 不加單位");
    const double number = common::leadingNumber(value);
    const QString least = common::shortestDecimal(rule.least);
    if (rule.leastAllowed ? number < rule.least : number <= rule.least)
        return name +
               (rule.leastAllowed ? QStringLiteral(" 不能小於 ") : QStringLiteral(" 必須大於 ")) +
               least;
    if (number > rule.most)
        return name + QStringLiteral(" 不能大於 ") + common::shortestDecimal(rule.most);
    if (rule.whole && number != std::floor(number))
        return name + QStringLiteral(" 必須是整數");
    return QString();
}

QString unknownKeyText(const QString& key) {
    if (key.isEmpty())
        return QStringLiteral("這行在「=」前沒有關鍵字, 沒有作用");
    QString text = QStringLiteral("不認得的關鍵字「%1」, 這行沒有作用").arg(key);
    for (QStringView known : kAllKeys)
        if (known.compare(key, Qt::CaseInsensitive) == 0)
            return text + QStringLiteral(" (要寫成 %1, 大小寫須相符)").arg(known);
    if (key.startsWith(u'\''))
        text += QStringLiteral(" (註解的 ' 必須是這行的第一個字元)");
    return text;
}

} // namespace

void FormatChecker::addLine(const FormatLine& line) {
    m_lines.push_back({line.number, line.key.toString(), line.value.toString()});
}

void FormatChecker::addOtherLine(int number, QStringView text) {
    QString shown = text.toString();
    // An end-of-file mark of old editors, and blanks, are nothing written.
    shown.remove(QChar(0x1a));
    shown = shown.trimmed();
    // A comment set in by blanks does what its writer meant: nothing.
    if (shown.isEmpty() || shown.startsWith(u'\''))
        return;
    m_otherLines.push_back(
        {number, QString(), shown,
         QStringLiteral("這行沒有「=」, 不是設定也不是元素, 沒有作用 (註解要以 ' 開頭)"),
         Severity::Warning});
}

int FormatChecker::lastLineOf(QStringView key) const {
    for (auto entry = m_lines.rbegin(); entry != m_lines.rend(); ++entry)
        if (entry->key == key)
            return entry->number;
    return 0;
}

void FormatChecker::checkSettings(const LabelSettings& effective, LabelArea& area,
                                  FormatProblems& out) const {
    for (const SettingRule& rule : neededSettings(m_mode)) {
        const QString key = QString::fromUtf16(rule.key);
        const QString& value = effective.*rule.member;
        const QString reason = settingReason(rule, value);
        if (reason.isEmpty()) {
            if (rule.member == &LabelSettings::width)
                area.widthMm = common::leadingNumber(value);
            else if (rule.member == &LabelSettings::height)
                area.heightMm = common::leadingNumber(value);
            continue;
        }
        const int line = lastLineOf(key);
        if (line > 0)
            out.push_back({line, key, value, reason, Severity::Error});
        else if (value.isEmpty())
            out.push_back(
                {0, key, QString(),
                 QStringLiteral("格式檔沒有這一行, 要設定") + QString::fromUtf16(rule.name),
                 Severity::Error});
        else
            out.push_back(
                {0, key, value,
                 QStringLiteral("這個格式檔沒有這一行, 沿用前一個格式檔的值, 但") + reason,
                 Severity::Error});
    }
}

void FormatChecker::checkKey(const Entry& entry, FormatProblems& out) const {
    if (isSettingKey(entry.key) || isOneOf(entry.key, kPrinterSettingKeys))
        return; // driver mode ignores the settings of command mode, which do no harm
    if (m_mode == FormatMode::Driver && (entry.key == u"PDF417" || entry.key == u"DMATRIX")) {
        out.push_back({entry.number, entry.key, entry.value,
                       QStringLiteral("Driver 模式不印 %1, 標籤上會少了這個條碼 (%1 只能用在 "
                                      "Send Command 模式)")
                           .arg(entry.key),
                       Severity::Error});
        return;
    }
    out.push_back(
        {entry.number, entry.key, entry.value, unknownKeyText(entry.key), Severity::Warning});
}

FormatProblems FormatChecker::problems(const LabelSettings& effective) const {
    FormatProblems out;
    ElementCheckContext context{m_mode, {}, m_programFolder};
    checkSettings(effective, context.label, out);
    bool anyElement = false;
    for (const Entry& entry : m_lines) {
        if (isElementKeyword(m_mode, entry.key)) {
            anyElement = true;
            checkElementLine(context, entry.number, entry.key, entry.value, out);
        } else {
            checkKey(entry, out);
        }
    }
    out.insert(out.end(), m_otherLines.begin(), m_otherLines.end());
    if (!anyElement)
        out.push_back({0, QString(), QString(),
                       QStringLiteral("格式檔沒有任何要印的元素 (Line, Box, F_Text, V_Text, "
                                      "F_Barcode, V_Barcode, Graphic ...), 標籤會是空白的"),
                       Severity::Error});
    std::stable_sort(out.begin(), out.end(), [](const FormatProblem& a, const FormatProblem& b) {
        return (a.line > 0 ? a.line : INT_MAX) < (b.line > 0 ? b.line : INT_MAX);
    });
    return out;
}

FormatLoadResult finishLoad(state::WorkingState& state, common::MessageBox& messageBox,
                            FormatLoadResult read, const FormatChecker& checker) {
    if (read.failed)
        return read;
    read.problems = checker.problems(state.format.labelSettings);
    if (!hasErrors(read.problems))
        return read;
    common::showMessage(messageBox,
                        stoppingDescription(read.problems) + QStringLiteral("\r\r格式檔名=") +
                            state.formatFileName,
                        QStringLiteral("發生非預期錯誤"));
    read.failed = true;
    read.errorNumber = common::InvalidArgument;
    read.endProgram = !state.commandLineIsExactlyT();
    return read;
}

FormatLoadResult loadChecked(state::WorkingState& state, common::MessageBox& messageBox,
                             FormatMode mode, void (*take)(state::LoadedFormat&, const FormatLine&),
                             const QByteArray* text) {
    state::LoadedFormat& loaded = state.format;
    FormatChecker checker(mode, state.programFolder);
    const FormatLoadResult read = readFormatFile(
        state, messageBox,
        [&loaded, &checker, take](const FormatLine& line) {
            take(loaded, line);
            checker.addLine(line);
        },
        [&checker](int number, QStringView line) { checker.addOtherLine(number, line); }, text);
    return finishLoad(state, messageBox, read, checker);
}

} // namespace pelmar::format
