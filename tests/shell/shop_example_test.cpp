// The example shops of examples/: their files load with the program's own rules, and their
// automatic printing to the virtual printer leaves one picture per printed label showing each
// record's text where the format puts it.
#include "common/file_names.h"
#include "common/numbers.h"
#include "data/data_file_reader.h"
#include "format/driver_format_loader.h"
#include "format/format_loader.h"
#include "print_command/print_labels.h"
#include "print_command/text_bitmap.h"
#include "print_driver/barcode_symbol.h"
#include "state/settings.h"
#include "support/fake_clock.h"
#include "support/pdf_scan.h"
#include "support/pelmar_print_run.h"
#include "support/recording_message_box.h"
#include "support/recording_run_view.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace pelmar;

namespace {

const QString kExamples = QStringLiteral(PELMAR_SOURCE_DIR "/examples");

// Copies the files of an example folder (not its out/ folder) into a fresh folder.
void copyExample(const QString& name, const QString& to) {
    const QDir from(kExamples + u'/' + name);
    for (const QString& file : from.entryList(QDir::Files)) {
        ASSERT_TRUE(QFile::copy(from.filePath(file), to + u'/' + file)) << file.toStdString();
    }
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList labelPictures(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("label-*.png")}, QDir::Files, QDir::Name);
}

// Runs code with the current directory set to folder, as print_shop.sh runs the program.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const QString& folder) : m_saved(QDir::currentPath()) {
        QDir::setCurrent(folder);
    }
    ~CurrentDirectory() { QDir::setCurrent(m_saved); }

private:
    QString m_saved;
};

// Everything a print of a shop folder leaves behind.
struct ShopRun {
    state::WorkingState state;
    test::RecordingMessageBox messages;
    print_command::RunResult result;
    int expectedLabels = 0;
};

// Automatic single-format printing in "Send Command" mode, step by step with the library's
// procedures: settings, data file, the one chosen format, the print run.
void printShop(const QString& folder, ShopRun& run) {
    CurrentDirectory inside(folder);
    run.state.programFolder = folder;
    state::LoadSettings(run.state);
    ASSERT_EQ(run.state.labelCount, 1);
    ASSERT_EQ(run.state.editPrice, 0) << "automatic printing at once needs EditPrice 0";
    ASSERT_FALSE(data::LoadDataFile(run.state, run.messages).failed);
    run.state.formatFileName = run.state.labelNames.at(1);
    ASSERT_FALSE(format::LoadFormat(run.state, run.messages).failed);
    for (int r = 1; r <= run.state.recordCount; ++r)
        run.expectedLabels += print_command::labelSets(run.state, r);

    test::RecordingRunView view;
    test::FakeClock clock;
    print_command::RunContext context{run.state, run.messages,      view, clock, clock,
                                      {},        QDate(2026, 12, 7)};
    run.result = print_command::PrintLabels(context);
}

// Dots of a text element (V_Text or F_Text) drawn with the given content that are not
// black in the picture, and black dots of the picture inside the text's box that the text has
// not. Both 0 when the picture shows exactly that text in that place.
std::pair<int, int> textMismatch(const QImage& picture, const state::CommandFormat::Text& element,
                                 const QString& content) {
    print_command::TextBitmapRenderer renderer;
    auto number = [](const QString& text) { return common::leadingInt16(text); };
    const print_command::TextBitmap text = renderer.render(
        number(element.x), number(element.y), number(element.height), number(element.rotation),
        number(element.style), number(element.underline), element.face, content);
    int missing = 0;
    int extra = 0;
    for (int y = 0; y < text.height; ++y) {
        for (int x = 0; x < text.widthBytes * 8; ++x) {
            const auto byte = static_cast<unsigned char>(text.data[y * text.widthBytes + x / 8]);
            const bool ink = (byte & (0x80 >> (x % 8))) == 0;
            const bool shown = picture.pixelColor(text.x + x, text.y + y) == QColor(Qt::black);
            missing += ink && !shown ? 1 : 0;
            extra += shown && !ink ? 1 : 0;
        }
    }
    return {missing, extra};
}

