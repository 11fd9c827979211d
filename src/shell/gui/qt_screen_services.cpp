#include "shell/gui/qt_screen_services.h"

#include "common/run_error.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QProcess>

namespace pelmar::gui {

QString QtFileOpenDialog::chooseFile(const QString& title, const QString& filterDescription,
                                     const QString& filterPattern, const QString& initialPath) {
    QFileDialog dialog(m_parent, title);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The shown text is the description alone; the pattern behind it takes both letter cases.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilter(filterDescription + QStringLiteral(" (") + filterPattern + u' ' +
                         filterPattern.toLower() + u')');
    const QFileInfo start(initialPath);
    if (start.isDir()) {
        dialog.setDirectory(start.absoluteFilePath());
    } else if (!initialPath.isEmpty()) {
        dialog.setDirectory(start.absolutePath());
        dialog.selectFile(start.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        throw common::RunError(common::DialogCancelled);
    return dialog.selectedFiles().front();
}

bool QtProgramStarter::startDetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

} // namespace pelmar::gui
