#pragma once

#include "state/working_state.h"

#include <QByteArray>
#include <QString>
#include <array>

namespace pelmar::state {

// Path of the settings file of a program folder: an existing file named Pelmar.INI in any
// letter case, otherwise folder + "/Pelmar.INI".
QString settingsFilePath(const QString& programFolder);

// Two-digit index of a numbered key: "Field" and 3 give "Field03"; 100 and up keep every digit.
QByteArray numberedKey(const char* prefix, int index);

// Reads Pelmar.INI of state.programFolder into the settings of the working state: first the
// code page ([Files] CodePage, default CP950) and the printers of section [Ports], then every
// key in its order, defaults for what is missing. Throws RunError(5) for an unknown code page or
// a field definition with fewer than four commas, RunError(6) for a number out of range and
// RunError(75) for a file that cannot be read; values read before the failure are kept.
void LoadSettings(WorkingState& state);

// Writes [Files] TextFileName and then [Fields] ADPrice (decimal text) from the working state.
// Throws RunError(5) for a file name the code page cannot hold and RunError(75) when the file
// cannot be written; nothing is written then.
void SaveRunSettings(WorkingState& state);

// The bytes of a text in the working state's code page. Throws RunError(5) naming the text when
// the code page cannot hold one of its characters.
QByteArray encodeExactly(const WorkingState& state, const QString& text);

// True when the code page holds every character of the text.
bool isRepresentable(const WorkingState& state, const QString& text);

// Splits a field definition into its five parts: four times the text before the next comma,
// then the rest, commas included. Throws RunError(5) naming the key for fewer than four commas.
std::array<QString, 5> splitFieldDefinition(const QString& definition, const QString& key);

} // namespace pelmar::state
