// Runs of pelmar-print meeting a full disk, a file-size limit or an output that is one of their
// own inputs: each row asserts the exit status, the message and that the file in harm's way is
// byte for byte the old one, with nothing of the failed write left beside it.
#include "common/input_file.h"
#include "support/pelmar_print_run.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// Where the disk gives out: a 64 KB tmpfs on the program folder or the output folder (root
// only; the row is skipped elsewhere), or a 24 KB limit on every file the run writes.
enum class Disk { Roomy, SmallHome, SmallOut, SizeLimit };

const struct Row {
    const char* name;
    Disk disk;
    const char* output; // --output (driver mode), "" for "Send Command" to a port file
    int status;
    const char* message; // {home}, {out} and {journal} stand for the folders, here and in output
    const char* kept;    // the file that must stay as it was
    const char* data = "{home}/items.txt"; // TextFileName
    bool terminated = false;               // SIGTERM once the run holds the data file open
} kRows[] = {
    {"settings on a full disk", Disk::SmallHome, "", 9,
     "無法寫入設定檔 {home}/Pelmar.INI (磁碟空間不足)", "{home}/Pelmar.INI"},
    // The journal cannot be written under the limit (its shared-memory index alone is 32 KB):
    // nothing prints unrecorded.
    {"settings over the size limit", Disk::SizeLimit, "", 5, "列印記錄簿 {journal}/Pelmar.journal",
     "{home}/Pelmar.INI"},
    {"PDF on a full disk", Disk::SmallOut, "{out}/labels.pdf", 5,
     "無法寫入 PDF 檔 {out}/labels.pdf: 磁碟空間不足", "{out}/labels.pdf"},
    {"PDF over the size limit", Disk::SizeLimit, "{out}/labels.pdf", 5,
     "列印記錄簿 {journal}/Pelmar.journal", "{out}/labels.pdf"},
    {"output is the settings", Disk::Roomy, "{home}/Pelmar.INI", 2,
     "--output: {home}/Pelmar.INI 是這次列印讀取的設定檔", "{home}/Pelmar.INI"},
    {"output links to the settings", Disk::Roomy, "{out}/link.pdf", 2,
     "--output: {out}/link.pdf 是這次列印讀取的設定檔 ({home}/Pelmar.INI)", "{home}/Pelmar.INI"},
    {"output is the data", Disk::Roomy, "{home}/items.txt", 2,
     "--output: {home}/items.txt 是這次列印讀取的資料檔", "{home}/items.txt"},
    {"output is the format (DRV.FMT)", Disk::Roomy, "{home}/drv.fmt", 2,
     "--output: {home}/drv.fmt 是這次列印讀取的格式檔", "{home}/drv.fmt"},
    {"output is its picture", Disk::Roomy, "{home}/LOGO.PCX", 2,
     "--output: {home}/LOGO.PCX 是這次列印讀取的格式 DRV.FMT 的圖片", "{home}/LOGO.PCX"},
    {"output is a device", Disk::Roomy, "/dev/full", 2, "--output: /dev/full 不是一般檔案",
     "{home}/Pelmar.INI"},
    {"data is a device", Disk::Roomy, "", 3, "資料檔 /dev/zero 不是一般檔案 (是裝置)",
     "{out}/port.bin", "/dev/zero"},
    {"data is a FIFO", Disk::Roomy, "", 3, "資料檔 {out}/fifo 不是一般檔案 (是FIFO 具名管道)",
     "{out}/port.bin", "{out}/fifo"},
    {"data is a folder", Disk::Roomy, "", 3, "資料檔 {out} 不是一般檔案 (是資料夾)",
     "{out}/port.bin", "{out}"},
    {"data over 128 MB", Disk::Roomy, "", 3,
     "資料檔 {out}/huge.txt 太大 (134217729 位元組), 最多只能有 128 MB", "{out}/port.bin",
     "{out}/huge.txt"},
    {"SIGTERM while the data loads", Disk::Roomy, "", 6, "已取消 (收到結束信號), 沒有送出任何標籤",
     "{out}/port.bin", "{out}/long.txt", true},
};

