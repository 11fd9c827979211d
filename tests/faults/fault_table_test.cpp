// Runs of pelmar-print that meet a full disk, a file-size limit or an output naming one of their
// own inputs: each row asserts the exit status, the message and that the file in harm's way is
// byte for byte the old one, with nothing of the failed write left beside it.
#include "support/pelmar_print_run.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>

namespace {

using pelmar::test::TempFolder;

// Where the disk gives out: a 64 KB tmpfs under the program folder or under the output's
// folder (root only; the row is skipped elsewhere), or a 24 KB limit on the size of every file
// the run writes.
enum class Disk { Roomy, SmallHome, SmallOutputFolder, FileSizeLimit };

struct Row {
    const char* name;
    Disk disk;
    const char* output;  // --output (driver mode), or "" for "Send Command" mode to a port file;
                         // {home} and {out} stand for the two folders
    bool largeSettings;  // a settings file of 40 KB
    const char* records; // --records, or "" for all
    int status;
    const char* message; // {home}, {out} as in output
    const char* kept;    // the file that must stay as it was
};

const Row kRows[] = {
    {"settings on a full disk", Disk::SmallHome, "", true, "", 9,
     "無法寫入設定檔 {home}/Pelmar.INI (磁碟空間不足)", "{home}/Pelmar.INI"},
    {"settings over the file-size limit", Disk::FileSizeLimit, "", true, "1-1", 9,
     "無法寫入設定檔 {home}/Pelmar.INI", "{home}/Pelmar.INI"},
    {"PDF on a full disk", Disk::SmallOutputFolder, "{out}/labels.pdf", false, "", 5,
     "無法寫入 PDF 檔 {out}/labels.pdf: 磁碟空間不足", "{out}/labels.pdf"},
    {"PDF over the file-size limit", Disk::FileSizeLimit, "{out}/labels.pdf", false, "", 5,
     "無法寫入 PDF 檔 {out}/labels.pdf", "{out}/labels.pdf"},
    {"output is the settings file", Disk::Roomy, "{home}/Pelmar.INI", false, "", 2,
     "--output: {home}/Pelmar.INI 是這次列印讀取的設定檔", "{home}/Pelmar.INI"},
    {"output is a link to the settings file", Disk::Roomy, "{out}/link.pdf", false, "", 2,
     "--output: {out}/link.pdf 是這次列印讀取的設定檔 ({home}/Pelmar.INI)", "{home}/Pelmar.INI"},
    {"output is the data file", Disk::Roomy, "{home}/items.txt", false, "", 2,
     "--output: {home}/items.txt 是這次列印讀取的資料檔", "{home}/items.txt"},
    {"output is the format in other letter case", Disk::Roomy, "{home}/drv.fmt", false, "", 2,
     "--output: {home}/drv.fmt 是這次列印讀取的格式檔", "{home}/drv.fmt"},
    {"output is a picture of the format", Disk::Roomy, "{home}/LOGO.PCX", false, "", 2,
     "--output: {home}/LOGO.PCX 是這次列印讀取的格式 DRV.FMT 的圖片", "{home}/LOGO.PCX"},
    {"output is a device", Disk::Roomy, "/dev/full", false, "", 2,
     "--output: /dev/full 不是一般檔案", "{home}/Pelmar.INI"},
};

// A 64 KB tmpfs on folder for the life of the object, when the process may mount one.
class SmallDisk {
public:
    explicit SmallDisk(const QString& folder) : m_folder(folder.toLocal8Bit()) {
        m_mounted = ::mount("tmpfs", m_folder.constData(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallDisk() {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool mounted() const { return m_mounted; }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};

// The run's children may write no file beyond 24 KB; a write past it fails with EFBIG.
class FileSizeLimit {
public:
    FileSizeLimit() {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = m_saved;
        small.rlim_cur = 24 * 1024;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_signal);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved{};
    void (*m_signal)(int) = nullptr;
};

// The shop of the row: the data file, a format that draws a picture, the settings.
void writeShop(const TempFolder& home, const TempFolder& out, const Row& row) {
    const bool driver = *row.output != 0;
    QByteArray lines;
    for (int i = 1; i <= 40; ++i)
        lines += "ITEM" + QByteArray::number(i) + ",1\r\n";
    home.write(QStringLiteral("items.txt"), lines);
    out.write(QStringLiteral("port.bin"), {});
    QFile logo(QStringLiteral(PELMAR_SOURCE_DIR "/examples/shop/logo.pcx"));
    ASSERT_TRUE(logo.open(QIODevice::ReadOnly));
    home.write(QStringLiteral("LOGO.PCX"), logo.readAll());
    home.write(
        QStringLiteral("drv.fmt"),
        driver
            ? "LabelWidth=60\r\nLabelHeight=40\r\nV_Text=120,20,12,0,0,Arial,1\r\n"
              "V_Barcode=120,120,128,1\r\nGraphic=16,14,8,8,LOGO.PCX\r\n"
            : "LabelWidth=60\r\nLabelHeight=40\r\nLabelGap=2\r\nPrintSpeed=4\r\nPrintDarken=8\r\n"
              "V_Text=120,20,48,0,0,0,Arial,1\r\nGraphic=16,14,LOGO.PCX\r\n");
    QByteArray ini =
        ("[Files]\r\nTextFileName=" + home.file(QStringLiteral("items.txt")) +
         "\r\nLabelCount=1\r\nLabelName01=DRV.FMT\r\n[Printer]\r\nPrintMode=" +
         (driver ? "1" : "0") + "\r\nPrinterName=TSC File\r\n[Ports]\r\nTSC File=file:" +
         out.file(QStringLiteral("port.bin")) +
         "\r\n[Fields]\r\nDelimiter=,\r\nFieldCount=2\r\n"
         "Field01=N,1,10,0,0\r\nField02=Q,1,10,0,0\r\n")
            .toUtf8();
    if (row.largeSettings)
        ini += "[Notes]\r\n" + QByteArray(40 * 1024, 'n') + "=1\r\n";
    home.write(QStringLiteral("Pelmar.INI"), ini);
}

QString filled(const char* pattern, const QString& home, const QString& out) {
    return QString::fromUtf8(pattern)
        .replace(QStringLiteral("{home}"), home)
        .replace(QStringLiteral("{out}"), out);
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

TEST(FaultTable, NothingOnTheDiskIsLostOrOverwrittenByARun) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        TempFolder home;
        TempFolder out;
        std::optional<SmallDisk> disk;
        if (row.disk == Disk::SmallHome || row.disk == Disk::SmallOutputFolder) {
            disk.emplace(row.disk == Disk::SmallHome ? home.path() : out.path());
            if (!disk->mounted()) {
                std::printf("[ SKIPPED  ] %s: a small tmpfs needs root\n", row.name);
                continue;
            }
        }
        writeShop(home, out, row);
        // An old PDF that a failed run must leave whole.
        out.write(QStringLiteral("labels.pdf"), QByteArray(20 * 1024, 'p'));
        QFile::link(home.file(QStringLiteral("Pelmar.INI")), out.file(QStringLiteral("link.pdf")));
        const QString kept = filled(row.kept, home.path(), out.path());
        const QByteArray before = contents(kept);
        const QStringList names[] = {QDir(home.path()).entryList(QDir::Files),
                                     QDir(out.path()).entryList(QDir::Files | QDir::System)};

        QStringList arguments;
        if (*row.output)
            arguments << QStringLiteral("--output") << filled(row.output, home.path(), out.path());
        if (*row.records)
            arguments << QStringLiteral("--records") << QString::fromUtf8(row.records);
        pelmar::test::ToolRun run;
        {
            std::optional<FileSizeLimit> limit;
            if (row.disk == Disk::FileSizeLimit)
                limit.emplace();
            run = pelmar::test::runPelmarPrint(home.path(), arguments, 30000);
        }
        EXPECT_EQ(run.exitCode, row.status) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(filled(row.message, home.path(), out.path())))
            << run.err.toStdString();
        // A run that fails to write its output claims no labels.
        if (row.status != 9) {
            EXPECT_FALSE(run.err.contains(u"record(s) printed")) << run.err.toStdString();
        }
        EXPECT_EQ(contents(kept), before);
        EXPECT_EQ(QDir(home.path()).entryList(QDir::Files), names[0]);
        EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::System), names[1]);
    }
}

} // namespace
