#include "format/format_loader.h"

#include <array>

namespace pelmar::format {

namespace {

using state::ElementTable;
using state::LoadedFormat;

struct ElementKeyword {
    QStringView name;
    ElementTable LoadedFormat::*table;
    int commas;
    // PDF417 and DMATRIX keep the symbol's own parameters as one text before the last comma.
    bool headAndTail;
};

constexpr std::array<ElementKeyword, 9> kElements{{
    {u"Line", &LoadedFormat::lineElements, 3, false},
    {u"Box", &LoadedFormat::boxElements, 4, false},
    {u"F_Text", &LoadedFormat::fTextElements, 7, false},
    {u"V_Text", &LoadedFormat::vTextElements, 7, false},
    {u"F_Barcode", &LoadedFormat::fBarcodeElements, 8, false},
    {u"V_Barcode", &LoadedFormat::vBarcodeElements, 8, false},
    {u"PDF417", &LoadedFormat::pdf417Elements, 10, true},
    {u"DMATRIX", &LoadedFormat::dMatrixElements, 5, true},
    {u"Graphic", &LoadedFormat::graphicElements, 2, false},
}};

constexpr std::array<QStringView, 5> kLabelSettings{u"LabelWidth", u"LabelHeight", u"LabelGap",
                                                    u"PrintSpeed", u"PrintDarken"};

void takeLine(LoadedFormat& format, const FormatLine& line) {
    for (size_t i = 0; i < kLabelSettings.size(); ++i) {
        if (line.key == kLabelSettings[i]) {
            format.labelSettings[i] = line.value.toString();
            return;
        }
    }
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
        for (const ElementKeyword& element : kElements) {
            if (line.key != element.name)
                continue;
            ElementTable::Row fields;
            const bool complete = element.headAndTail ? cutHeadAndTail(line, element.commas, fields)
                                                      : cutFields(line, element.commas, fields);
            if (complete)
                appendElement(format.*element.table, std::move(fields));
            return;
        }
    }
}

} // namespace

FormatLoadResult LoadFormat(state::WorkingState& state, common::MessageBox& messageBox) {
    LoadedFormat& format = state.format;
    for (const ElementKeyword& element : kElements)
        (format.*element.table).count = 0;
    format.labelOffset = QStringLiteral("0");
    format.sensorType = QStringLiteral("0");
    format.direction = QStringLiteral("1");
    format.stripeCommand = QStringLiteral("SET STRIPE ON");
    format.cutterCommand = QStringLiteral("SET CUTTER OFF");
    return readFormatFile(state, messageBox,
                          [&format](const FormatLine& line) { takeLine(format, line); });
}

} // namespace pelmar::format
