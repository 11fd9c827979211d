#include "preview/preview_port.h"

#include "support/run_error_of.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <gtest/gtest.h>

namespace pelmar::preview {
namespace {

const QByteArray kTwoLabels = "SIZE 50 mm,30 mm\r\nCLS\r\nBAR 0,0,8,8\r\nPRINT 2\r\n";

QStringList labelFiles(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
}

TEST(PreviewPortTest, WritesOnePngPerLabelInOrder) {
    test::TempFolder temp;
    const QString folder = temp.file(QStringLiteral("out/labels"));
    PreviewPort port(folder);
    EXPECT_FALSE(port.isPhysical());
    // Chunks as the printer library sends them.
    port.write(kTwoLabels.left(10));
    port.write(kTwoLabels.mid(10));
    port.write("FROB\r\n");
    port.close();
    EXPECT_EQ(labelFiles(folder),
              (QStringList{QStringLiteral("label-00001.png"), QStringLiteral("label-00002.png")}));
    const QImage first(folder + QStringLiteral("/label-00001.png"));
    EXPECT_EQ(first.size(), QSize(400, 240));
    EXPECT_EQ(first.depth(), 1);
    EXPECT_EQ(port.labelCount(), 2);
    ASSERT_EQ(port.warnings().size(), 1);
    EXPECT_TRUE(port.warnings()[0].contains(QLatin1String("FROB")));
}

TEST(PreviewPortTest, NumberingContinuesAfterPicturesAlreadyThere) {
    test::TempFolder temp;
    temp.write(QStringLiteral("label-00007.png"), "old");
    PreviewPort port(temp.path());
    port.write(kTwoLabels);
    port.close();
    EXPECT_EQ(temp.read(QStringLiteral("label-00007.png")), "old");
    EXPECT_TRUE(QFile::exists(temp.file(QStringLiteral("label-00009.png"))));
}

TEST(PreviewPortTest, AFolderThatCannotBeMadeIsError75) {
    test::TempFolder temp;
    temp.write(QStringLiteral("file"), "x");
    const auto error =
        test::runErrorOf([&] { PreviewPort port(temp.file(QStringLiteral("file/sub"))); });
    ASSERT_TRUE(error) << "no error";
    EXPECT_EQ(error->number(), common::PathFileAccessError);
    EXPECT_TRUE(error->description().contains(QLatin1String("file/sub")));
}

TEST(PreviewPortTest, APictureThatCannotBeWrittenFailsTheWriteAndTheClose) {
    test::TempFolder temp;
    PreviewPort port(temp.path());
    // A folder where the first picture should go makes its file unwritable.
    QDir(temp.path()).mkdir(QStringLiteral("label-00001.png"));
    EXPECT_THROW(port.write(kTwoLabels), common::RunError);
    EXPECT_THROW(port.close(), common::RunError);
}

TEST(TsplRenderToolTest, RendersAFileAndReportsWarnings) {
    const QString tool = QStringLiteral(PELMAR_BINARY_DIR "/bin/tspl-render");
    if (!QFile::exists(tool))
        GTEST_SKIP() << "tspl-render not built";
    test::TempFolder temp;
    const QString input = temp.write(QStringLiteral("in.tspl"), kTwoLabels + "FROB\r\n");
    QProcess process;
    process.start(tool, {input, QStringLiteral("-o"), temp.file(QStringLiteral("out")),
                         QStringLiteral("--dpi"), QStringLiteral("300")});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0);
    const QString err = QString::fromLocal8Bit(process.readAllStandardError());
    EXPECT_TRUE(err.contains(QLatin1String("unknown command FROB"))) << err.toStdString();
    EXPECT_EQ(labelFiles(temp.file(QStringLiteral("out"))).size(), 2);
    EXPECT_EQ(QImage(temp.file(QStringLiteral("out/label-00002.png"))).size(), QSize(600, 360));

    QProcess fromStdin;
    fromStdin.start(tool,
                    {QStringLiteral("-"), QStringLiteral("-o"), temp.file(QStringLiteral("in2"))});
    fromStdin.write(kTwoLabels);
    fromStdin.closeWriteChannel();
    ASSERT_TRUE(fromStdin.waitForFinished(30000));
    EXPECT_EQ(fromStdin.exitCode(), 0);
    EXPECT_EQ(labelFiles(temp.file(QStringLiteral("in2"))).size(), 2);
}

} // namespace
} // namespace pelmar::preview
