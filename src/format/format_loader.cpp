#include "format/format_loader.h"

#include "format/format_check.h"

#include <array>

namespace pelmar::format {

namespace {

using state::CommandFormat;
using Bar = CommandFormat::Bar;
using Box = CommandFormat::Box;
using Text = CommandFormat::Text;
using Barcode = CommandFormat::Barcode;
using Symbol = CommandFormat::Symbol;
using Graphic = CommandFormat::Graphic;

// The order of the fields in each element line.
constexpr FieldOrder<Bar, 4> kBarFields{&Bar::x, &Bar::y, &Bar::width, &Bar::height};
constexpr FieldOrder<Box, 5> kBoxFields{&Box::xStart, &Box::yStart, &Box::xEnd, &Box::yEnd,
                                        &Box::thickness};
constexpr FieldOrder<Text, 8> kTextFields{&Text::x,        &Text::y,      &Text::height,
                                          &Text::rotation, &Text::style,  &Text::underline,
                                          &Text::face,     &Text::content};
constexpr FieldOrder<Barcode, 9> kBarcodeFields{
    &Barcode::x,        &Barcode::y,      &Barcode::symbology, &Barcode::height, &Barcode::readable,
    &Barcode::rotation, &Barcode::narrow, &Barcode::wide,      &Barcode::content};
constexpr FieldOrder<Graphic, 3> kGraphicFields{&Graphic::x, &Graphic::y, &Graphic::fileName};

constexpr std::array<QString state::LabelSettings::*, 5> kLabelSettingFields{
    &state::LabelSettings::width, &state::LabelSettings::height, &state::LabelSettings::gap,
    &state::LabelSettings::speed, &state::LabelSettings::darkness};
constexpr std::array<QStringView, 5> kLabelSettings{u"LabelWidth", u"LabelHeight", u"LabelGap",
                                                    u"PrintSpeed", u"PrintDarken"};

// PDF417 and DMATRIX keep the symbol's own parameters as one text before the last comma.
bool takeSymbol(const FormatLine& line, QStringView keyword, state::ElementTable<Symbol>& table,
                int commas) {
    if (line.key != keyword)
        return false;
    Symbol symbol;
    symbol.line = line.number;
    if (cutHeadAndTail(line, commas, symbol.parameters, symbol.content))
        appendElement(table, std::move(symbol));
    return true;
}

// The first keyword that matches takes the line; any other key is ignored.
bool takeElementLine(CommandFormat& format, const FormatLine& line) {
    return takeElement(line, u"Line", format.lineElements, kBarFields) ||
           takeElement(line, u"Box", format.boxElements, kBoxFields) ||
           takeElement(line, u"F_Text", format.fTextElements, kTextFields) ||
           takeElement(line, u"V_Text", format.vTextElements, kTextFields) ||
           takeElement(line, u"F_Barcode", format.fBarcodeElements, kBarcodeFields) ||
           takeElement(line, u"V_Barcode", format.vBarcodeElements, kBarcodeFields) ||
           takeSymbol(line, u"PDF417", format.pdf417Elements, 10) ||
           takeSymbol(line, u"DMATRIX", format.dMatrixElements, 5) ||
           takeElement(line, u"Graphic", format.graphicElements, kGraphicFields);
}

void takeLine(state::LoadedFormat& loaded, const FormatLine& line) {
    for (size_t i = 0; i < kLabelSettings.size(); ++i) {
        if (line.key == kLabelSettings[i]) {
            loaded.labelSettings.*kLabelSettingFields[i] = line.value.toString();
            return;
        }
    }
    CommandFormat& format = loaded.command;
    if (line.key == u"LabelOffset") {
        format.labelOffset = line.value.toString();
    } else if (line.key == u"SensorType") {
        format.sensorType = line.value.toString();
    } else if (line.key == u"Direction") {
        format.direction = line.value.toString();
    } else if (line.key == u"SetStripe") {
        format.stripeCommand = QStringLiteral("SET STRIPE ") + line.value.toString();
    } else if (line.key == u"SetCutter") {
        format.cutterCommand = QStringLiteral("SET CUTTER ") + line.value.toString();
    } else {
        (void)takeElementLine(format, line);
    }
}

} // namespace

namespace {

FormatLoadResult loadCommandFormat(state::WorkingState& state, common::MessageBox& messageBox,
                                   const QByteArray* text) {
    CommandFormat& format = state.format.command;
    clearCounts(format.lineElements, format.boxElements, format.fTextElements, format.vTextElements,
                format.fBarcodeElements, format.vBarcodeElements, format.pdf417Elements,
                format.dMatrixElements, format.graphicElements);
    format.labelOffset = QStringLiteral("0");
    format.sensorType = QStringLiteral("0");
    format.direction = QStringLiteral("1");
    format.stripeCommand = QStringLiteral("SET STRIPE ON");
    format.cutterCommand = QStringLiteral("SET CUTTER OFF");
    return loadChecked(state, messageBox, FormatMode::Command, &takeLine, text);
}

} // namespace

FormatLoadResult LoadFormat(state::WorkingState& state, common::MessageBox& messageBox) {
    return loadCommandFormat(state, messageBox, nullptr);
}

FormatLoadResult LoadFormatText(state::WorkingState& state, const QByteArray& text,
                                common::MessageBox& messageBox) {
    return loadCommandFormat(state, messageBox, &text);
}

} // namespace pelmar::format
