#include "shell/app/program_arguments.h"

#include "common/file_names.h"
#include "common/numbers.h"
#include "shell/app/command_line.h"
#include "state/working_state.h"

#include <QDir>
#include <QFileInfo>

namespace pelmar::app {

namespace {

ProgramArguments refused(const QString& why) {
    ProgramArguments result;
    result.ask = ArgumentsAsk::Refuse;
    result.refusal = why;
    return result;
}

bool hasInteractiveSwitch(const QStringList& arguments) {
    state::WorkingState probe;
    probe.commandLine = normalizeCommandLine(arguments);
    return probe.commandLineHasT();
}

// The file that the command line names, or the refusal.
ProgramArguments findDataFile(ProgramArguments result, const QString& named,
                              const QString& programFolder) {
    const QString found = common::resolveFileName(common::dataFilePath(named, programFolder));
    if (!found.isEmpty() && QFileInfo(found).isDir())
        return refused(QStringLiteral("命令列的「%1」是資料夾, 不是資料檔.").arg(named));
    if (found.isEmpty()) {
        const QString where =
            QDir::isAbsolutePath(named)
                ? QString()
                : QStringLiteral(" (相對的名稱在目前的資料夾 %1 與程式資料夾 %2 中尋找)")
                      .arg(QDir::currentPath(), programFolder);
        return refused(
            QStringLiteral("命令列的「%1」不是選項, 也找不到這個資料檔%2.").arg(named, where));
    }
    // A ".TXT" name stays the command line's, as start-up has always taken it.
    if (!named.toUpper().contains(QStringLiteral(".TXT")))
        result.dataFile = QFileInfo(found).absoluteFilePath();
    return result;
}

} // namespace

ProgramArguments readProgramArguments(const QStringList& arguments,
                                      const std::function<QString()>& programFolder) {
    ProgramArguments result;
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        result.ask = ArgumentsAsk::Help;
        return result;
    }
    if (arguments.contains(QStringLiteral("--version"))) {
        result.ask = ArgumentsAsk::Version;
        return result;
    }
    QStringList named;
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("-T") || argument == QLatin1String("-t")) {
            result.arguments << QStringLiteral("/T");
            continue;
        }
        if (argument.startsWith(u'-'))
            return refused(QStringLiteral("不明的選項「%1」.").arg(argument));
        result.arguments << argument;
        named << argument;
    }
    if (hasInteractiveSwitch(result.arguments))
        return result;
    const QString name = common::trimBlanks(named.join(u' '));
    if (name.isEmpty())
        return result;
    return findDataFile(result, name, programFolder());
}

QString pelmarUsage() {
    return QStringLiteral(
        "usage: pelmar [DATAFILE]      print the day's labels and end\n"
        "       pelmar /T              open the window: test print and setup (also -T, /t)\n"
        "       pelmar --help | -h     this text\n"
        "       pelmar --version       the version\n"
        "Without /T the data file is DATAFILE (a name with .TXT, or any existing file), else\n"
        "TextFileName of Pelmar.INI; a relative name is taken from the current folder, else\n"
        "from the program folder. Any other option, or a DATAFILE that does not exist, is\n"
        "refused with exit status 2 and nothing is printed. Exit status as pelmar-print's\n"
        "(see pelmar-print --help).\n");
}

QString versionLine(const QString& program) {
    return program + u' ' + QStringLiteral(PELMAR_VERSION);
}

} // namespace pelmar::app
