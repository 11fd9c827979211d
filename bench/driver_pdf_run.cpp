// Driver-mode print run of a whole data file into one PDF file, without the pause between
// labels: loads the driver format and the data file like the program and runs
// PrintLabels_Driver. Used by driver_vs_glabels.sh.
//
//   bench_driver_pdf_run FOLDER FORMAT.FMT DATA.TXT OUT.PDF FIELDS [DELIMITER]
#include "common/message_box.h"
#include "data/data_file_reader.h"
#include "format/driver_format_loader.h"
#include "print_driver/print_labels_driver.h"
#include "print_driver/qt_printer_page.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <cstdio>

namespace {

using namespace pelmar;

class StderrMessageBox : public common::MessageBox {
public:
    common::MessageAnswer show(const common::Message& message) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(message.caption), qPrintable(message.text));
        ++shown;
        return common::MessageAnswer::Ok;
    }
    int shown = 0;
};

class SilentView : public common::RunView {
public:
    void setStatusMessage(const QString&) override {}
    void setPrintItem(const QString&) override {}
    void setPrintData(const QString&) override {}
    void showGridRow(int) override {}
};

// A clock that jumps three seconds at every reading, so each pause ends at once.
class JumpingClock : public common::Clock, public common::EventPump {
public:
    std::chrono::steady_clock::time_point now() override {
        m_now += std::chrono::seconds(3);
        return m_now;
    }
    void processEvents() override {}

private:
    std::chrono::steady_clock::time_point m_now;
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 6) {
        std::fprintf(stderr, "usage: %s FOLDER FORMAT.FMT DATA.TXT OUT.PDF FIELDS [DELIMITER]\n",
                     argv[0]);
        return 2;
    }
    state::WorkingState state;
    state.programFolder = args[1];
    state.formatFileName = args[2];
    state.textFileName = args[3];
    state.fieldCount = static_cast<std::int16_t>(args[5].toInt());
    state.field.recreate(state.fieldCount + 1, 5);
    state.delimiter = args.size() > 6 ? args[6] : QStringLiteral(",");
    state.codePage = common::CodePage("UTF-8");
    state.commandLine = QStringLiteral("/T");
    state.across = 1;

    StderrMessageBox messages;
    QElapsedTimer timer;
    timer.start();
    if (data::LoadDataFile(state, messages).failed)
        return 1;
    if (format::LoadFormat_Driver(state, messages).failed)
        return 1;
    const qint64 loaded = timer.elapsed();

    SilentView view;
    JumpingClock clock;
    print_driver::QtPrinterPage page(print_driver::makePdfFileSink(args[4]));
    print_driver::DriverRunContext context{
        state, messages, view, clock, clock, page, QDate::currentDate()};
    const print_driver::DriverRunResult result = print_driver::PrintLabels_Driver(context);
    std::printf("records %d, jobs %d, load %lld ms, total %lld ms\n", state.recordCount,
                result.labelsPrinted, loaded, timer.elapsed());
    return result.outcome == print_driver::DriverRunResult::Outcome::Completed ? 0 : 1;
}
