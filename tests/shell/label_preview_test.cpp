// The label preview is the print: for every format of the examples and every record of its shop,
// the preview equals the label of a real run of pelmar-print (the virtual printer's picture in
// "Send Command" mode, the PDF page rasterised at the printer's resolution in "Driver" mode).
#include "print_command/print_labels.h"
#include "print_command/record_quantity.h"
#include "print_driver/label_drawing.h"
#include "shell/app/label_preview.h"
#include "support/pdf_scan.h"
#include "support/pelmar_print_run.h"
#include "support/recording_message_box.h"
#include "support/run_state.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace pelmar;

namespace {

const QString kShop = QStringLiteral(PELMAR_SOURCE_DIR "/examples/shop");
const QString kFixed = QStringLiteral(PELMAR_SOURCE_DIR "/examples/fixed");

// Black dots (darker than half grey) of a with no ink of b (any grey but near white) at most
// `reach` dots away, over the pictures' common part; -1 when their sizes differ by more than
// `reach` (rasterisers round a page's partial dots differently).
long long strayDots(const QImage& a, const QImage& b, int reach) {
    const QSize common = a.size().boundedTo(b.size());
    if (std::abs(a.width() - b.width()) > reach || std::abs(a.height() - b.height()) > reach)
        return -1;
    const QImage ga = a.convertToFormat(QImage::Format_Grayscale8).copy(QRect({0, 0}, common));
    const QImage gb = b.convertToFormat(QImage::Format_Grayscale8).copy(QRect({0, 0}, common));
    const auto dark = [](const QImage& g, int x, int y, int below) {
        return g.rect().contains(x, y) && g.constScanLine(y)[x] < below;
    };
    long long stray = 0;
    for (int y = 0; y < ga.height(); ++y)
        for (int x = 0; x < ga.width(); ++x) {
            bool near = !dark(ga, x, y, 128);
            for (int dy = -reach; dy <= reach && !near; ++dy)
                for (int dx = -reach; dx <= reach && !near; ++dx)
                    near = dark(gb, x + dx, y + dy, reach > 0 ? 224 : 128);
            stray += near ? 0 : 1;
        }
    return stray;
}

struct Example {
    QString source; // copied whole into the program folder's parent
    QString home;   // the program folder inside it
    QString format;
};

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class LabelPreviewTest : public ::testing::TestWithParam<Example> {};

TEST_P(LabelPreviewTest, PreviewOfEveryRecordEqualsTheLabelOfARealRun) {
    const Example& example = GetParam();
    test::TempFolder folder;
    ASSERT_EQ(QProcess::execute(QStringLiteral("cp"),
                                {QStringLiteral("-r"), example.source + u'/', folder.path()}),
              0);
    const QString home = folder.path() + u'/' + example.home;
    QDir(home + QStringLiteral("/out")).removeRecursively(); // pictures of an earlier demo
    // Only the format of the run's choice prints.
    const QString settings = home + QStringLiteral("/Pelmar.INI");
    QByteArray ini = fileBytes(settings);
    ini.replace("LabelName01=PRICE.FMT", "LabelName01=" + example.format.toLatin1());
    folder.write(example.home + QStringLiteral("/Pelmar.INI"), ini);
    state::WorkingState state;
    ASSERT_NO_FATAL_FAILURE(test::loadRunState(home, state));
    state.formatFileName = example.format;
    const bool driver = state.printMode != 0;
    const QDate today = QDate::currentDate();

    QStringList labels;
    if (driver) {
        const QString pdf = home + QStringLiteral("/labels.pdf");
        const test::ToolRun run = test::runPelmarPrint(
            home, {QStringLiteral("--format"), example.format, QStringLiteral("--output"), pdf});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        labels = test::rasterise(pdf, 203, folder.path());
    } else {
        const test::ToolRun run =
            test::runPelmarPrint(home, {QStringLiteral("--format"), example.format});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        for (const QString& name :
             QDir(home + QStringLiteral("/out"))
                 .entryList({QStringLiteral("label-*.png")}, QDir::Files, QDir::Name))
            labels << home + QStringLiteral("/out/") + name;
    }
    const QByteArray text = fileBytes(home + u'/' + example.format);
    qsizetype next = 0;
    for (int record = 1; record <= state.recordCount; ++record) {
        SCOPED_TRACE(record);
        const app::LabelPreview preview = app::previewLabel(state, text, record, today, nullptr);
        if (print_command::recordQuantity(state, record) < 0 || !preview.cannotDraw.isEmpty())
            continue; // a run leaves the record out too
        ASSERT_LT(next, labels.size());
        const QImage printed(labels[next]);
        // Two rasterisers of one PDF page part at the edges of antialiased shapes, by a dot.
        const int reach = driver ? 1 : 0;
        EXPECT_EQ(strayDots(preview.picture, printed, reach), 0);
        EXPECT_EQ(strayDots(printed, preview.picture, reach), 0);
        for (const app::PreviewElement& element : preview.elements)
            EXPECT_TRUE(preview.picture.rect().contains(element.box)) << element.line;
        next += driver ? print_driver::labelCopies(state.records.at(record, state.fieldCount),
                                                   state.across)
                       : print_command::labelSets(state, record);
    }
    EXPECT_EQ(next, labels.size());
    EXPECT_EQ(state.format.command.vTextElements.count + state.format.driver.vTextElements.count, 0)
        << "the preview loads the format into a copy of the state";
}

INSTANTIATE_TEST_SUITE_P(
    Examples, LabelPreviewTest,
    ::testing::Values(Example{kShop, QStringLiteral("shop"), QStringLiteral("PRICE.FMT")},
                      Example{kShop, QStringLiteral("shop"), QStringLiteral("SHELF.FMT")},
                      Example{kFixed, QStringLiteral("fixed"), QStringLiteral("TAG.FMT")},
                      Example{kShop, QStringLiteral("shop/driver"), QStringLiteral("PRICE.FMT")},
                      Example{kShop, QStringLiteral("shop/driver"), QStringLiteral("SHELF.FMT")}));

// A record's text drawn with a format text the operator is typing: faults by line, a label a run
// would refuse is not drawn and says why.
TEST(LabelPreview, TellsTheFaultsOfTheTextAndTheLabelsThatCannotBeDrawn) {
    state::WorkingState state;
    ASSERT_NO_FATAL_FAILURE(test::loadRunState(kShop, state));
    state.formatFileName = QStringLiteral("PRICE.FMT");
    const QByteArray text = fileBytes(kShop + QStringLiteral("/PRICE.FMT"));
    const auto lineOf = [&](const char* start) {
        return static_cast<int>(text.left(text.indexOf(start)).count('\n')) + 1;
    };
    struct Case {
        const char* from;
        const char* to;
        int errorLine; // where an error is expected (0: the format as a whole); -1 none
        bool drawn;
    } cases[] = {
        {"Box=6,6,474", "Box=6,6,4x4", lineOf("Box=6,6,474"), true},
        {"V_Barcode=18,206,128M,56,1,0,2,4,1", "V_Barcode=18,206,EAN13,56,1,0,2,4,2", -1, false},
        {"LabelWidth=60", "LabelWidht=60", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        QByteArray edited = text;
        edited.replace(c.from, c.to);
        const app::LabelPreview preview = app::previewLabel(state, edited, 1, {}, nullptr);
        EXPECT_EQ(!preview.picture.isNull(), c.drawn);
        EXPECT_EQ(preview.cannotDraw.isEmpty(), c.drawn) << preview.cannotDraw.toStdString();
        const bool found = std::any_of(
            preview.problems.begin(), preview.problems.end(),
            [&](const app::PreviewProblem& p) { return p.error && p.line == c.errorLine; });
        EXPECT_EQ(found, c.errorLine >= 0);
    }
}

} // namespace
