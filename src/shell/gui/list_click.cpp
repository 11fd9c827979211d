#include "shell/gui/list_click.h"

#include <QEvent>
#include <QKeyEvent>
#include <QListWidget>

namespace pelmar::gui {

namespace {

class ListClickRelay : public QObject {
public:
    ListClickRelay(QListWidget* list, std::function<void(int)> click)
        : QObject(list), m_list(list), m_click(std::move(click)) {
        connect(list, &QListWidget::itemSelectionChanged, this, [this] {
            m_changedSincePress = true;
            const QList<QListWidgetItem*> selected = m_list->selectedItems();
            if (!selected.isEmpty())
                m_click(m_list->row(selected.front()));
        });
        // A click that changed the selection was handled above; one on the selected entry not.
        connect(list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
            if (!m_changedSincePress && item->isSelected())
                m_click(m_list->row(item));
        });
        list->viewport()->installEventFilter(this);
        list->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress)
            m_changedSincePress = false;
        if (watched == m_list && event->type() == QEvent::KeyPress)
            return highlightFocusedEntry(*static_cast<QKeyEvent*>(event));
        return false;
    }

private:
    // A list that takes the focus shows a focus frame on an entry without highlighting it; the
    // first Up, Down or Home highlights (and so chooses) that entry rather than skipping it.
    bool highlightFocusedEntry(const QKeyEvent& key) {
        const int code = key.key();
        if ((code != Qt::Key_Up && code != Qt::Key_Down && code != Qt::Key_Home) ||
            key.modifiers() != Qt::NoModifier || !m_list->selectedItems().isEmpty())
            return false;
        QListWidgetItem* focused = m_list->currentItem();
        if (focused == nullptr)
            return false;
        focused->setSelected(true);
        return true;
    }

    QListWidget* m_list;
    std::function<void(int)> m_click;
    bool m_changedSincePress = false;
};

} // namespace

void onListClick(QListWidget* list, std::function<void(int row)> click) {
    new ListClickRelay(list, std::move(click));
}

} // namespace pelmar::gui
