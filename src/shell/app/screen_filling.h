#pragma once

#include "state/setup_save.h"
#include "state/working_state.h"

#include <QString>
#include <QStringList>

namespace pelmar::app {

// Status texts of lblMsg while the operator screens are used.
inline const QString kTestPrintScreenStatus =
    QStringLiteral("[選擇資料鈕-選擇來源文字檔] [試印鈕-測試列印] [離開鈕-離開試印]");
inline const QString kSetupScreenStatus = QStringLiteral("[儲存-儲存設定] [離開-離開設定]");
inline const QString kScreenLeftStatus =
    QStringLiteral("[試印-測試列印] [設定-設定來源檔案] [離開-結束執行]");

// What the test-print screen shows when it opens.
struct TestPrintScreenFill {
    QString dataSourceName; // lblDataSourceName: TextFileName
    QStringList formats;    // ListLabel: LabelNames(1..LabelCount)
    bool editFormatEnabled; // cmdEditFormat: there are formats
    bool testPrintEnabled;  // cmdTestPrintOk: there are formats and records
    bool priceEnabled;      // txtADPrice1: EditPrice is not 0
    QString priceText;      // txtADPrice1: ADPrice
};

// The filling of the test-print screen from the working state.
TestPrintScreenFill testPrintScreenFill(const state::WorkingState& state);

// What the setup screen shows when it opens: the values the save reads, the field editor and
// the two counts.
struct SetupScreenFill {
    state::SetupScreenValues values;
    bool eraseSpace = true;    // chkEraseSpace ticked
    bool eraseDecimal = false; // chkEraseDecimal unticked
    QString fieldCountText;    // lblFldCount: FieldCount
    QString labelCountText;    // lblLabelCount: LabelCount
};

// The entry of fldList for field definition row of the state: its five parts joined by ",".
QString fieldEntryOfRow(const state::WorkingState& state, int row);

// Opening the setup screen: the filling from the working state; the selections of both lists
// (SelectedFormatIndex, SelectedFieldIndex) start again at 0 because the lists are refilled.
SetupScreenFill prepareSetupScreen(state::WorkingState& state);

} // namespace pelmar::app
