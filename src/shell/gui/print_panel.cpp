#include "shell/gui/print_panel.h"

#include "shell/gui/number_boxes.h"
#include "shell/gui/window_look.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace pelmar::gui {

PrintPanel::PrintPanel(state::WorkingState& state, QWidget* parent)
    : QGroupBox(QStringLiteral("[ 列印 ]"), parent),
      m_label12(new QLabel(QStringLiteral("請點選擇欲列印格式檔 :"), this)),
      m_listSelectLabel(new QListWidget(this)),
      m_label18(new QLabel(QStringLiteral("標準成加減值 :"), this)),
      m_txtADPrice2(new QLineEdit(this)),
      m_cmdPrint(new QPushButton(QStringLiteral("開始列印(&P)"), this)),
      m_cmdDelete(new QPushButton(QStringLiteral("取消列印(&C)"), this)) {
    setObjectName(QStringLiteral("FramePrint"));
    m_label12->setObjectName(QStringLiteral("Label12"));
    m_listSelectLabel->setObjectName(QStringLiteral("listSelectLabel"));
    m_label18->setObjectName(QStringLiteral("Label18"));
    m_txtADPrice2->setObjectName(QStringLiteral("txtADPrice2"));
    m_cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    m_cmdDelete->setObjectName(QStringLiteral("cmdDelete"));

    stylePanel(this);
    setFont(windowFont());
    placeTwips(this, 0, 0, designedSize.width(), designedSize.height());
    placeTwips(m_label12, 210, 420, 2640, 225);
    placeTwips(m_listSelectLabel, 210, 735, 3795, 2760);
    placeTwips(m_label18, 210, 3675, 1695, 330);
    placeTwips(m_txtADPrice2, 1995, 3675, 1275, 330);
    placeTwips(m_cmdPrint, 210, 4200, 1800, 855);
    placeTwips(m_cmdDelete, 2205, 4200, 1800, 855);

    setTextColour(m_label12, colours::blue);
    setTextColour(m_label18, colours::blue);
    setTextColour(m_listSelectLabel, colours::purple);
    setTextColour(m_txtADPrice2, colours::red);
    m_txtADPrice2->setFont(windowFont(12));
    styleButton(m_cmdPrint, colours::pink, IconKind::Print);
    styleButton(m_cmdDelete, colours::green, IconKind::Cancel);

    installDigitsOnlyFilter(m_txtADPrice2);
    connectPriceBox(m_txtADPrice2, state);

    setTabOrder(m_listSelectLabel, m_cmdPrint);
    setTabOrder(m_cmdPrint, m_cmdDelete);
    setTabOrder(m_cmdDelete, m_txtADPrice2);

    connect(m_cmdPrint, &QPushButton::clicked, this, &PrintPanel::cmdPrintClicked);
    connect(m_cmdDelete, &QPushButton::clicked, this, &PrintPanel::cmdDeleteClicked);
    hide();
}

QString PrintPanel::selectedFormat() const {
    const QList<QListWidgetItem*> selected = m_listSelectLabel->selectedItems();
    return selected.isEmpty() ? QString() : selected.front()->text();
}

} // namespace pelmar::gui
