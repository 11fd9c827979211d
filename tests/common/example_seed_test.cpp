#include "common/example_seed.h"

#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using pelmar::common::seedFromExample;
using pelmar::test::big5;
using pelmar::test::TempFolder;

namespace {

QByteArray settingsWith(const QByteArray& textFileLine) {
    return "[Files]\r\n" + textFileLine +
           "\r\nLabelCount=1\r\n[Fields]\r\nField01=" + big5(QStringLiteral("品名")) +
           ",0,20,1,0\r\n";
}

// An example shop of a settings file, a format, a picture and a subfolder that is not copied.
void writeExample(const TempFolder& example, const QByteArray& settings) {
    example.write(QStringLiteral("Pelmar.INI"), settings);
    example.write(QStringLiteral("PRICE.FMT"), "LabelWidth=60\r\n");
    example.write(QStringLiteral("logo.pcx"), QByteArray(130, '\x0A'));
    QDir(example.path()).mkpath(QStringLiteral("out"));
    example.write(QStringLiteral("out/label-00001.png"), "old");
}

TEST(ExampleSeed, CopiesTheShopAndAnchorsARelativeDataFile) {
    TempFolder example;
    TempFolder home;
    writeExample(example, settingsWith("TextFileName=ITEMS.TXT"));
    const QString folder = home.file(QStringLiteral("pelmar"));

    ASSERT_TRUE(seedFromExample(folder, example.path()));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name),
              (QStringList{"PRICE.FMT", "Pelmar.INI", "logo.pcx"}));
    EXPECT_FALSE(QDir(folder).exists(QStringLiteral("out")));
    // Only the value of TextFileName changes; the Big5 bytes and CR LF line ends stay.
    QFile settings(folder + QStringLiteral("/Pelmar.INI"));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_EQ(settings.readAll(), settingsWith("TextFileName=" + folder.toUtf8() + "/ITEMS.TXT"));
}

TEST(ExampleSeed, LeavesAFolderWithSettingsAndItsFilesAlone) {
    TempFolder example;
    TempFolder shop;
    writeExample(example, settingsWith("TextFileName=ITEMS.TXT"));
    // Any letter case of the settings file name counts as present.
    shop.write(QStringLiteral("PELMAR.ini"), "[Files]\r\n");
    shop.write(QStringLiteral("PRICE.FMT"), "mine");

    EXPECT_FALSE(seedFromExample(shop.path(), example.path()));
    EXPECT_EQ(QDir(shop.path()).entryList(QDir::Files).size(), 2);
    EXPECT_EQ(shop.read(QStringLiteral("PRICE.FMT")), "mine");
}

TEST(ExampleSeed, NeverOverwritesAFileOfTheUser) {
    TempFolder example;
    TempFolder shop;
    writeExample(example, settingsWith("TextFileName=ITEMS.TXT"));
    shop.write(QStringLiteral("PRICE.FMT"), "mine");

    EXPECT_TRUE(seedFromExample(shop.path(), example.path()));
    EXPECT_EQ(shop.read(QStringLiteral("PRICE.FMT")), "mine");
    EXPECT_TRUE(QFile::exists(shop.file(QStringLiteral("logo.pcx"))));
}

TEST(ExampleSeed, KeepsDataFileNamesThatAreNotRelative) {
    const QByteArray lines[] = {
        "TextFileName=/srv/shop/ITEMS.TXT",
        "TextFileName=C:\\DATA\\ITEMS.TXT",
        "TextFileName=",
    };
    for (const QByteArray& line : lines) {
        TempFolder example;
        TempFolder shop;
        writeExample(example, settingsWith(line));
        ASSERT_TRUE(seedFromExample(shop.path(), example.path()));
        EXPECT_EQ(shop.read(QStringLiteral("Pelmar.INI")), settingsWith(line)) << line.data();
    }
}

TEST(ExampleSeed, NothingHappensWithoutAnInstalledExample) {
    TempFolder empty;
    TempFolder shop;
    EXPECT_FALSE(seedFromExample(shop.path(), empty.path()));
    EXPECT_FALSE(seedFromExample(shop.path(), empty.file(QStringLiteral("missing"))));
    EXPECT_TRUE(QDir(shop.path()).entryList(QDir::Files).isEmpty());
}

TEST(ExampleSeed, CopiesAreWritableForTheUser) {
    TempFolder example;
    TempFolder shop;
    writeExample(example, settingsWith("TextFileName=ITEMS.TXT"));
    for (const QString& name : QDir(example.path()).entryList(QDir::Files))
        QFile::setPermissions(example.file(name), QFileDevice::ReadOwner | QFileDevice::ReadOther);

    ASSERT_TRUE(seedFromExample(shop.path(), example.path()));
    for (const QString& name : QDir(shop.path()).entryList(QDir::Files))
        EXPECT_TRUE(QFile::permissions(shop.file(name)) & QFileDevice::WriteOwner)
            << name.toStdString();
}

} // namespace
