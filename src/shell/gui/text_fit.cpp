#include "shell/gui/text_fit.h"

#include "shell/gui/window_look.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QLabel>
#include <algorithm>

namespace pelmar::gui {

namespace {

// The frame and inner margin of the window's buttons on each side, in pixels.
constexpr int kButtonFrame = 4;
constexpr int kIconGap = 4;

int shownWidth(const QFontMetrics& metrics, QString text) {
    text.remove(u'&');
    return metrics.horizontalAdvance(text);
}

} // namespace

int captionRoom(const QAbstractButton* button) {
    int room = button->width() - 2 * kButtonFrame;
    if (!button->icon().isNull())
        room -= button->iconSize().width() + kIconGap;
    return room;
}

void wrapCaption(QAbstractButton* button) {
    const QString caption = QString(button->text()).remove(u'\n');
    const QFontMetrics metrics(button->font());
    if (shownWidth(metrics, caption) <= captionRoom(button)) {
        button->setText(caption);
        return;
    }
    qsizetype best = -1;
    int bestWidth = 0;
    for (qsizetype at = 1; at < caption.size(); ++at) {
        if (caption[at - 1] == u'&')
            continue;
        const int longer =
            std::max(shownWidth(metrics, caption.left(at)), shownWidth(metrics, caption.mid(at)));
        if (best < 0 || longer < bestWidth) {
            best = at;
            bestWidth = longer;
        }
    }
    button->setText(best < 0 ? caption : caption.left(best) + u'\n' + caption.mid(best));
}

void fitTextToWidth(QLabel* label, double points, double minimumPoints) {
    const int room = label->contentsRect().width() - 2 * label->margin() - 2;
    double size = points;
    while (size > minimumPoints &&
           QFontMetrics(windowFont(size)).horizontalAdvance(label->text()) > room)
        size -= 0.25;
    if (label->font().pointSizeF() != size)
        label->setFont(windowFont(size));
}

} // namespace pelmar::gui
