#include "common/system_error_text.h"

#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <utility>

namespace pelmar::common {

namespace {

// Error numbers of Linux lie below this.
constexpr int kLastErrorNumber = 134;

const char* chineseText(int errnum) {
    switch (errnum) {
    case ENOENT:
        return "找不到檔案或資料夾";
    case EACCES:
    case EPERM:
        return "沒有存取權限";
    case ENOSPC:
        return "磁碟空間不足";
    case EROFS:
        return "檔案系統是唯讀的";
    case EISDIR:
        return "這是資料夾, 不是檔案";
    case ENOTDIR:
        return "路徑中有一段不是資料夾";
    case EBADF:
        return "檔案代碼無效 (檔案或連線已關閉)";
    case ECONNREFUSED:
        return "連線被拒絕 (印表機未開機, 或位址、連接埠不對)";
    case ETIMEDOUT:
        return "連線逾時";
    case EHOSTUNREACH:
    case ENETUNREACH:
        return "無法連到這部主機";
    case EPIPE:
        return "連線已被對方關閉";
    case ECONNRESET:
        return "連線被對方中斷";
    case EIO:
        return "輸入/輸出錯誤 (裝置故障或已拔除)";
    case ENODEV:
    case ENXIO:
        return "沒有這個裝置 (未連接或已拔除)";
    case EBUSY:
        return "裝置忙碌中 (另一個程式正在使用)";
    default:
        return nullptr;
    }
}

} // namespace

QString systemErrorText(int errnum) {
    if (const char* text = chineseText(errnum))
        return QString::fromUtf8(text);
    const char* name = errnum > 0 ? ::strerrorname_np(errnum) : nullptr;
    return QStringLiteral("系統錯誤 ") +
           (name != nullptr ? QString::fromLatin1(name) : QString::number(errnum));
}

QString systemErrorText(const QString& text) {
    // Qt words a few numbers itself, in English whatever the locale; the rest are strerror's.
    static const std::pair<int, const char*> qtWords[] = {{EACCES, "Permission denied"},
                                                          {EMFILE, "Too many open files"},
                                                          {ENOENT, "No such file or directory"},
                                                          {ENOSPC, "No space left on device"}};
    for (const auto& [errnum, words] : qtWords) {
        if (text == QLatin1String(words))
            return systemErrorText(errnum);
    }
    for (int errnum = 1; errnum < kLastErrorNumber; ++errnum) {
        if (text == QString::fromLocal8Bit(std::strerror(errnum)))
            return systemErrorText(errnum);
    }
    return text;
}

QString hostLookupErrorText(int status) {
    switch (status) {
    case EAI_NONAME:
        return QStringLiteral("找不到這個主機名稱");
    case EAI_AGAIN:
        return QStringLiteral("名稱伺服器暫時沒有回答, 請稍後再試");
    case EAI_SYSTEM:
        return systemErrorText(errno);
    default:
        return QStringLiteral("無法查詢主機名稱 (EAI %1)").arg(status);
    }
}

} // namespace pelmar::common
