// Shared pieces of the fuzz targets: a message box that answers Ok, a scratch folder in memory
// and the Qt application that code pages and fonts need.
#pragma once

#include "common/message_box.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QString>
#include <cstdlib>
#include <unistd.h>

namespace pelmar::fuzz {

// Every message is dropped and answered with Ok (or Yes for a question).
class SilentMessageBox : public common::MessageBox {
public:
    common::MessageAnswer show(const common::Message& message) override {
        ++m_count;
        return message.buttons == common::MessageButtons::YesNo ? common::MessageAnswer::Yes
                                                                : common::MessageAnswer::Ok;
    }
    int count() const { return m_count; }

private:
    int m_count = 0;
};

// A folder of this process in /dev/shm (a file per input would wear a disk out), created once.
inline const QString& scratchFolder() {
    static const QString folder = [] {
        char pattern[] = "/dev/shm/pelmar-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        return QString::fromLocal8Bit(made ? made : "/tmp");
    }();
    return folder;
}

// Replaces a file of the scratch folder with the bytes; returns its path.
inline QString writeScratch(const QString& name, const char* data, qsizetype size) {
    const QString path = scratchFolder() + u'/' + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(data, size);
    return path;
}

// The offscreen GUI application, made once by LLVMFuzzerInitialize.
inline void startApplication(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
}

} // namespace pelmar::fuzz
