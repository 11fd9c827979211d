#include "shell/gui/password_panel.h"

#include "shell/gui/window_look.h"

#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>

namespace pelmar::gui {

namespace {

// The mask shows "*" for each character typed, as the gate always has, whatever the style's own.
class AsteriskMaskStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

PasswordPanel::PasswordPanel(QWidget* parent)
    : QGroupBox(QStringLiteral("[ 設定 ]"), parent),
      m_label15(new QLabel(QStringLiteral("請輸入密碼."), this)),
      m_txtPassword(new QLineEdit(this)),
      m_cmdPwOk(new QPushButton(QStringLiteral("確定(&O)"), this)),
      m_cmdPwCancel(new QPushButton(QStringLiteral("取消(&C)"), this)) {
    setObjectName(QStringLiteral("FramePassword"));
    m_label15->setObjectName(QStringLiteral("Label15"));
    m_txtPassword->setObjectName(QStringLiteral("txtPassword"));
    m_cmdPwOk->setObjectName(QStringLiteral("cmdPwOk"));
    m_cmdPwCancel->setObjectName(QStringLiteral("cmdPwCancel"));

    stylePanel(this);
    setFont(windowFont());
    placeTwips(this, 0, 0, designedSize.width(), designedSize.height());
    placeTwips(m_label15, 630, 525, 1380, 330);
    placeTwips(m_txtPassword, 630, 840, 3270, 435);
    placeTwips(m_cmdPwOk, 630, 1575, 1275, 855);
    placeTwips(m_cmdPwCancel, 2625, 1575, 1275, 855);

    setTextColour(m_label15, colours::blue);
    setTextColour(m_txtPassword, colours::red);
    m_txtPassword->setFont(windowFont(18));
    auto* mask = new AsteriskMaskStyle;
    mask->setParent(m_txtPassword);
    m_txtPassword->setStyle(mask);
    m_txtPassword->setEchoMode(QLineEdit::Password);
    styleButton(m_cmdPwOk, colours::yellow, IconKind::Ok);
    styleButton(m_cmdPwCancel, colours::green, IconKind::Cancel);

    setTabOrder(m_txtPassword, m_cmdPwOk);
    setTabOrder(m_cmdPwOk, m_cmdPwCancel);

    connect(m_cmdPwOk, &QPushButton::clicked, this, &PasswordPanel::cmdPwOkClicked);
    connect(m_cmdPwCancel, &QPushButton::clicked, this, &PasswordPanel::cmdPwCancelClicked);
    hide();
}

void PasswordPanel::setButtonRoles(bool on) {
    m_roles = on;
    m_cmdPwOk->setDefault(on);
}

} // namespace pelmar::gui
