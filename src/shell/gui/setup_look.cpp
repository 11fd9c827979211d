#include "shell/gui/setup_look.h"

#include "shell/gui/text_fit.h"
#include "shell/gui/window_look.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QValidator>

namespace pelmar::gui {

namespace {

class ByteLengthValidator : public QValidator {
public:
    ByteLengthValidator(int bytes, const common::CodePage& codePage, QObject* parent)
        : QValidator(parent), m_bytes(bytes), m_codePage(codePage) {}

    State validate(QString& input, int&) const override {
        const QByteArray encoded = m_codePage.encode(input);
        if (encoded.size() > m_bytes || m_codePage.decode(encoded) != input)
            return Invalid;
        return Acceptable;
    }

private:
    int m_bytes;
    // The settings may name another code page after the window was built: read it each time.
    const common::CodePage& m_codePage;
};

} // namespace

void styleGroup(QGroupBox* group) {
    group->setFont(windowFont());
    group->setStyleSheet(QStringLiteral("QGroupBox { border: 2px groove #808080; margin-top: 0.6em;"
                                        " background-color: %1; }"
                                        "QGroupBox::title { color: purple; subcontrol-origin: "
                                        "margin; left: 8px; padding: 0 3px; }")
                             .arg(colours::lightGrey.name()));
    // A group with a style sheet no longer hands its font down: each control gets it here (the
    // boxes and buttons of other sizes set theirs afterwards).
    for (QWidget* control : group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        control->setFont(windowFont());
}

void styleSmallButton(QAbstractButton* button, const QColor& colour) {
    button->setFont(windowFont(9));
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 2px outset "
                                         "%2; border-radius: 3px; }"
                                         "QPushButton:pressed { border-style: inset; }"
                                         "QPushButton:focus { border-color: #404040; }")
                              .arg(colour.name(), colour.darker(130).name()));
    wrapCaption(button);
}

void limitToBytes(QLineEdit* box, int bytes, const common::CodePage& codePage) {
    box->setMaxLength(bytes);
    box->setValidator(new ByteLengthValidator(bytes, codePage, box));
}

void replaceListEntries(QListWidget* list, const QStringList& entries) {
    const QSignalBlocker quiet(list);
    list->clear();
    list->addItems(entries);
}

void syncListEntries(QListWidget* list, const QStringList& entries) {
    // Rows the program removes move the selection to a neighbour: that is no Click.
    const QSignalBlocker quiet(list);
    const int wanted = static_cast<int>(entries.size());
    while (list->count() > wanted)
        delete list->takeItem(list->count() - 1);
    for (int row = 0; row < wanted; ++row) {
        if (row < list->count()) {
            if (list->item(row)->text() != entries[row])
                list->item(row)->setText(entries[row]);
        } else {
            list->addItem(entries[row]);
        }
    }
}

} // namespace pelmar::gui
