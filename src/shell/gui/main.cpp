#include "common/allocator_tuning.h"
#include "common/file_names.h"
#include "shell/app/exit_status.h"
#include "shell/app/program_arguments.h"
#include "shell/gui/frm_pelmar_chi.h"
#include "shell/gui/translations.h"
#include "shell/gui/window_controller.h"
#include "state/working_state.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

namespace {

void write(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

// A desktop the refusal can be shown on too: whoever started pelmar from an icon sees no
// standard error.
bool hasDesktop() {
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return false;
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

// Arguments that pelmar refuses: said on standard error and, on a desktop, in a message box.
int refuse(int argc, char* argv[], const QString& refusal) {
    write(stderr, QStringLiteral("pelmar: ") + refusal + u'\n' + pelmar::app::pelmarUsage());
    if (hasDesktop()) {
        QApplication application(argc, argv);
        pelmar::gui::installChineseTranslations(application);
        QMessageBox::critical(nullptr, QStringLiteral("發生錯誤"),
                              refusal + QStringLiteral("\n\n未列印任何標籤."));
    }
    return pelmar::app::kExitBadSettings;
}

} // namespace

// pelmar [/T] [DATAFILE]: without /T the day's labels print automatically and the program
// ends; with /T the window stays open for test printing and setup.
int main(int argc, char* argv[]) {
    pelmar::common::keepLargeBuffersForReuse();
    // Read before the window exists: --help and --version need no display, and a refused
    // argument must not reach start-up.
    QStringList given;
    for (int i = 1; i < argc; ++i)
        given << QString::fromLocal8Bit(argv[i]);
    const pelmar::app::ProgramArguments launch =
        pelmar::app::readProgramArguments(given, [] { return pelmar::common::programFolder(); });
    switch (launch.ask) {
    case pelmar::app::ArgumentsAsk::Help:
        write(stdout, pelmar::app::pelmarUsage());
        return pelmar::app::kExitPrinted;
    case pelmar::app::ArgumentsAsk::Version:
        write(stdout, pelmar::app::versionLine(QStringLiteral("pelmar")) + u'\n');
        return pelmar::app::kExitPrinted;
    case pelmar::app::ArgumentsAsk::Refuse:
        return refuse(argc, argv, launch.refusal);
    case pelmar::app::ArgumentsAsk::Start:
        break;
    }

    QApplication application(argc, argv);
    pelmar::gui::installChineseTranslations(application);
    // The window ends the program itself (menu, close box, end of a print).
    QApplication::setQuitOnLastWindowClosed(false);

    pelmar::state::WorkingState state;
    state.programFolder = pelmar::common::programFolder();

    pelmar::gui::FrmPelmarChi window(state);
    pelmar::gui::WindowController controller(state, window, launch.arguments);
    controller.context().dataFileOverride = launch.dataFile;
    QObject::connect(&controller, &pelmar::gui::WindowController::programEnds, &application,
                     [](int status) { QApplication::exit(status); });

    int status = 0;
    if (controller.start(status))
        return status;
    return QApplication::exec();
}
