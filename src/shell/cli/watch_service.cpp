#include "shell/cli/watch_service.h"

#include "common/run_error.h"
#include "shell/app/claimed_run.h"
#include "shell/app/exit_status.h"
#include "shell/app/journal_run.h"
#include "shell/app/run_locks.h"
#include "shell/app/watch_claims.h"
#include "shell/app/watch_folder.h"
#include "shell/cli/headless.h"
#include "shell/cli/print_run.h"
#include "shell/cli/service_notify.h"
#include "state/settings.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <csignal>
#include <deque>
#include <optional>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace pelmar::cli {

namespace {

using Clock = std::chrono::steady_clock;

// The folder to serve, absolute, or why there is none.
std::optional<QString> folderToServe(const options::PrintOptions& options,
                                     const QString& programFolder, QString& problem) {
    QString folder = options.watch;
    if (folder == QStringLiteral("-")) {
        state::WorkingState settings;
        settings.programFolder = programFolder;
        try {
            state::LoadSettings(settings);
        } catch (const common::RunError& error) {
            problem = error.description();
            return std::nullopt;
        }
        if (settings.watchFolder.isEmpty()) {
            problem = QStringLiteral("設定檔沒有 [Watch] Folder=; 請以 --watch 資料夾 指定要監看的"
                                     "資料夾");
            return std::nullopt;
        }
        folder = QDir(programFolder).absoluteFilePath(settings.watchFolder);
    }
    folder = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (!QFileInfo(folder).isDir()) {
        problem = QStringLiteral("監看資料夾 %1 不存在或不是資料夾").arg(folder);
        return std::nullopt;
    }
    return folder;
}

// SIGINT and SIGTERM held back except while the service waits or prints, so that a signal is
// never lost between the look at g_cancelSignal and the wait.
class SignalsHeld {
public:
    SignalsHeld() {
        sigset_t held;
        sigemptyset(&held);
        sigaddset(&held, SIGINT);
        sigaddset(&held, SIGTERM);
        ::sigprocmask(SIG_BLOCK, &held, &m_open);
    }
    ~SignalsHeld() { ::sigprocmask(SIG_SETMASK, &m_open, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;
    const sigset_t& open() const { return m_open; }

private:
    sigset_t m_open{};
};

// Lets the signals through while it lives (a print run stops between labels on them).
class SignalsLetThrough {
public:
    explicit SignalsLetThrough(const SignalsHeld& held) {
        ::sigprocmask(SIG_SETMASK, &held.open(), &m_held);
    }
    ~SignalsLetThrough() { ::sigprocmask(SIG_SETMASK, &m_held, nullptr); }
    SignalsLetThrough(const SignalsLetThrough&) = delete;
    SignalsLetThrough& operator=(const SignalsLetThrough&) = delete;

private:
    sigset_t m_held{};
};

// The system's notice of files closed or renamed into the folder: only a hint to scan sooner
// (a share reports nothing written by other machines), and the names renamed in.
class FolderHints {
public:
    explicit FolderHints(QString folder)
        : m_folder(std::move(folder)), m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}
    ~FolderHints() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FolderHints(const FolderHints&) = delete;
    FolderHints& operator=(const FolderHints&) = delete;

    int fd() const { return m_fd; }

    // Watches the folder again when it is not (at the start, after it was removed or moved).
    void watch() {
        if (m_fd < 0 || m_watch >= 0)
            return;
        m_watch = ::inotify_add_watch(m_fd, QFile::encodeName(m_folder).constData(),
                                      IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVE_SELF | IN_ONLYDIR);
    }

    // Reads the pending notices; names renamed into the folder go to the tracker.
    void take(app::ClaimTracker& tracker) {
        alignas(inotify_event) char buffer[16384];
        for (;;) {
            const ssize_t got = m_fd < 0 ? -1 : ::read(m_fd, buffer, sizeof buffer);
            if (got <= 0)
                return;
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if ((event->mask & IN_MOVED_TO) != 0 && event->len > 0)
                    tracker.arrivedByRename(QFile::decodeName(event->name));
                if ((event->mask & IN_MOVE_SELF) != 0 && m_watch >= 0) {
                    // The folder moved away; its path is watched again once it is back.
                    ::inotify_rm_watch(m_fd, m_watch);
                    m_watch = -1;
                }
                if ((event->mask & IN_IGNORED) != 0)
                    m_watch = -1;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
    }

private:
    QString m_folder;
    int m_fd;
    int m_watch = -1;
};

// A file claimed into work/ and how it is to be served.
struct Claimed {
    QString workPath;
    bool printed = false; // it printed: only its move to done/ is left
    QString reason;       // not printed: its reason file's text
    QString logLine;      // what the log says of it once it is filed away
};

class Service {
public:
    Service(const options::PrintOptions& options, QString programFolder, QString folder)
        : m_options(options), m_programFolder(std::move(programFolder)),
          m_folder(std::move(folder)), m_hints(m_folder),
          m_tracker(std::chrono::duration_cast<Clock::duration>(
              std::chrono::duration<double>(options.settleSeconds))),
          m_poll(std::chrono::duration_cast<Clock::duration>(
              std::chrono::duration<double>(options.pollSeconds))) {}

    int serve() {
        try {
            app::makeWatchFolders(m_folder);
        } catch (const common::RunError& error) {
            say(error.description());
            return app::kExitBadSettings;
        }
        // From here on a signal only asks the service to stop.
        g_outputOpened = 1;
        m_hints.watch();
        const QString work = m_folder + u'/' + QLatin1String(app::kWorkFolder);
        const app::FolderScan left = app::scanFolder(work);
        if (!left.read) {
            // Files a crash left there would be forgotten.
            say(QStringLiteral("無法讀取資料夾 %1: %2").arg(work, left.error));
            return app::kExitBadSettings;
        }
        std::vector<app::SeenFile> leftFiles = left.files;
        app::sortByArrival(leftFiles);
        for (const app::SeenFile& file : leftFiles)
            m_leftInWork.push_back(work + u'/' + file.name);
        say(QStringLiteral("watching %1 (settle %2 s, poll %3 s); %4 file(s) left in work/ print "
                           "first")
                .arg(m_folder)
                .arg(m_options.settleSeconds)
                .arg(m_options.pollSeconds)
                .arg(m_leftInWork.size()));
        notifyServiceManager("READY=1");
        while (!g_cancelSignal) {
            const bool served = round();
            if (!served && !g_cancelSignal)
                waitForHint();
        }
        notifyServiceManager("STOPPING=1");
        say(QStringLiteral("stopped (signal); files being printed stay in %1/work and print first "
                           "at the next start")
                .arg(m_folder));
        return app::kExitPrinted;
    }

private:
    // One scan and the files it finds complete, one at a time; true when a file was served (the
    // folder is scanned again at once).
    bool round() {
        m_nextScan = Clock::now() + m_poll;
        m_hints.take(m_tracker);
        refile();
        if (!m_unfiled.empty())
            return false;
        if (!m_leftInWork.empty()) {
            const QString path = m_leftInWork.front();
            const bool served = serveFile(QString(), path);
            if (served)
                m_leftInWork.pop_front();
            return served;
        }
        const app::FolderScan scan = app::scanFolder(m_folder);
        if (!scan.read) {
            // Never an empty folder: the files seen before keep their places.
            problem(
                QStringLiteral("無法讀取監看資料夾 %1: %2; 稍後再試").arg(m_folder, scan.error));
            return false;
        }
        m_hints.watch();
        const std::vector<app::SeenFile> ready = m_tracker.complete(scan, Clock::now());
        if (ready.empty()) {
            m_problem.clear();
            return false;
        }
        return serveFile(ready.front().name, QString());
    }

    // Claims (unless already in work/) and prints one file; true when it was served.
    bool serveFile(const QString& name, QString workPath) {
        if (const auto refused = settingsRefusal(m_options, m_programFolder)) {
            problem(*refused + QStringLiteral("; 檔案留在資料夾中, 稍後再試"));
            return false;
        }
        app::RunLocks locks(QStringLiteral("pelmar-print --watch"), std::chrono::milliseconds(0));
        state::WorkingState waiting;
        HeadlessClock clock(waiting);
        try {
            locks.holdProgramFolder(m_programFolder, {clock, clock, [] { return false; }});
            if (workPath.isEmpty()) {
                app::makeWatchFolders(m_folder); // the folder may have been made anew
                workPath = app::claimFile(m_folder, name);
            }
        } catch (const common::RunError& error) {
            problem(error.description() + QStringLiteral("; 稍後再試"));
            return false;
        }
        if (name.isEmpty()) {
            // A run that ended before a crash kept the file from done/ or error/ printed it.
            std::optional<app::FinishedClaim> finished;
            try {
                finished = app::finishedSinceClaim(journalFile(), workPath);
            } catch (const common::RunError& error) {
                problem(error.description() + QStringLiteral("; 稍後再試"));
                return false;
            }
            if (finished) {
                m_unfiled.push_back(filedAsEnded(workPath, *finished));
                refile();
                return true;
            }
        }
        m_problem.clear();
        if (workPath.isEmpty())
            return true; // taken back by its writer before the claim
        Claimed claimed = print(workPath, locks);
        if (!claimed.printed && claimed.reason.isEmpty()) {
            // Stopped by a signal: it stays claimed, and goes on at the next start.
            say(claimed.logLine);
            return true;
        }
        m_unfiled.push_back(std::move(claimed));
        refile();
        return true;
    }

    Claimed print(const QString& workPath, app::RunLocks& locks) {
        options::PrintOptions options = m_options;
        options.data = workPath;
        const QString name = QFileInfo(workPath).fileName();
        PrintOutcome outcome;
        QStringList said;
        {
            const SignalsLetThrough signalsOpen(m_held);
            SaidLines capture;
            try {
                PrintRequest request{options, m_programFolder, locks};
                request.source = QStringLiteral("watch");
                request.quiet = true;
                outcome = printRun(request);
            } catch (...) {
                say(QStringLiteral("發生非預期錯誤: ") + common::caughtError().description);
                outcome.status = app::kExitPrinterError;
            }
            said = capture.lines;
        }
        const QString message = said.join(QStringLiteral("; ")).replace(u'\n', u' ');
        Claimed claimed{workPath, printedStatus(outcome.status), {}, {}};
        const QString time = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
        claimed.logLine = QStringLiteral("%1 %2: status %3, %4 label(s): %5")
                              .arg(time, name)
                              .arg(outcome.status)
                              .arg(outcome.labels)
                              .arg(message);
        if (g_cancelSignal && outcome.status == app::kExitCancelled) {
            claimed.logLine += QStringLiteral(" (stays in work/)");
            return claimed;
        }
        if (!claimed.printed || outcome.status == app::kExitRecordsInDoubt)
            claimed.reason =
                QStringLiteral("exit status %1\n%2\n").arg(outcome.status).arg(said.join(u'\n'));
        return claimed;
    }

    // The journal of the program folder as its settings name it. Throws RunError.
    QString journalFile() const {
        state::WorkingState settings;
        settings.programFolder = m_programFolder;
        state::LoadSettings(settings);
        return app::journalPath(settings);
    }

    // A file its run printed to the end: filed as that run ended, nothing printed again.
    static Claimed filedAsEnded(const QString& workPath, const app::FinishedClaim& finished) {
        const journal::RunRow& run = finished.run;
        QString text = QStringLiteral("列印記錄 %1 已印完這個檔案 (%2), 服務在歸檔前中斷; 不再列印")
                           .arg(run.id)
                           .arg(run.outcome);
        if (!finished.inDoubt.empty()) {
            QStringList numbers;
            for (const int record : finished.inDoubt)
                numbers << QString::number(record);
            text += QStringLiteral("; 不確定是否已列印 (不會自動重印): 第 %1 筆")
                        .arg(numbers.join(QStringLiteral(", ")));
        }
        Claimed claimed{workPath, printedStatus(run.status), {}, {}};
        claimed.logLine = QStringLiteral("%1 %2: status %3, %4 label(s): %5")
                              .arg(QDateTime::currentDateTimeUtc().toString(Qt::ISODate),
                                   QFileInfo(workPath).fileName())
                              .arg(run.status)
                              .arg(run.labels)
                              .arg(text);
        if (!claimed.printed || !finished.inDoubt.empty())
            claimed.reason = QStringLiteral("exit status %1\n%2\n").arg(run.status).arg(text);
        return claimed;
    }

    // Printed, with or without records left out, warnings, settings not saved or records in
    // doubt: a file to keep, not to send again.
    static bool printedStatus(int status) {
        return status == app::kExitPrinted || status >= app::kExitRecordsLeftOut;
    }

    // Moves the printed files to done/ or error/; one that cannot be moved waits in work/ for
    // the next round rather than print again.
    void refile() {
        while (!m_unfiled.empty()) {
            const Claimed& claimed = m_unfiled.front();
            try {
                const QString path =
                    app::fileAway(m_folder, claimed.workPath, claimed.printed, claimed.reason);
                say(claimed.logLine + QStringLiteral(" -> ") +
                    QDir(m_folder).relativeFilePath(path));
            } catch (const common::RunError& error) {
                if (error.number() != common::FileNotFound) {
                    problem(error.description() + QStringLiteral("; 稍後再試"));
                    return;
                }
                // Taken out of work/ by hand meanwhile: nothing left to file.
                say(claimed.logLine + QStringLiteral(" -> ") + error.description());
            }
            m_unfiled.pop_front();
        }
    }

    // Says a problem once until it changes or goes away.
    void problem(const QString& text) {
        if (text != m_problem)
            say(text);
        m_problem = text;
    }

    // Waits for a notice of the system, a signal, the next scan or the next file to settle.
    void waitForHint() {
        Clock::time_point until = m_nextScan;
        if (const auto settled = m_tracker.nextSettled(Clock::now()))
            until = std::min(until, *settled);
        const auto left =
            std::max(Clock::duration::zero(), until - Clock::now()) + std::chrono::milliseconds(1);
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
        const timespec timeout{
            static_cast<time_t>(seconds.count()),
            static_cast<long>(
                std::chrono::duration_cast<std::chrono::nanoseconds>(left - seconds).count())};
        pollfd hint{m_hints.fd(), POLLIN, 0};
        ::ppoll(&hint, m_hints.fd() >= 0 ? 1 : 0, &timeout, &m_held.open());
    }

    const options::PrintOptions& m_options;
    QString m_programFolder;
    QString m_folder;
    SignalsHeld m_held;
    FolderHints m_hints;
    app::ClaimTracker m_tracker;
    Clock::duration m_poll;
    Clock::time_point m_nextScan{};
    std::deque<QString> m_leftInWork;
    std::deque<Claimed> m_unfiled;
    QString m_problem;
};

} // namespace

int serveWatchedFolder(const options::PrintOptions& options, const QString& programFolder) {
    QString problem;
    const std::optional<QString> folder = folderToServe(options, programFolder, problem);
    if (!folder) {
        say(problem);
        return app::kExitBadSettings;
    }
    Service service(options, programFolder, *folder);
    return service.serve();
}

} // namespace pelmar::cli
