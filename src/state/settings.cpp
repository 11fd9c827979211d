#include "state/settings.h"

#include "common/file_names.h"
#include "common/numbers.h"
#include "common/run_error.h"
#include "state/ini_file.h"

#include <QSet>

namespace pelmar::state {

using common::RunError;

namespace {

const QString kFileName = QStringLiteral("Pelmar.INI");

// One reader over the settings file with the two ways of taking a result.
class SettingsReader {
public:
    SettingsReader(const IniFile& ini, const common::CodePage& codePage)
        : m_ini(ini), m_codePage(codePage) {}

    // Text up to the first zero byte of the buffer.
    QString text(const char* section, const QByteArray& key, int bufferSize) const {
        return m_codePage.decode(m_ini.readString(section, key, {}, bufferSize).text());
    }
    // The first count bytes of the buffer.
    QString firstBytes(const char* section, const QByteArray& key, const QByteArray& defaultValue,
                       int bufferSize) const {
        return m_codePage.decode(
            m_ini.readString(section, key, defaultValue, bufferSize).firstBytes());
    }
    std::int16_t int16(const char* section, const char* key, const char* defaultValue,
                       int bufferSize) const {
        return common::leadingInt16(firstBytes(section, key, defaultValue, bufferSize));
    }

private:
    const IniFile& m_ini;
    const common::CodePage& m_codePage;
};

} // namespace

QString settingsFilePath(const QString& programFolder) {
    const QString wanted = common::joinPath(programFolder, kFileName);
    const QString found = common::resolveFileName(wanted);
    return found.isEmpty() ? wanted : found;
}

QByteArray numberedKey(const char* prefix, int index) {
    return QByteArray(prefix) + QByteArray::number(index).rightJustified(2, '0');
}

bool isRepresentable(const WorkingState& state, const QString& text) {
    return state.codePage.decode(state.codePage.encode(text)) == text;
}

QByteArray encodeExactly(const WorkingState& state, const QString& text) {
    if (!isRepresentable(state, text))
        throw RunError(common::InvalidArgument,
                       QStringLiteral("「%1」含有字碼頁 %2 無法表示的字元")
                           .arg(text, QString::fromLatin1(state.codePage.name())));
    return state.codePage.encode(text);
}

bool isStorable(const WorkingState& state, const QString& text) {
    return isRepresentable(state, text) && !text.contains(u'\r') && !text.contains(u'\n') &&
           !text.contains(QChar(0));
}

QString readBackFault(const WorkingState& state, const QString& text, int longestBytes) {
    if (!isStorable(state, text))
        return QStringLiteral("含有無法存入設定檔的字元");
    // The read cuts a longer value, so the next start would open another file.
    if (state.codePage.encode(text).size() > longestBytes)
        return QStringLiteral("超過 %1 位元組").arg(longestBytes);
    return {};
}

std::array<QString, 5> splitFieldDefinition(const QString& definition, const QString& key) {
    std::array<QString, 5> parts;
    qsizetype from = 0;
    for (size_t part = 0; part < 4; ++part) {
        const qsizetype comma = definition.indexOf(u',', from);
        if (comma < 0)
            throw RunError(
                common::InvalidArgument,
                QStringLiteral("欄位定義 %1 的格式錯誤 (少於四個逗號): %2").arg(key, definition));
        parts[part] = definition.mid(from, comma - from);
        from = comma + 1;
    }
    parts[4] = definition.mid(from);
    return parts;
}

void LoadSettings(WorkingState& state) {
    const QString path = settingsFilePath(state.programFolder);
    // The code page name is ASCII, so the file can be read before its code page is known; read
    // as UTF-8, a byte-order mark does not hide the section on the first line.
    const IniFile plain(path, common::CodePage(QByteArrayLiteral("UTF-8")));
    const QByteArray codePageName =
        plain.readString("Files", "CodePage", common::CodePage::defaultName(), 64).text().trimmed();
    state.codePage =
        common::CodePage(codePageName.isEmpty() ? common::CodePage::defaultName() : codePageName);

    const IniFile ini(path, state.codePage);
    ini.checkDecodes();
    const SettingsReader read(ini, state.codePage);

    state.ports.clear();
    QSet<QByteArray> seenPorts;
    for (const auto& [name, address] : ini.readSection("Ports")) {
        // A printer listed twice keeps its first address, like any other key of the file.
        if (address.isEmpty() || seenPorts.contains(name.toLower()))
            continue;
        seenPorts.insert(name.toLower());
        state.ports.emplace_back(state.codePage.decode(name), state.codePage.decode(address));
    }

    state.textFileName = read.text("Files", "TextFileName", 128);
    state.labelCount = read.int16("Files", "LabelCount", "0", 3);
    if (state.labelCount > 0) {
        state.labelNames.recreate(state.labelCount);
        for (int i = 1; i <= state.labelCount; ++i)
            state.labelNames.set(i, read.text("Files", numberedKey("LabelName", i), 128));
    }

    state.printMode = read.int16("Printer", "PrintMode", "0", 2);
    state.printerName = read.text("Printer", "PrinterName", 64);
    state.statusPacing = read.int16("Printer", "StatusPacing", "1", 2) != 0;
    state.driverPacing = read.int16("Printer", "DriverPacing", "1", 2) != 0;
    state.across = read.int16("Label", "Across", "1", 2);
    state.fieldCutIndex = read.int16("Fields", "FieldCutIndex", "0", 2);
    state.delimiter = read.firstBytes("Fields", "Delimiter", ",", 2);
    state.editPrice = read.int16("Fields", "EditPrice", "0", 3);
    state.editPriceField = read.int16("Fields", "EditPriceField", "0", 3);
    state.adPrice = common::leadingInt32(read.firstBytes("Fields", "ADPrice", "0", 16));
    state.fieldCount = read.int16("Fields", "FieldCount", "4", 3);

    if (state.fieldCount > 0) {
        state.field.recreate(state.fieldCount + 1, 5);
        for (int i = 1; i <= state.fieldCount; ++i) {
            const QByteArray key = numberedKey("Field", i);
            const ProfileValue value = ini.readString("Fields", key, {}, 64);
            if (value.count == 0)
                continue;
            const auto parts =
                splitFieldDefinition(state.codePage.decode(value.text()), QString::fromLatin1(key));
            for (int part = 0; part < 5; ++part)
                state.field.set(i, part, parts[static_cast<size_t>(part)]);
        }
    }
}

void SaveRunSettings(WorkingState& state) {
    IniFile ini(settingsFilePath(state.programFolder), state.codePage);
    // The file stays as it is rather than hold a name that the next start reads as another file.
    if (const QString fault = readBackFault(state, state.textFileName, kLongestFileName);
        !fault.isEmpty()) {
        const QString kept =
            state.codePage.decode(ini.readString("Files", "TextFileName", {}, 128).text());
        throw RunError(common::InvalidArgument,
                       QStringLiteral("TextFileName「%1」%2, 下次啟動會讀成不同的值; "
                                      "設定檔保留原來的 TextFileName「%3」與 ADPrice.")
                           .arg(state.textFileName, fault, kept));
    }
    ini.setString("Files", "TextFileName", state.codePage.encode(state.textFileName));
    ini.setString("Fields", "ADPrice", common::decimalText(state.adPrice).toLatin1());
    // One rename for both keys: the file never holds the new name with the old amount.
    ini.save();
}

} // namespace pelmar::state
