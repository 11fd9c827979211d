#pragma once

#include "print_command/printer_library.h"

namespace pelmar::print_command {

// A printer library that sends nothing anywhere: the base of libraries that only look at what
// the composer and the runs call (a dry run, a measurement).
class NullPrinterLibrary : public PrinterLibrary {
public:
    void openport(const QString&) override {}
    void downloadpcx(const QString&, const QString&) override {}
    void setup(const QString&, const QString&, const QString&, const QString&, const QString&,
               const QString&, const QString&) override {}
    void sendcommand(const QString&) override {}
    void clearbuffer() override {}
    void barcode(const QString&, const QString&, const QString&, const QString&, const QString&,
                 const QString&, const QString&, const QString&, const QString&) override {}
    void windowsfont(std::int16_t, std::int16_t, std::int16_t, std::int16_t, std::int16_t,
                     std::int16_t, const QString&, const QString&) override {}
    void printlabel(const QString&, const QString&) override {}
    void closeport() override {}
    bool isPhysical() const override { return false; }
};

} // namespace pelmar::print_command
