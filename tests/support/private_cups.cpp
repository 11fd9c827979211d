#include "support/private_cups.h"

#include "support/loopback_listener.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace pelmar::test {

namespace {

using namespace std::chrono_literals;

// True when something accepts connections on the loopback port.
bool answers(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    const bool connected =
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

// A backend that lists no devices and fails every job with CUPS_BACKEND_FAILED.
const char kFailingBackend[] = "#!/bin/sh\n"
                               "[ $# -eq 0 ] && exit 0\n"
                               "cat >/dev/null\n"
                               "echo 'ERROR: the test printer refuses every job' >&2\n"
                               "exit 1\n";

// Makes an executable file that the server may run: its programs are run as another user when
// cupsd runs as root, and CUPS refuses programs that others may write.
void writeProgram(const QString& path, const QByteArray& text) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(text);
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                        QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                        QFileDevice::ExeOther);
}

// Links every entry of CUPS's folder `name` into the folder of the same name under bin.
void linkEntries(const QDir& cups, QDir& bin, const QString& name) {
    QDir().mkpath(bin.filePath(name));
    const QDir from(cups.filePath(name));
    for (const QString& entry : from.entryList(QDir::Files | QDir::NoDotAndDotDot))
        QFile::link(from.filePath(entry), bin.filePath(name + u'/' + entry));
}

// Runs the tool; an empty text when it succeeds, else why it failed. Its output goes to *output.
QString runProcess(const QString& tool, const QStringList& arguments, QString* output = nullptr) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(tool, arguments);
    const bool ended = process.waitForFinished(30000);
    const QString said = QString::fromLocal8Bit(process.readAll());
    if (output)
        *output = said;
    if (!ended || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QFileInfo(tool).fileName() + QStringLiteral(" failed: ") + process.errorString() +
               QLatin1Char(' ') + said;
    return {};
}

} // namespace

// The filters run as another user when cupsd runs as root, so the folders are open.
void makeServerBin(const QString& root) {
    const QDir cups(QStringLiteral("/usr/lib/cups"));
    QDir bin(root + QStringLiteral("/bin"));
    QDir().mkpath(bin.path());
    for (const QString& entry : cups.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (entry != QLatin1String("backend") && entry != QLatin1String("filter"))
            QFile::link(cups.filePath(entry), bin.filePath(entry));
    }
    linkEntries(cups, bin, QStringLiteral("backend"));
    linkEntries(cups, bin, QStringLiteral("filter"));
    QFile::link(QStringLiteral(PELMAR_BINARY_DIR "/bin/rastertotspl"),
                bin.filePath(QStringLiteral("filter/rastertotspl")));
    writeProgram(bin.filePath(QStringLiteral("backend/fail")), kFailingBackend);
}

bool inCi() {
    return qEnvironmentVariable("CI") == QLatin1String("true");
}

QString cupsTool(const QString& name) {
    const QString onPath = QStandardPaths::findExecutable(name);
    return onPath.isEmpty() ? QStandardPaths::findExecutable(name, {"/usr/sbin", "/sbin"}) : onPath;
}

int freePort() {
    Listener listener;
    listener.close();
    return listener.port();
}

QByteArray cupsSettings(const QString& dataFile, const QString& format, int printMode) {
    return ("[Files]\r\nTextFileName=" + dataFile + "\r\nLabelCount=1\r\nLabelName01=" + format +
            "\r\n[Printer]\r\nPrintMode=" + QString::number(printMode) +
            "\r\nPrinterName=\r\n[Fields]\r\nDelimiter=,\r\nFieldCount=3\r\n"
            "Field01=N,1,20,0,0\r\nField02=P,1,20,0,0\r\nField03=Q,1,20,0,0\r\n")
        .toUtf8();
}

PrivateCups::PrivateCups() : m_port(freePort()) {
    const QString root = m_root.path();
    for (const char* dir : {"spool", "cache", "state", "log", "tmp", "out", "ppd"})
        QDir().mkpath(m_root.file(QLatin1String(dir)));
    const auto open = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                      QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                      QFileDevice::ExeOther;
    QFile::setPermissions(root, open);
    // Filters write their temporary files here and the file devices their output.
    for (const char* dir : {"tmp", "out"})
        ::chmod(m_root.file(QLatin1String(dir)).toUtf8().constData(), 01777);
    makeServerBin(root);
    m_root.write("cupsd.conf", QStringLiteral("Listen 127.0.0.1:%1\nLogLevel warn\n"
                                              "DefaultAuthType None\nWebInterface No\n"
                                              "Browsing No\n<Location />\n  Order allow,deny\n"
                                              "  Allow all\n</Location>\n<Location /admin>\n"
                                              "  Order allow,deny\n  Allow all\n</Location>\n"
                                              "<Policy default>\n  <Limit All>\n"
                                              "    Order deny,allow\n  </Limit>\n</Policy>\n")
                                   .arg(m_port)
                                   .toUtf8());
    m_root.write("cups-files.conf",
                 QStringLiteral("ServerRoot %1\nRequestRoot %1/spool\nCacheDir %1/cache\n"
                                "StateDir %1/state\nTempDir %1/tmp\n"
                                "AccessLog %1/log/access_log\nErrorLog %1/log/error_log\n"
                                "PageLog %1/log/page_log\nFileDevice Yes\n"
                                "ServerBin %1/bin\nDataDir /usr/share/cups\n")
                     .arg(root)
                     .toUtf8());
}

