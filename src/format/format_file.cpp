#include "format/format_file.h"

#include "common/file_names.h"
#include "common/input_file.h"
#include "common/line_decoder.h"
#include "common/line_reader.h"
#include "common/numbers.h"
#include "common/run_error.h"

#include <QByteArray>
#include <memory>

namespace pelmar::format {

namespace {

// Position (1-based) of a character of the line that the view `part` begins at plus offset.
qsizetype linePosition(const FormatLine& line, QStringView part, qsizetype offset) {
    return (part.data() - line.line.data()) + offset + 1;
}

// Finds the first `commas` commas of the value; false when one is missing.
bool findCommas(const FormatLine& line, int commas, qsizetype* positions) {
    qsizetype from = 0;
    for (int i = 0; i < commas; ++i) {
        const qsizetype at = line.value.indexOf(u',', from);
        if (at < 0)
            return false;
        if (linePosition(line, line.value, at) > kLastSearchablePosition)
            throw common::RunError(common::Overflow);
        positions[i] = at;
        from = at + 1;
    }
    return true;
}

} // namespace

std::optional<FormatLine> splitFormatLine(QStringView line) {
    if (line.startsWith(u'\''))
        return std::nullopt;
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return std::nullopt;
    if (equals + 1 > kLastSearchablePosition)
        throw common::RunError(common::Overflow);
    return FormatLine{line, common::trimBlanksView(line.first(equals)),
                      common::trimBlanksView(line.sliced(equals + 1))};
}

bool cutFields(const FormatLine& line, int commas, std::span<QString> fields) {
    constexpr int kMostCommas = 16;
    qsizetype positions[kMostCommas];
    if (commas < 0 || commas >= kMostCommas || static_cast<size_t>(commas) >= fields.size() ||
        !findCommas(line, commas, positions))
        return false;
    qsizetype start = 0;
    for (int i = 0; i < commas; ++i) {
        fields[static_cast<size_t>(i)] =
            common::trimBlanks(line.value.sliced(start, positions[i] - start));
        start = positions[i] + 1;
    }
    fields[static_cast<size_t>(commas)] = common::trimBlanks(line.value.sliced(start));
    return true;
}

bool cutHeadAndTail(const FormatLine& line, int commas, QString& head, QString& tail) {
    constexpr int kMostCommas = 16;
    qsizetype positions[kMostCommas];
    if (commas <= 0 || commas > kMostCommas || !findCommas(line, commas, positions))
        return false;
    const qsizetype last = positions[commas - 1];
    head = common::trimBlanks(line.value.first(last));
    tail = common::trimBlanks(line.value.sliced(last + 1));
    return true;
}

FormatLoadResult readFormatFile(state::WorkingState& state, common::MessageBox& messageBox,
                                const std::function<void(const FormatLine&)>& onLine,
                                const std::function<void(int, QStringView)>& onOtherLine,
                                const QByteArray* text) {
    try {
        const QString named = common::joinPath(state.programFolder, state.formatFileName);
        const QString path = text != nullptr
                                 ? named
                                 : common::existingInputFile(named, QStringLiteral("格式檔"),
                                                             common::kMaxFormatFileBytes);
        // Format files are typed in a text editor; on this system editors end lines with LF.
        const std::unique_ptr<common::LineReader> reader =
            text != nullptr ? std::make_unique<common::LineReader>(*text, /*lineFeedEndsLine=*/true)
                            : std::make_unique<common::LineReader>(path, /*lineFeedEndsLine=*/true);
        const common::LineDecoder decoder(state.codePage, path);
        QByteArray bytes;
        int number = 0;
        while (reader->next(bytes)) {
            if (++number == 1)
                decoder.takeByteOrderMark(bytes);
            const QString line = decoder.decode(bytes, number);
            if (std::optional<FormatLine> split = splitFormatLine(line)) {
                split->number = number;
                onLine(*split);
            } else if (onOtherLine) {
                onOtherLine(number, line);
            }
        }
        return {};
    } catch (const common::RunError& error) {
        common::showMessage(messageBox,
                            error.description() + QStringLiteral("\r\r格式檔名=") +
                                state.formatFileName,
                            QStringLiteral("發生非預期錯誤"));
        return {true, error.number(), !state.commandLineIsExactlyT()};
    }
}

} // namespace pelmar::format
