#pragma once

#include "common/clock.h"
#include "common/file_lock.h"
#include "state/working_state.h"

#include <QString>
#include <chrono>
#include <memory>

namespace pelmar::app {

// The lock file of a program folder, inside it.
inline constexpr char kProgramFolderLockName[] = ".pelmar.lock";

// The locks of one print run: its program folder (one run writes its settings at a time) and its
// printer (one stream reaches a printer at a time). Each is taken once, before the port is
// opened, and held until release() or the end of the process.
class RunLocks {
public:
    // program: the name a refused run reads in its message; limit: how long a lock another run
    // holds is waited for (zero: refuse at once).
    RunLocks(QString program, std::chrono::milliseconds limit);

    // Holds the lock of a program folder (its kProgramFolderLockName; for a folder no file can
    // be made in, one in common::sharedLockFolder() named after its path). Throws RunError(482)
    // naming the run that holds it, RunError(32755) when the wait was cancelled, RunError(75) when
    // the lock file cannot be opened.
    void holdProgramFolder(const QString& folder, const common::WaitServices& wait);
    // Holds the lock of a printer address (its printerLockKey) in common::sharedLockFolder(),
    // naming the printer as `shown`; throws as holdProgramFolder.
    void holdPrinter(const QString& key, const QString& shown, const common::WaitServices& wait);
    // Lets both go (the window after a test print). Never throws.
    void release();

private:
    std::unique_ptr<common::FileLock> hold(const QString& path, const QString& busy,
                                           const common::WaitServices& wait);

    QString m_program;
    std::chrono::milliseconds m_limit;
    std::unique_ptr<common::FileLock> m_folder;
    std::unique_ptr<common::FileLock> m_printer;
    QString m_printerKey;
};

// The name a printer's lock is taken under: one device under every name the settings give it
// (file: and preview: paths absolute from the program folder, a file: port as its path, host
// names in lower case, a CUPS queue in lower case after its print system's server).
QString printerLockKey(const state::WorkingState& state, const QString& address);

// Lets a run's locks go when it leaves scope, however the run ends (the window stays open after
// a print command or a test print).
struct LocksReleasedAtEnd {
    RunLocks* locks;
    ~LocksReleasedAtEnd() {
        if (locks != nullptr)
            locks->release();
    }
};

} // namespace pelmar::app
