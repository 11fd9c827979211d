#pragma once

#include <QString>
#include <cstdint>

namespace pelmar::common {

// The bits of a printer's answer to the status inquiry <ESC>!? (0 when ready).
namespace status_bit {
constexpr std::uint8_t kHeadOpen = 0x01;
constexpr std::uint8_t kPaperJam = 0x02;
constexpr std::uint8_t kPaperOut = 0x04;
constexpr std::uint8_t kRibbonOut = 0x08;
constexpr std::uint8_t kPaused = 0x10;
constexpr std::uint8_t kPrinting = 0x20;
constexpr std::uint8_t kCoverOpen = 0x40;
constexpr std::uint8_t kOtherError = 0x80;
} // namespace status_bit

// True when the status holds a bit that stops the printer (every bit but "printing").
constexpr bool statusIsFault(std::uint8_t status) {
    return (status & ~status_bit::kPrinting) != 0;
}

// True when the printer still has labels to print.
constexpr bool statusIsPrinting(std::uint8_t status) {
    return (status & status_bit::kPrinting) != 0;
}

// The states a status byte names, one text per bit in bit order (印字頭開啟, 卡紙, 紙張用完,
// 碳帶用完, 暫停, 列印中, 上蓋開啟, 其他錯誤), joined by "、"; empty for 0 (ready).
QString statusText(std::uint8_t status);

} // namespace pelmar::common
