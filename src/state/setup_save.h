#pragma once

#include "common/message_box.h"
#include "state/working_state.h"

#include <QString>
#include <QStringList>

namespace pelmar::state {

// What the save button of the setup screen reads from the screen.
struct SetupScreenValues {
    QStringList fldList;       // field definitions, "name,start,width,eraseBlanks,eraseDecimals"
    QStringList fmtList;       // format file names to print, in order
    int optPrintMode = 0;      // index of the selected print mode option
    QString cboPrinter;        // printer name
    QString txtLabelAcross;    // labels across
    int optFieldCut = 0;       // index of the selected cutting option: 0 delimiter, 1 positions
    QString txtDelimiter;      // delimiter
    int chkEditPrice = 0;      // 0 clear, 1 ticked
    QString txtEditPriceField; // number of the price field
    QString txtFileName;       // data file path
};

// The control that gets the input focus after a refused save.
enum class SetupFocus {
    None,
    TxtFldName,
    FldList,
    FileList,
    FmtList,
    TxtLabelAcross,
    TxtDelimiter,
    CboPrinter,
    TxtFileName,
};

struct SetupSaveResult {
    // True when the working state and the file were updated: the caller then sets the tooltip
    // of lblPrintItem to printerToolTip, empties ListLabel, shows the status line, enables the
    // menus, hides the setup screen and re-reads a named data file.
    bool saved = false;
    SetupFocus focus = SetupFocus::None;
    QString printerToolTip;
};

// The save button of the setup screen without the window: checks the screen values (messages
// through messages), asks for confirmation, then writes the settings file in one replacement
// and updates the working state. A refused check or any answer but Yes changes nothing.
// Throws RunError(6) when txtLabelAcross or txtEditPriceField is out of range and RunError(75)
// when the file cannot be read or written; nothing is changed then either.
SetupSaveResult saveSetup(WorkingState& state, const SetupScreenValues& screen,
                          common::MessageBox& messages);

} // namespace pelmar::state
