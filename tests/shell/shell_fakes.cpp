#include "shell/shell_fakes.h"

#include "common/run_error.h"

namespace pelmar::test {

app::PrintDestination FakePrinterDialog::choosePrinter(const QString& title) {
    titles << title;
    if (cancel)
        throw common::RunError(common::DialogCancelled);
    return destination;
}

ShellFixture::ShellFixture() {
    state.programFolder = home.path();
    printers.installed = {{QStringLiteral("TSC_A"), QStringLiteral("TSC A")}};
    dataFile = home.write(QStringLiteral("items.txt"), "APPLE,10,2\r\nPEAR,20,1\r\n");
    const QByteArray format = "LabelWidth=60\r\nLabelHeight=40\r\nLabelGap=2\r\nPrintSpeed=4\r\n"
                              "PrintDarken=8\r\nV_Text=120,20,48,0,0,0,Arial,1\r\n";
    home.write(QStringLiteral("PRICE.FMT"), format);
    home.write(QStringLiteral("SHELF.FMT"), format);
    // The driver-mode loader reads the same file; its V_Text has seven parameters.
    home.write(QStringLiteral("DRV.FMT"),
               "LabelWidth=60\r\nLabelHeight=40\r\nV_Text=120,20,12,0,0,Arial,1\r\n");
}

void ShellFixture::writeSettings(const QStringList& lines) {
    home.write(QStringLiteral("Pelmar.INI"),
               lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n");
}

void ShellFixture::writeStandardSettings(int labelCount, int editPrice, int printMode,
                                         int fieldCount) {
    const QString formatName =
        printMode == 0 ? QStringLiteral("PRICE.FMT") : QStringLiteral("DRV.FMT");
    QStringList lines{QStringLiteral("[Files]"), "TextFileName=" + dataFile,
                      QStringLiteral("LabelCount=%1").arg(labelCount)};
    if (labelCount >= 1)
        lines << "LabelName01=" + formatName;
    if (labelCount >= 2)
        lines << QStringLiteral("LabelName02=SHELF.FMT");
    lines << QStringLiteral("[Printer]") << QStringLiteral("PrintMode=%1").arg(printMode)
          << QStringLiteral("PrinterName=TSC_A") << QStringLiteral("[Fields]")
          << QStringLiteral("Delimiter=,") << QStringLiteral("EditPrice=%1").arg(editPrice)
          << QStringLiteral("EditPriceField=2") << QStringLiteral("ADPrice=5")
          << QStringLiteral("FieldCount=%1").arg(fieldCount);
    for (int i = 1; i <= fieldCount; ++i)
        lines << QStringLiteral("Field%1=F%1,1,10,1,0").arg(i, 2, 10, QLatin1Char('0'));
    writeSettings(lines);
}

app::AppContext ShellFixture::context(QStringList arguments) {
    app::AppContext c(state, window, messages, clock, clock, printers, dialog);
    c.arguments = std::move(arguments);
    c.libraryFactory = [this](const QString& name) {
        libraryNames.push_back(name);
        return std::make_unique<ForwardingLibrary>(library);
    };
    c.pageFactory = [this](const app::PrintDestination& destination) {
        pageDestinations.push_back(destination);
        return std::make_unique<KeptRecordingPage>(jobs);
    };
    c.today = QDate(2026, 12, 7);
    return c;
}

} // namespace pelmar::test
