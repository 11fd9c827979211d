#include "print_command/label_composer.h"

#include "common/file_names.h"
#include "common/numbers.h"
#include "print_command/date_picture.h"
#include "print_command/field_expression.h"
#include "print_command/label_refused.h"
#include "print_command/tspl_strings.h"

#include <QStringList>
#include <vector>

namespace pelmar::print_command {

namespace {

using state::CommandFormat;

void sendText(PrinterLibrary& library, const CommandFormat::Text& element, const QString& text) {
    library.windowsfont(common::strictInt16(element.x), common::strictInt16(element.y),
                        common::strictInt16(element.height), common::strictInt16(element.rotation),
                        common::strictInt16(element.style), common::strictInt16(element.underline),
                        element.face, text);
}

void sendBarcode(PrinterLibrary& library, const CommandFormat::Barcode& element,
                 const QString& code) {
    library.barcode(element.x, element.y, element.symbology, element.height, element.readable,
                    element.rotation, element.narrow, element.wide, code);
}

QString elementName(const char16_t* kind, size_t row) {
    return QString::fromUtf16(kind) + u' ' + QString::number(row + 1);
}

void checkQuoted(const state::WorkingState& state, const QString& text, const char16_t* kind,
                 size_t row) {
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

std::vector<QString> symbolCommands(const state::WorkingState& state,
                                    const state::ElementTable<CommandFormat::Symbol>& table,
                                    const char16_t* kind, int record,
                                    SymbolCommand (*compose)(const QString&, const QString&,
                                                             const common::CodePage&)) {
    const auto symbols = table.valid();
    std::vector<QString> lines(symbols.size());
    for (size_t row = 0; row < symbols.size(); ++row) {
        const QString content = ResolveContent(state, symbols[row].content, record);
        if (content.isEmpty())
            continue;
        SymbolCommand command = compose(symbols[row].parameters, content, state.codePage);
        if (!command.refusal.isEmpty())
            throw LabelRefused(elementName(kind, row), command.refusal);
        lines[row] = std::move(command.line);
    }
    return lines;
}

LabelContents resolveContents(const state::WorkingState& state, const CommandFormat& format,
                              int record, bool forRun) {
    LabelContents contents;
    const auto fixedCodes = format.fBarcodeElements.valid();
    for (size_t row = 0; row < fixedCodes.size(); ++row)
        checkQuoted(state, fixedCodes[row].content, u"F_Barcode", row);
    const auto codes = format.vBarcodeElements.valid();
    for (size_t row = 0; row < codes.size(); ++row) {
        QString content = ResolveContent(state, codes[row].content, record);
        if (forRun && codes[row].symbology == u"128M")
            content.prepend(QStringLiteral("!104"));
        if (!content.isEmpty())
            checkQuoted(state, content, u"V_Barcode", row);
        contents.codes.push_back(std::move(content));
    }
    contents.pdf417 =
        symbolCommands(state, format.pdf417Elements, u"PDF417", record, &pdf417Command);
    contents.dataMatrix =
        symbolCommands(state, format.dMatrixElements, u"DMATRIX", record, &dataMatrixCommand);
    for (const CommandFormat::Text& text : format.vTextElements.valid())
        contents.texts.push_back(ResolveContent(state, text.content, record));
    return contents;
}

void sendLines(PrinterLibrary& library, const std::vector<QString>& lines) {
    for (const QString& line : lines)
        if (!line.isEmpty())
            library.sendcommand(line);
}

QString pictureName(const CommandFormat::Graphic& graphic) {
    return graphic.fileName.toUpper();
}

void sendShapes(PrinterLibrary& library, const CommandFormat& format) {
    for (const CommandFormat::Box& box : format.boxElements.valid())
        library.sendcommand(
            QStringLiteral("BOX ") +
            QStringList{box.xStart, box.yStart, box.xEnd, box.yEnd, box.thickness}.join(u','));
}

void sendBars(PrinterLibrary& library, const CommandFormat& format) {
    for (const CommandFormat::Bar& bar : format.lineElements.valid())
        library.sendcommand(QStringLiteral("BAR ") +
                            QStringList{bar.x, bar.y, bar.width, bar.height}.join(u','));
}

void sendPictures(PrinterLibrary& library, const CommandFormat& format) {
    for (const CommandFormat::Graphic& graphic : format.graphicElements.valid()) {
        const QString name = pictureName(graphic);
        QString command;
        if (name.endsWith(QStringLiteral("PCX")))
            command = QStringLiteral("PUTPCX ");
        else if (name.endsWith(QStringLiteral("BMP")))
            command = QStringLiteral("PUTBMP ");
        else
            continue;
        library.sendcommand(command + graphic.x + u',' + graphic.y + QStringLiteral(",\"") +
                            escapeQuotes(name) + u'"');
    }
}

} // namespace

void DownloadGraphics(const state::WorkingState& state, PrinterLibrary& library) {
    for (const CommandFormat::Graphic& graphic : state.format.command.graphicElements.valid()) {
        const QString name = pictureName(graphic);
        library.downloadpcx(common::joinPath(state.programFolder, name), name);
    }
}

bool ComposeLabel(const state::WorkingState& state, PrinterLibrary& library, int record,
                  bool forRun, const QDate& today) {
    return ComposeLabel(state, state.format.labelSettings, state.format.command, library, record,
                        forRun, today);
}

bool ComposeLabel(const state::WorkingState& state, const state::LabelSettings& label,
                  const CommandFormat& format, PrinterLibrary& library, int record, bool forRun,
                  const QDate& today) {
    const auto cancelled = [&] { return forRun && state.cancelRequested; };
    const LabelContents contents = resolveContents(state, format, record, forRun);

    library.setup(label.width, label.height, label.speed, label.darkness, format.sensorType,
                  label.gap, format.labelOffset);
    library.sendcommand(QStringLiteral("DIRECTION ") + format.direction);
    library.sendcommand(format.stripeCommand);
    library.sendcommand(format.cutterCommand);
    library.clearbuffer();

    sendShapes(library, format);
    if (cancelled())
        return true;
    sendBars(library, format);
    if (cancelled())
        return true;

    for (const CommandFormat::Barcode& code : format.fBarcodeElements.valid())
        sendBarcode(library, code, code.content);
    const auto codes = format.vBarcodeElements.valid();
    for (size_t row = 0; row < codes.size(); ++row)
        if (!contents.codes[row].isEmpty())
            sendBarcode(library, codes[row], contents.codes[row]);
    if (cancelled())
        return true;

    sendLines(library, contents.pdf417);
    if (cancelled())
        return true;
    sendLines(library, contents.dataMatrix);
    if (cancelled())
        return true;

    for (const CommandFormat::Text& element : format.fTextElements.valid()) {
        const QString text = fixedTextOrDate(element.content, today);
        if (!text.isEmpty())
            sendText(library, element, text);
    }
    if (cancelled())
        return true;

    const auto texts = format.vTextElements.valid();
    for (size_t row = 0; row < texts.size(); ++row)
        if (!contents.texts[row].isEmpty())
            sendText(library, texts[row], contents.texts[row]);
    if (cancelled())
        return true;

    sendPictures(library, format);
    return false;
}

} // namespace pelmar::print_command