TEST(ShopExample, FormatsUseEveryElementKindBothPicturesTheDateAndThePriceRule) {
    test::TempFolder shop;
    copyExample(QStringLiteral("shop"), shop.path());
    state::WorkingState state;
    state.programFolder = shop.path();
    test::RecordingMessageBox messages;

    int kinds[9] = {};
    QStringList pictures;
    bool date = false;
    bool priceRule = false;
    for (const QString& name : QDir(shop.path()).entryList({QStringLiteral("*.FMT")})) {
        state.formatFileName = name;
        ASSERT_FALSE(format::LoadFormat(state, messages).failed) << name.toStdString();
        const state::CommandFormat& f = state.format.command;
        const int counts[9] = {
            f.lineElements.count,   f.boxElements.count,      f.fTextElements.count,
            f.vTextElements.count,  f.fBarcodeElements.count, f.vBarcodeElements.count,
            f.pdf417Elements.count, f.dMatrixElements.count,  f.graphicElements.count};
        for (int k = 0; k < 9; ++k)
            kinds[k] += counts[k];
        for (const state::CommandFormat::Graphic& graphic : f.graphicElements.valid()) {
            const QString picture = graphic.fileName.toUpper();
            EXPECT_FALSE(common::resolveFileName(common::joinPath(shop.path(), picture)).isEmpty())
                << picture.toStdString() << " is not in the shop folder";
            pictures << picture.right(3);
        }
        for (const state::CommandFormat::Text& text : f.fTextElements.valid())
            date = date || text.content.contains(QStringLiteral("Date="));
        // The price field (EditPriceField 3) inside a "+" expression follows the adjustment.
        QStringList expressions;
        for (const state::CommandFormat::Text& text : f.vTextElements.valid())
            expressions << text.content;
        for (const auto* table : {&f.pdf417Elements, &f.dMatrixElements})
            for (const state::CommandFormat::Symbol& symbol : table->valid())
                expressions << symbol.content;
        for (const QString& expression : expressions) {
            const QStringList parts = expression.split(u'+');
            priceRule = priceRule || (parts.size() > 1 && parts.contains(QStringLiteral("3")));
        }
    }
    for (int k = 0; k < 9; ++k)
        EXPECT_GT(kinds[k], 0) << "element kind " << k << " is used by no example format";
    EXPECT_TRUE(pictures.contains(QStringLiteral("PCX")));
    EXPECT_TRUE(pictures.contains(QStringLiteral("BMP")));
    EXPECT_TRUE(date);
    EXPECT_TRUE(priceRule);
    EXPECT_TRUE(messages.shown.empty());
}

TEST(ShopExample, DataFileIsBig5WithCrLfAndTwentyRecordsOrMore) {
    const QByteArray bytes = readAll(kExamples + QStringLiteral("/shop/ITEMS.TXT"));
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_EQ(bytes.count("\r\n"), bytes.count('\n')) << "every line ends in CR LF";
    EXPECT_EQ(bytes.count('\r'), bytes.count('\n'));
    EXPECT_EQ(test::big5(common::CodePage().decode(bytes)), bytes) << "not plain Big5";
    EXPECT_GE(bytes.count("\r\n"), 20);
}

TEST(ShopExample, AutomaticPrintingLeavesOnePicturePerLabelShowingEachRecord) {
    test::TempFolder shop;
    copyExample(QStringLiteral("shop"), shop.path());
    const QByteArray settingsBefore = readAll(shop.file(QStringLiteral("Pelmar.INI")));
    ShopRun run;
    printShop(shop.path(), run);
    ASSERT_EQ(run.result.outcome, print_command::RunOutcome::Completed);
    EXPECT_TRUE(run.messages.shown.empty());
    ASSERT_GE(run.state.recordCount, 20);
    EXPECT_GT(run.expectedLabels, run.state.recordCount) << "some records print several labels";

    const QString out = shop.file(QStringLiteral("out"));
    const QStringList pictures = labelPictures(out);
    ASSERT_EQ(pictures.size(), run.expectedLabels);

    // The first picture of each record shows its product name (V_Text row 0, field 2) and its
    // price (row 1, "NT$ " and field 3) where the format puts them.
    const auto texts = run.state.format.command.vTextElements.valid();
    int first = 0;
    for (int r = 1; r <= run.state.recordCount; ++r) {
        const QImage picture(out + u'/' + pictures[first]);
        ASSERT_FALSE(picture.isNull());
        const QString name = run.state.records.at(r, 2);
        const auto [missing, extra] = textMismatch(picture, texts[0], name);
        EXPECT_EQ(missing, 0) << "record " << r << ": " << name.toStdString();
        EXPECT_EQ(extra, 0) << "record " << r << ": " << name.toStdString();
        const auto price =
            textMismatch(picture, texts[1], QStringLiteral("NT$ ") + run.state.records.at(r, 3));
        EXPECT_EQ(price, std::make_pair(0, 0)) << "record " << r;
        first += print_command::labelSets(run.state, r);
    }
    // A picture does not show another record's name.
    const QImage firstPicture(out + u'/' + pictures[0]);
    EXPECT_GT(textMismatch(firstPicture, texts[0], run.state.records.at(2, 2)).first, 0);

    EXPECT_EQ(readAll(shop.file(QStringLiteral("Pelmar.INI"))), settingsBefore)
        << "the run settings written back must leave the example's file as it was";
}

