#pragma once

#include "shell/app/app_context.h"

#include <QString>

namespace pelmar::app {

// Controls of the test-print screen that the test-print button reads or focuses.
enum class TestPrintFocus { ListLabel, CmdSelDataSource, TxtTestPrintQty };

// The test-print screen as its button sees it.
class TestPrintScreen {
public:
    virtual ~TestPrintScreen() = default;
    // The first entry of the format list ListLabel (empty when the list is empty).
    virtual QString firstListedFormat() const = 0;
    // The text of the quantity box txtTestPrintQty.
    virtual QString quantityText() const = 0;
    virtual void setFocus(TestPrintFocus target) = 0;
};

inline const QString kTestPrintCaption = QStringLiteral("試印");
inline const QString kTestPrintErrorCaption = QStringLiteral("試印->發生非預期錯誤");
inline const QString kNoTestFormatMessage =
    QStringLiteral("欲試印標籤格式檔尚未選擇無法試印, 請選擇.");
inline const QString kNoTestDataMessage =
    QStringLiteral("欲試試資料來源檔尚未選擇無法試印, 請選擇.");
inline const QString kNoTestQuantityMessage =
    QStringLiteral("欲試印張數尚未輸入無法試印, 請輸入張數.");

// How a test print ended.
enum class TestPrintEnd { NothingToDo, MissingInput, Printed, FormatError, DialogCancelled, Error };

struct TestPrintResult {
    TestPrintEnd end = TestPrintEnd::NothingToDo;
    int errorNumber = 0;
    // The format loader asked to end the program (automatic mode only).
    bool programEnds = false;
};

// The status line after a test print: how many labels went to which printer, for example
// "已試印 2 張: TSC Preview".
QString testPrintedStatus(const QString& quantityText, const QString& printer);

// The test-print button: prints the current record with the chosen format (the only one when
// LabelCount is 1) as many times as the quantity box says, by the print mode's loader and test
// run, and says on the status line what was printed where. Missing choices are said with caption
// "試印"; a cancelled printer dialog ends the click silently; other errors are reported here
// ("試印->發生非預期錯誤"). Nothing throws.
TestPrintResult cmdTestPrintOk_Click(AppContext& context, TestPrintScreen& screen);

} // namespace pelmar::app
