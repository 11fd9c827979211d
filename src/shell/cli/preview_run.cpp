#include "shell/cli/preview_run.h"

#include "common/system_error_text.h"
#include "print_driver/png_folder_sink.h"
#include "print_driver/qt_printer_page.h"
#include "print_driver/queue_resolution.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <filesystem>
#include <stdlib.h>
#include <unistd.h>

namespace pelmar::cli {

namespace {

QString cannotWrite(const QString& folder, int errnum) {
    return QStringLiteral("無法寫入預覽資料夾 %1: %2").arg(folder, common::systemErrorText(errnum));
}

} // namespace

std::optional<QString> preparePreviewFolder(const QString& folder) {
    std::error_code error;
    const std::filesystem::path path(QFile::encodeName(folder).toStdString());
    if (std::filesystem::exists(path, error) && !std::filesystem::is_directory(path, error))
        return QStringLiteral("無法寫入預覽資料夾 %1: 這是一個檔案, 不是資料夾").arg(folder);
    std::filesystem::create_directories(path, error);
    if (error)
        return cannotWrite(folder, error.value());
    // Permissions alone do not tell (the superuser, a read-only file system): a file is made.
    QByteArray probe = QFile::encodeName(folder + QStringLiteral("/.pelmar-preview-XXXXXX"));
    const int descriptor = ::mkstemp(probe.data());
    if (descriptor < 0)
        return cannotWrite(folder, errno);
    ::close(descriptor);
    ::unlink(probe.constData());
    return std::nullopt;
}

int previewPictureCount(const QString& folder) {
    if (folder.isEmpty())
        return 0;
    return static_cast<int>(
        QDir(folder).entryList({QStringLiteral("label-*.png")}, QDir::Files).size());
}

void usePreviewFolder(app::AppContext& context, const QString& folder, int dotsPerInch) {
    context.printerOverride = QStringLiteral("preview:") + folder;
    // Pictures are not the day's print: the next run reads the settings as they were.
    context.saveRunSettings = [](state::WorkingState&) {};
    print_queue::PrintSystem* system = context.printSystem;
    context.pageFactory = [folder, dotsPerInch, system](const app::PrintDestination& destination) {
        int resolution = dotsPerInch;
        if (resolution <= 0)
            resolution = destination.queue.isEmpty() || system == nullptr
                             ? print_driver::kDefaultPrinterDotsPerInch
                             : print_driver::queueDotsPerInch(*system, destination.queue);
        return std::make_unique<print_driver::QtPrinterPage>(
            print_driver::makePngFolderSink(folder, resolution));
    };
}

} // namespace pelmar::cli
