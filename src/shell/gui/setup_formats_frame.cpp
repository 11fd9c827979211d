#include "shell/gui/setup_formats_frame.h"

#include "shell/gui/list_click.h"
#include "shell/gui/setup_look.h"
#include "shell/gui/window_look.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace pelmar::gui {

SetupFormatsFrame::SetupFormatsFrame(QWidget* parent)
    : QGroupBox(QStringLiteral("標籤設定"), parent),
      m_label4(new QLabel(QStringLiteral("欲列印格式檔名 :"), this)),
      m_lblLabelCount(new QLabel(this)), m_fmtList(new QListWidget(this)),
      m_cmdNew(new QPushButton(QStringLiteral("新增<<<"), this)),
      m_cmdRemove(new QPushButton(QStringLiteral("移除>>>"), this)),
      m_label11(new QLabel(QStringLiteral("來源格式檔名 :"), this)),
      m_fileList(new QListWidget(this)) {
    setObjectName(QStringLiteral("Frame2"));
    m_label4->setObjectName(QStringLiteral("Label4"));
    m_lblLabelCount->setObjectName(QStringLiteral("lblLabelCount"));
    m_fmtList->setObjectName(QStringLiteral("fmtList"));
    m_cmdNew->setObjectName(QStringLiteral("cmdNew"));
    m_cmdRemove->setObjectName(QStringLiteral("cmdRemove"));
    m_label11->setObjectName(QStringLiteral("Label11"));
    m_fileList->setObjectName(QStringLiteral("FileList"));

    styleGroup(this);
    placeTwips(this, 105, 5640, 6420, 2430);
    placeTwips(m_label4, 105, 315, 1905, 330);
    placeTwips(m_lblLabelCount, 1995, 315, 435, 330);
    placeTwips(m_fmtList, 105, 580, 2745, 1635);
    placeTwips(m_cmdNew, 2940, 735, 540, 540);
    placeTwips(m_cmdRemove, 2940, 1575, 540, 540);
    placeTwips(m_label11, 3570, 315, 1695, 330);
    placeTwips(m_fileList, 3570, 580, 2745, 1665);

    setTextColour(m_label4, colours::blue);
    setTextColour(m_label11, colours::blue);
    setTextColour(m_lblLabelCount, colours::purple);
    setTextColour(m_fmtList, colours::red);
    setTextColour(m_fileList, colours::red);
    styleSmallButton(m_cmdNew, colours::yellow);
    styleSmallButton(m_cmdRemove, setupColours::salmon);

    onListClick(m_fmtList, [this](int row) { emit fmtListClicked(row + 1); });
    connect(m_cmdNew, &QPushButton::clicked, this, &SetupFormatsFrame::cmdNewClicked);
    connect(m_cmdRemove, &QPushButton::clicked, this, &SetupFormatsFrame::cmdRemoveClicked);
}

QStringList SetupFormatsFrame::entries() const {
    QStringList list;
    for (int row = 0; row < m_fmtList->count(); ++row)
        list << m_fmtList->item(row)->text();
    return list;
}

void SetupFormatsFrame::setEntries(const QStringList& entries) {
    syncListEntries(m_fmtList, entries);
    m_lblLabelCount->setText(QString::number(entries.size()));
}

void SetupFormatsFrame::readFileList(const QString& folder, const QString& pattern) {
    replaceListEntries(m_fileList, app::formatFiles(folder, pattern));
}

QStringList SetupFormatsFrame::files() const {
    QStringList list;
    for (int row = 0; row < m_fileList->count(); ++row)
        list << m_fileList->item(row)->text();
    return list;
}

int SetupFormatsFrame::selectedFileRow() const {
    const QList<QListWidgetItem*> selected = m_fileList->selectedItems();
    return selected.isEmpty() ? -1 : m_fileList->row(selected.front());
}

void SetupFormatsFrame::focusControl(app::FormatListFocus focus) {
    if (focus == app::FormatListFocus::FileList)
        m_fileList->setFocus();
    else if (focus == app::FormatListFocus::FmtList)
        m_fmtList->setFocus();
}

} // namespace pelmar::gui
