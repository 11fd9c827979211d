#include "shell/gui/journal_panel.h"

#include "shell/gui/number_boxes.h"
#include "shell/gui/window_look.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

namespace pelmar::gui {

namespace {

QLabel* caption(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    setTextColour(label, colours::blue);
    return label;
}

QTableWidget* makeList(const char* name, QWidget* parent) {
    auto* list = new QTableWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->verticalHeader()->hide();
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setWordWrap(false);
    // Tab leaves the list for the next control instead of walking its cells.
    list->setTabKeyNavigation(false);
    list->horizontalHeader()->setHighlightSections(false);
    list->horizontalHeader()->setStretchLastSection(true);
    setTextColour(list, colours::purple);
    return list;
}

void fillList(QTableWidget* list, const QStringList& headers,
              const std::vector<QStringList>& rows) {
    list->setUpdatesEnabled(false);
    list->clearContents();
    list->setColumnCount(static_cast<int>(headers.size()));
    list->setHorizontalHeaderLabels(headers);
    list->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < list->rowCount(); ++row)
        for (int column = 0; column < rows[row].size(); ++column) {
            auto* item = new QTableWidgetItem(rows[row][column]);
            // A cell cut off by the list's width is read whole under the pointer.
            item->setToolTip(rows[row][column]);
            list->setItem(row, column, item);
        }
    list->resizeColumnsToContents();
    list->setUpdatesEnabled(true);
}

bool isEnter(const QKeyEvent& key) {
    return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
           (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace

JournalPanel::JournalPanel(QWidget* parent)
    : QGroupBox(QStringLiteral("[ 列印記錄 ]"), parent),
      m_lblRuns(caption("lblRuns", QStringLiteral("列印 (最新的在上) :"), this)),
      m_gridRuns(makeList("gridRuns", this)),
      m_lblRecords(caption("lblRecords", QStringLiteral("這次列印的資料 :"), this)),
      m_gridRecords(makeList("gridRecords", this)),
      m_lblFrom(caption("lblFromRecord", QStringLiteral("重印從第"), this)),
      m_txtFrom(new QLineEdit(this)),
      m_lblTo(caption("lblToRecord", QStringLiteral("筆到第"), this)), m_txtTo(new QLineEdit(this)),
      m_lblPrinter(caption("lblReprintPrinter", QStringLiteral("筆, 印表機 :"), this)),
      m_cboPrinter(new QComboBox(this)),
      m_cmdReprint(new QPushButton(QStringLiteral("重印(&R)"), this)),
      m_cmdCancel(new QPushButton(QStringLiteral("離開(&E)"), this)) {
    setObjectName(QStringLiteral("frameJournal"));
    m_txtFrom->setObjectName(QStringLiteral("txtFromRecord"));
    m_txtTo->setObjectName(QStringLiteral("txtToRecord"));
    m_cboPrinter->setObjectName(QStringLiteral("cboReprintPrinter"));
    m_cmdReprint->setObjectName(QStringLiteral("cmdReprint"));
    m_cmdCancel->setObjectName(QStringLiteral("cmdJournalCancel"));

    stylePanel(this);
    setFont(windowFont());
    placeControls();
    for (QLineEdit* box : {m_txtFrom, m_txtTo}) {
        setTextColour(box, colours::red);
        box->setAlignment(Qt::AlignCenter);
        box->setMaxLength(5);
        installDigitsOnlyFilter(box);
    }
    setTextColour(m_cboPrinter, colours::red);
    styleButton(m_cmdReprint, colours::pink, IconKind::Print);
    styleButton(m_cmdCancel, colours::green, IconKind::Exit);

    const QList<QWidget*> order{m_gridRuns,   m_gridRecords, m_txtFrom,  m_txtTo,
                                m_cboPrinter, m_cmdReprint,  m_cmdCancel};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(m_gridRuns, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (!m_choosing && row >= 0)
            emit runChosen(row);
    });
    connect(m_cmdReprint, &QPushButton::clicked, this, &JournalPanel::cmdReprintClicked);
    connect(m_cmdCancel, &QPushButton::clicked, this, &JournalPanel::cmdJournalCancelClicked);
    hide();
}

void JournalPanel::placeControls() {
    placeTwips(this, 0, 0, designedSize.width(), designedSize.height());
    placeTwips(m_lblRuns, 210, 280, 4000, 300);
    placeTwips(m_gridRuns, 210, 600, 9180, 2700);
    placeTwips(m_lblRecords, 210, 3400, 4000, 300);
    placeTwips(m_gridRecords, 210, 3720, 9180, 1680);
    placeTwips(m_lblFrom, 210, 5580, 1000, 330);
    placeTwips(m_txtFrom, 1230, 5550, 900, 360);
    placeTwips(m_lblTo, 2200, 5580, 750, 330);
    placeTwips(m_txtTo, 2970, 5550, 900, 360);
    placeTwips(m_lblPrinter, 3940, 5580, 1500, 330);
    placeTwips(m_cboPrinter, 5460, 5550, 3930, 360);
    placeTwips(m_cmdReprint, 5900, 6000, 1695, 750);
    placeTwips(m_cmdCancel, 7695, 6000, 1695, 750);
}

void JournalPanel::showRuns(const QStringList& headers, const std::vector<QStringList>& rows) {
    m_choosing = true;
    fillList(m_gridRuns, headers, rows);
    m_choosing = false;
}

void JournalPanel::showRecords(const QStringList& headers, const std::vector<QStringList>& rows) {
    fillList(m_gridRecords, headers, rows);
}

void JournalPanel::chooseRun(int row) {
    m_choosing = true;
    if (row < 0 || row >= m_gridRuns->rowCount())
        m_gridRuns->setCurrentCell(-1, -1);
    else
        m_gridRuns->setCurrentCell(row, 0,
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_choosing = false;
}

void JournalPanel::setRange(const QString& from, const QString& to) {
    m_txtFrom->setText(from);
    m_txtTo->setText(to);
}

void JournalPanel::setPrinters(const QStringList& printers, const QString& chosen) {
    m_cboPrinter->clear();
    m_cboPrinter->addItems(printers);
    m_cboPrinter->setCurrentIndex(static_cast<int>(printers.indexOf(chosen)));
}

void JournalPanel::keyPressEvent(QKeyEvent* event) {
    // The keys the focused control leaves unused reach the screen.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        emit cmdJournalCancelClicked();
        return;
    }
    QWidget* focused = focusWidget();
    if (isEnter(*event) && !event->isAutoRepeat() &&
        (focused == m_txtFrom || focused == m_txtTo || focused == m_cboPrinter)) {
        emit cmdReprintClicked();
        return;
    }
    QGroupBox::keyPressEvent(event);
}

} // namespace pelmar::gui