TEST(ShopExample, FixedPositionExampleCutsItsFieldsAndPrints) {
    test::TempFolder shop;
    copyExample(QStringLiteral("fixed"), shop.path());
    ShopRun run;
    printShop(shop.path(), run);
    ASSERT_EQ(run.result.outcome, print_command::RunOutcome::Completed);
    EXPECT_TRUE(run.messages.shown.empty());
    ASSERT_EQ(run.state.fieldCutIndex, 1);
    ASSERT_GE(run.state.recordCount, 5);
    EXPECT_EQ(run.state.records.at(1, 1), QStringLiteral("4710088410016"));
    EXPECT_EQ(run.state.records.at(1, 2), QStringLiteral("烏龍茶葉 150g"));
    EXPECT_EQ(run.state.records.at(1, 3), QStringLiteral("320")) << "decimals erased";
    EXPECT_EQ(run.state.records.at(1, 4), QStringLiteral("2"));
    EXPECT_EQ(labelPictures(shop.file(QStringLiteral("out"))).size(), run.expectedLabels);
}

// Every item code of the examples is an EAN-13 number with its right check digit, so that a
// barcode font of driver mode takes it as it stands.
TEST(ShopExample, ItemCodesAreValidEan13Numbers) {
    for (const char* example : {"shop", "fixed"}) {
        QFile items(kExamples + u'/' + QLatin1String(example) + QStringLiteral("/ITEMS.TXT"));
        ASSERT_TRUE(items.open(QIODevice::ReadOnly)) << example;
        int codes = 0;
        while (!items.atEnd()) {
            const QString code = QString::fromLatin1(items.readLine().left(13));
            EXPECT_NO_THROW(print_driver::encodeBarcode(QStringLiteral("EAN13"), code))
                << example << " " << code.toStdString();
            ++codes;
        }
        EXPECT_GE(codes, 5) << example;
    }
}

// The main job of ./run.sh (examples/print_shop.sh) on a copy of the example shop, with the
// headless tool; skipped until that tool is built.
TEST(ShopExample, RunShMainJobPrintsTheCopiedShop) {
    const QString bin = QStringLiteral(PELMAR_BINARY_DIR "/bin");
    if (!QFile::exists(bin + QStringLiteral("/pelmar-print")))
        GTEST_SKIP() << "pelmar-print is not built";
    test::TempFolder shop;
    copyExample(QStringLiteral("shop"), shop.path());
    const QByteArray settingsBefore = readAll(shop.file(QStringLiteral("Pelmar.INI")));

    QProcess job;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PELMAR_HEADLESS"), QStringLiteral("1"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    job.setProcessEnvironment(env);
    job.start(kExamples + QStringLiteral("/print_shop.sh"), {bin, shop.path()});
    ASSERT_TRUE(job.waitForFinished(60000));
    const QString output = QString::fromUtf8(job.readAllStandardOutput());
    ASSERT_EQ(job.exitCode(), 0) << output.toStdString()
                                 << job.readAllStandardError().toStdString();

    // The same records through the library give the number of labels and the texts to expect.
    test::TempFolder reference;
    copyExample(QStringLiteral("shop"), reference.path());
    ShopRun run;
    printShop(reference.path(), run);
    const QString out = shop.file(QStringLiteral("out"));
    const QStringList pictures = labelPictures(out);
    ASSERT_EQ(pictures.size(), run.expectedLabels);
    EXPECT_TRUE(output.contains(out)) << "it says where the pictures are: " << output.toStdString();
    const QImage last(out + u'/' + pictures.last());
    const QString lastName = run.state.records.at(run.state.recordCount, 2);
    EXPECT_EQ(textMismatch(last, run.state.format.command.vTextElements.rows[0], lastName),
              std::make_pair(0, 0));
    EXPECT_EQ(readAll(shop.file(QStringLiteral("Pelmar.INI"))), settingsBefore);
}

