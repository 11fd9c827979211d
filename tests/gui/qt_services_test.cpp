#include "shell/gui/qt_services.h"

#include "support/run_error_of.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace pelmar::gui {
namespace {

// Runs `act` on the modal dialog as soon as it is shown.
void whenModalShows(std::function<void(QWidget*)> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            act(modal);
        }
    });
    poll->start(10);
}

TEST(QtMessageBox, ShowsCaptionIconAndLineBreaks) {
    QWidget parent;
    QtMessageBox messages(&parent);
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    whenModalShows([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    common::Message message;
    message.text = QStringLiteral("來源格式檔尚未設定, 無法列印.\r\r請執行設定.");
    message.caption = QStringLiteral("自動列印");
    message.icon = common::MessageIcon::Exclamation;
    EXPECT_EQ(messages.show(message), common::MessageAnswer::Ok);
    EXPECT_EQ(title, QStringLiteral("自動列印"));
    EXPECT_EQ(text, QStringLiteral("來源格式檔尚未設定, 無法列印.\n\n請執行設定."));
    EXPECT_EQ(icon, QMessageBox::Warning);
}

TEST(QtMessageBox, YesNoQuestionDefaultsToNo) {
    QWidget parent;
    QtMessageBox messages(&parent);
    bool noIsDefault = false;
    whenModalShows([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        noIsDefault = box->defaultButton() == box->button(QMessageBox::No);
        box->button(QMessageBox::Yes)->click();
    });
    common::Message message;
    message.text = QStringLiteral("儲存設定?");
    message.icon = common::MessageIcon::Question;
    message.buttons = common::MessageButtons::YesNo;
    message.defaultAnswer = common::MessageAnswer::No;
    EXPECT_EQ(messages.show(message), common::MessageAnswer::Yes);
    EXPECT_TRUE(noIsDefault);
}

// A pump call runs what is pending and comes back soon: waits neither spin nor lag.
TEST(QtEventPump, RunsPendingEventsAndReturns) {
    QtEventPump pump(10);
    bool ran = false;
    QTimer::singleShot(0, [&ran] { ran = true; });
    QElapsedTimer elapsed;
    elapsed.start();
    pump.processEvents();
    EXPECT_TRUE(ran);
    EXPECT_LT(elapsed.elapsed(), 1000);
}

TEST(QtPrinterDialog, CancelIsError32755) {
    QWidget parent;
    QtPrinterDialog dialog(&parent);
    QString title;
    whenModalShows([&title](QWidget* modal) {
        title = modal->windowTitle();
        if (auto* shown = qobject_cast<QDialog*>(modal))
            shown->reject();
    });
    EXPECT_EQ(
        test::runErrorNumberOf([&] { dialog.choosePrinter(QStringLiteral("選擇條碼機Driver")); }),
        common::DialogCancelled);
    EXPECT_EQ(title, QStringLiteral("選擇條碼機Driver"));
}

} // namespace
} // namespace pelmar::gui
