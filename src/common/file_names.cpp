#include "common/file_names.h"

#include "common/example_seed.h"
#include "common/run_error.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>

namespace pelmar::common {

namespace {

QString executableFolder() {
    const QFileInfo exe(QStringLiteral("/proc/self/exe"));
    return QFileInfo(exe.symLinkTarget()).absolutePath();
}

QString userDataFolder() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    const QString folder = base + QStringLiteral("/pelmar");
    QDir().mkpath(folder);
#ifdef PELMAR_INSTALL_DATADIR
    // First start of an installed program: the example shop to begin with.
    seedFromExample(folder, QStringLiteral(PELMAR_INSTALL_DATADIR "/example"));
#endif
    return folder;
}

bool equalsIgnoringAsciiCase(const QString& a, const QString& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x >= u'a' && x <= u'z')
            x -= 32;
        if (y >= u'a' && y <= u'z')
            y -= 32;
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

QString programFolder() {
    const QString home = qEnvironmentVariable("PELMAR_HOME");
    if (!home.isEmpty())
        return QDir::cleanPath(QDir(home).absolutePath());
    const QString folder = executableFolder();
#ifdef PELMAR_INSTALL_BINDIR
    if (QDir::cleanPath(folder) == QDir::cleanPath(QStringLiteral(PELMAR_INSTALL_BINDIR)))
        return userDataFolder();
#endif
    return folder;
}

QString joinPath(const QString& folder, const QString& name) {
    QString tail = name;
    tail.replace(u'\\', u'/');
    if (folder.isEmpty())
        return tail;
    if (folder.endsWith(u'/'))
        return folder + tail;
    return folder + u'/' + tail;
}

QString resolveFileName(const QString& path) {
    QString wanted = path;
    wanted.replace(u'\\', u'/');
    if (wanted.isEmpty())
        return {};
    if (QFileInfo::exists(wanted))
        return wanted;

    const bool absolute = wanted.startsWith(u'/');
    const QStringList parts = wanted.split(u'/', Qt::SkipEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QStringLiteral(".");
    for (const QString& part : parts) {
        const QString exact = joinPath(current, part);
        if (part == QStringLiteral(".") || part == QStringLiteral("..") ||
            QFileInfo::exists(exact)) {
            current = exact;
            continue;
        }
        QStringList entries = QDir(current).entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
        std::sort(entries.begin(), entries.end(),
                  [](const QString& a, const QString& b) { return a.toUtf8() < b.toUtf8(); });
        const auto match = std::find_if(entries.begin(), entries.end(), [&](const QString& e) {
            return equalsIgnoringAsciiCase(e, part);
        });
        if (match == entries.end())
            return {};
        current = joinPath(current, *match);
    }
    if (!absolute && current.startsWith(QStringLiteral("./")))
        current = current.mid(2);
    return current;
}

QString dataFilePath(const QString& textFileName, const QString& programFolder) {
    const QString name = QString(textFileName).replace(u'\\', u'/');
    if (name.isEmpty() || name.startsWith(u'/') || programFolder.isEmpty() ||
        !resolveFileName(name).isEmpty())
        return textFileName;
    const QString inProgramFolder = joinPath(programFolder, name);
    return resolveFileName(inProgramFolder).isEmpty() ? textFileName : inProgramFolder;
}

QString resolveExistingFile(const QString& path) {
    const QString found = resolveFileName(path);
    if (found.isEmpty() || QFileInfo(found).isDir())
        throw RunError(FileNotFound, errorDescription(FileNotFound));
    return found;
}

} // namespace pelmar::common
