#pragma once

#include "print_driver/printer_page.h"
#include "state/loaded_format.h"
#include "state/working_state.h"

#include <QDate>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <functional>

namespace pelmar::print_driver {

// The barcode font prefix of a device name: the text before its first blank, the whole name
// when it has none.
QString devicePrefix(const QString& deviceName);

// Millimetres (a strict number, error 13 otherwise) to twips: value * 567 / 10 rounded halves to
// even. Throws RunError(6) outside 32 bits.
std::int32_t pageTwips(QStringView millimetres);

// Printer dots of a text or barcode position (leading number rounded to 16 bits) to twips:
// (n * 567) / 80 rounded halves to even. Throws RunError(6).
float textPositionTwips(QStringView dots);

// The value of a field expression for record r by the print run's plain rule: a field number
// (leading number rounded to 16 bits, capped at FieldCount) without "+", else parts joined by
// "+", each a field number or a literal between two characters. Throws RunError(9) for a field
// number below 0 and RunError(5) for a literal part shorter than two characters.
QString plainFieldValue(const state::WorkingState& state, const QString& expression, int record);

// Copies of a label: the quantity's leading number rounded to 16 bits, 0 taken as 1, then the
// label rows needed when `across` labels stand side by side. Throws RunError(6) when the sum
// leaves 16 bits and RunError(5) for a result below 1.
std::int16_t labelCopies(QStringView quantity, std::int16_t across);

// What the runs give the drawing of one label.
struct LabelDrawing {
    QString devicePrefix;
    QString programFolder;
    QDate today;
    // The text of a variable element's field expression for the record.
    std::function<QString(const QString& expression)> fieldValue;
    // The print run draws empty texts and barcodes too; the test print skips them untouched.
    bool drawEmpty = true;
    // Tested after boxes, lines, pictures, barcodes, fixed and variable texts; may be empty.
    std::function<bool()> cancelled;
    // Named with the element when a barcode cannot be drawn: the record and the format file.
    int record = 0;
    QString formatFileName;
    // Set (when not null) when a barcode font refused its data: the value's fault, not the
    // printer's.
    bool* barcodeRefused = nullptr;
    // Told the format line of each element before it is drawn (a preview marks the elements);
    // may be empty.
    std::function<void(int line)> startElement;
};

// Sets the page width and then the height from the label's millimetres. Throws RunError.
void drawPageSize(PrinterPage& page, const state::LabelSettings& label);

// Draws the label's elements in order: line style, boxes, lines, pictures, fixed and variable
// barcodes, fixed and variable texts. Returns false when a cancel test stopped it (the page
// stays open). Throws RunError for a non-number in a box or line (13), a missing or unreadable
// picture, a bad field expression, an unknown barcode font or unencodable data; a barcode's
// error names the record, the element's line in the format file (or its kind and number) and
// the reason.
bool drawLabelElements(PrinterPage& page, const state::DriverFormat& format,
                       const LabelDrawing& drawing);

} // namespace pelmar::print_driver
