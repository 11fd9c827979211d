#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
#include <cstdint>
#include <optional>

namespace pelmar::print_command {

// The printer library of "Send Command" mode: the nine calls the composer and the runs make. Texts
// are Unicode; an implementation converts them to the code page at its own boundary. Every call may
// throw RunError (a port that cannot be opened or fails while written to).
class PrinterLibrary {
public:
    virtual ~PrinterLibrary() = default;

    // Opens the printer by its name; one document until closeport.
    virtual void openport(const QString& printerName) = 0;
    // Stores a picture file in the printer's memory under name.
    virtual void downloadpcx(const QString& path, const QString& name) = 0;
    // Label size (mm), speed, density, sensor ("0" gap, "1" black mark), gap and offset (mm).
    virtual void setup(const QString& width, const QString& height, const QString& speed,
                       const QString& density, const QString& sensor, const QString& vertical,
                       const QString& offset) = 0;
    // One command line of the printer's language; the library adds the line end.
    virtual void sendcommand(const QString& command) = 0;
    virtual void clearbuffer() = 0;
    // A native barcode; positions and sizes in dots, all passed as texts.
    virtual void barcode(const QString& x, const QString& y, const QString& type,
                         const QString& height, const QString& readable, const QString& rotation,
                         const QString& narrow, const QString& wide, const QString& code) = 0;
    // Text drawn with a TrueType face: x, y and fontheight in dots, rotation counter-clockwise
    // degrees, fontstyle 0..3 (italic 1, bold 2), underline 0/1.
    virtual void windowsfont(std::int16_t x, std::int16_t y, std::int16_t fontheight,
                             std::int16_t rotation, std::int16_t fontstyle, std::int16_t underline,
                             const QString& face, const QString& content) = 0;
    // Prints the label in the buffer: sets label sets of copies each.
    virtual void printlabel(const QString& sets, const QString& copies) = 0;
    // Ends the document and releases the printer.
    virtual void closeport() = 0;

    // True when the open port reaches a physical printer, whose pace the run's wait follows.
    virtual bool isPhysical() const = 0;
    // True when the printer answered the status inquiry at openport; only such a printer is
    // asked again.
    virtual bool answersStatus() const { return false; }
    // The printer's status byte (see common::status_bit), waiting up to wait for it; nothing from
    // a printer without status or one that has not answered in time. Throws RunError(482) when
    // the port fails (the printer hung up).
    virtual std::optional<std::uint8_t> printerStatus(std::chrono::milliseconds) {
        return std::nullopt;
    }
    // The calls that follow, up to the next startElement or printlabel, draw the element of this
    // line of the format file (0: a line not known). Sends nothing; a preview marks the elements.
    virtual void startElement(int /*formatLine*/) {}
    // What the printer's output warned about (the virtual printer's elements it could not
    // draw), in order; complete after closeport.
    virtual QStringList warnings() const { return {}; }
};

// A text to stand between the double quotes of a command's string parameter: each double quote
// becomes \["], so a field holding one cannot end the string early.
inline QString escapeQuotes(const QString& text) {
    if (!text.contains(u'"'))
        return text;
    QString out = text;
    return out.replace(QStringLiteral("\""), QStringLiteral("\\[\"]"));
}

} // namespace pelmar::print_command
