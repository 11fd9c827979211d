#include "shell/app/command_line.h"

#include "common/numbers.h"

namespace pelmar::app {

QString normalizeCommandLine(const QStringList& arguments) {
    return common::trimBlanks(arguments.join(u' ')).toUpper();
}

} // namespace pelmar::app
