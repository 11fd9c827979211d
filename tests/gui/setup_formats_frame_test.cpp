#include "shell/gui/setup_formats_frame.h"

#include "gui/screens_fixture.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace pelmar::gui {
namespace {

using namespace screens_test;

TEST_F(ScreensFixture, ControlsOfTheFormatsFrameAsDesigned) {
    start();
    expectPlaced(*formats(), {{"Label4", "欲列印格式檔名 :", {105, 315, 1905, 330}},
                              {"fmtList", "", {105, 580, 2745, 1635}},
                              {"cmdNew", "新增<<<", {2940, 735, 540, 540}},
                              {"cmdRemove", "移除>>>", {2940, 1575, 540, 540}},
                              {"Label11", "來源格式檔名 :", {3570, 315, 1695, 330}},
                              {"FileList", "", {3570, 580, 2745, 1665}}});
}

TEST_F(ScreensFixture, FormatListsAddOnceExactlyAndRemoveAfterAClick) {
    start({.labelCount = 0});
    m_folder.write(QStringLiteral("price.fmt"), "x");
    openSetup();
    EXPECT_EQ(texts(formats()->FileList()),
              (QStringList{QStringLiteral("PRICE.FMT"), QStringLiteral("SHELF.FMT"),
                           QStringLiteral("price.fmt")}));
    formats()->cmdNew()->click();
    ASSERT_TRUE(test::shownOnce(m_messages, QStringLiteral("欲新增之格式檔尚未點選, 無法新增.")));
    EXPECT_TRUE(formats()->FileList()->hasFocus());

    clickEntry(formats()->FileList(), 0);
    formats()->cmdNew()->click();
    formats()->cmdNew()->click();
    clickEntry(formats()->FileList(), 2);
    formats()->cmdNew()->click();
    EXPECT_EQ(texts(formats()->fmtList()),
              (QStringList{QStringLiteral("PRICE.FMT"), QStringLiteral("price.fmt")}));
    EXPECT_EQ(formats()->lblLabelCount()->text(), QStringLiteral("2"));
    EXPECT_EQ(m_messages.shown.size(), 1u);

    clickEntry(formats()->fmtList(), 0);
    formats()->cmdRemove()->click();
    formats()->cmdRemove()->click();
    EXPECT_EQ(texts(formats()->fmtList()), QStringList{QStringLiteral("price.fmt")});
    EXPECT_EQ(formats()->lblLabelCount()->text(), QStringLiteral("1"));
    EXPECT_EQ(m_messages.shown.back().text, QStringLiteral("欲移除之格式檔尚未選取, 無法移除."));
    EXPECT_EQ(m_messages.shown.back().caption, QStringLiteral("移除格式檔"));
    EXPECT_EQ(texts(formats()->FileList()).size(), 3); // nothing leaves the folder
}
} // namespace
} // namespace pelmar::gui
