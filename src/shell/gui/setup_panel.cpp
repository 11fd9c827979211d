#include "shell/gui/setup_panel.h"

#include "shell/gui/setup_look.h"
#include "shell/gui/window_look.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace pelmar::gui {

namespace {

QLabel* caption(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    setTextColour(label, colours::blue);
    return label;
}

} // namespace

SetupPanel::SetupPanel(const state::WorkingState& state, QWidget* parent)
    : QGroupBox(QStringLiteral("[ 設定 ]"), parent),
      m_label10(caption("Label10", QStringLiteral("標籤排數 :"), this)),
      m_txtLabelAcross(new QLineEdit(this)),
      m_label14(caption("Label14", QStringLiteral("列印模式 :"), this)),
      m_optPrintMode0(new QRadioButton(QStringLiteral("Send Command"), this)),
      m_optPrintMode1(new QRadioButton(QStringLiteral("Driver"), this)),
      m_cmdSetupOk(new QPushButton(QStringLiteral("儲存(&S)"), this)),
      m_cmdSetupCancel(new QPushButton(QStringLiteral("離開(&E)"), this)),
      m_label19(caption("Label19", QStringLiteral("來源文字檔 :"), this)),
      m_txtFileName(new QLineEdit(this)), m_cmdBrowse(new QPushButton(QStringLiteral("---"), this)),
      m_label5(caption("Label5", QStringLiteral("條碼機機型 :"), this)),
      m_cboPrinter(new QComboBox(this)), m_frame1(new SetupFieldsFrame(state, this)),
      m_frame2(new SetupFormatsFrame(this)) {
    setObjectName(QStringLiteral("frameSetup"));
    m_txtLabelAcross->setObjectName(QStringLiteral("txtLabelAcross"));
    m_optPrintMode0->setObjectName(QStringLiteral("optPrintMode0"));
    m_optPrintMode1->setObjectName(QStringLiteral("optPrintMode1"));
    m_cmdSetupOk->setObjectName(QStringLiteral("cmdSetupOk"));
    m_cmdSetupCancel->setObjectName(QStringLiteral("cmdSetupCancel"));
    m_txtFileName->setObjectName(QStringLiteral("txtFileName"));
    m_cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    m_cboPrinter->setObjectName(QStringLiteral("cboPrinter"));

    stylePanel(this);
    setFont(windowFont());
    placeControls();

    setTextColour(m_txtLabelAcross, colours::red);
    m_txtLabelAcross->setAlignment(Qt::AlignCenter);
    m_txtLabelAcross->setMaxLength(1);
    m_txtLabelAcross->setFont(windowFont(12));
    auto* modeGroup = new QButtonGroup(this);
    modeGroup->addButton(m_optPrintMode0, 0);
    modeGroup->addButton(m_optPrintMode1, 1);
    m_optPrintMode0->setChecked(true);
    setTextColour(m_optPrintMode0, colours::red);
    setTextColour(m_optPrintMode1, colours::red);
    styleButton(m_cmdSetupOk, setupColours::orange, IconKind::Save);
    styleButton(m_cmdSetupCancel, colours::green, IconKind::Exit);
    setTextColour(m_txtFileName, colours::red);
    styleSmallButton(m_cmdBrowse, colours::cyan);
    m_cmdBrowse->setFont(windowFont());
    // The printer list shows a saved name that is not among the printers found, but typing
    // cannot change it: a printer is only chosen from the list.
    m_cboPrinter->setEditable(true);
    m_cboPrinter->setInsertPolicy(QComboBox::NoInsert);
    m_cboPrinter->lineEdit()->setReadOnly(true);
    m_cboPrinter->lineEdit()->installEventFilter(this);
    m_cboPrinter->installEventFilter(this);
    setTextColour(m_cboPrinter, colours::red);

    orderTabs();

    connect(modeGroup, &QButtonGroup::idClicked, this, &SetupPanel::optPrintMode_Click);
    connect(m_cmdSetupOk, &QPushButton::clicked, this, &SetupPanel::cmdSetupOkClicked);
    connect(m_cmdSetupCancel, &QPushButton::clicked, this, &SetupPanel::cmdSetupCancelClicked);
    connect(m_cmdBrowse, &QPushButton::clicked, this, &SetupPanel::cmdBrowseClicked);
    optPrintMode_Click(0);
    hide();
}

void SetupPanel::placeControls() {
    placeTwips(this, 0, 0, designedSize.width(), designedSize.height());
    placeTwips(m_label10, 105, 315, 1170, 330);
    placeTwips(m_txtLabelAcross, 105, 630, 750, 330);
    placeTwips(m_label14, 1890, 315, 1170, 225);
    placeTwips(m_optPrintMode0, 1890, 630, 2010, 330);
    placeTwips(m_optPrintMode1, 1890, 1050, 1065, 225);
    placeTwips(m_cmdSetupOk, 3990, 210, 1275, 1065);
    placeTwips(m_cmdSetupCancel, 5250, 210, 1275, 1065);
    placeTwips(m_label19, 120, 1150, 1455, 255);
    placeTwips(m_txtFileName, 120, 1440, 5775, 270);
    placeTwips(m_cmdBrowse, 6000, 1440, 495, 270);
    placeTwips(m_label5, 105, 1800, 1485, 330);
    placeTwips(m_cboPrinter, 1665, 1800, 4830, 345);
}

