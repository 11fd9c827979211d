#pragma once

class QAbstractButton;
class QLabel;

namespace pelmar::gui {

// Width in pixels a button leaves for its caption: its width less the frame and, with a
// picture, the picture and the gap after it.
int captionRoom(const QAbstractButton* button);

// Breaks a button's caption into two lines when one line does not fit its caption room, at the
// place that makes the longer line shortest (never inside an access key "&x"). The caption's
// characters stay as they are; only a line break is added.
void wrapCaption(QAbstractButton* button);

// Gives a label the window's font at `points`, or the largest smaller size (in quarter points,
// not below `minimumPoints`) at which its text fits its width on one line.
void fitTextToWidth(QLabel* label, double points, double minimumPoints);

} // namespace pelmar::gui
