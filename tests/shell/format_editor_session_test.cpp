#include "shell/app/format_editor_session.h"

#include "support/run_error_of.h"

#include "support/recording_message_box.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace pelmar::app {
namespace {

using common::MessageAnswer;
using test::RecordingMessageBox;

struct RoundTrip {
    const char* codePage;
    QByteArray bytes;
    QString text;
};

// An unchanged text saves the very bytes it was read from: line ends, last line end, mark.
TEST(FormatEditorSession, SavesTheBytesItRead) {
    const std::vector<RoundTrip> files{
        {"CP950", test::big5(QStringLiteral("F_Text=1,2,3,0,0,0,新細明體,好鄰居\r\nBox=1\r\n")),
         QStringLiteral("F_Text=1,2,3,0,0,0,新細明體,好鄰居\nBox=1\n")},
        {"CP950", "LabelWidth=60\nLabelHeight=40", QStringLiteral("LabelWidth=60\nLabelHeight=40")},
        {"UTF-8",
         "\xEF\xBB\xBF"
         "F_Text=\xE5\xA5\xBD\r\n",
         QStringLiteral("F_Text=好\n")},
    };
    for (const RoundTrip& file : files) {
        test::TempFolder folder;
        const QString path = folder.write(QStringLiteral("A.FMT"), file.bytes);
        const common::CodePage codePage(file.codePage);
        FormatEditorSession session(path, codePage);
        EXPECT_EQ(session.savedText(), file.text);
        RecordingMessageBox messages;
        folder.write(QStringLiteral("A.FMT"), "changed meanwhile");
        EXPECT_TRUE(session.save(session.savedText(), messages));
        EXPECT_EQ(folder.read(QStringLiteral("A.FMT")), file.bytes);
        EXPECT_TRUE(messages.shown.empty());
    }
}

TEST(FormatEditorSession, ABytesTheCodePageCannotReadIsRefusedByLine) {
    test::TempFolder folder;
    const QString path = folder.write(QStringLiteral("A.FMT"), "Box=1\r\nF_Text=\xFF\xFF\r\n");
    const common::CodePage codePage;
    const auto error = test::runErrorOf([&] { FormatEditorSession session(path, codePage); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), common::InvalidArgument);
    EXPECT_TRUE(error->description().contains(QStringLiteral("第 2 行第 8 個位元組")))
        << error->what();
}

TEST(FormatEditorSession, ACharacterTheCodePageLacksIsRefusedAndNothingIsWritten) {
    test::TempFolder folder;
    const QByteArray before = test::big5(QStringLiteral("Box=1\r\nF_Text=店\r\n"));
    const QString path = folder.write(QStringLiteral("A.FMT"), before);
    const common::CodePage codePage;
    FormatEditorSession session(path, codePage);
    RecordingMessageBox messages;
    EXPECT_FALSE(session.save(QStringLiteral("Box=1\nF_Text=店한\n"), messages));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral("第 2 行的「한」(U+d55c)")))
        << messages.shown[0].text.toStdString();
    EXPECT_EQ(folder.read(QStringLiteral("A.FMT")), before);
    EXPECT_TRUE(session.isModified(QStringLiteral("Box=1\nF_Text=店한\n")));
}

TEST(FormatEditorSession, AMissingFormatStartsEmptyAndSavingCreatesIt) {
    test::TempFolder folder;
    const common::CodePage codePage;
    FormatEditorSession session(folder.file(QStringLiteral("NEW.FMT")), codePage);
    EXPECT_TRUE(session.savedText().isEmpty());
    RecordingMessageBox messages;
    EXPECT_TRUE(session.save(QStringLiteral("Box=1\nF_Text=店"), messages));
    EXPECT_EQ(folder.read(QStringLiteral("NEW.FMT")),
              test::big5(QStringLiteral("Box=1\r\nF_Text=店")));
}

// Revert and Close ask only when an edit would be lost, and lose it only on Yes.
TEST(FormatEditorSession, AnEditIsLostOnlyWhenTheOperatorSaysSo) {
    test::TempFolder folder;
    const common::CodePage codePage;
    FormatEditorSession session(folder.write(QStringLiteral("A.FMT"), "Box=1"), codePage);
    RecordingMessageBox messages;
    EXPECT_TRUE(session.mayClose(QStringLiteral("Box=1"), messages));
    EXPECT_TRUE(session.mayRevert(QStringLiteral("Box=1"), messages));
    EXPECT_TRUE(messages.shown.empty());
    messages.answers = {MessageAnswer::No, MessageAnswer::Yes, MessageAnswer::No,
                        MessageAnswer::Yes};
    EXPECT_FALSE(session.mayClose(QStringLiteral("Box=2"), messages));
    EXPECT_TRUE(session.mayClose(QStringLiteral("Box=2"), messages));
    EXPECT_FALSE(session.mayRevert(QStringLiteral("Box=2"), messages));
    EXPECT_TRUE(session.mayRevert(QStringLiteral("Box=2"), messages));
    ASSERT_EQ(messages.shown.size(), 4u);
    EXPECT_EQ(messages.shown[0].buttons, common::MessageButtons::YesNo);
    EXPECT_EQ(messages.shown[0].defaultAnswer, MessageAnswer::No);
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("A.FMT")));
}

} // namespace
} // namespace pelmar::app
