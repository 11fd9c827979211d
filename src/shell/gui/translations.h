#pragma once

class QCoreApplication;

namespace pelmar::gui {

// Loads Qt's own Traditional Chinese texts (qtbase_zh_TW.qm from Qt's translations folder) into
// the application, so message box buttons and the file and printer dialogs speak the window's
// language. Returns false when the file is missing (the texts then stay English).
bool installChineseTranslations(QCoreApplication& application);

} // namespace pelmar::gui
