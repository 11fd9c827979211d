#pragma once

#include "common/message_box.h"
#include "common/run_error.h"
#include "format/format_problem.h"
#include "state/loaded_format.h"
#include "state/working_state.h"

#include <QString>
#include <QStringView>
#include <array>
#include <functional>
#include <optional>
#include <span>

namespace pelmar::format {

// How a load ended. On failure the message has been shown already; endProgram is set during
// automatic printing (CommandLine other than exactly "/T"), when the program must end. problems
// holds what the check of the whole format found (the errors that failed the load, and the
// warnings that the run tells).
struct FormatLoadResult {
    bool failed = false;
    int errorNumber = 0;
    bool endProgram = false;
    FormatProblems problems = {};
};

// One format line cut into its trimmed key and value; the views point into the line. number is
// the line's number in its file, counted from 1 (0 when it was not read from a file).
struct FormatLine {
    QStringView line;
    QStringView key;
    QStringView value;
    int number = 0;
};

// Positions of "=" and of the commas that a loader looks for are 16-bit: a character past
// this one of the line cannot be found.
inline constexpr qsizetype kLastSearchablePosition = 32767;

// Splits a line at its first "=": nullopt for a comment (apostrophe as the very first
// character) and for a line without "=". Throws RunError(6) when the "=" lies beyond the
// 32,767th character.
std::optional<FormatLine> splitFormatLine(QStringView line);

// Cuts the value at its first `commas` commas into commas + 1 trimmed fields; the last field
// is all the rest and may hold commas itself. False (nothing written) when a comma is missing or
// fields has no room for them. Throws RunError(6) when a required comma lies beyond the line's
// 32,767th character.
bool cutFields(const FormatLine& line, int commas, std::span<QString> fields);

// Cuts the value at its `commas`-th comma into two fields: everything before it (only the ends
// trimmed, inner blanks kept) and everything after it, trimmed. False when a comma is missing.
// Throws RunError(6) like cutFields.
bool cutHeadAndTail(const FormatLine& line, int commas, QString& head, QString& tail);

// Stores element as the next row of the table and counts it. Throws RunError(9) when the table
// holds 20 rows already; the table is left unchanged then.
template <class Element> void appendElement(state::ElementTable<Element>& table, Element element) {
    if (!table.append(std::move(element)))
        throw common::RunError(common::SubscriptOutOfRange);
}

// Sets the count of every table to 0 (rows stay as they were, unread).
template <class... Tables> void clearCounts(Tables&... tables) {
    ((tables.count = 0), ...);
}

// The members of an element in the order the format line gives them.
template <class Element, size_t N> using FieldOrder = std::array<QString Element::*, N>;

// When the line's key is `keyword`: cuts the value into the element's fields in `order` and
// appends the element (a line missing a comma stores nothing); an element with a member `line`
// keeps the line's number there. Returns whether the key matched.
template <class Element, size_t N>
bool takeElement(const FormatLine& line, QStringView keyword, state::ElementTable<Element>& table,
                 const FieldOrder<Element, N>& order) {
    if (line.key != keyword)
        return false;
    std::array<QString, N> fields;
    if (cutFields(line, static_cast<int>(N) - 1, fields)) {
        Element element;
        for (size_t i = 0; i < N; ++i)
            element.*order[i] = std::move(fields[i]);
        if constexpr (requires { element.line = line.number; })
            element.line = line.number;
        appendElement(table, std::move(element));
    }
    return true;
}

// Reads the format file state.formatFileName of the program folder line by line in the state's
// code page and hands each split line to onLine, and every other line (comments, blank lines,
// lines without "=") with its number to onOtherLine when one is given. A run-time error (thrown
// while opening or reading, by the split or by onLine) stops the read and is reported with the
// critical icon and the caption "發生非預期錯誤", naming the format file; run-time errors do not
// leave it. With text, the lines are read from those bytes (the file's content, saved or not)
// instead; messages still name the format file.
FormatLoadResult
readFormatFile(state::WorkingState& state, common::MessageBox& messageBox,
               const std::function<void(const FormatLine&)>& onLine,
               const std::function<void(int number, QStringView text)>& onOtherLine = {},
               const QByteArray* text = nullptr);

} // namespace pelmar::format
