#include "shell/gui/frm_pelmar_chi.h"

#include "common/message_box.h"
#include "data/data_grid.h"
#include "shell/gui/frozen_column.h"
#include "shell/gui/keyboard_router.h"
#include "shell/gui/print_panel.h"
#include "shell/gui/text_fit.h"
#include "shell/gui/twips.h"
#include "shell/gui/window_layout.h"
#include "shell/gui/window_look.h"

#include <QAction>
#include <QCloseEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QTableView>
#include <algorithm>

namespace pelmar::gui {

namespace {

QLabel* makeFramedLabel(const char* name, const QColor& colour, Qt::Alignment alignment,
                        QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setFont(windowFont(12));
    label->setAlignment(alignment);
    label->setAutoFillBackground(true);
    setTextColour(label, colour);
    return label;
}

} // namespace

FrmPelmarChi::FrmPelmarChi(state::WorkingState& state, QWidget* parent)
    : QMainWindow(parent), m_state(state), m_grid(nullptr), m_gridModel(new DataGridModel(this)),
      m_lblPrintData(nullptr), m_lblPrintItem(nullptr), m_lblMsg(nullptr), m_framePrint(nullptr) {
    setObjectName(QStringLiteral("frmPelmarCHI"));
    setWindowTitle(common::programTitle());
    setWindowIcon(makeIcon(IconKind::Window));
    setFont(windowFont());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, colours::lightGrey);
    setPalette(palette);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    client->setAutoFillBackground(true);
    setCentralWidget(client);
    client->installEventFilter(this);

    buildMenus();
    buildPermanentControls();
    // Access keys, Enter and Escape of the panels, ahead of the menus' shortcuts.
    new KeyboardRouter(this, client);

    m_framePrint = new PrintPanel(state, client);
    registerPanel(m_framePrint, PrintPanel::designedSize);

    resizeClientTwips(firstClientWidth, firstClientHeight);
}

void FrmPelmarChi::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setFont(windowFont());
    // A disabled menu reads as disabled, not as gone: dark grey on the light grey bar.
    QPalette palette = bar->palette();
    for (QPalette::ColorRole role : {QPalette::ButtonText, QPalette::WindowText, QPalette::Text})
        palette.setColor(QPalette::Disabled, role, colours::disabledText);
    palette.setColor(QPalette::Disabled, QPalette::Light, colours::lightGrey.lighter(125));
    bar->setPalette(palette);
    m_mnuTestPrint = bar->addAction(QStringLiteral("試印(&T)"));
    m_mnuTestPrint->setObjectName(QStringLiteral("mnuTestPrint"));
    m_mnuSetup = bar->addAction(QStringLiteral("設定(&S)"));
    m_mnuSetup->setObjectName(QStringLiteral("mnuSetup"));
    m_mnuJournal = bar->addAction(QStringLiteral("記錄(&J)"));
    m_mnuJournal->setObjectName(QStringLiteral("mnuJournal"));
    m_mnuExit = bar->addAction(QStringLiteral("離開(&E)"));
    m_mnuExit->setObjectName(QStringLiteral("mnuExit"));
    connect(m_mnuTestPrint, &QAction::triggered, this, &FrmPelmarChi::mnuTestPrintClicked);
    connect(m_mnuSetup, &QAction::triggered, this, &FrmPelmarChi::mnuSetupClicked);
    connect(m_mnuJournal, &QAction::triggered, this, &FrmPelmarChi::mnuJournalClicked);
    connect(m_mnuExit, &QAction::triggered, this, &FrmPelmarChi::mnuExitClicked);
}

