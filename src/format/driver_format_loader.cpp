#include "format/driver_format_loader.h"

#include <array>

namespace pelmar::format {

namespace {

using state::ElementTable;
using state::LoadedFormat;

struct ElementKeyword {
    QStringView name;
    ElementTable LoadedFormat::*table;
    int parameters;
};

constexpr std::array<ElementKeyword, 7> kElements{{
    {u"Line", &LoadedFormat::lineElements, 5},
    {u"Box", &LoadedFormat::boxElements, 5},
    {u"F_Text", &LoadedFormat::fTextElements, 7},
    {u"V_Text", &LoadedFormat::vTextElements, 7},
    {u"F_Barcode", &LoadedFormat::fBarcodeElements, 4},
    {u"V_Barcode", &LoadedFormat::vBarcodeElements, 4},
    {u"Graphic", &LoadedFormat::graphicElements, 5},
}};

void takeLine(LoadedFormat& format, const FormatLine& line) {
    if (line.key == u"LabelWidth") {
        format.labelSettings[0] = line.value.toString();
        return;
    }
    if (line.key == u"LabelHeight") {
        format.labelSettings[1] = line.value.toString();
        return;
    }
    for (const ElementKeyword& element : kElements) {
        if (line.key != element.name)
            continue;
        ElementTable::Row fields;
        if (cutFields(line, element.parameters - 1, fields))
            appendElement(format.*element.table, std::move(fields));
        return;
    }
}

} // namespace

FormatLoadResult LoadFormat_Driver(state::WorkingState& state, common::MessageBox& messageBox) {
    LoadedFormat& format = state.format;
    for (const ElementKeyword& element : kElements)
        (format.*element.table).count = 0;
    return readFormatFile(state, messageBox,
                          [&format](const FormatLine& line) { takeLine(format, line); });
}

} // namespace pelmar::format
