#pragma once

#include "common/message_box.h"
#include "format/element_check.h"
#include "format/format_file.h"
#include "format/format_problem.h"
#include "state/loaded_format.h"
#include "state/working_state.h"

#include <QString>
#include <QStringView>
#include <vector>

namespace pelmar::format {

// Collects the lines of one format file as a loader reads them, and then checks the format
// whole: the label settings the mode needs (as the load left them: a setting the file does not
// give is kept from the format loaded before), every element line, keys the mode does not know
// and lines without "=". A format editor can feed it the lines of a text it shows.
class FormatChecker {
public:
    FormatChecker(FormatMode mode, QString programFolder)
        : m_mode(mode), m_programFolder(std::move(programFolder)) {}

    // A line split at its "=" (its views are copied).
    void addLine(const FormatLine& line);
    // A line that splitFormatLine did not take (a comment, a blank line or a line without "=");
    // number counts from 1.
    void addOtherLine(int number, QStringView text);

    // Every problem of the lines given, in line order (problems without a line last).
    FormatProblems problems(const state::LabelSettings& effective) const;

private:
    struct Entry {
        int number;
        QString key;
        QString value;
    };

    void checkSettings(const state::LabelSettings& effective, LabelArea& area,
                       FormatProblems& out) const;
    void checkKey(const Entry& entry, FormatProblems& out) const;
    int lastLineOf(QStringView key) const;

    FormatMode m_mode;
    QString m_programFolder;
    std::vector<Entry> m_lines;
    FormatProblems m_otherLines;
};

// Ends a load: when the file was read, the checker's problems are looked at. Errors fail the
// load and are shown in one message (critical icon, caption "發生非預期錯誤", the problems, two
// CRs, "格式檔名=" and the name); the program is to end unless CommandLine is exactly "/T".
// Warnings are only returned, for the run to tell. A failed read is returned as it is.
FormatLoadResult finishLoad(state::WorkingState& state, common::MessageBox& messageBox,
                            FormatLoadResult read, const FormatChecker& checker);

// Reads the format file state.formatFileName (or, with text, those bytes as its content), hands
// each split line to `take`, then checks the format whole for `mode` and ends the load as
// finishLoad does.
FormatLoadResult loadChecked(state::WorkingState& state, common::MessageBox& messageBox,
                             FormatMode mode, void (*take)(state::LoadedFormat&, const FormatLine&),
                             const QByteArray* text = nullptr);

} // namespace pelmar::format