void FrmPelmarChi::buildPermanentControls() {
    QWidget* client = centralWidget();
    m_grid = new QTableView(client);
    m_grid->setObjectName(QStringLiteral("MSFlexGrid1"));
    m_grid->setModel(m_gridModel);
    m_grid->verticalHeader()->hide();
    // Fixed row heights keep a grid of 32,767 records as cheap as one of ten.
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 6);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setWordWrap(false);
    // Tab and Shift+Tab leave the grid for the next control instead of walking its cells.
    m_grid->setTabKeyNavigation(false);
    m_grid->installEventFilter(this);
    m_grid->setFont(windowFont());
    m_grid->horizontalHeader()->setFont(windowFont());
    placeTwips(m_grid, 0, 0, 7680, 5580);
    freezeFirstColumn(m_grid);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        // Only the operator's choice of a row is a click; rows shown by a run are not.
        if (!m_settingRow)
            MSFlexGrid1_Click();
        keepChosenRowClear();
    });

    m_lblPrintData =
        makeFramedLabel("lblPrintData", colours::blue, Qt::AlignLeft | Qt::AlignTop, client);
    m_lblPrintData->setWordWrap(true);
    placeTwips(m_lblPrintData, 0, 5565, 7680, printDataHeight);
    m_lblPrintItem = makeFramedLabel("lblPrintItem", colours::red, Qt::AlignCenter, client);
    placeTwips(m_lblPrintItem, 0, 6195, printItemWidth, printItemHeight);
    m_lblMsg = makeFramedLabel("lblMsg", colours::red, Qt::AlignCenter, client);
    placeTwips(m_lblMsg, 1680, 6195, 6000, printItemHeight);
}

void FrmPelmarChi::registerPanel(QWidget* panel, QSizeF designedTwips, app::OverGrid overGrid) {
    m_panels.push_back({panel, designedTwips, overGrid});
    panel->raise();
    panel->installEventFilter(this);
    Form_Resize();
    followShownPanels();
}

void FrmPelmarChi::followShownPanels() {
    std::vector<app::OverGrid> shown;
    for (const RegisteredPanel& registered : m_panels)
        if (registered.panel->isVisibleTo(this))
            shown.push_back(registered.overGrid);
    m_grid->setFocusPolicy(app::gridTakesFocus(shown) ? Qt::StrongFocus : Qt::NoFocus);
    if (m_grid->focusPolicy() == Qt::NoFocus && m_grid->hasFocus())
        m_grid->clearFocus();
    keepChosenRowClear();
}

void FrmPelmarChi::keepChosenRowClear() {
    const QModelIndex current = m_grid->currentIndex();
    if (!current.isValid())
        return;
    for (const RegisteredPanel& registered : m_panels) {
        if (registered.overGrid != app::OverGrid::KeepsInUse ||
            !registered.panel->isVisibleTo(this))
            continue;
        QWidget* viewport = m_grid->viewport();
        const QRect covered(viewport->mapFrom(registered.panel->parentWidget(),
                                              registered.panel->geometry().topLeft()),
                            registered.panel->size());
        app::GridRows rows;
        rows.rowHeight = m_grid->verticalHeader()->defaultSectionSize();
        rows.viewportHeight = viewport->height();
        rows.coveredTop = covered.top();
        rows.coveredBottom = covered.bottom() + 1;
        rows.rowCount = m_gridModel->rowCount();
        rows.topRow = m_grid->rowAt(0);
        rows.currentRow = current.row();
        if (const std::optional<int> top = app::topRowShowingCurrent(rows))
            m_grid->scrollTo(m_gridModel->index(*top, 0), QAbstractItemView::PositionAtTop);
    }
}

double FrmPelmarChi::scaleWidth() const {
    return toTwips(centralWidget()->width(), this);
}

double FrmPelmarChi::scaleHeight() const {
    return toTwips(centralWidget()->height(), this);
}

void FrmPelmarChi::resizeClientTwips(double width, double height) {
    // What the window has beyond its client area: the menu bar.
    const int menuHeight =
        isVisible() ? this->height() - centralWidget()->height() : menuBar()->sizeHint().height();
    resize(toPixels(width, this), toPixels(height, this) + menuHeight);
    // A window that is not shown yet lays out its client area only when shown.
    if (!isVisible())
        centralWidget()->resize(toPixels(width, this), toPixels(height, this));
    Form_Resize();
}

