#pragma once

#include "shell/app/grid_keys.h"
#include "shell/gui/data_grid_model.h"
#include "state/working_state.h"

#include <QMainWindow>
#include <QSizeF>
#include <QStringList>
#include <vector>

class QAction;
class QLabel;
class QTableView;

namespace pelmar::gui {

class PrintPanel;

// The one window frmPelmarCHI: the grid MSFlexGrid1, the record line lblPrintData, the progress
// cell lblPrintItem and the status line lblMsg, the menus, and the panels laid over the
// grid (each its own class, registered with its designed size so the layout rule centres it).
// The window decides nothing: menus and buttons signal, its owner runs the procedures.
class FrmPelmarChi : public QMainWindow {
    Q_OBJECT
public:
    explicit FrmPelmarChi(state::WorkingState& state, QWidget* parent = nullptr);

    QTableView* MSFlexGrid1() const { return m_grid; }
    DataGridModel* gridModel() const { return m_gridModel; }
    QLabel* lblPrintData() const { return m_lblPrintData; }
    QLabel* lblPrintItem() const { return m_lblPrintItem; }
    QLabel* lblMsg() const { return m_lblMsg; }
    QAction* mnuTestPrint() const { return m_mnuTestPrint; }
    QAction* mnuSetup() const { return m_mnuSetup; }
    QAction* mnuJournal() const { return m_mnuJournal; }
    QAction* mnuExit() const { return m_mnuExit; }
    PrintPanel* FramePrint() const { return m_framePrint; }
    QWidget* clientArea() const { return centralWidget(); }

    // Adds a panel (a child of clientArea()) of a designed size in twips to those the layout
    // rule centres; panels are centred in the order registered. While a panel that keeps the
    // grid in use shows, the chosen record is scrolled clear of it; while one that hides the
    // grid shows, the grid takes no keyboard focus.
    void registerPanel(QWidget* panel, QSizeF designedTwips,
                       app::OverGrid overGrid = app::OverGrid::Hides);

    // The client area in twips (ScaleWidth, ScaleHeight).
    double scaleWidth() const;
    double scaleHeight() const;
    // Resizes the window so that its client area is width x height twips.
    void resizeClientTwips(double width, double height);

    // The layout rule: nothing while minimized; a normal window is centred on its screen; the
    // permanent controls follow the client area and every registered panel is centred.
    void Form_Resize();

    // FillDataGrid: the grid shows the records of the state (header row only when there are
    // none, and the record line is emptied then); the current row becomes the first record.
    void fillDataGrid(const state::WorkingState& state);
    // The grid's current row: record number (row 0 is the header row); 0 without records.
    int gridCurrentRow() const;
    // Makes a record row current, selected and the top row, without the click behaviour.
    void showGridRow(int row);
    // MSFlexGrid1_Click: the current row becomes CurrentRecord and the record line shows it.
    void MSFlexGrid1_Click();

    // Texts of the permanent labels, each repainted at once.
    void setStatusMessage(const QString& text);
    void setPrintItem(const QString& text);
    void setPrintData(const QString& text);

    // The printer list and text of cboPrinter and the folder and pattern of FileList, kept until
    // the setup screen that shows them asks.
    void setPrinterList(const QStringList& deviceNames);
    void setPrinterText(const QString& text);
    void pointFileList(const QString& folder, const QString& pattern);
    const QStringList& printerList() const { return m_printerList; }
    const QString& printerText() const { return m_printerText; }
    const QString& fileListFolder() const { return m_fileListFolder; }
    const QString& fileListPattern() const { return m_fileListPattern; }

signals:
    // The menus; the password gate and the screens behind them connect here.
    void mnuTestPrintClicked();
    void mnuSetupClicked();
    void mnuJournalClicked();
    void mnuExitClicked();
    // The close box was used; the owner decides what ends (the event is accepted).
    void closeBoxUsed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct RegisteredPanel {
        QWidget* panel;
        QSizeF size;
        app::OverGrid overGrid;
    };

    void buildMenus();
    void buildPermanentControls();
    void setCurrentRowQuietly(int modelRow);
    // The grid's focus and scrolling after a panel was shown or hidden, or the grid changed.
    void followShownPanels();
    void keepChosenRowClear();

    state::WorkingState& m_state;
    QTableView* m_grid;
    DataGridModel* m_gridModel;
    QLabel* m_lblPrintData;
    QLabel* m_lblPrintItem;
    QLabel* m_lblMsg;
    QAction* m_mnuTestPrint = nullptr;
    QAction* m_mnuSetup = nullptr;
    QAction* m_mnuJournal = nullptr;
    QAction* m_mnuExit = nullptr;
    PrintPanel* m_framePrint;
    std::vector<RegisteredPanel> m_panels;
    bool m_settingRow = false;
    QStringList m_printerList;
    QString m_printerText;
    QString m_fileListFolder;
    QString m_fileListPattern;
};

} // namespace pelmar::gui
