#include "common/printer_status_byte.h"

#include <QStringList>

namespace pelmar::common {

QString statusText(std::uint8_t status) {
    static const char16_t* const kTexts[8] = {u"印字頭開啟", u"卡紙",   u"紙張用完", u"碳帶用完",
                                              u"暫停",       u"列印中", u"上蓋開啟", u"其他錯誤"};
    QStringList states;
    for (int bit = 0; bit < 8; ++bit) {
        if ((status >> bit) & 1)
            states << QString::fromUtf16(kTexts[bit]);
    }
    return states.join(u'、');
}

} // namespace pelmar::common
