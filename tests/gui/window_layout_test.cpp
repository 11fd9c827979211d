#include "shell/gui/window_layout.h"

#include "shell/gui/frm_pelmar_chi.h"
#include "shell/gui/print_panel.h"
#include "shell/gui/twips.h"

#include <QAction>
#include <QLabel>
#include <QScreen>
#include <QTableView>
#include <gtest/gtest.h>

namespace pelmar::gui {
namespace {

const QSizeF testPrintSize{7155, 4005};
const QSizeF setupSize{6630, 8145};

TEST(LayoutRule, ClientAreaOf9000By6000) {
    const WindowLayout layout =
        layoutRule(9000, 6000, {testPrintSize, setupSize, PrintPanel::designedSize});
    EXPECT_EQ(layout.printItem, QRectF(50, 5620, 1695, 330));
    EXPECT_EQ(layout.msg, QRectF(1745, 5620, 7205, 330));
    EXPECT_EQ(layout.printData, QRectF(50, 4925, 8900, 645));
    EXPECT_EQ(layout.grid, QRectF(50, 0, 8900, 4825));
    ASSERT_EQ(layout.panels.size(), 3u);
    EXPECT_EQ(layout.panels[0], QPointF(922.5, 997.5));
    // Taller than the client area: centred all the same, cut off at top and bottom.
    EXPECT_EQ(layout.panels[1], QPointF(1185, -1072.5));
    EXPECT_EQ(layout.panels[2], QPointF(2392.5, 367.5));
}

// The window places its controls where the rule says, converted to pixels of its screen.
TEST(FrmPelmarChiLayout, ResizeAppliesTheRule) {
    state::WorkingState state;
    FrmPelmarChi window(state);
    window.show();
    window.resizeClientTwips(9000, 6000);
    EXPECT_NEAR(window.scaleWidth(), 9000, 15);
    EXPECT_NEAR(window.scaleHeight(), 6000, 15);

    const WindowLayout expected =
        layoutRule(window.scaleWidth(), window.scaleHeight(), {PrintPanel::designedSize});
    EXPECT_EQ(window.lblPrintItem()->geometry(), toPixels(expected.printItem, &window));
    EXPECT_EQ(window.lblMsg()->geometry(), toPixels(expected.msg, &window));
    EXPECT_EQ(window.lblPrintData()->geometry(), toPixels(expected.printData, &window));
    EXPECT_EQ(window.MSFlexGrid1()->geometry(), toPixels(expected.grid, &window));
    const QRect panel = window.FramePrint()->geometry();
    EXPECT_EQ(panel.topLeft(),
              toPixels(QRectF(expected.panels[0], PrintPanel::designedSize), &window).topLeft());
    // A hidden panel is centred too, so it is in place when shown.
    EXPECT_FALSE(window.FramePrint()->isVisible());
}

TEST(FrmPelmarChiLayout, LaterPanelsRegisterAndAreCentred) {
    state::WorkingState state;
    FrmPelmarChi window(state);
    auto* gate = new QWidget(window.clientArea());
    window.registerPanel(gate, QSizeF(4425, 2745));
    window.show();
    window.resizeClientTwips(9000, 6000);
    const QPointF centred((window.scaleWidth() - 4425) / 2, (window.scaleHeight() - 2745) / 2);
    EXPECT_EQ(gate->geometry(), toPixels(QRectF(centred, QSizeF(4425, 2745)), &window));
}

TEST(FrmPelmarChiLayout, MinimizedWindowKeepsItsPositions) {
    state::WorkingState state;
    FrmPelmarChi window(state);
    window.show();
    window.resizeClientTwips(9000, 6000);
    const QRect item = window.lblPrintItem()->geometry();
    const QRect grid = window.MSFlexGrid1()->geometry();
    window.showMinimized();
    window.Form_Resize();
    EXPECT_EQ(window.lblPrintItem()->geometry(), item);
    EXPECT_EQ(window.MSFlexGrid1()->geometry(), grid);
}

TEST(FrmPelmarChiLayout, DesignedWindow) {
    state::WorkingState state;
    FrmPelmarChi window(state);
    EXPECT_EQ(window.objectName(), QStringLiteral("frmPelmarCHI"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Pelmar 標籤列印程式"));
    EXPECT_FALSE(window.windowIcon().isNull());
    // It opens larger than designed, so that the setup screen (8145 high) shows whole.
    EXPECT_NEAR(window.scaleWidth(), 9900, 15);
    EXPECT_NEAR(window.scaleHeight(), 8700, 15);
    EXPECT_EQ(window.mnuTestPrint()->text(), QStringLiteral("試印(&T)"));
    EXPECT_EQ(window.mnuSetup()->text(), QStringLiteral("設定(&S)"));
    EXPECT_EQ(window.mnuExit()->text(), QStringLiteral("離開(&E)"));
    EXPECT_EQ(window.font().family(), QStringLiteral("新細明體"));
    EXPECT_TRUE(window.font().bold());
    EXPECT_DOUBLE_EQ(window.font().pointSizeF(), 11.25);
    EXPECT_DOUBLE_EQ(window.lblMsg()->font().pointSizeF(), 12);
    for (const char* name : {"MSFlexGrid1", "lblPrintData", "lblPrintItem", "lblMsg", "FramePrint",
                             "listSelectLabel", "txtADPrice2", "cmdPrint", "cmdDelete"})
        EXPECT_NE(window.findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
}

TEST(Twips, FifteenTwipsToAPixelAt96Dpi) {
    QWidget widget;
    const double scale = twipsPerPixel(&widget);
    EXPECT_DOUBLE_EQ(scale, 1440.0 / widget.screen()->logicalDotsPerInch());
    // Touching neighbours stay touching: edges are rounded, not sizes.
    const QRect left = toPixels(QRectF(50, 0, 1695, 330), &widget);
    const QRect right = toPixels(QRectF(1745, 0, 7205, 330), &widget);
    EXPECT_EQ(left.right() + 1, right.left());
}

} // namespace
} // namespace pelmar::gui
