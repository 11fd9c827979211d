#include "format/driver_format_loader.h"

#include "format/format_check.h"

namespace pelmar::format {

namespace {

using state::DriverFormat;
using Stroke = DriverFormat::Stroke;
using Text = DriverFormat::Text;
using Barcode = DriverFormat::Barcode;
using Graphic = DriverFormat::Graphic;

// The order of the parameters in each element line.
constexpr FieldOrder<Stroke, 5> kStrokeFields{&Stroke::x1, &Stroke::y1, &Stroke::x2, &Stroke::y2,
                                              &Stroke::thickness};
constexpr FieldOrder<Text, 7> kTextFields{
    &Text::x, &Text::y, &Text::size, &Text::style, &Text::lineStyle, &Text::face, &Text::content};
constexpr FieldOrder<Barcode, 4> kBarcodeFields{&Barcode::x, &Barcode::y, &Barcode::font,
                                                &Barcode::content};
constexpr FieldOrder<Graphic, 5> kGraphicFields{&Graphic::x, &Graphic::y, &Graphic::width,
                                                &Graphic::height, &Graphic::fileName};

void takeLine(state::LoadedFormat& loaded, const FormatLine& line) {
    if (line.key == u"LabelWidth") {
        loaded.labelSettings.width = line.value.toString();
        return;
    }
    if (line.key == u"LabelHeight") {
        loaded.labelSettings.height = line.value.toString();
        return;
    }
    DriverFormat& format = loaded.driver;
    // The first keyword that matches takes the line; any other key is ignored.
    (void)(takeElement(line, u"Line", format.lineElements, kStrokeFields) ||
           takeElement(line, u"Box", format.boxElements, kStrokeFields) ||
           takeElement(line, u"F_Text", format.fTextElements, kTextFields) ||
           takeElement(line, u"V_Text", format.vTextElements, kTextFields) ||
           takeElement(line, u"F_Barcode", format.fBarcodeElements, kBarcodeFields) ||
           takeElement(line, u"V_Barcode", format.vBarcodeElements, kBarcodeFields) ||
           takeElement(line, u"Graphic", format.graphicElements, kGraphicFields));
}

FormatLoadResult loadDriverFormat(state::WorkingState& state, common::MessageBox& messageBox,
                                  const QByteArray* text) {
    DriverFormat& format = state.format.driver;
    clearCounts(format.lineElements, format.boxElements, format.fTextElements, format.vTextElements,
                format.fBarcodeElements, format.vBarcodeElements, format.graphicElements);
    return loadChecked(state, messageBox, FormatMode::Driver, &takeLine, text);
}

} // namespace

FormatLoadResult LoadFormat_Driver(state::WorkingState& state, common::MessageBox& messageBox) {
    return loadDriverFormat(state, messageBox, nullptr);
}

FormatLoadResult LoadFormatText_Driver(state::WorkingState& state, const QByteArray& text,
                                       common::MessageBox& messageBox) {
    return loadDriverFormat(state, messageBox, &text);
}

} // namespace pelmar::format
