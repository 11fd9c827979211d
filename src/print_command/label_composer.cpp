#include "print_command/label_composer.h"

#include "barcode/code128_manual.h"
#include "barcode/data_check.h"
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
    library.startElement(element.line);
    library.windowsfont(common::strictInt16(element.x), common::strictInt16(element.y),
                        common::strictInt16(element.height), common::strictInt16(element.rotation),
                        common::strictInt16(element.style), common::strictInt16(element.underline),
                        element.face, text);
}

void sendBarcode(PrinterLibrary& library, const CommandFormat::Barcode& element,
                 const QString& code) {
    library.startElement(element.line);
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

// The content of a variable element; a value refused on the way is named after the element.
QString contentOf(const state::WorkingState& state, const QString& expression, int record,
                  const char16_t* kind, size_t row) {
    try {
        return ResolveContent(state, expression, record);
    } catch (const LabelRefused& refused) {
        if (!refused.element().isEmpty())
            throw;
        throw refused.of(elementName(kind, row));
    }
}

// A variable barcode's data as the printer gets it: "128M" data escaped so that it encodes
// itself, with the start code "!104" in the run. Refused, naming the element, when the command
// cannot carry it or the symbology cannot encode it.
QString barcodeCode(const state::WorkingState& state, const CommandFormat::Barcode& element,
                    int record, bool forRun, size_t row) {
    QString content = contentOf(state, element.content, record, u"V_Barcode", row);
    const barcode::BarcodeType* type = barcode::printerBarcodeType(element.symbology.toLatin1());
    const bool manual = type && type->symbology == barcode::Symbology::Code128Manual;
    if (manual)
        content = barcode::escapeCode128Data(content);
    QString code = content;
    if (forRun && element.symbology == u"128M")
        code.prepend(QStringLiteral("!104"));
    if (!code.isEmpty())
        checkQuoted(state, code, u"V_Barcode", row);
    // Without its start code, which starts in the subset the printer starts in anyway, the
    // reason's character positions are those of the data.
    if (!content.isEmpty()) {
        const QString reason =
            barcode::printerBarcodeRefusal(element.symbology.toLatin1(), content);
        if (!reason.isEmpty())
            throw LabelRefused(elementName(u"V_Barcode", row), reason);
    }
    return code;
}

// What the record gives one label: every content resolved and checked before anything of the
// label is sent, so a record the commands cannot carry sends nothing at all.
struct LabelContents {
    std::vector<QString> codes;      // per V_Barcode row; empty: skipped
    std::vector<QString> pdf417;     // per PDF417 row, the command line; empty: skipped
    std::vector<QString> dataMatrix; // per DMATRIX row, likewise
    std::vector<QString> texts;      // per V_Text row; empty: skipped
};

// How a symbol command is written, and why its symbol cannot hold the content's bytes.
struct SymbolKind {
    const char16_t* name;
    SymbolCommand (*compose)(const QString&, const QString&, const common::CodePage&);
    QString (*refusal)(QStringView, const QByteArray&);
};

std::vector<QString> symbolCommands(const state::WorkingState& state,
                                    const state::ElementTable<CommandFormat::Symbol>& table,
                                    const SymbolKind& kind, int record) {
    const auto symbols = table.valid();
    std::vector<QString> lines(symbols.size());
    for (size_t row = 0; row < symbols.size(); ++row) {
        const QString content = contentOf(state, symbols[row].content, record, kind.name, row);
        if (content.isEmpty())
            continue;
        SymbolCommand command = kind.compose(symbols[row].parameters, content, state.codePage);
        if (command.refusal.isEmpty())
            command.refusal = kind.refusal(symbols[row].parameters, state.codePage.encode(content));
        if (!command.refusal.isEmpty())
            throw LabelRefused(elementName(kind.name, row), command.refusal);
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
    for (size_t row = 0; row < codes.size(); ++row)
        contents.codes.push_back(barcodeCode(state, codes[row], record, forRun, row));
    contents.pdf417 = symbolCommands(state, format.pdf417Elements,
                                     {u"PDF417", &pdf417Command, &barcode::pdf417Refusal}, record);
    contents.dataMatrix =
        symbolCommands(state, format.dMatrixElements,
                       {u"DMATRIX", &dataMatrixCommand, &barcode::dataMatrixRefusal}, record);
    const auto texts = format.vTextElements.valid();
    for (size_t row = 0; row < texts.size(); ++row)
        contents.texts.push_back(contentOf(state, texts[row].content, record, u"V_Text", row));
    return contents;
}

void sendLines(PrinterLibrary& library, const state::ElementTable<CommandFormat::Symbol>& table,
               const std::vector<QString>& lines) {
    const auto symbols = table.valid();
    for (size_t row = 0; row < lines.size(); ++row) {
        if (lines[row].isEmpty())
            continue;
        library.startElement(symbols[row].line);
        library.sendcommand(lines[row]);
    }
}

QString pictureName(const CommandFormat::Graphic& graphic) {
    return graphic.fileName.toUpper();
}

void sendShapes(PrinterLibrary& library, const CommandFormat& format) {
    for (const CommandFormat::Box& box : format.boxElements.valid()) {
        library.startElement(box.line);
        library.sendcommand(
            QStringLiteral("BOX ") +
            QStringList{box.xStart, box.yStart, box.xEnd, box.yEnd, box.thickness}.join(u','));
    }
}

void sendBars(PrinterLibrary& library, const CommandFormat& format) {
    for (const CommandFormat::Bar& bar : format.lineElements.valid()) {
        library.startElement(bar.line);
        library.sendcommand(QStringLiteral("BAR ") +
                            QStringList{bar.x, bar.y, bar.width, bar.height}.join(u','));
    }
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
        library.startElement(graphic.line);
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

    sendLines(library, format.pdf417Elements, contents.pdf417);
    if (cancelled())
        return true;
    sendLines(library, format.dMatrixElements, contents.dataMatrix);
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
