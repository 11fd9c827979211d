#pragma once

#include "common/byte_port.h"
#include "common/code_page.h"
#include "print_command/printer_library.h"
#include "print_command/text_bitmap.h"

#include <functional>
#include <memory>

namespace pelmar::print_command {

// Opens the byte port of a printer by its name; throws RunError when it cannot.
using PortOpener = std::function<std::unique_ptr<common::BytePort>(const QString& printerName)>;

// The printer library as TSPL bytes on a byte port: each call sends what the printer maker's
// library sends for it, texts in the code page, a double quote inside a string parameter as
// \["]; a string that quotes cannot carry (see quotedRefusal) is refused with RunError(5) and
// nothing of its call is sent. windowsfont sends the text as BITMAP strips cropped to its ink.
class TsplLibrary : public PrinterLibrary {
public:
    TsplLibrary(common::CodePage codePage, PortOpener opener);
    ~TsplLibrary() override;

    // Opens the port and, where it is two-way, asks the printer's status: a printer that answers
    // anything but ready throws RunError(482) naming its state before any byte of a label is
    // sent; one that does not answer within timing::kStatusAnswerWait is a printer without status.
    void openport(const QString& printerName) override;
    // Sends DOWNLOAD "NAME",size,<bytes> to the printer's memory (DRAM). A file that is missing
    // or unreadable sends nothing: pictures are not checked by the program.
    void downloadpcx(const QString& path, const QString& name) override;
    void setup(const QString& width, const QString& height, const QString& speed,
               const QString& density, const QString& sensor, const QString& vertical,
               const QString& offset) override;
    void sendcommand(const QString& command) override;
    void clearbuffer() override;
    void barcode(const QString& x, const QString& y, const QString& type, const QString& height,
                 const QString& readable, const QString& rotation, const QString& narrow,
                 const QString& wide, const QString& code) override;
    void windowsfont(std::int16_t x, std::int16_t y, std::int16_t fontheight, std::int16_t rotation,
                     std::int16_t fontstyle, std::int16_t underline, const QString& face,
                     const QString& content) override;
    // Sends PRINT and ends the port's job: the label is complete.
    void printlabel(const QString& sets, const QString& copies) override;
    void closeport() override;
    bool isPhysical() const override;
    bool answersStatus() const override { return m_port && m_answersStatus; }
    std::optional<std::uint8_t> printerStatus(std::chrono::milliseconds wait) override;
    // The warnings of every port closed so far.
    QStringList warnings() const override { return m_warnings; }

    // The bytes of a BITMAP command for a text picture or strip (mode 1, OR).
    static QByteArray bitmapCommand(const TextBitmap& bitmap);

private:
    void send(const QByteArray& bytes);
    QByteArray text(const QString& value) const { return m_codePage.encode(value); }
    // Throws RunError(5) for a value that would end the string or the command early.
    QByteArray quoted(const QString& value) const;

    common::CodePage m_codePage;
    PortOpener m_opener;
    std::unique_ptr<common::BytePort> m_port;
    TextBitmapRenderer m_renderer;
    QStringList m_warnings;
    bool m_answersStatus = false;
    // The label's length with its gap, as set up last (0: not known).
    double m_labelInches = 0.0;
};

} // namespace pelmar::print_command
