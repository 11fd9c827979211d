#pragma once

#include "print_command/printer_library.h"

#include <QStringList>

namespace pelmar::print_command {

// The printer library of the address trace:PATH: every call becomes one line appended to PATH
// (UTF-8): the call's name, then each argument as passed (texts before any code-page conversion,
// integers as decimal text), separated by TAB, ended by LF. Inside an argument a backslash is
// written \\, a TAB \t, a CR \r and an LF \n. Never paced.
class TraceLibrary : public PrinterLibrary {
public:
    explicit TraceLibrary(QString path);

    // Appends its line to PATH (created when missing); throws RunError(482) "無法連接印表機..."
    // when it cannot.
    void openport(const QString& printerName) override;
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
    void printlabel(const QString& sets, const QString& copies) override;
    void closeport() override;
    bool isPhysical() const override { return false; }

    // One trace line (without its LF) for a call and its arguments.
    static QByteArray traceLine(const QString& call, const QStringList& arguments);

private:
    void record(const QString& call, const QStringList& arguments = {});

    QString m_path;
    bool m_open = false;
};

} // namespace pelmar::print_command