// The shop of the row, with a settings file of 40 KB for the rows about the settings.
void writeShop(const pelmar::test::TempFolder& home, const pelmar::test::TempFolder& out,
               const Row& row, const QString& data, const QString& journal) {
    const bool driver = *row.output != 0;
    QByteArray lines;
    for (int i = 1; i <= 40; ++i)
        lines += "ITEM" + QByteArray::number(i) + ",1\r\n";
    home.write(QStringLiteral("items.txt"), lines);
    for (int i = 1; data.endsWith(u"long.txt") && i <= 32000; ++i) // a load long enough to catch
        lines += "ITEM" + QByteArray(3600, 'n') + ",1\r\n";
    out.write(QStringLiteral("long.txt"), lines);
    ::mkfifo(QFile::encodeName(out.file(QStringLiteral("fifo"))).constData(), 0600);
    QFile huge(out.file(QStringLiteral("huge.txt"))); // sparse
    (void)(huge.open(QIODevice::WriteOnly) && huge.resize(pelmar::common::kMaxDataFileBytes + 1));
    QFile logo(QStringLiteral(PELMAR_SOURCE_DIR "/examples/shop/logo.pcx"));
    ASSERT_TRUE(logo.open(QIODevice::ReadOnly));
    home.write(QStringLiteral("LOGO.PCX"), logo.readAll());
    home.write(QStringLiteral("drv.fmt"),
               QByteArray("LabelWidth=60\r\nLabelHeight=40\r\nLabelGap=2\r\n") +
                   (driver ? "V_Text=120,20,12,0,0,Arial,1\r\nV_Barcode=120,120,128,1\r\n"
                             "Graphic=16,14,8,8,LOGO.PCX\r\n"
                           : "PrintSpeed=4\r\nPrintDarken=8\r\n"
                             "Graphic=16,14,LOGO.PCX\r\n"));
    home.write(QStringLiteral("Pelmar.INI"),
               ("[Files]\r\nTextFileName=" + data +
                "\r\nLabelCount=1\r\nLabelName01=DRV.FMT\r\nJournalFile=" + journal +
                "\r\n[Printer]\r\nPrintMode=" + (driver ? "1" : "0") +
                "\r\nPrinterName=TSC File\r\n[Ports]\r\nTSC File=file:" +
                out.file(QStringLiteral("port.bin")) +
                "\r\n[Fields]\r\nDelimiter=,\r\nFieldCount=2\r\nField01=N,1,10,0,0\r\n"
                "Field02=Q,1,10,0,0\r\n[Notes]\r\n" +
                QString(driver ? 0 : 40 * 1024, u'n'))
                   .toUtf8());
    out.write(QStringLiteral("port.bin"), {});
    out.write(QStringLiteral("labels.pdf"), QByteArray(30 * 1024, 'p')); // an old PDF
    QFile::link(home.file(QStringLiteral("Pelmar.INI")), out.file(QStringLiteral("link.pdf")));
}

// Runs pelmar-print on the program folder home and sends it SIGTERM as soon as it holds file open.
pelmar::test::ToolRun terminatedWhileReading(const QString& home, const QStringList& arguments,
                                             const QString& file) {
    QProcess process;
    pelmar::test::startPelmarPrint(process, home, QStringLiteral("127.0.0.1:1"), arguments);
    EXPECT_TRUE(process.waitForStarted());
    const std::filesystem::path fds = "/proc/" + std::to_string(process.processId()) + "/fd";
    bool sent = false;
    while (!sent && !process.waitForFinished(1)) {
        std::error_code error;
        for (const auto& fd : std::filesystem::directory_iterator(fds, error))
            if (!sent && std::filesystem::equivalent(fd, file.toStdString(), error))
                sent = ::kill(static_cast<pid_t>(process.processId()), SIGTERM) == 0;
    }
    EXPECT_TRUE(sent && process.waitForFinished(10000)) << "the run ended before it read the file";
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError()),
            QString::fromUtf8(process.readAllStandardOutput())};
}

TEST(FaultTable, NothingOnTheDiskIsLostOrOverwrittenByARun) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        // The journal keeps to a roomy folder of its own.
        pelmar::test::TempFolder home, out, journal;
        const QByteArray small = (row.disk == Disk::SmallHome ? home : out).path().toLocal8Bit();
        const bool mounted = (row.disk == Disk::SmallHome || row.disk == Disk::SmallOut) &&
                             ::mount("tmpfs", small.constData(), "tmpfs", 0, "size=64k") == 0;
        if (!mounted && (row.disk == Disk::SmallHome || row.disk == Disk::SmallOut)) {
            std::printf("[ SKIPPED  ] %s: a small tmpfs needs root\n", row.name);
            continue;
        }
        const auto filled = [&](const char* text) {
            return QString::fromUtf8(text)
                .replace(QStringLiteral("{home}"), home.path())
                .replace(QStringLiteral("{out}"), out.path())
                .replace(QStringLiteral("{journal}"), journal.path());
        };
        writeShop(home, out, row, filled(row.data), journal.file(QStringLiteral("Pelmar.journal")));
        const auto kept = [&] {
            QFile file(filled(row.kept));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
        };
        const auto listed = [&] {
            return QDir(home.path()).entryList(QDir::Files) +
                   QDir(out.path()).entryList(QDir::Files | QDir::System);
        };
        const QByteArray before = kept();
        const QStringList files = listed();
        QStringList arguments{QStringLiteral("--records"), QStringLiteral("1-1")};
        if (*row.output)
            arguments = QStringList{QStringLiteral("--output"), filled(row.output)};
        // SIGXFSZ ignored and the size limit pass to the child.
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limit{row.disk == Disk::SizeLimit ? 24 * 1024 : saved.rlim_cur, saved.rlim_max};
        const auto signal = std::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const pelmar::test::ToolRun run =
            row.terminated ? terminatedWhileReading(home.path(), arguments, filled(row.data))
                           : pelmar::test::runPelmarPrint(home.path(), arguments);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, signal);
        EXPECT_EQ(run.exitCode, row.status) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(filled(row.message))) << run.err.toStdString();
        EXPECT_EQ(run.err.contains(u"record(s) printed"), row.status == 9);
        EXPECT_EQ(kept(), before);
        EXPECT_EQ(listed(), files);
        if (mounted)
            ::umount2(small.constData(), MNT_DETACH);
    }
}

} // namespace