PrivateCups::~PrivateCups() {
    if (m_cupsd.state() != QProcess::NotRunning) {
        m_cupsd.terminate();
        if (!m_cupsd.waitForFinished(5000))
            m_cupsd.kill();
        m_cupsd.waitForFinished(2000);
    }
}

QString PrivateCups::start() {
    const QString cupsd = QStringLiteral("/usr/sbin/cupsd");
    if (!QFile::exists(cupsd))
        return QStringLiteral("cupsd is not installed (scripts/setup installs cups)");
    m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
    m_cupsd.start(cupsd,
                  {"-f", "-c", m_root.file("cupsd.conf"), "-s", m_root.file("cups-files.conf")});
    if (!m_cupsd.waitForStarted(5000))
        return QStringLiteral("cupsd did not start: ") + m_cupsd.errorString();
    for (int i = 0; i < 100; ++i) {
        if (answers(m_port))
            return {};
        if (m_cupsd.state() == QProcess::NotRunning)
            return QStringLiteral("cupsd ended: ") + QString::fromLocal8Bit(m_cupsd.readAll()) +
                   errorLog();
        std::this_thread::sleep_for(100ms);
    }
    return QStringLiteral("cupsd does not answer on port %1").arg(m_port);
}

QString PrivateCups::server() const {
    return QStringLiteral("127.0.0.1:%1").arg(m_port);
}

QString PrivateCups::addRawQueue(const QString& name, const QString& deviceUri,
                                 const QString& description) {
    QStringList arguments{"-p", name, "-v", deviceUri, "-E"};
    if (!description.isEmpty())
        arguments << "-D" << description;
    return runTool(QStringLiteral("lpadmin"), arguments);
}

QString PrivateCups::addQueue(const QString& name, const QString& deviceUri, const QString& ppd,
                              const QStringList& options) {
    QStringList arguments{"-p", name, "-v", deviceUri, "-P", ppd, "-E"};
    for (const QString& option : options)
        arguments << "-o" << option;
    return runTool(QStringLiteral("lpadmin"), arguments);
}

QString PrivateCups::runTool(const QString& name, const QStringList& arguments, QString* output) {
    const QString tool = cupsTool(name);
    if (tool.isEmpty())
        return name + QStringLiteral(" is not installed (scripts/setup installs cups)");
    return runProcess(tool, QStringList{"-h", server()} + arguments, output);
}

void PrivateCups::addFilter(const QString& name, const QByteArray& script) {
    writeProgram(m_root.file(QStringLiteral("bin/filter/") + name), script);
}

QString tsplPpd(int dotsPerInch) {
    return QStringLiteral(PELMAR_BINARY_DIR "/ppd/pelmar-tspl-%1.ppd").arg(dotsPerInch);
}

QString PrivateCups::samplePpd(const QString& fileName, QString* problem) {
    const QString ppdc = cupsTool(QStringLiteral("ppdc"));
    const QString drv = QStringLiteral("/usr/share/cups/drv/sample.drv");
    if (ppdc.isEmpty() || !QFile::exists(drv)) {
        *problem = QStringLiteral("ppdc or sample.drv is missing (scripts/setup installs "
                                  "cups-ppdc and cups)");
        return {};
    }
    const QString folder = m_root.file(QStringLiteral("ppd"));
    if (!QFile::exists(folder + u'/' + fileName)) {
        *problem = runProcess(ppdc, {"-d", folder, drv});
        if (!problem->isEmpty())
            return {};
    }
    if (!QFile::exists(folder + u'/' + fileName)) {
        *problem = fileName + QStringLiteral(" is not a model of sample.drv");
        return {};
    }
    return folder + u'/' + fileName;
}

QString PrivateCups::outputFolder() const {
    return m_root.file(QStringLiteral("out"));
}

QString PrivateCups::errorLog() const {
    return QString::fromLocal8Bit(m_root.read(QStringLiteral("log/error_log")));
}

} // namespace pelmar::test
