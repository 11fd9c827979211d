#include "state/ini_file.h"

#include "support/run_error_of.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using pelmar::common::CodePage;
using pelmar::state::IniFile;
using pelmar::test::big5;
using pelmar::test::runErrorNumberOf;
using pelmar::test::runErrorOf;
using pelmar::test::TempFolder;

namespace {

IniFile iniWith(const TempFolder& dir, const QByteArray& bytes,
                const CodePage& codePage = CodePage()) {
    return IniFile(dir.write(QStringLiteral("Pelmar.INI"), bytes), codePage);
}

TEST(IniFileRead, FollowsThePrivateProfileRules) {
    struct Case {
        const char* what;
        QByteArray file;
        QByteArray section, key, defaultValue;
        int bufferSize;
        QByteArray expected;
    };
    const Case cases[] = {
        {"missing section", "[Other]\r\nKey=1\r\n", "Files", "Key", "dflt", 16, "dflt"},
        {"missing key", "[Files]\r\nOther=1\r\n", "Files", "Key", "dflt", 16, "dflt"},
        {"empty value is not the default", "[Files]\r\nKey=\r\n", "Files", "Key", "dflt", 16, ""},
        {"names ignore letter case", "[fILES]\r\nkEY=v\r\n", "Files", "Key", "", 16, "v"},
        {"first key wins", "[Files]\r\nKey=1\r\nKEY=2\r\n", "Files", "Key", "", 16, "1"},
        {"first section wins", "[Files]\r\nKey=1\r\n[FILES]\r\nKey=2\r\n", "Files", "Key", "", 16,
         "1"},
        {"key of another section", "[A]\r\nKey=1\r\n[B]\r\n", "B", "Key", "d", 16, "d"},
        {"blanks around names and value", "  [ Files ]  \r\n \tKey \t=  a b \t\r\n", "Files", "Key",
         "", 16, "a b"},
        {"LF line ends", "[Files]\nKey=lf\n", "Files", "Key", "", 16, "lf"},
        {"CR line ends", "[Files]\rA=1\rKey=cr\r", "Files", "Key", "", 16, "cr"},
        {"last line without line end", "[Files]\r\nKey=end", "Files", "Key", "", 16, "end"},
        {"comment is no key", "[Files]\r\n;Key=1\r\n", "Files", "Key", "d", 16, "d"},
        {"equals sign inside the value", "[F]\r\nKey=a=b\r\n", "F", "Key", "", 16, "a=b"},
        {"double quotes dropped", "[F]\r\nKey=\" x \"\r\n", "F", "Key", "", 16, " x "},
        {"single quotes dropped", "[F]\r\nKey='x'\r\n", "F", "Key", "", 16, "x"},
        {"lone quote stays", "[F]\r\nKey=\"\r\n", "F", "Key", "", 16, "\""},
        {"unequal quotes stay", "[F]\r\nKey='x\"\r\n", "F", "Key", "", 16, "'x\""},
        {"cut to buffer size - 1", "[F]\r\nAcross=12\r\n", "F", "Across", "", 2, "1"},
        {"default cut too", "", "F", "Key", "abcd", 3, "ab"},
        {"buffer of one byte", "[F]\r\nKey=abc\r\n", "F", "Key", "", 1, ""},
    };
    TempFolder dir;
    for (const Case& c : cases) {
        const IniFile ini = iniWith(dir, c.file);
        const auto value = ini.readString(c.section, c.key, c.defaultValue, c.bufferSize);
        EXPECT_EQ(value.text(), c.expected) << c.what;
        EXPECT_EQ(value.count, c.expected.size()) << c.what;
        EXPECT_EQ(value.buffer.size(), c.bufferSize) << c.what;
        EXPECT_EQ(value.buffer.mid(value.count), QByteArray(c.bufferSize - value.count, '\0'))
            << c.what;
    }
}

TEST(IniFileRead, MissingFileGivesTheDefault) {
    TempFolder dir;
    const IniFile ini(dir.file(QStringLiteral("none.ini")), CodePage());
    EXPECT_EQ(ini.readString("Files", "Key", "0", 3).text(), "0");
    EXPECT_TRUE(ini.readSection("Files").empty());
}

TEST(IniFileRead, CutNeverSplitsADoubleByteCharacter) {
    struct Case {
        QString value;
        int bufferSize;
        QString expected;
    };
    const Case cases[] = {
        {QStringLiteral("中文"), 4, QStringLiteral("中")},   // 3 bytes allowed, 4 needed
        {QStringLiteral("中文"), 5, QStringLiteral("中文")}, // exactly fits
        {QStringLiteral("a中"), 3, QStringLiteral("a")},
        {QStringLiteral("a中b"), 4, QStringLiteral("a中")},
        {QStringLiteral("中"), 2, QString()},
    };
    TempFolder dir;
    const CodePage cp950;
    for (const Case& c : cases) {
        const IniFile ini = iniWith(dir, "[F]\r\nKey=" + big5(c.value) + "\r\n");
        const auto value = ini.readString("F", "Key", "", c.bufferSize);
        EXPECT_EQ(cp950.decode(value.text()), c.expected) << c.value.toStdString();
        EXPECT_EQ(value.count, big5(c.expected).size()) << c.value.toStdString();
    }
    // UTF-8 characters of three bytes are kept whole too.
    const CodePage utf8("UTF-8");
    const IniFile ini = iniWith(dir, "[F]\nKey=" + QStringLiteral("標籤").toUtf8() + "\n", utf8);
    EXPECT_EQ(utf8.decode(ini.readString("F", "Key", "", 6).text()), QStringLiteral("標"));
}

TEST(IniFileRead, SectionEntriesInFileOrder) {
    TempFolder dir;
    const IniFile ini = iniWith(dir, "[Ports]\r\nB=2\r\n; note\r\nnot an entry\r\n a = 1 \r\n"
                                     "=nameless\r\n[Other]\r\nC=3\r\n[ports]\r\nD=4\r\n");
    const std::vector<pelmar::state::ProfileEntry> expected = {{"B", "2"}, {"a", "1"}};
    EXPECT_EQ(ini.readSection("PORTS"), expected);
}

TEST(IniFileWrite, KeepsEveryOtherByte) {
    struct Case {
        const char* what;
        QByteArray before;
        QByteArray section, key, value;
        QByteArray after;
    };
    const Case cases[] = {
        {"replace in place, CR LF and comments kept",
         "; settings\r\n[Files]\r\nTextFileName = old.txt  \r\n; kept\r\nLabelCount=1\r\n", "files",
         "TEXTFILENAME", "new.txt",
         "; settings\r\n[Files]\r\nTextFileName = new.txt  \r\n; kept\r\nLabelCount=1\r\n"},
        {"replace an empty value, LF kept", "[Label]\nAcross=\n[X]\n", "Label", "Across", "2",
         "[Label]\nAcross=2\n[X]\n"},
        {"only the first key replaced", "[F]\r\nK=1\r\nK=2\r\n", "F", "K", "3",
         "[F]\r\nK=3\r\nK=2\r\n"},
        {"new key after the section's last line, blank line stays",
         "[Fields]\nA=1\n; end\n\n[Label]\nAcross=1\n", "Fields", "B", "2",
         "[Fields]\nA=1\n; end\nB=2\n\n[Label]\nAcross=1\n"},
        {"new key in an empty section at the end", "[A]\r\nX=1\r\n[F]", "F", "K", "v",
         "[A]\r\nX=1\r\n[F]\r\nK=v"},
        {"new key after a last line without line end", "[F]\nX=1", "F", "K", "v", "[F]\nX=1\nK=v"},
        {"new section uses the file's line end", "[A]\rX=1\r", "B", "K", "v",
         "[A]\rX=1\r[B]\rK=v\r"},
        {"new section after a line without line end", "[A]\r\nX=1", "B", "K", "v",
         "[A]\r\nX=1\r\n[B]\r\nK=v\r\n"},
        {"empty file", "", "F", "K", "v", "[F]\r\nK=v\r\n"},
        {"outer blanks kept by quotes", "[F]\r\nK=,\r\n", "F", "K", " ", "[F]\r\nK=\" \"\r\n"},
        {"enclosing quotes kept by quotes", "", "F", "K", "'a'", "[F]\r\nK=\"'a'\"\r\n"},
    };
    TempFolder dir;
    for (const Case& c : cases) {
        IniFile ini = iniWith(dir, c.before);
        ini.writeString(c.section, c.key, c.value);
        EXPECT_EQ(dir.read(QStringLiteral("Pelmar.INI")), c.after) << c.what;
        EXPECT_EQ(ini.bytes(), c.after) << c.what;
        // What was written reads back as it was given.
        const IniFile again(ini.path(), CodePage());
        EXPECT_EQ(again.readString(c.section, c.key, "?", 64).text(), c.value) << c.what;
    }
}

TEST(IniFileWrite, CreatesAMissingFile) {
    TempFolder dir;
    IniFile ini(dir.file(QStringLiteral("new.ini")), CodePage());
    ini.writeString("Files", "TextFileName", big5(QStringLiteral("資料.TXT")));
    ini.writeString("Fields", "ADPrice", "-3");
    EXPECT_EQ(dir.read(QStringLiteral("new.ini")),
              "[Files]\r\nTextFileName=" + big5(QStringLiteral("資料.TXT")) +
                  "\r\n[Fields]\r\nADPrice=-3\r\n");
}

TEST(IniFileWrite, RefusesWhatCannotBeStoredOnOneLine) {
    struct Case {
        QByteArray section, key, value;
    };
    const Case cases[] = {
        {"F", "K", "a\r\nK2=b"}, {"F", "K", "a\nb"}, {"F", "K", QByteArray("a\0b", 3)},
        {"F]", "K", "v"},        {"F", "K=1", "v"},  {"", "K", "v"},
        {"F", "", "v"},          {"F", ";K", "v"},   {"F", " K", "v"},
    };
    TempFolder dir;
    for (const Case& c : cases) {
        IniFile ini = iniWith(dir, "[F]\r\nK=old\r\n");
        EXPECT_EQ(runErrorNumberOf([&] { ini.writeString(c.section, c.key, c.value); }), 5)
            << "accepted " << c.section.toStdString() << "/" << c.key.toStdString();
        EXPECT_EQ(dir.read(QStringLiteral("Pelmar.INI")), "[F]\r\nK=old\r\n");
    }
}

TEST(IniFileWrite, MissingFolderIsAnAccessError) {
    TempFolder dir;
    IniFile ini(dir.file(QStringLiteral("no/such/Pelmar.INI")), CodePage());
    const auto error = runErrorOf([&] { ini.writeString("F", "K", "v"); });
    ASSERT_TRUE(error) << "no error";
    EXPECT_EQ(error->number(), 75);
    EXPECT_TRUE(error->description().contains(QStringLiteral("no/such/Pelmar.INI")));
    EXPECT_TRUE(error->description().startsWith(QStringLiteral("無法寫入設定檔")));
    EXPECT_TRUE(ini.bytes().isEmpty());
}

// Writes into a folder that the writer may not change; returns the error number seen (0 none).
int writeIntoReadOnlyFolder(const QString& path) {
    const auto error = runErrorOf([&] {
        IniFile ini(path, CodePage());
        ini.writeString("Files", "TextFileName", "new.txt");
    });
    return !error ? 0 : error->description().contains(path) ? error->number() : 1;
}

TEST(IniFileWrite, ReadOnlyFolderLeavesTheOldFile) {
    TempFolder dir;
    const QByteArray old = "[Files]\r\nTextFileName=old.txt\r\n";
    const QString path = dir.write(QStringLiteral("Pelmar.INI"), old);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    int result = -1;
    if (::geteuid() != 0) {
        result = writeIntoReadOnlyFolder(path);
    } else {
        // The superuser writes anywhere: the write is tried by an ordinary user instead.
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(2);
            ::_exit(writeIntoReadOnlyFolder(path));
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        result = WEXITSTATUS(status);
    }
    ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
    EXPECT_EQ(result, 75);
    EXPECT_EQ(dir.read(QStringLiteral("Pelmar.INI")), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("Pelmar.INI")});
}

TEST(IniFileRead, UnreadableFileIsAnAccessError) {
    TempFolder dir;
    QDir(dir.path()).mkdir(QStringLiteral("Pelmar.INI"));
    const auto error =
        runErrorOf([&] { IniFile ini(dir.file(QStringLiteral("Pelmar.INI")), CodePage()); });
    ASSERT_TRUE(error) << "no error";
    EXPECT_EQ(error->number(), 75);
    EXPECT_TRUE(error->description().contains(QStringLiteral("Pelmar.INI")));
}

} // namespace