void FrmPelmarChi::Form_Resize() {
    if (isMinimized())
        return;
    if (isVisible() && !isMaximized() && !isFullScreen()) {
        if (const QScreen* screen = this->screen()) {
            const QRect area = screen->geometry();
            const QRect outer = frameGeometry();
            const QPoint centred(area.left() + (area.width() - outer.width()) / 2,
                                 area.top() + (area.height() - outer.height()) / 2);
            if (outer.topLeft() != centred)
                move(centred);
        }
    }
    std::vector<QSizeF> sizes;
    for (const RegisteredPanel& registered : m_panels)
        sizes.push_back(registered.size);
    const WindowLayout layout = layoutRule(scaleWidth(), scaleHeight(), sizes);
    m_lblPrintItem->setGeometry(toPixels(layout.printItem, this));
    m_lblMsg->setGeometry(toPixels(layout.msg, this));
    fitTextToWidth(m_lblMsg, statusPoints, minimumStatusPoints);
    m_lblPrintData->setGeometry(toPixels(layout.printData, this));
    m_grid->setGeometry(toPixels(layout.grid, this));
    keepChosenRowClear();
    for (size_t i = 0; i < m_panels.size(); ++i) {
        const QSizeF& size = m_panels[i].size;
        m_panels[i].panel->setGeometry(toPixels(
            QRectF(layout.panels[i].x(), layout.panels[i].y(), size.width(), size.height()), this));
    }
}

void FrmPelmarChi::fillDataGrid(const state::WorkingState& state) {
    m_grid->setUpdatesEnabled(false);
    m_gridModel->fill(state);
    const data::GridLayout& layout = m_gridModel->layout();
    for (int column = 0; column < layout.widthTwips.size(); ++column)
        m_grid->setColumnWidth(column, toPixels(layout.widthTwips.at(column), this));
    if (state.recordCount == 0)
        m_lblPrintData->clear();
    else
        setCurrentRowQuietly(0);
    m_grid->scrollToTop();
    m_grid->setUpdatesEnabled(true);
}

int FrmPelmarChi::gridCurrentRow() const {
    if (m_gridModel->rowCount() == 0)
        return 0;
    const QModelIndex current = m_grid->currentIndex();
    return current.isValid() ? current.row() + 1 : 1;
}

void FrmPelmarChi::setCurrentRowQuietly(int modelRow) {
    m_settingRow = true;
    const QModelIndex index = m_gridModel->index(modelRow, 0);
    m_grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    m_settingRow = false;
}

void FrmPelmarChi::showGridRow(int row) {
    if (row < 1 || row > m_gridModel->rowCount())
        return;
    setCurrentRowQuietly(row - 1);
    m_grid->scrollTo(m_gridModel->index(row - 1, 0), QAbstractItemView::PositionAtTop);
    m_grid->viewport()->repaint();
}

void FrmPelmarChi::MSFlexGrid1_Click() {
    if (m_state.recordCount == 0)
        return;
    setPrintData(data::MSFlexGrid1_Click(m_state, gridCurrentRow()));
}

void FrmPelmarChi::setStatusMessage(const QString& text) {
    m_lblMsg->setText(text);
    fitTextToWidth(m_lblMsg, statusPoints, minimumStatusPoints);
    m_lblMsg->repaint();
}

void FrmPelmarChi::setPrintItem(const QString& text) {
    m_lblPrintItem->setText(text);
    m_lblPrintItem->repaint();
}

void FrmPelmarChi::setPrintData(const QString& text) {
    m_lblPrintData->setText(text);
    m_lblPrintData->repaint();
}

void FrmPelmarChi::setPrinterList(const QStringList& deviceNames) {
    m_printerList = deviceNames;
}

void FrmPelmarChi::setPrinterText(const QString& text) {
    m_printerText = text;
}

void FrmPelmarChi::pointFileList(const QString& folder, const QString& pattern) {
    m_fileListFolder = folder;
    m_fileListPattern = pattern;
}

bool FrmPelmarChi::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        Form_Resize();
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!app::gridTakesKey(key->text(), key->modifiers()))
            return true;
    }
    if ((event->type() == QEvent::Show || event->type() == QEvent::Hide) &&
        std::any_of(m_panels.begin(), m_panels.end(), [watched](const RegisteredPanel& registered) {
            return registered.panel == watched;
        }))
        followShownPanels();
    return QMainWindow::eventFilter(watched, event);
}

void FrmPelmarChi::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void FrmPelmarChi::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    Form_Resize();
}

void FrmPelmarChi::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closeBoxUsed();
}

} // namespace pelmar::gui
