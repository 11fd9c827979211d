#include "shell/gui/setup_fields_frame.h"

#include "shell/gui/list_click.h"
#include "shell/gui/number_boxes.h"
#include "shell/gui/setup_look.h"
#include "shell/gui/window_look.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace pelmar::gui {

namespace {

QLabel* fieldCaption(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    setTextColour(label, colours::blue);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QCheckBox* checkBox(const char* name, const QString& caption, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    setTextColour(box, colours::blue);
    return box;
}

} // namespace

SetupFieldsFrame::SetupFieldsFrame(const state::WorkingState& state, QWidget* parent)
    : QGroupBox(QStringLiteral("欄位設定"), parent),
      m_label13(fieldCaption("Label13", QStringLiteral("分割方式 :"), this)),
      m_optFieldCut0(new QRadioButton(QStringLiteral("以符號"), this)),
      m_txtDelimiter(new QLineEdit(this)),
      m_optFieldCut1(new QRadioButton(QStringLiteral("以欄位長度"), this)),
      m_label8(new QLabel(QStringLiteral("欄位數 :"), this)), m_lblFldCount(new QLabel(this)),
      m_label9(fieldCaption("Label9", QStringLiteral("欄位名稱 :"), this)),
      m_txtFldName(new QLineEdit(this)),
      m_label6(fieldCaption("Label6", QStringLiteral("起始位置 :"), this)),
      m_txtStartPos(new QLineEdit(this)),
      m_label7(fieldCaption("Label7", QStringLiteral("欄位寬度 :"), this)),
      m_txtFldWidth(new QLineEdit(this)),
      m_chkEraseSpace(checkBox("chkEraseSpace", QStringLiteral("去字串右邊空白"), this)),
      m_chkEraseDecimal(checkBox("chkEraseDecimal", QStringLiteral("價格欄位去小數"), this)),
      m_chkEditPrice(checkBox("chkEditPrice", QStringLiteral("標準成本加減值"), this)),
      m_label16(fieldCaption("Label16", QStringLiteral("標準成本所在欄位 :"), this)),
      m_txtEditPriceField(new QLineEdit(this)),
      m_cmdFldNew(new QPushButton(QStringLiteral("新增>>>"), this)),
      m_cmdFldUpdate(new QPushButton(QStringLiteral("更新---"), this)),
      m_cmdFldRemove(new QPushButton(QStringLiteral("移除<<<"), this)),
      m_fldList(new QListWidget(this)) {
    setObjectName(QStringLiteral("Frame1"));
    m_optFieldCut0->setObjectName(QStringLiteral("optFieldCut0"));
    m_txtDelimiter->setObjectName(QStringLiteral("txtDelimiter"));
    m_optFieldCut1->setObjectName(QStringLiteral("optFieldCut1"));
    m_label8->setObjectName(QStringLiteral("Label8"));
    m_lblFldCount->setObjectName(QStringLiteral("lblFldCount"));
    m_txtFldName->setObjectName(QStringLiteral("txtFldName"));
    m_txtStartPos->setObjectName(QStringLiteral("txtStartPos"));
    m_txtFldWidth->setObjectName(QStringLiteral("txtFldWidth"));
    m_txtEditPriceField->setObjectName(QStringLiteral("txtEditPriceField"));
    m_cmdFldNew->setObjectName(QStringLiteral("cmdFldNew"));
    m_cmdFldUpdate->setObjectName(QStringLiteral("cmdFldUpdate"));
    m_cmdFldRemove->setObjectName(QStringLiteral("cmdFldRemove"));
    m_fldList->setObjectName(QStringLiteral("fldList"));

    styleGroup(this);
    placeControls();

    // The options of one group: the cutting method (the print mode has its own group).
    auto* cutGroup = new QButtonGroup(this);
    cutGroup->addButton(m_optFieldCut0, 0);
    cutGroup->addButton(m_optFieldCut1, 1);
    m_optFieldCut0->setChecked(true);
    setTextColour(m_optFieldCut0, colours::purple);
    setTextColour(m_optFieldCut1, colours::purple);
    setTextColour(m_label8, colours::blue);
    setTextColour(m_lblFldCount, colours::purple);
    m_lblFldCount->setAlignment(Qt::AlignCenter);
    for (QLineEdit* box :
         {m_txtDelimiter, m_txtFldName, m_txtStartPos, m_txtFldWidth, m_txtEditPriceField})
        setTextColour(box, colours::red);
    m_txtDelimiter->setAlignment(Qt::AlignCenter);
    limitToBytes(m_txtDelimiter, 1, state.codePage);
    m_txtFldName->setMaxLength(8);
    m_txtFldName->setFont(windowFont(12));
    m_txtStartPos->setMaxLength(3);
    m_txtFldWidth->setMaxLength(2);
    m_txtEditPriceField->setMaxLength(2);
    m_txtEditPriceField->setAlignment(Qt::AlignCenter);
    m_txtEditPriceField->setFont(windowFont(12));
    installDigitsOnlyFilter(m_txtEditPriceField);
    m_chkEraseSpace->setChecked(true);
    styleSmallButton(m_cmdFldNew, colours::yellow);
    styleSmallButton(m_cmdFldUpdate, colours::cyan);
    styleSmallButton(m_cmdFldRemove, setupColours::salmon);
    setTextColour(m_fldList, colours::red);

    connect(cutGroup, &QButtonGroup::idClicked, this, &SetupFieldsFrame::optFieldCut_Click);
    connect(m_chkEditPrice, &QCheckBox::toggled, this, &SetupFieldsFrame::chkEditPrice_Click);
    onListClick(m_fldList, [this](int row) { emit fldListClicked(row + 1); });
    connect(m_cmdFldNew, &QPushButton::clicked, this, &SetupFieldsFrame::cmdFldNewClicked);
    connect(m_cmdFldUpdate, &QPushButton::clicked, this, &SetupFieldsFrame::cmdFldUpdateClicked);
    connect(m_cmdFldRemove, &QPushButton::clicked, this, &SetupFieldsFrame::cmdFldRemoveClicked);
    optFieldCut_Click(0);
}

void SetupFieldsFrame::placeControls() {
    placeTwips(this, 105, 2160, 6420, 3375);
    placeTwips(m_label13, 105, 315, 1170, 225);
    placeTwips(m_optFieldCut0, 1365, 315, 1065, 330);
    placeTwips(m_txtDelimiter, 2520, 315, 330, 330);
    placeTwips(m_optFieldCut1, 2940, 315, 1590, 330);
    placeTwips(m_label8, 4935, 375, 960, 225);
    placeTwips(m_lblFldCount, 5985, 375, 330, 225);
    placeTwips(m_label9, 105, 735, 1170, 330);
    placeTwips(m_txtFldName, 1365, 735, 1485, 330);
    placeTwips(m_label6, 105, 1155, 1170, 330);
    placeTwips(m_txtStartPos, 1365, 1155, 750, 330);
    placeTwips(m_label7, 105, 1575, 1170, 330);
    placeTwips(m_txtFldWidth, 1365, 1575, 750, 330);
    placeTwips(m_chkEraseSpace, 105, 1995, 2010, 225);
    placeTwips(m_chkEraseDecimal, 105, 2310, 2010, 225);
    placeTwips(m_chkEditPrice, 105, 2625, 2010, 225);
    placeTwips(m_label16, 105, 2940, 2115, 330);
    placeTwips(m_txtEditPriceField, 2310, 2940, 540, 330);
    placeTwips(m_cmdFldNew, 2940, 735, 540, 540);
    placeTwips(m_cmdFldUpdate, 2940, 1365, 540, 540);
    placeTwips(m_cmdFldRemove, 2940, 1995, 540, 540);
    placeTwips(m_fldList, 3570, 675, 2745, 2535);
}

void SetupFieldsFrame::optFieldCut_Click(int index) {
    m_txtStartPos->setEnabled(index != 0);
    m_txtDelimiter->setEnabled(index == 0);
}

void SetupFieldsFrame::chkEditPrice_Click() {
    m_txtEditPriceField->setEnabled(m_chkEditPrice->isChecked());
}

app::FieldEditor SetupFieldsFrame::editor() const {
    return {m_txtFldName->text(), m_txtStartPos->text(), m_txtFldWidth->text(),
            m_chkEraseSpace->isChecked(), m_chkEraseDecimal->isChecked()};
}

void SetupFieldsFrame::showEditor(const app::FieldEditor& editor) {
    m_txtFldName->setText(editor.name);
    m_txtStartPos->setText(editor.start);
    m_txtFldWidth->setText(editor.width);
    m_chkEraseSpace->setChecked(editor.eraseSpace);
    m_chkEraseDecimal->setChecked(editor.eraseDecimal);
}

QStringList SetupFieldsFrame::entries() const {
    QStringList list;
    for (int row = 0; row < m_fldList->count(); ++row)
        list << m_fldList->item(row)->text();
    return list;
}

void SetupFieldsFrame::setEntries(const QStringList& entries) {
    syncListEntries(m_fldList, entries);
    m_lblFldCount->setText(QString::number(entries.size()));
}

void SetupFieldsFrame::focusControl(app::FieldEditorFocus focus) {
    switch (focus) {
    case app::FieldEditorFocus::None:
        break;
    case app::FieldEditorFocus::TxtFldName:
        m_txtFldName->setFocus();
        break;
    case app::FieldEditorFocus::TxtStartPos:
        // A disabled box (cutting by delimiter shown) cannot take the focus; it stays where it is.
        m_txtStartPos->setFocus();
        break;
    case app::FieldEditorFocus::TxtFldWidth:
        m_txtFldWidth->setFocus();
        break;
    case app::FieldEditorFocus::FldList:
        m_fldList->setFocus();
        break;
    }
}

} // namespace pelmar::gui
