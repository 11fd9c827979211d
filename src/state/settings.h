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
// A TextFileName that the next start would read differently (readBackFault) writes nothing: the
// file keeps its old values and RunError(5) names the key, the value, the reason and the name
// kept. Throws RunError(75) when the file cannot be written; nothing is written then either.
void SaveRunSettings(WorkingState& state);

// The most bytes of a value that the next start reads back whole (its read buffer less the zero
// byte): TextFileName and the LabelName keys, PrinterName and the Field keys.
constexpr int kLongestFileName = 127;
constexpr int kLongestPrinterName = 63;

// True when the settings file can hold the text on its line: the code page holds every
// character, and there is no line break and no zero character.
bool isStorable(const WorkingState& state, const QString& text);

// Why the next start would not read the text back as it is from a key that reads at most
// longestBytes bytes: "含有無法存入設定檔的字元" or "超過 N 位元組"; empty when it reads back
// whole.
QString readBackFault(const WorkingState& state, const QString& text, int longestBytes);

// The bytes of a text in the working state's code page. Throws RunError(5) naming the text when
// the code page cannot hold one of its characters.
QByteArray encodeExactly(const WorkingState& state, const QString& text);

// True when the code page holds every character of the text.
bool isRepresentable(const WorkingState& state, const QString& text);

// Splits a field definition into its five parts: four times the text before the next comma,
// then the rest, commas included. Throws RunError(5) naming the key for fewer than four commas.
std::array<QString, 5> splitFieldDefinition(const QString& definition, const QString& key);

} // namespace pelmar::state