// Tab order of the whole screen, both groups included.
void SetupPanel::orderTabs() {
    const QList<QWidget*> order{m_cmdSetupOk,
                                m_cmdSetupCancel,
                                m_cboPrinter,
                                m_txtLabelAcross,
                                m_frame1->txtFldName(),
                                m_frame1->fldList(),
                                m_frame1->txtStartPos(),
                                m_frame1->txtFldWidth(),
                                m_frame1->chkEraseSpace(),
                                m_frame1->chkEraseDecimal(),
                                m_frame1->cmdFldNew(),
                                m_frame1->cmdFldUpdate(),
                                m_frame1->cmdFldRemove(),
                                m_frame2->fmtList(),
                                m_frame2->FileList(),
                                m_frame2->cmdNew(),
                                m_frame2->cmdRemove(),
                                m_frame1->optFieldCut(0),
                                m_frame1->optFieldCut(1),
                                m_optPrintMode0,
                                m_optPrintMode1,
                                m_frame1->txtDelimiter(),
                                m_frame1->chkEditPrice(),
                                m_frame1->txtEditPriceField(),
                                m_txtFileName,
                                m_cmdBrowse};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void SetupPanel::fill(const app::SetupScreenFill& fill, const QStringList& printers,
                      const QString& folder, const QString& pattern) {
    const state::SetupScreenValues& values = fill.values;
    optPrintMode(values.optPrintMode)->setChecked(true);
    optPrintMode_Click(values.optPrintMode);
    m_cboPrinter->clear();
    m_cboPrinter->addItems(printers);
    m_cboPrinter->setCurrentIndex(static_cast<int>(printers.indexOf(values.cboPrinter)));
    m_cboPrinter->setEditText(values.cboPrinter);
    m_txtFileName->setText(values.txtFileName);
    m_txtLabelAcross->setText(values.txtLabelAcross);
    m_frame1->optFieldCut(values.optFieldCut)->setChecked(true);
    m_frame1->optFieldCut_Click(values.optFieldCut);
    m_frame1->txtDelimiter()->setText(values.txtDelimiter);
    m_frame1->chkEditPrice()->setChecked(values.chkEditPrice != 0);
    m_frame1->txtEditPriceField()->setText(values.txtEditPriceField);
    m_frame1->chkEditPrice_Click();
    m_frame1->showEditor({QString(), QString(), QString(), fill.eraseSpace, fill.eraseDecimal});
    m_frame1->setEntries(values.fldList);
    m_frame1->lblFldCount()->setText(fill.fieldCountText);
    m_frame2->setEntries(values.fmtList);
    m_frame2->lblLabelCount()->setText(fill.labelCountText);
    m_frame2->readFileList(folder, pattern);
}

state::SetupScreenValues SetupPanel::values() const {
    state::SetupScreenValues values;
    values.fldList = m_frame1->entries();
    values.fmtList = m_frame2->entries();
    values.optPrintMode = m_optPrintMode0->isChecked() ? 0 : 1;
    values.cboPrinter = m_cboPrinter->currentText();
    values.txtLabelAcross = m_txtLabelAcross->text();
    values.optFieldCut = m_frame1->optFieldCut(0)->isChecked() ? 0 : 1;
    values.txtDelimiter = m_frame1->txtDelimiter()->text();
    values.chkEditPrice = m_frame1->chkEditPrice()->isChecked() ? 1 : 0;
    values.txtEditPriceField = m_frame1->txtEditPriceField()->text();
    values.txtFileName = m_txtFileName->text();
    return values;
}

void SetupPanel::optPrintMode_Click(int index) {
    m_cboPrinter->setEnabled(index == 0);
}

void SetupPanel::focusControl(state::SetupFocus focus) {
    switch (focus) {
    case state::SetupFocus::None:
        break;
    case state::SetupFocus::TxtFldName:
        m_frame1->txtFldName()->setFocus();
        break;
    case state::SetupFocus::FldList:
        m_frame1->fldList()->setFocus();
        break;
    case state::SetupFocus::FileList:
        m_frame2->FileList()->setFocus();
        break;
    case state::SetupFocus::FmtList:
        m_frame2->fmtList()->setFocus();
        break;
    case state::SetupFocus::TxtLabelAcross:
        m_txtLabelAcross->setFocus();
        break;
    case state::SetupFocus::TxtDelimiter:
        m_frame1->txtDelimiter()->setFocus();
        break;
    case state::SetupFocus::CboPrinter:
        m_cboPrinter->setFocus();
        break;
    case state::SetupFocus::TxtFileName:
        m_txtFileName->setFocus();
        break;
    }
}

bool SetupPanel::eventFilter(QObject* watched, QEvent* event) {
    // cboPrinter_KeyPress: every typed character is discarded; keys that type nothing (arrows,
    // Tab) keep their meaning.
    if (event->type() == QEvent::KeyPress &&
        (watched == m_cboPrinter || watched == m_cboPrinter->lineEdit())) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (!text.isEmpty() && text.front().unicode() >= 32 && text.front().unicode() != 127)
            return true;
    }
    return QGroupBox::eventFilter(watched, event);
}

} // namespace pelmar::gui
