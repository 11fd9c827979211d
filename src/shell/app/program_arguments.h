#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace pelmar::app {

// What the arguments of pelmar ask for.
enum class ArgumentsAsk {
    Start,   // start-up with the arguments (and the data file) below
    Help,    // the usage on standard output; nothing else
    Version, // the version on standard output; nothing else
    Refuse,  // the refusal and the usage on standard error, exit status 2; nothing printed
};

struct ProgramArguments {
    ArgumentsAsk ask = ArgumentsAsk::Start;
    // What start-up reads as its command line: -T and -t written as /T.
    QStringList arguments;
    // The full path of an existing data file named without ".TXT" (found in the current folder,
    // then the program folder); start-up takes it in place of TextFileName. Empty: none.
    QString dataFile;
    // Why the arguments are refused, in Traditional Chinese, naming the argument.
    QString refusal;
};

// Reads the arguments of pelmar (without the program name). --help or -h anywhere asks for the
// usage, --version for the version; -T and -t are the switch /T; any other argument that starts
// with "-" is refused. Without /T the other arguments, joined by blanks, must name an existing
// file, found as TextFileName is (a relative name in the current folder, then in the folder that
// programFolder gives; letter case ignored), or they are refused: a name holding ".TXT" is left
// to start-up, which takes the command line as the data file, any other is given as dataFile.
// Under /T they are not used and not looked at. Throws nothing.
ProgramArguments readProgramArguments(const QStringList& arguments,
                                      const std::function<QString()>& programFolder);

// The usage text of pelmar (several lines, ending in a line break).
QString pelmarUsage();

// "PROGRAM VERSION": the program's name and the version of this build, without a line break.
QString versionLine(const QString& program);

} // namespace pelmar::app