// The driver-mode versions of the shop's formats live in driver/, a program folder of its own
// that takes the shop's data file and pictures from the folder above: both formats load with the
// driver-mode loader, and each prints every record's labels as pages of its size into a PDF.
TEST(ShopExample, DriverModeFormatsPrintTheShopIntoAPdf) {
    if (!QFile::exists(QStringLiteral(PELMAR_BINARY_DIR "/bin/pelmar-print")))
        GTEST_SKIP() << "pelmar-print is not built";
    test::TempFolder shop;
    copyExample(QStringLiteral("shop"), shop.path());
    ASSERT_TRUE(QDir(shop.path()).mkdir(QStringLiteral("driver")));
    const QString home = shop.file(QStringLiteral("driver"));
    copyExample(QStringLiteral("shop/driver"), home);
    const QByteArray settingsBefore = readAll(home + QStringLiteral("/Pelmar.INI"));

    ShopRun reference;
    printShop(shop.path(), reference);

    // The first record's labels as a label driver rasterises them at 203 dpi, read back with a
    // barcode scanner.
    const QString code = reference.state.records.at(1, 1);
    struct Case {
        QString format;
        int widthPoints100; // page size in hundredths of a point
        int heightPoints100;
        QStringList scanned;
    };
    for (const Case& c :
         {Case{QStringLiteral("PRICE.FMT"), 17010, 11340, {QStringLiteral("EAN-13:") + code}},
          Case{QStringLiteral("SHELF.FMT"),
               22680,
               8505,
               {QStringLiteral("CODE-128:") + code, QStringLiteral("CODE-39:A-07")}}}) {
        SCOPED_TRACE(c.format.toStdString());
        state::WorkingState state;
        state.programFolder = home;
        state.formatFileName = c.format;
        test::RecordingMessageBox messages;
        ASSERT_FALSE(format::LoadFormat_Driver(state, messages).failed);
        EXPECT_GT(state.format.driver.vBarcodeElements.count, 0);

        const QString pdf = shop.file(c.format + QStringLiteral(".pdf"));
        const test::ToolRun run = test::runPelmarPrint(
            home, {QStringLiteral("--format"), c.format, QStringLiteral("--output"), pdf});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("%1 label(s) from %2 record(s) printed")
                                         .arg(reference.expectedLabels)
                                         .arg(reference.state.recordCount)))
            << run.err.toStdString();
        const QString document = QString::fromLatin1(readAll(pdf));
        EXPECT_EQ(document.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))),
                  reference.expectedLabels);
        // Every page is the label's size: 56.7 twips a millimetre, 20 twips a point.
        const QRegularExpression mediaBox(
            QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)"));
        auto boxes = mediaBox.globalMatch(document);
        int pages = 0;
        while (boxes.hasNext()) {
            const QRegularExpressionMatch box = boxes.next();
            EXPECT_NEAR(box.captured(1).toDouble() * 100, c.widthPoints100, 1);
            EXPECT_NEAR(box.captured(2).toDouble() * 100, c.heightPoints100, 1);
            ++pages;
        }
        EXPECT_GT(pages, 0);

        test::TempFolder pictures;
        const QStringList rasters = test::rasterise(pdf, 203, pictures.path());
        ASSERT_EQ(rasters.size(), reference.expectedLabels);
        EXPECT_EQ(test::scan(rasters[0]), c.scanned);
    }
    EXPECT_EQ(readAll(home + QStringLiteral("/Pelmar.INI")), settingsBefore)
        << "the run settings written back must leave the example's file as it was";
}

// --preview on the example shop in both modes: one picture per label of the records of the range,
// named as the virtual printer names them, and the shop's own printer (preview:out) left alone.
TEST(ShopExample, PreviewWritesTheLabelsOfARangeAsPicturesWithoutAPrinter) {
    if (!QFile::exists(QStringLiteral(PELMAR_BINARY_DIR "/bin/pelmar-print")))
        GTEST_SKIP() << "pelmar-print is not built";
    test::TempFolder shop;
    copyExample(QStringLiteral("shop"), shop.path());
    ASSERT_TRUE(QDir(shop.path()).mkdir(QStringLiteral("driver")));
    copyExample(QStringLiteral("shop/driver"), shop.file(QStringLiteral("driver")));
    test::TempFolder reference;
    copyExample(QStringLiteral("shop"), reference.path());
    ShopRun run;
    printShop(reference.path(), run);
    QStringList names;
    for (int r = 2; r <= 4; ++r) {
        for (int label = 0; label < print_command::labelSets(run.state, r); ++label)
            names << QStringLiteral("label-%1.png").arg(names.size() + 1, 5, 10, QLatin1Char('0'));
    }
    for (const QString& home : {shop.path(), shop.file(QStringLiteral("driver"))}) {
        SCOPED_TRACE(home.toStdString());
        const QString pictures = home + QStringLiteral("/pictures");
        const test::ToolRun tool = test::runPelmarPrint(
            home, {"--format", "PRICE.FMT", "--preview", pictures, "--records", "2-4"});
        ASSERT_EQ(tool.exitCode, 0) << tool.err.toStdString();
        EXPECT_EQ(labelPictures(pictures), names);
        EXPECT_TRUE(tool.err.contains(
            QStringLiteral("preview: %1 picture(s) in %2").arg(names.size()).arg(pictures)));
        EXPECT_FALSE(QFileInfo::exists(home + QStringLiteral("/out"))) << "no printer opened";
    }
    const QImage first(shop.file(QStringLiteral("pictures/label-00001.png")));
    EXPECT_EQ(textMismatch(first, run.state.format.command.vTextElements.rows[0],
                           run.state.records.at(2, 2)),
              std::make_pair(0, 0));
}

} // namespace
