#include "support/temp_folder.h"

#include "common/code_page.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pelmar::test {

QString TempFolder::write(const QString& name, const QByteArray& bytes) const {
    const QString full = file(name);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile f(full);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
    return full;
}

QByteArray TempFolder::read(const QString& name) const {
    QFile f(file(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QByteArray big5(const QString& text) {
    return common::CodePage().encode(text);
}

} // namespace pelmar::test
