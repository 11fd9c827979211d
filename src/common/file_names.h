#pragma once

#include <QString>

namespace pelmar::common {

// The program folder: $PELMAR_HOME when set; otherwise the folder of the running executable,
// except for an installed program, which uses $XDG_DATA_HOME/pelmar (created on first use and
// then given the installed example shop).
QString programFolder();

// folder + "/" + name, with backslashes of name taken as path separators.
QString joinPath(const QString& folder, const QString& name);

// Finds a file by a name made for a file system that ignores letter case: the exact path when
// it exists, otherwise each component matched ignoring ASCII case (an exact match wins, among
// several the first in byte order). Backslashes are separators. Returns the empty string when
// nothing matches.
QString resolveFileName(const QString& path);

// The data file that TextFileName names: a relative name is taken from the current folder when
// the file is there, otherwise from the program folder (a desktop icon or a scheduled job starts
// the program anywhere). Other names are returned as they are.
QString dataFilePath(const QString& textFileName, const QString& programFolder);

// resolveFileName, throwing RunError(53) with the name when the file is missing.
QString resolveExistingFile(const QString& path);

} // namespace pelmar::common
