#pragma once

#include "shell/app/app_context.h"

#include <QString>

namespace pelmar::app {

// Status texts of lblMsg.
inline const QString kInteractiveStatus =
    QStringLiteral("[試印-測試列印] [設定-設定來源檔案及機型] [離開-結束執行]");
inline const QString kAutomaticStatus = QStringLiteral("[自動列印]");

// Caption of the start-up warnings and of the fields message.
inline const QString kAutomaticCaption = QStringLiteral("自動列印");
// Caption of start-up's error messages.
inline const QString kStartupErrorCaption = QStringLiteral("發生錯誤");
inline const QString kNoPrinterMessage =
    QStringLiteral("條碼機驅動程式未安裝, 請至<開始->設定->印表機>新增.");
// The message of no printer: kNoPrinterMessage, then how Linux makes one (a CUPS queue described
// with TSC, or a line of section [Ports] of the settings file of programFolder).
QString noPrinterMessage(const QString& programFolder);
// The message of a program folder without its settings file, naming the file.
QString missingSettingsMessage(const QString& programFolder);
inline const QString kFieldsNotSetMessage = QStringLiteral("欄位尚未設定無法列印, 請至設定項設定.");

// Warning A (no format file chosen) and warning B (no data file): three sentences with two
// carriage returns between them.
QString warningNoFormat();
QString warningNoDataFile();

// The device names of the installed printers whose device name holds "TSC" (upper case only),
// in the system's order.
QStringList tscPrinters(const state::WorkingState& state, PrinterDirectory& directory);

// The window's load event: reads the command line and the settings, detects the printers, and
// either prepares interactive mode ("/T"), or prints automatically: at once for one format
// without price adjustment, otherwise through the print panel. Every run-time error is reported
// here ("發生錯誤"); nothing throws. The result says whether the program ends and why.
FlowResult Form_Load(AppContext& context);

} // namespace pelmar::app
