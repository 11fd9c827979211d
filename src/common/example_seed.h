#pragma once

#include <QString>

namespace pelmar::common {

// Gives an empty program folder the files of an example shop: when folder holds no Pelmar.INI
// (in any letter case) and example does, copies every file of example (not its subfolders) that
// folder lacks, never overwriting one, and makes a relative TextFileName of the copied
// Pelmar.INI absolute in folder (when the file's code page can write that path). Returns true
// when it copied the settings file. Never throws: a file that cannot be copied is left out.
bool seedFromExample(const QString& folder, const QString& example);

} // namespace pelmar::common
