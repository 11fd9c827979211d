#pragma once

#include "shell/app/watch_claims.h"

#include <QString>
#include <functional>

namespace pelmar::app {

// The folders a watched folder keeps its files in while and after they print.
inline constexpr char kWorkFolder[] = "work";
inline constexpr char kDoneFolder[] = "done";
inline constexpr char kErrorFolder[] = "error";
// What an error file's reason file adds to its name.
inline constexpr char kReasonSuffix[] = ".reason.txt";

// The regular files directly in folder (links, folders and others left alone), or why the folder
// could not be read. Never throws.
FolderScan scanFolder(const QString& folder);

// The first of name, "stem-2.ext", "stem-3.ext", ... that `taken` refuses; a till may send the
// same name every day, and a file that printed is never overwritten.
QString freeName(const QString& name, const std::function<bool(const QString&)>& taken);

// Creates the work, done and error folders of a watched folder where missing. Throws
// RunError(75) naming the folder that cannot be made.
void makeWatchFolders(const QString& folder);

// Claims a complete file: renames folder/name into folder/work/ (under a free name) and flushes
// both folders, so that a claim survives a crash and a power cut. The path in work/, or an empty
// text when the file is gone (its writer took it back). Throws RunError(75) for any other
// failure; the file then stays where it was.
QString claimFile(const QString& folder, const QString& name);

// Moves a printed file from work/ into done/ (printed) or error/ (not printed), under a name used
// by neither, and flushes the folders; a reason (always given for error/, and for done/ when
// records are in doubt) goes into NAME.reason.txt beside it, UTF-8. The path it got. Throws
// RunError(75); the file then stays in work/.
QString fileAway(const QString& folder, const QString& workPath, bool printed,
                 const QString& reason);

} // namespace pelmar::app
