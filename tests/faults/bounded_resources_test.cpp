// Input far beyond what a shop produces: each is handled or refused with a message, in bounded
// memory (kMemoryBoundMb above the resident size before it) and bounded time.
#include "common/pcx_decoder.h"
#include "data/data_file_reader.h"
#include "faults/resource_probe.h"
#include "format/format_loader.h"
#include "preview/tspl_interpreter.h"
#include "support/recording_message_box.h"
#include "support/run_error_of.h"
#include "support/temp_folder.h"

#include <QFile>
#include <gtest/gtest.h>

namespace pelmar {
namespace {

using namespace std::chrono_literals;

// Writes `lines` lines made by line(i), each ended by CR LF, without holding the file in memory.
void writeLines(const QString& path, int lines, const std::function<QByteArray(int)>& line) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    for (int i = 0; i < lines; ++i)
        ASSERT_GT(file.write(line(i) + "\r\n"), 0);
}

state::WorkingState dataState(const test::TempFolder& folder, const QString& file) {
    state::WorkingState state;
    state.programFolder = folder.path();
    state.textFileName = folder.file(file);
    state.commandLine = QStringLiteral("/T");
    state.delimiter = QStringLiteral(",");
    state.fieldCount = 4;
    state.field.recreate(5, 5);
    for (int row = 1; row <= 4; ++row) {
        state.field.set(row, 0, QStringLiteral("F%1").arg(row));
        state.field.set(row, 3, QStringLiteral("1"));
    }
    return state;
}

void expectBounded(const test::ResourceUse& use, std::chrono::seconds limit) {
    EXPECT_LT(use.peakMb, test::kMemoryBoundMb) << "peak " << use.peakMb << " MB";
    EXPECT_LT(use.seconds, limit) << use.seconds.count() << " s";
}

TEST(BoundedResources, DataFilesOfOneHugeLine) {
    const struct {
        const char* name;
        qint64 bytes;
        bool refused;
    } cases[] = {
        {"a 40 MB line: refused as not fitting into memory", 40LL << 20, true},
        {"at the line limit: read", data::kMaxDataLineBytes, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempFolder folder;
        {
            QFile file(folder.file(QStringLiteral("BIG.TXT")));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            const QByteArray block(1 << 20, 'x');
            for (qint64 left = c.bytes - 1; left > 0; left -= block.size())
                file.write(
                    block.left(static_cast<qsizetype>(std::min<qint64>(left, block.size()))));
            file.write(",");
        }
        state::WorkingState state = dataState(folder, QStringLiteral("BIG.TXT"));
        test::RecordingMessageBox messages;
        data::DataReadResult result;
        const test::ResourceUse use =
            test::measure([&] { result = data::LoadDataFile(state, messages); });
        expectBounded(use, 60s);
        RecordProperty(c.refused ? "huge_line_peak_mb" : "line_limit_peak_mb",
                       static_cast<int>(use.peakMb));
        if (c.refused) {
            EXPECT_TRUE(result.failed);
            EXPECT_EQ(result.errorNumber, 7);
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0].caption, QStringLiteral("發生非預期錯誤(7)"));
            EXPECT_TRUE(messages.shown[0].text.startsWith(u"記憶體不足"));
            EXPECT_EQ(state.recordCount, 0);
        } else {
            EXPECT_FALSE(result.failed);
            EXPECT_EQ(state.recordCount, 1);
        }
    }
}

TEST(BoundedResources, DataFileOf32767LinesOf2Kilobytes) {
    test::TempFolder folder;
    writeLines(folder.file(QStringLiteral("ITEMS.TXT")), data::kMaxDataLines, [](int i) {
        // Every value differs from the one above it, so none is shared.
        return "ITEM" + QByteArray::number(i) + "," + QByteArray::number(i) +
               QByteArray(2000, 'n') + ",12.5,1";
    });
    state::WorkingState state = dataState(folder, QStringLiteral("ITEMS.TXT"));
    test::RecordingMessageBox messages;
    data::DataReadResult result;
    const test::ResourceUse use =
        test::measure([&] { result = data::LoadDataFile(state, messages); });
    expectBounded(use, 60s);
    EXPECT_FALSE(result.failed);
    EXPECT_EQ(state.recordCount, data::kMaxDataLines);
    EXPECT_EQ(state.records.at(data::kMaxDataLines, 1), QStringLiteral("ITEM32766"));
    RecordProperty("peak_mb", static_cast<int>(use.peakMb));
    RecordProperty("milliseconds", static_cast<int>(use.seconds.count() * 1000));
}

