#include "state/setup_save.h"

#include "common/numbers.h"
#include "state/ini_file.h"
#include "state/settings.h"

#include <array>
#include <optional>
#include <vector>

namespace pelmar::state {

using common::Message;
using common::MessageAnswer;

namespace {

// The most entries a count of two digits can name when the file is read back.
constexpr int kMostEntries = 99;
// A field definition is read back with a 64-byte buffer.
constexpr int kLongestFieldDefinition = 63;

SetupSaveResult refuse(SetupFocus focus) {
    return SetupSaveResult{false, focus, {}};
}

SetupSaveResult refuse(common::MessageBox& messages, const QString& text, SetupFocus focus) {
    messages.show(Message{text, common::programTitle(), common::MessageIcon::None,
                          common::MessageButtons::Ok, MessageAnswer::Ok});
    return refuse(focus);
}

// Checks that keep the file readable by the next start: each refusal names what is wrong.
std::optional<SetupSaveResult> refuseUnreadable(const WorkingState& state,
                                                const SetupScreenValues& screen,
                                                common::MessageBox& messages) {
    if (screen.fldList.size() > kMostEntries)
        return refuse(messages, QStringLiteral("欄位定義最多 %1 個, 無法儲存.").arg(kMostEntries),
                      SetupFocus::FldList);
    if (screen.fmtList.size() > kMostEntries)
        return refuse(messages,
                      QStringLiteral("欲列印標籤格式檔最多 %1 個, 無法儲存.").arg(kMostEntries),
                      SetupFocus::FmtList);

    const auto unstorable = [&](const QString& text, SetupFocus focus) {
        return refuse(messages,
                      QStringLiteral("「%1」含有無法存入設定檔的字元, 無法儲存.").arg(text), focus);
    };
    for (const QString& entry : screen.fldList) {
        if (!isStorable(state, entry))
            return unstorable(entry, SetupFocus::FldList);
        if (entry.count(u',') < 4)
            return refuse(messages,
                          QStringLiteral("欄位定義「%1」少於四個逗號, 無法儲存.").arg(entry),
                          SetupFocus::FldList);
        if (state.codePage.encode(entry).size() > kLongestFieldDefinition)
            return refuse(messages,
                          QStringLiteral("欄位定義「%1」超過 %2 位元組, 無法儲存.")
                              .arg(entry)
                              .arg(kLongestFieldDefinition),
                          SetupFocus::FldList);
    }
    // A name that the next start would read back cut or changed is refused with the reason.
    const auto unreadable = [&](const QString& text, int longestBytes,
                                SetupFocus focus) -> std::optional<SetupSaveResult> {
        const QString fault = readBackFault(state, text, longestBytes);
        if (fault.isEmpty())
            return std::nullopt;
        return refuse(messages, QStringLiteral("「%1」%2, 無法儲存.").arg(text, fault), focus);
    };
    for (const QString& entry : screen.fmtList)
        if (const auto refused = unreadable(entry, kLongestFileName, SetupFocus::FmtList))
            return refused;
    if (const auto refused =
            unreadable(screen.cboPrinter, kLongestPrinterName, SetupFocus::CboPrinter))
        return refused;
    if (screen.optFieldCut == 0 && !isStorable(state, screen.txtDelimiter))
        return unstorable(screen.txtDelimiter, SetupFocus::TxtDelimiter);
    // The file keeps one byte for the delimiter, and lines are cut at one character.
    if (screen.optFieldCut == 0 && !state.codePage.isSingleByteCharacter(screen.txtDelimiter))
        return refuse(messages,
                      QStringLiteral("分隔符號「%1」不是單一位元組的字元, 無法切割資料, 無法儲存.")
                          .arg(screen.txtDelimiter),
                      SetupFocus::TxtDelimiter);
    return unreadable(screen.txtFileName, kLongestFileName, SetupFocus::TxtFileName);
}

QByteArray number(long long value) {
    return common::decimalText(value).toLatin1();
}

} // namespace

SetupSaveResult saveSetup(WorkingState& state, const SetupScreenValues& screen,
                          common::MessageBox& messages) {
    if (screen.fldList.isEmpty())
        return refuse(messages, QStringLiteral("欄位尚未定義, 無法儲存."), SetupFocus::TxtFldName);
    if (screen.fmtList.isEmpty())
        return refuse(messages, QStringLiteral("欲列印標籤格式檔尚未設定, 無法儲存."),
                      SetupFocus::FileList);
    if (screen.txtLabelAcross.isEmpty())
        return refuse(SetupFocus::TxtLabelAcross);
    if (screen.optFieldCut == 0 && screen.txtDelimiter.isEmpty())
        return refuse(SetupFocus::TxtDelimiter);
    if (const auto refused = refuseUnreadable(state, screen, messages))
        return *refused;

    const MessageAnswer answer = messages.show(
        Message{QStringLiteral("你確定要更新設定嗎(Y/N)?"), QStringLiteral("儲存設定"),
                common::MessageIcon::Question, common::MessageButtons::YesNo, MessageAnswer::No});
    if (answer != MessageAnswer::Yes)
        return refuse(SetupFocus::None);

    // The new values are worked out and written first and take effect together afterwards, so
    // a value out of range or a failed write leaves both the file and the state as they were.
    const auto fieldCount = static_cast<std::int16_t>(screen.fldList.size());
    const auto labelCount = static_cast<std::int16_t>(screen.fmtList.size());
    const std::int16_t printMode = screen.optPrintMode == 0 ? 0 : 1;
    const std::int16_t across = common::leadingInt16(screen.txtLabelAcross);
    const std::int16_t fieldCutIndex = screen.optFieldCut == 0 ? 0 : 1;
    const QString delimiter = fieldCutIndex == 0 ? screen.txtDelimiter : state.delimiter;
    const auto editPrice = static_cast<std::int16_t>(screen.chkEditPrice);
    const std::int16_t editPriceField = common::leadingInt16(screen.txtEditPriceField);
    std::vector<std::array<QString, 5>> fieldRows;
    for (int i = 1; i <= fieldCount; ++i)
        fieldRows.push_back(splitFieldDefinition(screen.fldList[i - 1],
                                                 QString::fromLatin1(numberedKey("Field", i))));

    IniFile ini(settingsFilePath(state.programFolder), state.codePage);
    ini.setString("Printer", "PrintMode", number(printMode));
    ini.setString("Printer", "PrinterName", encodeExactly(state, screen.cboPrinter));
    ini.setString("Label", "Across", number(across));
    ini.setString("Fields", "FieldCutIndex", number(fieldCutIndex));
    ini.setString("Fields", "Delimiter", encodeExactly(state, delimiter));
    ini.setString("Fields", "EditPrice", number(editPrice));
    ini.setString("Fields", "EditPriceField", number(editPriceField));
    ini.setString("Fields", "FieldCount", number(fieldCount));
    for (int i = 1; i <= fieldCount; ++i)
        ini.setString("Fields", numberedKey("Field", i),
                      encodeExactly(state, screen.fldList[i - 1]));
    ini.setString("Files", "TextFileName", encodeExactly(state, screen.txtFileName));
    ini.setString("Files", "LabelCount", number(labelCount));
    for (int i = 1; i <= labelCount; ++i)
        ini.setString("Files", numberedKey("LabelName", i),
                      encodeExactly(state, screen.fmtList[i - 1]));
    ini.save();

    state.fieldCount = fieldCount;
    state.labelCount = labelCount;
    state.printMode = printMode;
    state.printerName = screen.cboPrinter;
    state.across = across;
    state.fieldCutIndex = fieldCutIndex;
    state.delimiter = delimiter;
    state.editPrice = editPrice;
    state.editPriceField = editPriceField;
    state.field.recreate(fieldCount + 1, 5);
    for (int i = 1; i <= fieldCount; ++i)
        for (int part = 0; part < 5; ++part)
            state.field.set(i, part,
                            fieldRows[static_cast<size_t>(i - 1)][static_cast<size_t>(part)]);
    state.textFileName = screen.txtFileName;
    state.labelNames.recreate(labelCount);
    for (int i = 1; i <= labelCount; ++i)
        state.labelNames.set(i, screen.fmtList[i - 1]);

    return SetupSaveResult{true, SetupFocus::None, state.printerName};
}

} // namespace pelmar::state
