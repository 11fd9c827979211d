#include "print_driver/label_drawing.h"

#include "common/file_names.h"
#include "common/numbers.h"
#include "common/run_error.h"
#include "print_command/date_picture.h"

#include <cmath>
#include <limits>

namespace pelmar::print_driver {

namespace {

using common::RunError;
using state::ElementTable;

float toSingle(double value) {
    if (value > std::numeric_limits<float>::max() || value < -std::numeric_limits<float>::max())
        throw RunError(common::Overflow);
    return static_cast<float>(value);
}

// Box and line corners are twips as they stand, each a strict number.
struct Corners {
    float x1, y1, x2, y2;
};

Corners cornersOf(const ElementTable& table, int row) {
    return Corners{toSingle(common::strictNumber(table.at(row, 0))),
                   toSingle(common::strictNumber(table.at(row, 1))),
                   toSingle(common::strictNumber(table.at(row, 2))),
                   toSingle(common::strictNumber(table.at(row, 3)))};
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

void barcodeStep(PrinterPage& page, const LabelDrawing& drawing, const QString& x, const QString& y,
                 const QString& font, const QString& data) {
    if (!drawing.drawEmpty && data.isEmpty())
        return;
    const float left = textPositionTwips(x);
    const float top = textPositionTwips(y);
    page.setCurrentX(left);
    page.setCurrentY(top);
    page.setFontName(drawing.devicePrefix + u' ' + font);
    page.setBold(false);
    page.setItalic(false);
    page.setStrikethrough(false);
    page.setUnderline(false);
    page.printBarcode(font, data);
}

void textStep(PrinterPage& page, const LabelDrawing& drawing, const ElementTable& table, int row,
              const QString& text) {
    if (!drawing.drawEmpty && text.isEmpty())
        return;
    const float left = textPositionTwips(table.at(row, 0));
    const float top = textPositionTwips(table.at(row, 1));
    const std::int16_t size = common::leadingInt16(table.at(row, 2));
    page.setCurrentX(left);
    page.setCurrentY(top);
    page.setFontName(table.at(row, 5));
    page.setFontSize(size);

    const QString& style = table.at(row, 3);
    page.setBold(style == u"2" || style == u"3");
    page.setItalic(style == u"1" || style == u"3");
    const QString& lineStyle = table.at(row, 4);
    page.setStrikethrough(lineStyle == u"2");
    page.setUnderline(lineStyle == u"1");
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
    return common::toInt32(common::strictNumber(millimetres) * 567.0 / 10.0);
}

float textPositionTwips(QStringView dots) {
    const std::int32_t product = std::int32_t{common::leadingInt16(dots)} * 567;
    return static_cast<float>(common::toInt32(product / 80.0));
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

void drawPageSize(PrinterPage& page, const state::LoadedFormat& format) {
    page.setPageWidth(pageTwips(format.labelSettings[0]));
    page.setPageHeight(pageTwips(format.labelSettings[1]));
}

bool drawLabelElements(PrinterPage& page, const state::LoadedFormat& format,
                       const LabelDrawing& drawing) {
    page.setLineStyle(0);

    const ElementTable& boxes = format.boxElements;
    for (int i = 0; i < boxes.count; ++i) {
        page.setLineWidth(common::strictInt16(boxes.at(i, 4)));
        const Corners c = cornersOf(boxes, i);
        page.drawBox(c.x1, c.y1, c.x2, c.y2, 0);
    }
    if (stopped(drawing))
        return false;

    const ElementTable& lines = format.lineElements;
    for (int i = 0; i < lines.count; ++i) {
        page.setLineWidth(common::strictInt16(lines.at(i, 4)));
        const Corners c = cornersOf(lines, i);
        page.drawLine(c.x1, c.y1, c.x2, c.y2, 0);
    }
    if (stopped(drawing))
        return false;

    const ElementTable& pictures = format.graphicElements;
    for (int i = 0; i < pictures.count; ++i) {
        const std::int32_t x = common::toInt32(common::leadingNumber(pictures.at(i, 0)) * 567 / 80);
        const std::int32_t y = common::toInt32(common::leadingNumber(pictures.at(i, 1)) * 567 / 80);
        const std::int32_t width =
            common::toInt32(common::leadingNumber(pictures.at(i, 2)) * 567 / 10);
        const std::int32_t height =
            common::toInt32(common::leadingNumber(pictures.at(i, 3)) * 567 / 10);
        const Picture picture =
            page.loadPicture(common::joinPath(drawing.programFolder, pictures.at(i, 4)));
        page.drawPicture(picture, static_cast<float>(x), static_cast<float>(y), width, height);
    }
    if (stopped(drawing))
        return false;

    const ElementTable& fixedBarcodes = format.fBarcodeElements;
    for (int i = 0; i < fixedBarcodes.count; ++i)
        barcodeStep(page, drawing, fixedBarcodes.at(i, 0), fixedBarcodes.at(i, 1),
                    fixedBarcodes.at(i, 2), fixedBarcodes.at(i, 3));
    const ElementTable& variableBarcodes = format.vBarcodeElements;
    for (int i = 0; i < variableBarcodes.count; ++i) {
        const QString data = drawing.fieldValue(variableBarcodes.at(i, 3));
        barcodeStep(page, drawing, variableBarcodes.at(i, 0), variableBarcodes.at(i, 1),
                    variableBarcodes.at(i, 2), data);
    }
    if (stopped(drawing))
        return false;

    const ElementTable& fixedTexts = format.fTextElements;
    for (int i = 0; i < fixedTexts.count; ++i)
        textStep(page, drawing, fixedTexts, i,
                 print_command::fixedTextOrDate(fixedTexts.at(i, 6), drawing.today));
    if (stopped(drawing))
        return false;

    const ElementTable& variableTexts = format.vTextElements;
    for (int i = 0; i < variableTexts.count; ++i)
        textStep(page, drawing, variableTexts, i, drawing.fieldValue(variableTexts.at(i, 6)));
    return !stopped(drawing);
}

} // namespace pelmar::print_driver
