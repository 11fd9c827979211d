#pragma once

#include "shell/app/data_source_command.h"
#include "shell/app/format_lists.h"

class QWidget;

namespace pelmar::gui {

// The file-open dialog as QFileDialog over the window. The filter's pattern matches letter case
// both ways (the names were made for a file system that ignores it); a file as starting place is
// shown selected in its folder. Throws RunError(32755) when cancelled.
class QtFileOpenDialog : public app::FileOpenDialog {
public:
    explicit QtFileOpenDialog(QWidget* parent) : m_parent(parent) {}
    QString chooseFile(const QString& title, const QString& filterDescription,
                       const QString& filterPattern, const QString& initialPath) override;

private:
    QWidget* m_parent;
};

// Starts programs detached (QProcess::startDetached: no shell, no waiting).
class QtProgramStarter : public app::ProgramStarter {
public:
    bool startDetached(const QString& program, const QStringList& arguments) override;
};

} // namespace pelmar::gui
