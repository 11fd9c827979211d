#pragma once

#include "shell/app/format_lists.h"

#include <QGroupBox>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;

namespace pelmar::gui {

// The group Frame2 "標籤設定" of the setup screen: the formats chosen for printing (fmtList with
// its count) beside the format files of the program folder (FileList), and the buttons that move
// names between them, which only signal (the decisions are app::cmdNew_Click, cmdRemove_Click).
class SetupFormatsFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit SetupFormatsFrame(QWidget* parent);

    QLabel* lblLabelCount() const { return m_lblLabelCount; }
    QListWidget* fmtList() const { return m_fmtList; }
    QPushButton* cmdNew() const { return m_cmdNew; }
    QPushButton* cmdRemove() const { return m_cmdRemove; }
    QListWidget* FileList() const { return m_fileList; }

    // The entries of fmtList, and the list replaced by entries (lblLabelCount follows).
    QStringList entries() const;
    void setEntries(const QStringList& entries);
    // FileList pointed at a folder with a pattern and read again; nothing is selected then.
    void readFileList(const QString& folder, const QString& pattern);
    QStringList files() const;
    // The selected row of FileList, -1 when none is selected.
    int selectedFileRow() const;
    void focusControl(app::FormatListFocus focus);

signals:
    void fmtListClicked(int position); // 1-based
    void cmdNewClicked();
    void cmdRemoveClicked();

private:
    QLabel* m_label4;
    QLabel* m_lblLabelCount;
    QListWidget* m_fmtList;
    QPushButton* m_cmdNew;
    QPushButton* m_cmdRemove;
    QLabel* m_label11;
    QListWidget* m_fileList;
};

} // namespace pelmar::gui
