#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QString>

class QWidget;
class QAbstractButton;

namespace pelmar::gui {

// The window's colours.
namespace colours {
inline const QColor lightGrey{192, 192, 192}; // window, panels, labels
inline const QColor red{255, 0, 0};           // text boxes, panel titles, status cells
inline const QColor blue{0, 0, 255};          // field captions, record line
inline const QColor purple{128, 0, 128};      // lists, counts
inline const QColor pink{255, 192, 224};
inline const QColor green{192, 255, 192};
inline const QColor yellow{255, 255, 192};
inline const QColor cyan{192, 255, 255};
inline const QColor magenta{255, 160, 255};
inline const QColor disabledText{96, 96, 96}; // disabled menus on the light grey bar
} // namespace colours

// The window's font: 新細明體 bold (the fontconfig alias maps it to AR PL UMing), in points.
QFont windowFont(double points = 11.25);

// Pictures of the buttons and of the window, drawn by the program (no files).
enum class IconKind { Window, Print, Cancel, Ok, Exit, Open, Edit, Save };
QIcon makeIcon(IconKind kind);

// Text colour of a label, list or text box (through its palette).
void setTextColour(QWidget* widget, const QColor& colour);

// A coloured button with a picture left of its caption (on two lines when one does not fit;
// style it after placing it).
void styleButton(QAbstractButton* button, const QColor& colour, IconKind icon);

// A panel (group box) in light grey with its title in red.
void stylePanel(QWidget* panel);

// Places a control at left, top, width, height twips of its container.
void placeTwips(QWidget* widget, double left, double top, double width, double height);

} // namespace pelmar::gui