TEST(BoundedResources, FormatFilesOf100000Lines) {
    struct Case {
        const char* name;
        std::function<QByteArray(int)> line;
        int error; // 0: loads
    };
    const Case cases[] = {
        // Comments and keys the loader does not know are passed over (the keys with a warning);
        // a format with nothing to print is an error.
        {"comments and unknown keys",
         [](int i) -> QByteArray {
             return i % 2 ? "' comment " + QByteArray::number(i) : "Unknown=" + QByteArray(80, 'v');
         },
         common::InvalidArgument},
        // The 21st box is beyond the table: error 9 after 20 rows, not 100,000 rows.
        {"a box on every line", [](int) -> QByteArray { return "Box=10,10,470,310,3"; },
         common::SubscriptOutOfRange},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempFolder folder;
        writeLines(folder.file(QStringLiteral("HUGE.FMT")), 100000, c.line);
        state::WorkingState state;
        state.programFolder = folder.path();
        state.formatFileName = QStringLiteral("HUGE.FMT");
        test::RecordingMessageBox messages;
        format::FormatLoadResult result;
        const test::ResourceUse use =
            test::measure([&] { result = format::LoadFormat(state, messages); });
        expectBounded(use, 30s);
        EXPECT_EQ(result.errorNumber, c.error);
        EXPECT_EQ(messages.shown.size(), c.error ? 1u : 0u);
        EXPECT_LE(state.format.command.boxElements.count,
                  state::ElementTable<state::CommandFormat::Box>::kCapacity);
    }
}

class CountingSink : public preview::LabelSink {
public:
    void label(const QImage&) override { ++labels; }
    int labels = 0;
};

TEST(BoundedResources, TsplStreamsClaimingGigabytes) {
    const struct {
        const char* name;
        QByteArray stream;
    } cases[] = {
        {"BITMAP of 100,000 x 100,000 dots",
         "SIZE 60 mm,40 mm\r\nCLS\r\nBITMAP 0,0,12500,100000,0," + QByteArray(4096, '\xAA') +
             "\r\nPRINT 1\r\n"},
        {"DOWNLOAD of 4 GB", "DOWNLOAD \"BIG.PCX\",4000000000," + QByteArray(4096, 'x') +
                                 "\r\nPUTPCX 0,0,\"BIG.PCX\"\r\nPRINT 1\r\n"},
        {"DOWNLOAD of 2 GB as a BMP of 30,000 x 30,000",
         [] {
             QByteArray bmp("BM", 2);
             bmp += QByteArray(16, '\0');
             const qint32 side = 30000;
             bmp += QByteArray(reinterpret_cast<const char*>(&side), 4);
             bmp += QByteArray(reinterpret_cast<const char*>(&side), 4);
             bmp += QByteArray(40, '\0');
             return "SIZE 60 mm,40 mm\r\nDOWNLOAD \"HUGE.BMP\"," + QByteArray::number(bmp.size()) +
                    "," + bmp + "\r\nCLS\r\nPUTBMP 0,0,\"HUGE.BMP\"\r\nPRINT 1\r\n";
         }()},
        {"SIZE of 10 m x 10 m",
         "SIZE 10000 mm,10000 mm\r\nCLS\r\nBOX 0,0,100,100,2\r\nPRINT 1\r\n"},
        {"PRINT of 2 billion labels", "SIZE 60 mm,40 mm\r\nCLS\r\nPRINT 2000000000\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CountingSink sink;
        preview::TsplInterpreter printer(sink);
        const test::ResourceUse use = test::measure([&] {
            printer.feed(c.stream);
            printer.finish();
        });
        expectBounded(use, 30s);
        EXPECT_LE(sink.labels, preview::TsplLimits().maxLabelsPerPrint);
        // What was refused is told.
        EXPECT_FALSE(printer.warnings().isEmpty());
    }
}

TEST(BoundedResources, PcxPictureOf30000By30000PixelsIsRefused) {
    QByteArray pcx(128, '\0');
    pcx[0] = 0x0A;
    pcx[1] = 5;
    pcx[2] = 1;
    pcx[3] = 8;
    pcx[8] = static_cast<char>(29999 & 0xFF);
    pcx[9] = static_cast<char>(29999 >> 8);
    pcx[10] = static_cast<char>(29999 & 0xFF);
    pcx[11] = static_cast<char>(29999 >> 8);
    pcx[65] = 3;
    pcx[66] = static_cast<char>(30000 & 0xFF);
    pcx[67] = static_cast<char>(30000 >> 8);
    pcx += QByteArray(4096, '\xC1');
    std::optional<common::RunError> error;
    const test::ResourceUse use =
        test::measure([&] { error = test::runErrorOf([&] { common::decodePcx(pcx); }); });
    expectBounded(use, 1s);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), common::InvalidPicture);
    EXPECT_TRUE(error->description().contains(u"picture too large")) << error->what();
}

} // namespace
} // namespace pelmar
