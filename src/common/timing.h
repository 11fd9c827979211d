#pragma once

#include <chrono>

// Every time a print run waits for, in one place.
namespace pelmar::common::timing {

using std::chrono::milliseconds;
using std::chrono::seconds;

// "Send Command" mode: after a record on a physical printer, the estimated printing time plus
// this margin.
constexpr seconds kPrintMargin{3};
// "Driver" mode: the pause after each record's job.
constexpr seconds kDriverPause{2};

// A printer that answers status: how long one answer may take, how often a printer still
// printing is asked, how often a fault is asked about again, and the silence after which the
// printer has failed; and how long sending one inquiry may make no progress.
constexpr milliseconds kStatusAnswerWait{400};
constexpr milliseconds kStatusPollInterval{10};
constexpr milliseconds kFaultPollInterval{250};
constexpr seconds kStatusSilenceLimit{30};
constexpr seconds kStatusSendTimeout{1};
// A printer that keeps answering "printing" for a record: the record's estimated printing time
// (margin included) times this factor, and at least the floor, before the run fails.
constexpr int kPrintingTimeFactor = 3;
constexpr seconds kPrintingLimitFloor{30};

// Network printers: connecting, and one write that makes no progress.
constexpr seconds kConnectTimeout{10};
constexpr seconds kWriteTimeout{60};
// Closing a connection: how often the bytes the printer has not yet taken are counted.
constexpr milliseconds kDrainPollInterval{10};

// CUPS jobs: how often a job is asked about, the time the print system and the connection get
// before the labels count, and the most a job of raw printer commands may take (its labels' own
// bound where that is shorter).
constexpr milliseconds kJobPollInterval{20};
constexpr seconds kJobStartAllowance{60};
constexpr seconds kRawJobTimeLimit{120};

// The CUPS filter after each label: how long the backend gets to say whether its device talks
// back, how long a device gets to answer its first status inquiry before it counts as one without
// a back channel, how often a printer still printing is asked again, and the longest the filter
// waits between looks at the back channel (an answer that arrives ends the wait).
constexpr seconds kSideChannelAnswer{1};
constexpr seconds kBackChannelFirstAnswer{2};
constexpr milliseconds kBackChannelPollInterval{10};
constexpr milliseconds kBackChannelPumpSleep{5};

// A run refused a lock: how long it reads the lock file for the name of a holder that has just
// taken the lock and not yet written itself there.
constexpr milliseconds kLockHolderRead{200};

// The journal: how long a write waits for another process that holds the database.
constexpr milliseconds kJournalBusyTimeout{5000};

// The format editor: the quiet time after the last keystroke before the preview is drawn again.
constexpr milliseconds kPreviewDebounce{150};
// The test-print screen: how often it looks whether the chosen record or format has changed.
constexpr milliseconds kLabelPreviewCheck{400};

} // namespace pelmar::common::timing
