#include "common/example_seed.h"

#include "common/code_page.h"
#include "common/file_names.h"
#include "common/file_writer.h"
#include "common/run_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pelmar::common {

namespace {

const QString kSettings = QStringLiteral("Pelmar.INI");

bool startsWithKey(const QByteArray& line, const QByteArray& key) {
    const QByteArray trimmed = line.trimmed();
    const qsizetype equals = trimmed.indexOf('=');
    return equals > 0 && trimmed.left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0;
}

QByteArray valueOf(const QByteArray& line) {
    return line.mid(line.indexOf('=') + 1).trimmed();
}

bool isAbsoluteName(const QString& name) {
    // C:\DATA\ITEMS.TXT is absolute for the settings' first home, /home/... for this one.
    return name.startsWith(u'/') || name.startsWith(u'\\') || (name.size() > 1 && name[1] == u':');
}

// Rewrites TextFileName=NAME as TextFileName=FOLDER/NAME when NAME is relative, keeping every
// other byte of the file (line ends included).
void anchorDataFile(const QString& settingsPath, const QString& folder) {
    QFile in(settingsPath);
    if (!in.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = in.readAll();
    in.close();

    QByteArray codePageName = CodePage::defaultName();
    const QList<QByteArray> lines = bytes.split('\n');
    for (const QByteArray& line : lines) {
        if (startsWithKey(line, "CodePage"))
            codePageName = valueOf(line);
    }
    QByteArray out;
    bool changed = false;
    try {
        const CodePage codePage(codePageName);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QByteArray line = lines[i];
            const bool cr = line.endsWith('\r');
            if (!changed && startsWithKey(line, "TextFileName")) {
                const QString name = codePage.decode(valueOf(line));
                const QString path = joinPath(folder, name);
                const QByteArray encoded = codePage.encode(path);
                if (!name.isEmpty() && !isAbsoluteName(name) && codePage.decode(encoded) == path) {
                    line = line.left(line.indexOf('=') + 1) + encoded + (cr ? "\r" : "");
                    changed = true;
                }
            }
            out += line;
            if (i + 1 < lines.size())
                out += '\n';
        }
    } catch (const RunError&) {
        return; // a code page iconv does not know: the file stays as it was
    }
    if (!changed)
        return;
    try {
        saveFile(settingsPath, out);
    } catch (const FileWriteError&) {
        // a settings file that cannot be rewritten stays as it was
    }
}

} // namespace

bool seedFromExample(const QString& folder, const QString& example) {
    if (!resolveFileName(joinPath(folder, kSettings)).isEmpty())
        return false;
    const QString exampleSettings = resolveFileName(joinPath(example, kSettings));
    if (exampleSettings.isEmpty() || !QDir().mkpath(folder))
        return false;

    QStringList copies;
    const QDir from(example);
    for (const QFileInfo& file : from.entryInfoList(QDir::Files | QDir::Readable, QDir::Name)) {
        // The settings file goes last, so a folder with Pelmar.INI is a complete copy.
        if (file.absoluteFilePath() == QFileInfo(exampleSettings).absoluteFilePath())
            continue;
        const QString target = joinPath(folder, file.fileName());
        if (!QFileInfo::exists(target) && QFile::copy(file.absoluteFilePath(), target))
            copies << target;
    }
    const QString settings = joinPath(folder, kSettings);
    if (!QFile::copy(exampleSettings, settings))
        return false;
    copies << settings;
    // Installed example files are read-only; the copies are the user's to edit.
    for (const QString& copy : copies)
        QFile::setPermissions(copy, QFile::permissions(copy) | QFileDevice::WriteOwner |
                                        QFileDevice::ReadOwner);
    anchorDataFile(settings, folder);
    return true;
}

} // namespace pelmar::common
