#include "shell/gui/frozen_column.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

namespace pelmar::gui {

namespace {

class FrozenColumn : public QTableView {
public:
    explicit FrozenColumn(QTableView* grid) : QTableView(grid), m_grid(grid) {
        setObjectName(QStringLiteral("MSFlexGrid1FixedColumn"));
        setFocusPolicy(Qt::NoFocus);
        verticalHeader()->hide();
        verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        horizontalHeader()->setHighlightSections(false);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setSelectionBehavior(QAbstractItemView::SelectRows);
        setSelectionMode(QAbstractItemView::SingleSelection);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        setStyleSheet(QStringLiteral("QTableView { border: none; }"));
        grid->viewport()->stackUnder(this);
        connect(grid->verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(),
                &QScrollBar::setValue);
        connect(verticalScrollBar(), &QScrollBar::valueChanged, grid->verticalScrollBar(),
                &QScrollBar::setValue);
        connect(grid->horizontalHeader(), &QHeaderView::sectionResized, this,
                [this](int section, int, int size) {
                    if (section == 0) {
                        setColumnWidth(0, size);
                        place();
                    }
                });
        grid->installEventFilter(this);
    }

    // Follows the grid's model, fonts and row heights after each fill.
    void follow() {
        if (model() != m_grid->model()) {
            setModel(m_grid->model());
            setSelectionModel(m_grid->selectionModel());
        }
        setFont(m_grid->font());
        horizontalHeader()->setFont(m_grid->horizontalHeader()->font());
        verticalHeader()->setDefaultSectionSize(m_grid->verticalHeader()->defaultSectionSize());
        for (int column = 1; column < model()->columnCount(); ++column)
            setColumnHidden(column, true);
        setColumnWidth(0, m_grid->columnWidth(0));
        place();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_grid &&
            (event->type() == QEvent::Resize || event->type() == QEvent::Show ||
             event->type() == QEvent::LayoutRequest))
            follow();
        return QTableView::eventFilter(watched, event);
    }

private:
    void place() {
        const int frame = m_grid->frameWidth();
        setGeometry(frame, frame, m_grid->columnWidth(0),
                    m_grid->viewport()->height() + m_grid->horizontalHeader()->height());
        setVisible(model() != nullptr && model()->columnCount() > 0);
    }

    QTableView* m_grid;
};

} // namespace

void freezeFirstColumn(QTableView* grid) {
    auto* frozen = new FrozenColumn(grid);
    QObject::connect(grid->model(), &QAbstractItemModel::modelReset, frozen,
                     [frozen] { frozen->follow(); });
    QObject::connect(grid->model(), &QAbstractItemModel::layoutChanged, frozen,
                     [frozen] { frozen->follow(); });
    frozen->follow();
}

} // namespace pelmar::gui
