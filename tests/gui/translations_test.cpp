#include "shell/gui/translations.h"

#include "shell/gui/qt_services.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace pelmar::gui {
namespace {

// The buttons of a message box as the operator reads them.
QStringList buttonTexts(common::MessageButtons buttons) {
    QStringList texts;
    QTimer::singleShot(0, [&texts] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        for (QAbstractButton* button : box->buttons())
            texts << button->text().remove(u'&');
        box->reject();
    });
    QtMessageBox messages(nullptr);
    common::Message message;
    message.text = QStringLiteral("儲存設定?");
    message.caption = QStringLiteral("儲存設定");
    message.buttons = buttons;
    messages.show(message);
    texts.sort();
    return texts;
}

TEST(Translations, MessageBoxesAndDialogsSpeakTraditionalChinese) {
    ASSERT_TRUE(installChineseTranslations(*QCoreApplication::instance()))
        << "qtbase_zh_TW.qm missing: scripts/setup installs qt6-translations-l10n";
    EXPECT_EQ(buttonTexts(common::MessageButtons::Ok), QStringList{QStringLiteral("確定")});
    const QStringList yesNo = buttonTexts(common::MessageButtons::YesNo);
    EXPECT_FALSE(yesNo.contains(QStringLiteral("Yes"))) << yesNo.join(u' ').toStdString();
    EXPECT_FALSE(yesNo.contains(QStringLiteral("No")));
    EXPECT_EQ(yesNo.size(), 2);
    // The file dialog's own texts come from the same catalogue.
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "Open"), QStringLiteral("Open"));
}

} // namespace
} // namespace pelmar::gui
