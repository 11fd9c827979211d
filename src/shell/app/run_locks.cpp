#include "shell/app/run_locks.h"

#include "common/file_names.h"
#include "common/run_error.h"
#include "common/timing.h"
#include "common/wait.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace pelmar::app {

namespace {

QString absoluteFrom(const state::WorkingState& state, const QString& path) {
    return QDir::cleanPath(
        QDir::isAbsolutePath(path) ? path : common::joinPath(state.programFolder, path));
}

bool startsWith(const QString& text, const char* prefix) {
    return text.startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
}

} // namespace

RunLocks::RunLocks(QString program, std::chrono::milliseconds limit)
    : m_program(std::move(program)), m_limit(limit) {}

void RunLocks::holdProgramFolder(const QString& folder, const common::WaitServices& wait) {
    if (m_folder)
        return;
    QString path = common::joinPath(folder, QLatin1String(kProgramFolderLockName));
    // A folder no file can be made in (read-only) still prints, its settings unsaved: its lock
    // is kept beside the printers' under its real path.
    if (!QFileInfo::exists(path) && ::access(QFile::encodeName(folder).constData(), W_OK) != 0)
        path = common::joinPath(common::sharedLockFolder(),
                                common::lockFileName(QStringLiteral("folder:") +
                                                     QFileInfo(folder).canonicalFilePath()));
    m_folder =
        hold(path, QStringLiteral("程式資料夾 %1").arg(QDir::toNativeSeparators(folder)), wait);
}

void RunLocks::holdPrinter(const QString& key, const QString& shown,
                           const common::WaitServices& wait) {
    if (m_printer && m_printerKey == key)
        return;
    m_printer.reset();
    m_printer = hold(common::joinPath(common::sharedLockFolder(), common::lockFileName(key)),
                     QStringLiteral("印表機 %1").arg(shown), wait);
    m_printerKey = key;
}

void RunLocks::release() {
    m_printer.reset();
    m_folder.reset();
}

std::unique_ptr<common::FileLock> RunLocks::hold(const QString& path, const QString& busy,
                                                 const common::WaitServices& wait) {
    bool cancelled = false;
    auto lock =
        common::FileLock::take(path, common::thisProcess(m_program), wait, m_limit, &cancelled);
    if (lock)
        return lock;
    if (cancelled)
        throw common::RunError(common::DialogCancelled,
                               QStringLiteral("%1 正由另一個列印工作使用; 等待時已取消").arg(busy));
    common::LockHolder holder;
    common::waitFor(wait, common::timing::kLockHolderRead, [&] {
        holder = common::readLockHolder(path);
        return common::isRunning(holder);
    });
    if (!common::isRunning(holder))
        holder = {};
    QString text = QStringLiteral("%1正由另一個列印工作使用: %2; 這次沒有列印")
                       .arg(busy + u' ', common::holderText(holder));
    if (m_limit.count() > 0)
        text += QStringLiteral(" (已等待 %1 秒)")
                    .arg(std::chrono::duration_cast<std::chrono::seconds>(m_limit).count());
    throw common::RunError(common::PrinterError, text);
}

QString printerLockKey(const state::WorkingState& state, const QString& address) {
    if (startsWith(address, "file:"))
        return absoluteFrom(state, address.mid(5));
    if (address.startsWith(u'/'))
        return QDir::cleanPath(address);
    if (startsWith(address, "preview:"))
        return QStringLiteral("preview:") + absoluteFrom(state, address.mid(8));
    if (startsWith(address, "trace:"))
        return QStringLiteral("trace:") + absoluteFrom(state, address.mid(6));
    // Host names and CUPS queue names do not tell letter case apart.
    if (address.contains(QStringLiteral("://")))
        return address.toLower();
    // A queue is a printer of one print system: the same name on another CUPS server (the
    // CUPS_SERVER of a run) is another printer.
    const QString server = qEnvironmentVariable("CUPS_SERVER", QStringLiteral("localhost"));
    return QStringLiteral("cups:%1/%2").arg(server, address.toLower());
}

} // namespace pelmar::app
