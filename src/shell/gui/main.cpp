#include "common/file_names.h"
#include "shell/gui/frm_pelmar_chi.h"
#include "shell/gui/translations.h"
#include "shell/gui/window_controller.h"
#include "state/working_state.h"

#include <QApplication>

// pelmar [/T] [DATAFILE.TXT]: without /T the day's labels print automatically and the program
// ends; with /T the window stays open for test printing and setup.
int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    pelmar::gui::installChineseTranslations(application);
    // The window ends the program itself (menu, close box, end of a print).
    QApplication::setQuitOnLastWindowClosed(false);

    pelmar::state::WorkingState state;
    state.programFolder = pelmar::common::programFolder();

    pelmar::gui::FrmPelmarChi window(state);
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    pelmar::gui::WindowController controller(state, window, arguments);
    QObject::connect(&controller, &pelmar::gui::WindowController::programEnds, &application,
                     [](int status) { QApplication::exit(status); });

    int status = 0;
    if (controller.start(status))
        return status;
    return QApplication::exec();
}
