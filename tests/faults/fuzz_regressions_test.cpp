// Inputs the fuzz targets found faults with, kept in tests/data_files/fuzz_regressions/<target>/:
// each must now end in its clear refusal, within the memory bound.
#include "common/pcx_decoder.h"
#include "faults/resource_probe.h"
#include "preview/tspl_interpreter.h"
#include "support/run_error_of.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace pelmar {
namespace {

using namespace std::chrono_literals;

QStringList regressionFiles(const QString& target) {
    const QDir dir(QStringLiteral(PELMAR_TEST_DATA_DIR "/fuzz_regressions/") + target);
    QStringList paths;
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

TEST(FuzzRegressions, PcxPicturesAreRefusedWithinBounds) {
    const QStringList files = regressionFiles(QStringLiteral("pcx"));
    ASSERT_FALSE(files.isEmpty());
    for (const QString& path : files) {
        SCOPED_TRACE(path.toStdString());
        const QByteArray bytes = readAll(path);
        int error = 0;
        const test::ResourceUse use = test::measure(
            [&] { error = test::runErrorNumberOf([&] { common::decodePcx(bytes); }); });
        EXPECT_EQ(error, common::InvalidPicture);
        EXPECT_LT(use.peakMb, test::kMemoryBoundMb);
        EXPECT_LT(use.seconds, 5s);
    }
}

TEST(FuzzRegressions, PcxWithLongScanLinesNamesTheReason) {
    // 33 x 32,769 pixels with 60,652-byte scan lines: 2 GB of scan lines for a small picture.
    const QByteArray bytes =
        readAll(QStringLiteral(PELMAR_TEST_DATA_DIR "/fuzz_regressions/pcx/"
                                                    "tall-picture-long-scan-lines.pcx"));
    const auto error = test::runErrorOf([&] { common::decodePcx(bytes); });
    ASSERT_TRUE(error) << "decoded";
    EXPECT_TRUE(error->description().contains(u"scan lines far longer than the picture"))
        << error->what();
}

class NullSink : public preview::LabelSink {
public:
    void label(const QImage&) override {}
};

TEST(FuzzRegressions, TsplStreamsEndInPicturesAndWarnings) {
    const QStringList files = regressionFiles(QStringLiteral("tspl"));
    ASSERT_FALSE(files.isEmpty());
    for (const QString& path : files) {
        SCOPED_TRACE(path.toStdString());
        const QByteArray bytes = readAll(path);
        // Fed whole and byte by byte: the chunking must not matter.
        for (const qsizetype chunk : {bytes.size(), qsizetype(1)}) {
            NullSink sink;
            preview::TsplInterpreter printer(sink);
            const test::ResourceUse use = test::measure([&] {
                for (qsizetype at = 0; at < bytes.size(); at += chunk)
                    printer.feed(bytes.constData() + at, std::min(chunk, bytes.size() - at));
                printer.finish();
            });
            EXPECT_LT(use.peakMb, test::kMemoryBoundMb);
            EXPECT_LT(use.seconds, 10s);
        }
    }
}

TEST(FuzzRegressions, BitmapHeaderWithAnOpenQuoteIsNoBitmap) {
    // Five commas, but the fourth opens a quote: fewer than five arguments to read.
    NullSink sink;
    preview::TsplInterpreter printer(sink);
    printer.feed(QByteArray("SIZE 2,1\r\nBITMAP -5,-3,3,\",2,\xff\r\nCLS\r\nPRINT 1\r\n"));
    printer.finish();
    EXPECT_FALSE(printer.warnings().isEmpty());
}

} // namespace
} // namespace pelmar
