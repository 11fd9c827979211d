#include "gui/screens_fixture.h"
#include "shell/app/screen_filling.h"
#include "shell/app/startup.h"
#include "shell/gui/print_panel.h"
#include "shell/gui/text_fit.h"
#include "shell/gui/window_layout.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <algorithm>
#include <gtest/gtest.h>

namespace pelmar::gui {
namespace {

using namespace screens_test;

// What a control shows, line by line, as wide as drawn in its own font, against the room the
// control has for it; every text that does not fit is listed.
QStringList cutTexts(const QWidget& screen) {
    QStringList cut;
    const auto check = [&cut](const QWidget* control, const QString& text, int room) {
        const QFontMetrics metrics(control->font());
        for (QString line : text.split(u'\n')) {
            line.remove(u'&');
            if (metrics.horizontalAdvance(line) > room)
                cut << QStringLiteral("%1 \"%2\": %3 > %4")
                           .arg(control->objectName(), line)
                           .arg(metrics.horizontalAdvance(line))
                           .arg(room);
        }
        const int lines = static_cast<int>(text.count(u'\n')) + 1;
        if (lines * metrics.height() > control->height() + 2)
            cut << QStringLiteral("%1: %2 line(s) taller than %3")
                       .arg(control->objectName())
                       .arg(lines)
                       .arg(control->height());
    };
    for (const QWidget* control : screen.findChildren<QWidget*>()) {
        if (!control->isVisibleTo(&screen) || control->objectName().isEmpty())
            continue;
        if (const auto* label = qobject_cast<const QLabel*>(control)) {
            if (!label->wordWrap())
                check(label, label->text(), label->contentsRect().width());
        } else if (const auto* box = qobject_cast<const QAbstractButton*>(control)) {
            const bool indicator = qobject_cast<const QCheckBox*>(box) != nullptr ||
                                   qobject_cast<const QRadioButton*>(box) != nullptr;
            const int room =
                indicator ? box->width() - box->style()->pixelMetric(QStyle::PM_IndicatorWidth) -
                                box->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing)
                          : captionRoom(box);
            check(box, box->text(), room);
        } else if (const auto* list = qobject_cast<const QListWidget*>(control)) {
            for (int row = 0; row < list->count(); ++row)
                check(list, list->item(row)->text(), list->viewport()->width() - 4);
        }
    }
    return cut;
}

class TextsFit : public ScreensFixture,
                 public ::testing::WithParamInterface<std::pair<double, double>> {
protected:
    void SetUp() override {
        start({.records = 3, .labelCount = 2, .editPrice = 1});
        m_window->resizeClientTwips(GetParam().first, GetParam().second);
    }
    void expectWhole(const QWidget& screen) {
        EXPECT_EQ(cutTexts(screen), QStringList()) << screen.objectName().toStdString();
    }
};

TEST_P(TextsFit, OnEveryScreen) {
    m_window->mnuSetup()->trigger();
    expectWhole(*gate());
    enterPassword(QStringLiteral("QJX"));
    expectWhole(*setup());
    expectWhole(*fields());
    expectWhole(*formats());
    setup()->cmdSetupCancel()->click();
    openTestPrint();
    expectWhole(*testPrint());
    m_window->FramePrint()->listSelectLabel()->addItems(
        {QStringLiteral("PRICE.FMT"), QStringLiteral("SHELF.FMT")});
    expectWhole(*m_window->FramePrint());
}

TEST_P(TextsFit, EveryStatusText) {
    for (const QString& text :
         {app::kInteractiveStatus, app::kAutomaticStatus, app::kTestPrintScreenStatus,
          app::kSetupScreenStatus, app::kScreenLeftStatus}) {
        m_window->setStatusMessage(text);
        QLabel* status = m_window->lblMsg();
        EXPECT_LE(QFontMetrics(status->font()).horizontalAdvance(text),
                  status->contentsRect().width())
            << text.toStdString();
        EXPECT_GE(status->font().pointSizeF(), minimumStatusPoints);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, TextsFit,
                         ::testing::Values(std::pair{firstClientWidth, firstClientHeight},
                                           std::pair{designedClientWidth, designedClientHeight}));

// Inside the setup screen's groups every caption, option and list is in the window's font (the
// groups' own look must not replace it).
TEST_F(ScreensFixture, GroupsOfTheSetupScreenKeepTheWindowsFont) {
    start();
    for (const QGroupBox* group :
         {static_cast<QGroupBox*>(fields()), static_cast<QGroupBox*>(formats())}) {
        for (const QWidget* control : group->findChildren<QWidget*>()) {
            if (control->objectName().isEmpty() || control->objectName().startsWith(u'q') ||
                qobject_cast<const QPushButton*>(control))
                continue;
            EXPECT_EQ(control->font().family(), QStringLiteral("新細明體"))
                << control->objectName().toStdString();
            EXPECT_TRUE(control->font().bold()) << control->objectName().toStdString();
            EXPECT_GE(control->font().pointSizeF(), 11.25) << control->objectName().toStdString();
        }
    }
}

// A disabled menu stays readable: its caption is drawn well apart from the bar behind it.
TEST_F(ScreensFixture, DisabledMenusStayReadable) {
    start();
    openTestPrint();
    QMenuBar* bar = m_window->menuBar();
    const QImage picture = bar->grab().toImage();
    const QColor background = picture.pixelColor(1, 1);
    const QRect caption = bar->actionGeometry(m_window->mnuExit());
    int darkest = 255;
    for (int y = caption.top(); y <= caption.bottom(); ++y)
        for (int x = caption.left(); x <= caption.right(); ++x)
            darkest = std::min(darkest, qGray(picture.pixel(x, y)));
    EXPECT_GE(qGray(background.rgb()) - darkest, 60);
}

TEST(FirstWindowSize, ShowsTheLargestScreenWholeAndTheStatusLineInItsFont) {
    EXPECT_GE(firstClientHeight, SetupPanel::designedSize.height());
    EXPECT_GE(firstClientWidth, SetupPanel::designedSize.width());
    state::WorkingState state;
    FrmPelmarChi window(state);
    window.setStatusMessage(app::kTestPrintScreenStatus);
    EXPECT_DOUBLE_EQ(window.lblMsg()->font().pointSizeF(), statusPoints);
}

} // namespace
} // namespace pelmar::gui
