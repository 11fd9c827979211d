#include "cups_driver/raster_filter.h"

#include "common/run_error.h"
#include "common/timing.h"
#include "cups_driver/cups_status_channel.h"
#include "cups_driver/printer_follower.h"
#include "cups_driver/tspl_label.h"

#include <cstdio>
#include <cups/raster.h>
#include <cups/sidechannel.h>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace pelmar::cups_driver {

namespace {

// Between looks at the back channel the filter waits, at most the pump's sleep, for the printer's
// answer to arrive there, so that an answer is taken the moment it comes; nothing else needs the
// filter meanwhile. Without a back channel (or once it has closed) it just sleeps.
class BackChannelPump : public common::EventPump {
public:
    void processEvents() override {
        pollfd channel{CUPS_BC_FD, POLLIN, 0};
        const int ready = ::poll(&channel, 1, int(common::timing::kBackChannelPumpSleep.count()));
        if (ready > 0 && channel.revents != POLLIN)
            std::this_thread::sleep_for(common::timing::kBackChannelPumpSleep);
    }
};

void tell(const QByteArray& line) {
    std::fprintf(stderr, "%s\n", line.constData());
    std::fflush(stderr);
}

// Writes every page of `raster` as a label; the number of pages written.
int writeLabels(cups_raster_t* raster, PrinterFollower& follower) {
    cups_page_header2_t header;
    int page = 0;
    while (cupsRasterReadHeader2(raster, &header)) {
        ++page;
        tell("INFO: 第 " + QByteArray::number(page) + " 頁");
        const qsizetype stride = header.cupsBytesPerLine;
        if (stride == 0 || header.cupsHeight == 0 || stride * header.cupsHeight > (256 << 20))
            throw common::RunError(common::InvalidArgument,
                                   QStringLiteral("第 %1 頁大小不正確").arg(page));
        QByteArray pixels(stride * header.cupsHeight, Qt::Uninitialized);
        for (unsigned y = 0; y < header.cupsHeight; ++y) {
            auto* row = reinterpret_cast<unsigned char*>(pixels.data() + y * stride);
            if (cupsRasterReadPixels(raster, row, header.cupsBytesPerLine) == 0)
                throw common::RunError(
                    common::InvalidArgument,
                    QStringLiteral("第 %1 頁的點陣資料不完整（讀到第 %2 列）").arg(page).arg(y));
        }
        const QByteArray label = tsplLabel(header, pixels);
        if (std::fwrite(label.constData(), 1, label.size(), stdout) !=
                static_cast<size_t>(label.size()) ||
            std::fflush(stdout) != 0)
            throw common::RunError(common::DeviceIoError,
                                   QStringLiteral("第 %1 頁無法送往印表機").arg(page));
        follower.afterLabel();
        tell("PAGE: " + QByteArray::number(page) + " 1");
    }
    return page;
}

} // namespace

int runRasterFilter(int argc, char** argv) {
    if (argc < 6 || argc > 7) {
        std::fprintf(stderr, "用法：%s 工作 使用者 標題 份數 選項 [檔案]\n",
                     argc > 0 ? argv[0] : "rastertotspl");
        return 1;
    }
    int input = 0;
    if (argc == 7) {
        input = ::open(argv[6], O_RDONLY | O_CLOEXEC);
        if (input < 0) {
            tell(QByteArray("ERROR: 無法開啟點陣檔 ") + argv[6]);
            return 1;
        }
    }
    cups_raster_t* raster = cupsRasterOpen(input, CUPS_RASTER_READ);
    common::SteadyClock clock;
    BackChannelPump pump;
    CupsStatusChannel channel(stdout);
    PrinterFollower follower(channel, common::WaitServices{clock, pump}, tell);
    int status = 0;
    try {
        if (!raster)
            throw common::RunError(common::InvalidArgument, QStringLiteral("輸入不是 CUPS 點陣"));
        if (writeLabels(raster, follower) == 0)
            throw common::RunError(common::InvalidArgument, QStringLiteral("沒有可列印的頁面"));
    } catch (...) {
        tell("ERROR: " + common::caughtError().description.toUtf8());
        status = 1;
    }
    try {
        follower.finish();
    } catch (...) {
        status = 1;
    }
    if (raster)
        cupsRasterClose(raster);
    if (input > 0)
        ::close(input);
    return status;
}

} // namespace pelmar::cups_driver
