#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace pelmar::common {

// A file replaced whole. The bytes go to a new file in the same folder, which takes the old
// file's owner, group and mode where the process may set them; commit() puts it on the disk,
// renames it over the old file and flushes the folder. Until then, and whenever a step fails,
// the old file stays as it was; an uncommitted new file is removed by abandon() or the
// destructor. A symbolic link's target is replaced, the link kept.
// Whether a new file reaches the disk before it takes its name: settings, journals and outputs
// must survive a power cut; a picture of the virtual printer need only appear whole.
enum class Durability { Disk, Visible };

class ReplacedFile {
public:
    // Creates the new file beside path. Throws FileWriteError when path exists and is not a
    // regular file, or when no file can be made in its folder.
    explicit ReplacedFile(QString path);
    ~ReplacedFile();
    ReplacedFile(const ReplacedFile&) = delete;
    ReplacedFile& operator=(const ReplacedFile&) = delete;

    // Writes every byte to the new file; the reason in Traditional Chinese when not all could be
    // written (a full disk, a file-size limit), else an empty text. Never throws.
    QString write(QByteArrayView bytes);
    // Flushes the new file to the disk (unless only Visible is asked) and renames it over the old
    // one. Throws FileWriteError; the new file is removed then.
    void commit(Durability durability = Durability::Disk);
    // Removes the new file; the old one stays. Never throws.
    void abandon();

    const QString& path() const { return m_path; }

private:
    QString m_path;
    QByteArray m_target;    // the file replaced (a link's target)
    QByteArray m_temporary; // the new file beside it
    int m_fd = -1;
};

} // namespace pelmar::common
