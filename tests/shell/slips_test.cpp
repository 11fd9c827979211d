// The slips of a careless shop, made on copies of the example shop and run through the programs
// as a shop starts them: each ends with nothing at the printer (its virtual printer, preview:out),
// its exit status and a message naming what is wrong; the shop as it is prints its 39 labels.
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

using pelmar::test::big5;
using pelmar::test::TempFolder;

enum class Program { Print, Window }; // pelmar-print, pelmar
using enum Program;
constexpr int kStaysOpen = -2; // the window is still open after three seconds

// A slip: the program, its arguments ("{home}": the shop's folder), then the exit status, the
// labels that reached the printer and a text of standard output or error; files of the shop
// replaced first (a null text removes the file) and settings set ("Key=value" replaces the key's
// line; "Section/Key=value" adds the line when there is none).
struct Slip {
    const char* name;
    Program program;
    QStringList arguments;
    int status;
    int labels;
    QString said;
    std::vector<std::pair<QString, QByteArray>> files = {};
    QStringList settings = {};
};

// The settings text with a setting set: the key's line, else a line atop its section.
QByteArray withSetting(const QByteArray& ini, const QString& setting) {
    QString text = QString::fromLatin1(ini);
    const qsizetype slash = setting.indexOf(u'/');
    const bool named = slash >= 0 && slash < setting.indexOf(u'=');
    const QString section = QStringLiteral("[%1]\r\n").arg(named ? setting.left(slash) : "");
    const QString entry = QString::fromLatin1(big5(named ? setting.mid(slash + 1) : setting));
    const QString key = entry.left(entry.indexOf(u'=') + 1);
    const qsizetype at =
        text.indexOf(QRegularExpression("(?m)^" + QRegularExpression::escape(key)));
    if (at >= 0)
        text.replace(at, text.indexOf(u'\r', at) - at, entry);
    else if (text.contains(section))
        text.insert(text.indexOf(section) + section.size(), entry + QStringLiteral("\r\n"));
    else
        text += section + entry + QStringLiteral("\r\n");
    return text.toLatin1();
}

const std::pair<QString, QByteArray> kToday{"today.csv", "47100,TEA,320,2\r\n47101,CAKE,680,1\r\n"};

const Slip kSlips[] = {
    {"the shop prints", Print, {}, 0, 39, "39 label(s) from 24 record(s) printed"},
    {"and so does the window", Window, {}, 0, 39, ""},
    {"help", Window, {"--help"}, 0, 0, "usage: pelmar [DATAFILE]"},
    {"short help", Print, {"-h"}, 0, 0, "usage: pelmar-print"},
    {"version", Window, {"--version"}, 0, 0, "pelmar " PELMAR_VERSION "\n"},
    {"version of the tool", Print, {"--version"}, 0, 0, "pelmar-print " PELMAR_VERSION "\n"},
    {"dash T opens the window", Window, {"-T"}, kStaysOpen, 0, ""},
    {"unknown option", Window, {"-x"}, 2, 0, "不明的選項「-x」"},
    {"missing file", Window, {"today.csv"}, 2, 0, "「today.csv」不是選項, 也找不到這個資料檔"},
    {"csv named", Window, {"today.csv"}, 0, 3, "", {kToday}},
    {"relative data option", Print, {"--data", "today.csv"}, 0, 3, "3 label(s) from 2", {kToday}},
    {"no settings file", Print, {}, 2, 0, "找不到設定檔 {home}/Pelmar.INI", {{"Pelmar.INI", {}}}},
    {"saved price", Print, {}, 0, 39, "售價調整 +10", {}, {"EditPrice=1", "ADPrice=10"}},
    {"dry run", Print, {"--dry-run"}, 0, 0, "record 1 of 24: 4710088410016 | 烏龍茶葉 150g |"},
};

class SlipTest : public ::testing::TestWithParam<Slip> {};

TEST_P(SlipTest, EndsAsItMust) {
    const Slip& slip = GetParam();
    TempFolder shop;
    TempFolder elsewhere; // the current folder: relative names are not found by chance
    const QDir example(QStringLiteral(PELMAR_SOURCE_DIR "/examples/shop"));
    for (const QString& file : example.entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(example.filePath(file), shop.file(file)));
    QByteArray ini = shop.read(QStringLiteral("Pelmar.INI"));
    for (const QString& setting : slip.settings)
        ini = withSetting(ini, setting);
    shop.write(QStringLiteral("Pelmar.INI"), ini);
    for (const auto& [name, bytes] : slip.files) {
        if (bytes.isNull())
            QFile::remove(shop.file(name));
        else
            shop.write(name, bytes);
    }

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PELMAR_HOME"), shop.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("CUPS_SERVER"), shop.file(QStringLiteral("no-cups")));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(elsewhere.path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    const bool window = slip.program == Window;
    QStringList arguments = slip.arguments;
    arguments.replaceInStrings(QStringLiteral("{home}"), shop.path());
    process.start(QStringLiteral(PELMAR_BINARY_DIR "/bin/") + (window ? "pelmar" : "pelmar-print"),
                  arguments);
    int status = kStaysOpen;
    if (process.waitForFinished(slip.status == kStaysOpen ? 3000 : 60000))
        status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    process.kill();
    process.waitForFinished();
    const QString said = QString::fromUtf8(process.readAll());

    EXPECT_EQ(status, slip.status) << said.toStdString();
    EXPECT_TRUE(said.contains(QString(slip.said).replace("{home}", shop.path())))
        << said.toStdString();
    const QDir out(shop.file(QStringLiteral("out")));
    EXPECT_EQ(out.entryList({QStringLiteral("label-*.png")}, QDir::Files).size(), slip.labels);
}

INSTANTIATE_TEST_SUITE_P(
    Shop, SlipTest, ::testing::ValuesIn(kSlips), [](const ::testing::TestParamInfo<Slip>& info) {
        return QString::fromLatin1(info.param.name).replace(u' ', u'_').toStdString();
    });

} // namespace
