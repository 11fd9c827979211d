#include "shell/gui/test_print_panel.h"

#include "common/timing.h"

#include "shell/gui/list_click.h"
#include "shell/gui/number_boxes.h"
#include "shell/gui/text_fit.h"
#include "shell/gui/window_look.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

namespace pelmar::gui {

TestPrintPanel::TestPrintPanel(state::WorkingState& state, QWidget* parent)
    : QGroupBox(QStringLiteral("[ 試印 ]"), parent),
      m_label2(new QLabel(QStringLiteral("來源資料 :"), this)),
      m_lblDataSourceName(new QLabel(this)),
      m_label3(new QLabel(QStringLiteral("標籤格式 :"), this)), m_listLabel(new QListWidget(this)),
      m_label1(new QLabel(QStringLiteral("試印張數(&Q):"), this)),
      m_txtTestPrintQty(new QLineEdit(this)),
      m_label17(new QLabel(QStringLiteral("標準成本加減值 :"), this)),
      m_txtADPrice1(new QLineEdit(this)),
      m_cmdSelDataSource(new QPushButton(QStringLiteral("選擇來源資料(&S)"), this)),
      m_cmdEditFormat(new QPushButton(QStringLiteral("格式修改(&F)"), this)),
      m_cmdTestPrintOk(new QPushButton(QStringLiteral("試印(&T)"), this)),
      m_cmdTestPrintCancel(new QPushButton(QStringLiteral("離開(&E)"), this)),
      m_lblLabelPreview(new QLabel(this)), m_state(state), m_previewTimer(new QTimer(this)) {
    setObjectName(QStringLiteral("frameTestPrint"));
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_lblDataSourceName->setObjectName(QStringLiteral("lblDataSourceName"));
    m_label3->setObjectName(QStringLiteral("Label3"));
    m_listLabel->setObjectName(QStringLiteral("ListLabel"));
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_txtTestPrintQty->setObjectName(QStringLiteral("txtTestPrintQty"));
    m_label17->setObjectName(QStringLiteral("Label17"));
    m_txtADPrice1->setObjectName(QStringLiteral("txtADPrice1"));
    m_cmdSelDataSource->setObjectName(QStringLiteral("cmdSelDataSource"));
    m_cmdEditFormat->setObjectName(QStringLiteral("cmdEditFormat"));
    m_cmdTestPrintOk->setObjectName(QStringLiteral("cmdTestPrintOk"));
    m_cmdTestPrintCancel->setObjectName(QStringLiteral("cmdTestPrintCancel"));
    m_lblLabelPreview->setObjectName(QStringLiteral("lblLabelPreview"));

    stylePanel(this);
    setFont(windowFont());
    placeControls();

    for (QLabel* caption : {m_label2, m_label3, m_label1, m_label17})
        setTextColour(caption, colours::blue);
    m_lblDataSourceName->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_lblDataSourceName->setWordWrap(true);
    m_lblDataSourceName->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColour(m_lblDataSourceName, colours::red);
    m_lblLabelPreview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_lblLabelPreview->setAlignment(Qt::AlignCenter);
    m_lblLabelPreview->setWordWrap(true);
    setTextColour(m_lblLabelPreview, colours::red);
    setTextColour(m_listLabel, colours::purple);
    setTextColour(m_txtTestPrintQty, colours::red);
    m_txtTestPrintQty->setFont(windowFont(12));
    m_txtTestPrintQty->setAlignment(Qt::AlignCenter);
    m_txtTestPrintQty->setMaxLength(4);
    setTextColour(m_txtADPrice1, colours::red);
    m_txtADPrice1->setFont(windowFont(12));
    styleButton(m_cmdSelDataSource, colours::magenta, IconKind::Open);
    styleButton(m_cmdEditFormat, colours::cyan, IconKind::Edit);
    styleButton(m_cmdTestPrintOk, colours::yellow, IconKind::Print);
    styleButton(m_cmdTestPrintCancel, colours::green, IconKind::Exit);

    // Alt+Q puts the focus into the quantity box; the caption shrinks to fit its access key.
    m_label1->setBuddy(m_txtTestPrintQty);
    fitTextToWidth(m_label1, 11.25, 8);
    installDigitsOnlyFilter(m_txtTestPrintQty);
    installDigitsOnlyFilter(m_txtADPrice1);
    connectPriceBox(m_txtADPrice1, state);

    setTabOrder(m_txtTestPrintQty, m_cmdTestPrintOk);
    setTabOrder(m_cmdTestPrintOk, m_cmdTestPrintCancel);
    setTabOrder(m_cmdTestPrintCancel, m_cmdSelDataSource);
    setTabOrder(m_cmdSelDataSource, m_listLabel);
    setTabOrder(m_listLabel, m_cmdEditFormat);
    setTabOrder(m_cmdEditFormat, m_txtADPrice1);

    onListClick(m_listLabel,
                [this](int row) { emit ListLabelClicked(m_listLabel->item(row)->text()); });
    connect(m_cmdSelDataSource, &QPushButton::clicked, this,
            &TestPrintPanel::cmdSelDataSourceClicked);
    connect(m_cmdEditFormat, &QPushButton::clicked, this, &TestPrintPanel::cmdEditFormatClicked);
    connect(m_cmdTestPrintOk, &QPushButton::clicked, this, &TestPrintPanel::cmdTestPrintOkClicked);
    connect(m_cmdTestPrintCancel, &QPushButton::clicked, this,
            &TestPrintPanel::cmdTestPrintCancelClicked);
    // The grid's record and the chosen format change elsewhere; a look every moment notices.
    m_previewTimer->setInterval(common::timing::kLabelPreviewCheck);
    connect(m_previewTimer, &QTimer::timeout, this, &TestPrintPanel::refreshPreview);
    hide();
}

void TestPrintPanel::placeControls() {
    placeTwips(this, 0, 0, designedSize.width(), designedSize.height());
    placeTwips(m_label2, 210, 315, 1170, 330);
    placeTwips(m_lblDataSourceName, 1470, 315, 5475, 540);
    placeTwips(m_label3, 210, 1050, 1170, 330);
    placeTwips(m_listLabel, 1470, 1050, 3060, 1185);
    placeTwips(m_label1, 210, 2415, 1170, 330);
    placeTwips(m_txtTestPrintQty, 1470, 2415, 1065, 330);
    placeTwips(m_label17, 3675, 2415, 1905, 225);
    placeTwips(m_txtADPrice1, 5670, 2415, 1275, 330);
    placeTwips(m_cmdSelDataSource, 210, 2940, 1695, 855);
    placeTwips(m_cmdEditFormat, 1890, 2940, 1695, 855);
    placeTwips(m_cmdTestPrintOk, 3570, 2940, 1695, 855);
    placeTwips(m_cmdTestPrintCancel, 5250, 2940, 1695, 855);
    placeTwips(m_lblLabelPreview, 4620, 1050, 2325, 1185);
}

void TestPrintPanel::showEvent(QShowEvent* event) {
    QGroupBox::showEvent(event);
    refreshPreview();
    m_previewTimer->start();
}

void TestPrintPanel::hideEvent(QHideEvent* event) {
    m_previewTimer->stop();
    QGroupBox::hideEvent(event);
}

void TestPrintPanel::refreshPreview() {
    if (std::optional<app::LabelPreview> preview =
            m_preview.refresh(m_state, firstListedFormat(), QDate::currentDate()))
        showPreview(*preview);
}

void TestPrintPanel::showPreview(const app::LabelPreview& preview) {
    QStringList problems;
    for (const app::PreviewProblem& problem : preview.problems)
        problems << problem.text;
    m_lblLabelPreview->setToolTip(problems.join(u'\n'));
    if (preview.picture.isNull()) {
        m_lblLabelPreview->setPixmap(QPixmap());
        m_lblLabelPreview->setText(preview.cannotDraw);
        return;
    }
    const QSize room = m_lblLabelPreview->contentsRect().size();
    m_lblLabelPreview->setPixmap(QPixmap::fromImage(
        preview.picture.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

QString TestPrintPanel::firstListedFormat() const {
    return m_listLabel->count() > 0 ? m_listLabel->item(0)->text() : QString();
}

QString TestPrintPanel::quantityText() const {
    return m_txtTestPrintQty->text();
}

void TestPrintPanel::setFocus(app::TestPrintFocus target) {
    switch (target) {
    case app::TestPrintFocus::ListLabel:
        m_listLabel->setFocus();
        break;
    case app::TestPrintFocus::CmdSelDataSource:
        m_cmdSelDataSource->setFocus();
        break;
    case app::TestPrintFocus::TxtTestPrintQty:
        m_txtTestPrintQty->setFocus();
        break;
    }
}

} // namespace pelmar::gui
