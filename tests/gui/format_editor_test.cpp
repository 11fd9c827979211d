#include "gui/screens_fixture.h"
#include "shell/gui/format_editor_window.h"
#include "shell/gui/label_preview_view.h"
#include "shell/gui/line_numbered_editor.h"

#include <QInputMethodEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace pelmar::gui {
namespace {

using namespace screens_test;

class FormatEditor : public ScreensFixture {
protected:
    void SetUp() override {
        start();
        openTestPrint();
        m_window->MSFlexGrid1()->setCurrentIndex(m_window->gridModel()->index(2, 1));
        testPrint()->cmdEditFormat()->click();
        m_editor = screens().formatEditor();
        ASSERT_NE(m_editor, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !m_editor->shownPreview().picture.isNull(); }));
    }
    // Puts the cursor at the end of a line (1-based).
    void goToEndOf(int line) {
        m_editor->text()->selectLine(line);
        QTextCursor cursor = m_editor->text()->textCursor();
        cursor.clearSelection();
        m_editor->text()->setTextCursor(cursor);
    }

    // Types text as an input method commits it: Chinese is not typed key by key.
    void commit(const QString& text) {
        QInputMethodEvent event;
        event.setCommitString(text);
        QCoreApplication::sendEvent(m_editor->text(), &event);
    }

    FormatEditorWindow* m_editor = nullptr;
};

TEST_F(FormatEditor, TheShopsNameTypedInChineseIsPreviewedSavedInBig5AndPrinted) {
    EXPECT_EQ(m_preview->record(), 3);
    const QByteArray before = m_folder.read(QStringLiteral("PRICE.FMT"));
    EXPECT_EQ(m_preview->text(), before);
    goToEndOf(10);
    QTest::keyClick(m_editor->text(), Qt::Key_Return);
    QTest::keyClicks(m_editor->text(), QStringLiteral("F_Text=92,18,36,0,2,0,"));
    commit(QStringLiteral("新細明體,好鄰居雜貨店"));
    const QByteArray expected = QByteArray(before).replace(
        test::big5(QStringLiteral("新細明體,2\r\n")),
        test::big5(QStringLiteral("新細明體,2\r\nF_Text=92,18,36,0,2,0,新細明體,"
                                  "好鄰居雜貨店\r\n")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_preview->text() == expected; }))
        << m_preview->text().toStdString();
    EXPECT_EQ(m_folder.read(QStringLiteral("PRICE.FMT")),
              m_folder.read(QStringLiteral("SHELF.FMT")));
    m_editor->cmdSave()->click();
    EXPECT_EQ(m_folder.read(QStringLiteral("PRICE.FMT")), expected);
    EXPECT_TRUE(m_messages.shown.empty());

    QTest::keyClicks(testPrint()->txtTestPrintQty(), QStringLiteral("1"));
    testPrint()->cmdTestPrintOk()->click();
    const QStringList texts = m_library.named(QStringLiteral("windowsfont"));
    EXPECT_EQ(texts.filter(QStringLiteral("|好鄰居雜貨店")).size(), 1)
        << texts.join(u' ').toStdString();
}

TEST_F(FormatEditor, ElementsAndFaultsPointAtTheirLines) {
    // The format's Box is line 9: its element is outlined with the cursor there, and a click
    // on it in the preview selects the line.
    m_editor->text()->selectLine(1);
    const QPoint box = m_editor->preview()->widgetPoint({52, 96});
    QTest::mouseClick(m_editor->preview(), Qt::LeftButton, {}, box);
    EXPECT_EQ(m_editor->text()->cursorLine(), 9);
    QMouseEvent move(QEvent::MouseMove, box, m_editor->preview()->mapToGlobal(box), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_editor->preview(), &move);
    EXPECT_EQ(m_editor->pointerPosition()->text(), QStringLiteral("x 52, y 96 點 (6.5, 12.0 mm)"));

    goToEndOf(2);
    QTest::keyClick(m_editor->text(), Qt::Key_Return);
    QTest::keyClicks(m_editor->text(), QStringLiteral("BAD"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_editor->problems()->count() == 1; }));
    EXPECT_EQ(m_editor->problems()->item(0)->text(), QStringLiteral("第 3 行 錯誤: 不明的行"));
    m_editor->text()->selectLine(1);
    m_editor->problems()->itemClicked(m_editor->problems()->item(0));
    EXPECT_EQ(m_editor->text()->cursorLine(), 3);

    m_editor->recordChooser()->setValue(5);
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_preview->record() == 5; }));
}

TEST_F(FormatEditor, AnEditIsNotLostWithoutAsking) {
    QTest::keyClicks(m_editor->text(), QStringLiteral("'"));
    m_messages.answers = {MessageAnswer::No, MessageAnswer::Yes, MessageAnswer::No};
    m_editor->cmdRevert()->click();
    EXPECT_TRUE(m_editor->text()->toPlainText().startsWith(u'\''));
    m_editor->cmdRevert()->click();
    EXPECT_FALSE(m_editor->text()->toPlainText().startsWith(u'\''));
    QTest::keyClicks(m_editor->text(), QStringLiteral("'"));
    EXPECT_FALSE(m_editor->close());
    ASSERT_EQ(m_messages.shown.size(), 3u);
    m_messages.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(m_editor->close());
    EXPECT_EQ(m_folder.read(QStringLiteral("PRICE.FMT")),
              m_folder.read(QStringLiteral("SHELF.FMT")));
}

} // namespace
} // namespace pelmar::gui
