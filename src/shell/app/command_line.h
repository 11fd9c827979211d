#pragma once

#include <QString>
#include <QStringList>

namespace pelmar::app {

// The command line as the program keeps it: the arguments joined by blanks, outer blanks
// removed, in upper case ("/t" counts as "/T"; a data file path becomes C:\DATA\ITEMS.TXT).
QString normalizeCommandLine(const QStringList& arguments);

} // namespace pelmar::app
