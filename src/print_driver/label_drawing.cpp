#include "print_driver/label_drawing.h"

#include "barcode/code128_manual.h"
#include "barcode/type_names.h"
#include "common/file_names.h"
#include "common/numbers.h"
#include "common/run_error.h"
#include "common/units.h"
#include "print_command/date_picture.h"
#include "print_driver/barcode_symbol.h"

#include <cmath>
#include <limits>

namespace pelmar::print_driver {

namespace {

using common::RunError;
using state::DriverFormat;

// A field's data for a variable barcode: under a manual Code 128 font its "!" reads as itself,
// so the data cannot choose subsets or functions.
QString variableBarcodeData(const DriverFormat::Barcode& code, const QString& value) {
    const barcode::BarcodeType* type = barcode::driverBarcodeFont(code.font);
    if (type && type->symbology == barcode::Symbology::Code128Manual)
        return barcode::escapeCode128Data(value);
    return value;
}

float toSingle(double value) {
    if (value > std::numeric_limits<float>::max() || value < -std::numeric_limits<float>::max())
        throw RunError(common::Overflow);
    return static_cast<float>(value);
}

// Box and line corners are twips as they stand, each a strict number.
struct Corners {
    float x1, y1, x2, y2;
};

Corners cornersOf(const DriverFormat::Stroke& stroke) {
    return Corners{
        toSingle(common::strictNumber(stroke.x1)), toSingle(common::strictNumber(stroke.y1)),
        toSingle(common::strictNumber(stroke.x2)), toSingle(common::strictNumber(stroke.y2))};
}

int fieldNumber(const state::WorkingState& state, QStringView part) {
    int n = common::leadingInt16(part);
    if (n > state.fieldCount)
        n = state.fieldCount;
    if (n < 0)
        throw RunError(common::SubscriptOutOfRange,
                       QStringLiteral("%1: %2").arg(
                           common::errorDescription(common::SubscriptOutOfRange), part));
    return n;
}

bool isNumeric(QStringView part) {
    try {
        common::strictNumber(part);
        return true;
    } catch (const RunError&) {
        return false;
    }
}

QString partValue(const state::WorkingState& state, QStringView part, int record) {
    if (isNumeric(part))
        return state.records.at(record, fieldNumber(state, part));
    if (part.size() < 2)
        throw RunError(common::InvalidArgument,
                       QStringLiteral("%1: '%2'")
                           .arg(common::errorDescription(common::InvalidArgument), part));
    return part.mid(1, part.size() - 2).toString();
}

// Where a barcode element stands: "第 3 筆資料, 格式檔 SHOP.FMT 第 14 行 (V_Barcode)", or the
// kind and number of an element without a line number.
QString barcodePlace(const LabelDrawing& drawing, const char* kind, int index,
                     const DriverFormat::Barcode& element) {
    const QString where =
        element.line > 0
            ? QStringLiteral("第 %1 行 (%2)").arg(element.line).arg(QLatin1String(kind))
            : QStringLiteral("的 %1 %2").arg(QLatin1String(kind)).arg(index + 1);
    return QStringLiteral("第 %1 筆資料, 格式檔 %2 %3")
        .arg(drawing.record)
        .arg(drawing.formatFileName, where);
}

void startElement(const LabelDrawing& drawing, int line) {
    if (drawing.startElement)
        drawing.startElement(line);
}

void printBarcodeAt(PrinterPage& page, const LabelDrawing& drawing, const char* kind, int index,
                    const DriverFormat::Barcode& element, const QString& data) {
    try {
        page.printBarcode(element.font, data);
    } catch (const RunError& error) {
        if (drawing.barcodeRefused && isKnownBarcodeFont(element.font))
            *drawing.barcodeRefused = true;
        throw RunError(error.number(), barcodePlace(drawing, kind, index, element) +
                                           QStringLiteral(": ") + error.description());
    }
}

void barcodeStep(PrinterPage& page, const LabelDrawing& drawing, const char* kind, int index,
                 const DriverFormat::Barcode& element, const QString& data) {
    if (!drawing.drawEmpty && data.isEmpty())
        return;
    startElement(drawing, element.line);
    const float left = textPositionTwips(element.x);
    const float top = textPositionTwips(element.y);
    page.setCurrentX(left);
    page.setCurrentY(top);
    page.setFontName(drawing.devicePrefix + u' ' + element.font);
    page.setBold(false);
    page.setItalic(false);
    page.setStrikethrough(false);
    page.setUnderline(false);
    printBarcodeAt(page, drawing, kind, index, element, data);
}

void textStep(PrinterPage& page, const LabelDrawing& drawing, const DriverFormat::Text& element,
              const QString& text) {
    if (!drawing.drawEmpty && text.isEmpty())
        return;
    startElement(drawing, element.line);
    const float left = textPositionTwips(element.x);
    const float top = textPositionTwips(element.y);
    const std::int16_t size = common::leadingInt16(element.size);
    page.setCurrentX(left);
    page.setCurrentY(top);
    page.setFontName(element.face);
    page.setFontSize(size);

    page.setBold(element.style == u"2" || element.style == u"3");
    page.setItalic(element.style == u"1" || element.style == u"3");
    page.setStrikethrough(element.lineStyle == u"2");
    page.setUnderline(element.lineStyle == u"1");
    page.printText(text);
}

bool stopped(const LabelDrawing& drawing) {
    return drawing.cancelled && drawing.cancelled();
}

} // namespace

QString devicePrefix(const QString& deviceName) {
    const qsizetype blank = deviceName.indexOf(u' ');
    return blank < 0 ? deviceName : deviceName.left(blank);
}

std::int32_t pageTwips(QStringView millimetres) {
    return common::millimetresToTwips(common::strictNumber(millimetres));
}

float textPositionTwips(QStringView dots) {
    return static_cast<float>(common::dotsToTwips(common::leadingInt16(dots)));
}

QString plainFieldValue(const state::WorkingState& state, const QString& expression, int record) {
    if (!expression.contains(u'+'))
        return state.records.at(record, fieldNumber(state, expression));
    QString value;
    QStringView rest(expression);
    qsizetype plus;
    while ((plus = rest.indexOf(u'+')) >= 0) {
        value += partValue(state, common::trimBlanksView(rest.left(plus)), record);
        rest = rest.mid(plus + 1);
    }
    if (!rest.isEmpty())
        value += partValue(state, common::trimBlanksView(rest), record);
    return value;
}

std::int16_t labelCopies(QStringView quantity, std::int16_t across) {
    std::int16_t copies = common::leadingInt16(quantity);
    if (copies == 0)
        copies = 1;
    if (across > 1) {
        // The sum is a 16-bit value like its terms.
        const std::int16_t sum = common::toInt16(double(copies) + across - 1);
        copies = static_cast<std::int16_t>(std::floor(double(sum) / across));
    }
    if (copies < 1)
        throw RunError(common::InvalidArgument, QStringLiteral("標籤數量不正確: %1").arg(quantity));
    return copies;
}

void drawPageSize(PrinterPage& page, const state::LabelSettings& label) {
    page.setPageWidth(pageTwips(label.width));
    page.setPageHeight(pageTwips(label.height));
}

bool drawLabelElements(PrinterPage& page, const DriverFormat& format, const LabelDrawing& drawing) {
    page.setLineStyle(0);

    for (const DriverFormat::Stroke& box : format.boxElements.valid()) {
        startElement(drawing, box.line);
        page.setLineWidth(common::strictInt16(box.thickness));
        const Corners c = cornersOf(box);
        page.drawBox(c.x1, c.y1, c.x2, c.y2, 0);
    }
    if (stopped(drawing))
        return false;

    for (const DriverFormat::Stroke& line : format.lineElements.valid()) {
        startElement(drawing, line.line);
        page.setLineWidth(common::strictInt16(line.thickness));
        const Corners c = cornersOf(line);
        page.drawLine(c.x1, c.y1, c.x2, c.y2, 0);
    }
    if (stopped(drawing))
        return false;

    for (const DriverFormat::Graphic& graphic : format.graphicElements.valid()) {
        startElement(drawing, graphic.line);
        const std::int32_t x = common::dotsToTwips(common::leadingNumber(graphic.x));
        const std::int32_t y = common::dotsToTwips(common::leadingNumber(graphic.y));
        const std::int32_t width = common::millimetresToTwips(common::leadingNumber(graphic.width));
        const std::int32_t height =
            common::millimetresToTwips(common::leadingNumber(graphic.height));
        const Picture picture =
            page.loadPicture(common::joinPath(drawing.programFolder, graphic.fileName));
        page.drawPicture(picture, static_cast<float>(x), static_cast<float>(y), width, height);
    }
    if (stopped(drawing))
        return false;

    int index = 0;
    for (const DriverFormat::Barcode& code : format.fBarcodeElements.valid())
        barcodeStep(page, drawing, "F_Barcode", index++, code, code.content);
    index = 0;
    for (const DriverFormat::Barcode& code : format.vBarcodeElements.valid())
        barcodeStep(page, drawing, "V_Barcode", index++, code,
                    variableBarcodeData(code, drawing.fieldValue(code.content)));
    if (stopped(drawing))
        return false;

    for (const DriverFormat::Text& text : format.fTextElements.valid())
        textStep(page, drawing, text, print_command::fixedTextOrDate(text.content, drawing.today));
    if (stopped(drawing))
        return false;

    for (const DriverFormat::Text& text : format.vTextElements.valid())
        textStep(page, drawing, text, drawing.fieldValue(text.content));
    return !stopped(drawing);
}

} // namespace pelmar::print_driver
