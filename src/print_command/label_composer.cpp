#include "print_command/label_composer.h"

#include "common/file_names.h"
#include "common/numbers.h"
#include "print_command/date_picture.h"
#include "print_command/field_expression.h"
#include "print_command/label_refused.h"
#include "print_command/tspl_strings.h"

#include <vector>

namespace pelmar::print_command {

namespace {

using Table = state::ElementTable;

QString joinedColumns(const Table& table, int row, int columns) {
    QString out = table.at(row, 0);
    for (int column = 1; column < columns; ++column)
        out += u',' + table.at(row, column);
    return out;
}

void sendText(PrinterLibrary& library, const Table& table, int row, const QString& text) {
    library.windowsfont(
        common::strictInt16(table.at(row, 0)), common::strictInt16(table.at(row, 1)),
        common::strictInt16(table.at(row, 2)), common::strictInt16(table.at(row, 3)),
        common::strictInt16(table.at(row, 4)), common::strictInt16(table.at(row, 5)),
        table.at(row, 6), text);
}

QString elementName(const char16_t* kind, int row) {
    return QString::fromUtf16(kind) + u' ' + QString::number(row + 1);
}

void checkQuoted(const state::WorkingState& state, const QString& text, const char16_t* kind,
                 int row) {
    const QString reason = quotedRefusal(state.codePage.encode(text));
    if (!reason.isEmpty())
        throw LabelRefused(elementName(kind, row), reason);
}

// What the record gives one label: every content resolved and checked before anything of the
// label is sent, so a record the commands cannot carry sends nothing at all.
struct LabelContents {
    std::vector<QString> codes;      // per V_Barcode row; empty: skipped
    std::vector<QString> pdf417;     // per PDF417 row, the command line; empty: skipped
    std::vector<QString> dataMatrix; // per DMATRIX row, likewise
    std::vector<QString> texts;      // per V_Text row; empty: skipped
};

std::vector<QString> symbolCommands(const state::WorkingState& state, const Table& table,
                                    const char16_t* kind, int record,
                                    SymbolCommand (*compose)(const QString&, const QString&,
                                                             const common::CodePage&)) {
    std::vector<QString> lines(static_cast<size_t>(table.count));
    for (int row = 0; row < table.count; ++row) {
        const QString content = ResolveContent(state, table.at(row, 1), record);
        if (content.isEmpty())
            continue;
        SymbolCommand command = compose(table.at(row, 0), content, state.codePage);
        if (!command.refusal.isEmpty())
            throw LabelRefused(elementName(kind, row), command.refusal);
        lines[static_cast<size_t>(row)] = std::move(command.line);
    }
    return lines;
}

LabelContents resolveContents(const state::WorkingState& state, int record, bool forRun) {
    const state::LoadedFormat& format = state.format;
    LabelContents contents;
    for (int row = 0; row < format.fBarcodeElements.count; ++row)
        checkQuoted(state, format.fBarcodeElements.at(row, 8), u"F_Barcode", row);
    const Table& codes = format.vBarcodeElements;
    for (int row = 0; row < codes.count; ++row) {
        QString content = ResolveContent(state, codes.at(row, 8), record);
        if (forRun && codes.at(row, 2) == u"128M")
            content.prepend(QStringLiteral("!104"));
        if (!content.isEmpty())
            checkQuoted(state, content, u"V_Barcode", row);
        contents.codes.push_back(std::move(content));
    }
    contents.pdf417 =
        symbolCommands(state, format.pdf417Elements, u"PDF417", record, &pdf417Command);
    contents.dataMatrix =
        symbolCommands(state, format.dMatrixElements, u"DMATRIX", record, &dataMatrixCommand);
    const Table& texts = format.vTextElements;
    for (int row = 0; row < texts.count; ++row)
        contents.texts.push_back(ResolveContent(state, texts.at(row, 7), record));
    return contents;
}

void sendLines(PrinterLibrary& library, const std::vector<QString>& lines) {
    for (const QString& line : lines)
        if (!line.isEmpty())
            library.sendcommand(line);
}

QString pictureName(const Table& graphics, int row) {
    return graphics.at(row, 2).toUpper();
}

} // namespace

void DownloadGraphics(const state::WorkingState& state, PrinterLibrary& library) {
    const Table& graphics = state.format.graphicElements;
    for (int row = 0; row < graphics.count; ++row) {
        const QString name = pictureName(graphics, row);
        library.downloadpcx(common::joinPath(state.programFolder, name), name);
    }
}

bool ComposeLabel(const state::WorkingState& state, PrinterLibrary& library, int record,
                  bool forRun, const QDate& today) {
    const state::LoadedFormat& format = state.format;
    const auto cancelled = [&] { return forRun && state.cancelRequested; };
    const LabelContents contents = resolveContents(state, record, forRun);

    library.setup(format.labelSettings[0], format.labelSettings[1], format.labelSettings[3],
                  format.labelSettings[4], format.sensorType, format.labelSettings[2],
                  format.labelOffset);
    library.sendcommand(QStringLiteral("DIRECTION ") + format.direction);
    library.sendcommand(format.stripeCommand);
    library.sendcommand(format.cutterCommand);
    library.clearbuffer();

    for (int row = 0; row < format.boxElements.count; ++row)
        library.sendcommand(QStringLiteral("BOX ") + joinedColumns(format.boxElements, row, 5));
    if (cancelled())
        return true;

    for (int row = 0; row < format.lineElements.count; ++row)
        library.sendcommand(QStringLiteral("BAR ") + joinedColumns(format.lineElements, row, 4));
    if (cancelled())
        return true;

    const Table& fixedCodes = format.fBarcodeElements;
    for (int row = 0; row < fixedCodes.count; ++row)
        library.barcode(fixedCodes.at(row, 0), fixedCodes.at(row, 1), fixedCodes.at(row, 2),
                        fixedCodes.at(row, 3), fixedCodes.at(row, 4), fixedCodes.at(row, 5),
                        fixedCodes.at(row, 6), fixedCodes.at(row, 7), fixedCodes.at(row, 8));
    const Table& codes = format.vBarcodeElements;
    for (int row = 0; row < codes.count; ++row) {
        const QString& content = contents.codes[static_cast<size_t>(row)];
        if (content.isEmpty())
            continue;
        library.barcode(codes.at(row, 0), codes.at(row, 1), codes.at(row, 2), codes.at(row, 3),
                        codes.at(row, 4), codes.at(row, 5), codes.at(row, 6), codes.at(row, 7),
                        content);
    }
    if (cancelled())
        return true;

    sendLines(library, contents.pdf417);
    if (cancelled())
        return true;
    sendLines(library, contents.dataMatrix);
    if (cancelled())
        return true;

    const Table& fixedTexts = format.fTextElements;
    for (int row = 0; row < fixedTexts.count; ++row) {
        const QString text = fixedTextOrDate(fixedTexts.at(row, 7), today);
        if (!text.isEmpty())
            sendText(library, fixedTexts, row, text);
    }
    if (cancelled())
        return true;

    const Table& texts = format.vTextElements;
    for (int row = 0; row < texts.count; ++row) {
        const QString& text = contents.texts[static_cast<size_t>(row)];
        if (!text.isEmpty())
            sendText(library, texts, row, text);
    }
    if (cancelled())
        return true;

    const Table& graphics = format.graphicElements;
    for (int row = 0; row < graphics.count; ++row) {
        const QString name = pictureName(graphics, row);
        QString command;
        if (name.endsWith(QStringLiteral("PCX")))
            command = QStringLiteral("PUTPCX ");
        else if (name.endsWith(QStringLiteral("BMP")))
            command = QStringLiteral("PUTBMP ");
        else
            continue;
        library.sendcommand(command + graphics.at(row, 0) + u',' + graphics.at(row, 1) +
                            QStringLiteral(",\"") + escapeQuotes(name) + u'"');
    }
    return false;
}

} // namespace pelmar::print_command
