#include "common/run_error.h"

#include <new>

namespace pelmar::common {

QString errorDescription(int number) {
    switch (number) {
    case InvalidArgument:
        return QStringLiteral("程序呼叫或引數不正確");
    case Overflow:
        return QStringLiteral("溢位");
    case SubscriptOutOfRange:
        return QStringLiteral("陣列索引超出範圍");
    case DivisionByZero:
        return QStringLiteral("除數為零");
    case TypeMismatch:
        return QStringLiteral("型態不符合");
    case FileNotFound:
        return QStringLiteral("找不到檔案");
    case DeviceIoError:
        return QStringLiteral("裝置 I/O 錯誤");
    case PathFileAccessError:
        return QStringLiteral("路徑/檔案存取錯誤");
    case InvalidPicture:
        return QStringLiteral("無效的圖片");
    case PrinterError:
        return QStringLiteral("印表機錯誤");
    case DialogCancelled:
        return QStringLiteral("已選擇取消");
    default:
        return QStringLiteral("發生錯誤 %1").arg(number);
    }
}

RunError::RunError(int number) : RunError(number, errorDescription(number)) {}

RunError::RunError(int number, QString description)
    : m_number(number), m_description(std::move(description)),
      m_what(QStringLiteral("%1: %2").arg(number).arg(m_description).toStdString()) {}

CaughtError caughtError() {
    try {
        throw;
    } catch (const RunError& error) {
        return {error.number(), error.description()};
    } catch (const std::bad_alloc&) {
        // The library's own words ("std::bad_alloc") mean nothing to an operator.
        return {-1, QStringLiteral("記憶體不足")};
    } catch (const std::exception& error) {
        return {-1, QString::fromLocal8Bit(error.what())};
    } catch (...) {
        return {-1, errorDescription(-1)};
    }
}

} // namespace pelmar::common
