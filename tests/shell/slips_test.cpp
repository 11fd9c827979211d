// Slips of a careless shop on copies of the example shop, run as a shop runs the programs: each
// ends with its status and message and nothing at the printer; the shop prints its 39 labels.
#include "support/pelmar_print_run.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <cctype>
#include <gtest/gtest.h>

namespace {

enum class Program { Print, Window }; // pelmar-print, pelmar
using enum Program;
constexpr int kStaysOpen = -2; // the window is still open after three seconds

// A text of one of the shop's files replaced before the run (a new key of the settings:
// {kIni, "[Files]\r\n", "[Files]\r\nCodePage=UTF-8\r\n"}).
struct Edit {
    const char* file;
    QByteArray from, to;
};
constexpr const char* kIni = "Pelmar.INI";
constexpr const char* kFormat = "PRICE.FMT";
constexpr const char* kData = "ITEMS.TXT";

// A slip: the program and its arguments, the exit status, the labels at the printer and a text of
// its output ("{home}": the shop); before the run, files replaced (a null text removes one), then
// texts of files replaced.
struct Slip {
    const char* name;
    Program program;
    QStringList arguments;
    int status, labels;
    QString said;
    std::vector<std::pair<QString, QByteArray>> files = {};
    std::vector<Edit> edits = {};
};

const std::pair<QString, QByteArray> kToday{"today.csv", "47100,TEA,320,2\r\n47101,CAKE,680,1\r\n"};

const std::vector<Edit> kSavedPrice{{kIni, "EditPrice=0", "EditPrice=1"},
                                    {kIni, "ADPrice=0", "ADPrice=10"}};

// clang-format off
const Slip kSlips[] = {
    {"the shop prints", Print, {}, 0, 39, "39 label(s) from 24 record(s) printed"},
    {"help", Window, {"--help"}, 0, 0, "usage: pelmar [DATAFILE]"},
    {"short help", Window, {"-h"}, 0, 0, "usage: pelmar [DATAFILE]"},
    {"version", Window, {"--version"}, 0, 0, "pelmar " PELMAR_VERSION "\n"},
    {"version of the tool", Print, {"--version"}, 0, 0, "pelmar-print " PELMAR_VERSION "\n"},
    {"dash T opens the window", Window, {"-T"}, kStaysOpen, 0, ""},
    {"unknown option", Window, {"-x"}, 2, 0, "不明的選項「-x」"},
    {"missing file", Window, {"today.csv"}, 2, 0, "「today.csv」不是選項, 也找不到這個資料檔"},
    {"csv named", Window, {"today.csv"}, 0, 3, "", {kToday}},
    {"relative data option", Print, {"--data", "today.csv"}, 0, 3, "3 label(s) from 2", {kToday}},
    {"no settings file", Print, {}, 2, 0, "找不到設定檔 {home}/Pelmar.INI", {{"Pelmar.INI", {}}}},
    {"saved price", Print, {}, 0, 39, "售價調整 +10", {}, kSavedPrice},
    {"dry run", Print, {"--dry-run"}, 0, 0, "record 1 of 24: 4710088410016 | 烏龍茶葉 150g |"},
    {"C library reason", Print, {"--printer", "file:/no/such"}, 5, 0, "/no/such: 找不到檔案或資料夾"},
    {"Qt reason", Print, {"--printer", "trace:/no/such"}, 5, 0, "/no/such: 找不到檔案或資料夾"},
    // The data file is checked whole before the first byte.
    {"thousands separator", Print, {}, 3, 0, "第 1 行有 4 個分隔字元, 決定欄位的第 24 行只有 3 個", {}, {{kData, ",320,2", ",1,320,2"}}},
    {"quoted name", Print, {}, 3, 0, "第 1 行有 4 個分隔字元", {}, {{kData, "4710088410016,", "\"Tea, green\","}}},
    {"last line lost a field", Print, {}, 3, 0, "第 1 行有 3 個分隔字元, 決定欄位的第 24 行只有 2 個", {}, {{kData, ",79,1\r\n", ",1\r\n"}}},
    {"Ctrl-Z after the last line", Print, {}, 0, 39, "", {}, {{kData, ",79,1\r\n", ",79,1\r\n\x1a"}}},
    {"UTF-8 export", Print, {}, 3, 0, "CodePage=UTF-8", {{kData, "4710088410016,烏龍茶葉 150g,320,2\r\n"}}},
    // The format is checked whole before the first byte.
    {"no print speed", Print, {}, 4, 0, "要設定列印速度", {}, {{kFormat, "PrintSpeed=4\r\n", ""}}},
    {"print speed 0", Print, {}, 4, 0, "第 7 行 PrintSpeed=0: 列印速度", {}, {{kFormat, "PrintSpeed=4", "PrintSpeed=0"}}},
    {"width not a number", Print, {}, 4, 0, "標籤寬度 (公釐) 必須是一個數字", {}, {{kFormat, "LabelWidth=60", "LabelWidth=abc"}}},
    {"empty format", Print, {}, 4, 0, "格式檔名=PRICE.FMT", {{kFormat, ""}}},
    {"binary format", Print, {}, 4, 0, "格式檔名=PRICE.FMT", {{kFormat, QByteArray("\x7f\x45\x4c\x46\x02\x01\x00\xff\x80=\x01,\r\n", 14)}}},
    {"short element line", Print, {}, 4, 0, "Line 需要 4 個以逗號分開的值", {}, {{kFormat, "Line=6,86,468,3", "Line=6,86,468"}}},
    {"unknown barcode type", Print, {}, 4, 0, "印表機不認得條碼類型 128X", {}, {{kFormat, ",128M,", ",128X,"}}},
    {"missing picture", Print, {}, 4, 0, "找不到圖檔 NOLOGO.PCX", {}, {{kFormat, "LOGO.PCX", "NOLOGO.PCX"}}},
    {"unknown key warns", Print, {}, 8, 39, "不認得的關鍵字「Sensortype」", {}, {{kFormat, "SensorType=0", "Sensortype=0"}}},
    // Barcode data and prices that would print wrong labels leave their record out.
    {"Chinese in Code 128", Print, {}, 7, 37, "第 1 筆", {}, {{kData, "4710088410016,", "471008841001\xa4\xa4,"}}},
    {"price not a number", Print, {}, 7, 37, "售價欄位 3 的內容「N/A」不是數字", {}, {{kIni, "EditPrice=0", "EditPrice=1"}, {kIni, "ADPrice=0", "ADPrice=5"}, {kData, ",320,2", ",N/A,2"}}},
};
// clang-format on

class SlipTest : public ::testing::TestWithParam<Slip> {};

TEST_P(SlipTest, EndsAsItMust) {
    const Slip& slip = GetParam();
    pelmar::test::TempFolder shop;
    pelmar::test::TempFolder
        elsewhere; // the current folder: relative names are not found by chance
    const QDir example(QStringLiteral(PELMAR_SOURCE_DIR "/examples/shop"));
    for (const QString& file : example.entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(example.filePath(file), shop.file(file)));
    for (const auto& [name, bytes] : slip.files) {
        if (bytes.isNull())
            QFile::remove(shop.file(name));
        else
            shop.write(name, bytes);
    }
    for (const Edit& edit : slip.edits) {
        const QString name = QString::fromLatin1(edit.file);
        QByteArray text = shop.read(name);
        ASSERT_TRUE(text.contains(edit.from)) << edit.file << ": " << edit.from.constData();
        shop.write(name, text.replace(edit.from, edit.to));
    }

    QProcess process;
    process.setProcessEnvironment(
        pelmar::test::programEnvironment(shop.path(), shop.file(QStringLiteral("no-cups"))));
    process.setWorkingDirectory(elsewhere.path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    const char* program = slip.program == Window ? "pelmar" : "pelmar-print";
    process.start(QStringLiteral(PELMAR_BINARY_DIR "/bin/") + program, slip.arguments);
    int status = kStaysOpen;
    if (process.waitForFinished(slip.status == kStaysOpen ? 3000 : 60000))
        status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    process.kill();
    process.waitForFinished();
    const QString said = QString::fromUtf8(process.readAll());

    EXPECT_EQ(status, slip.status) << said.toStdString();
    EXPECT_TRUE(said.contains(QString(slip.said).replace("{home}", shop.path())))
        << said.toStdString();
    EXPECT_EQ(QDir(shop.file("out")).entryList({"label-*.png"}, QDir::Files).size(), slip.labels);
}

INSTANTIATE_TEST_SUITE_P(Shop, SlipTest, ::testing::ValuesIn(kSlips),
                         [](const ::testing::TestParamInfo<Slip>& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

} // namespace
