#pragma once

#include <QGroupBox>
#include <QSizeF>

class QLabel;
class QLineEdit;
class QPushButton;

namespace pelmar::gui {

// The password gate FramePassword: the masked entry txtPassword and the buttons cmdPwOk and
// cmdPwCancel. While the gate holds the default and cancel roles, Enter presses cmdPwOk (or the
// focused button) and Escape presses cmdPwCancel, wherever the focus is (KeyboardRouter). The
// buttons only signal.
class PasswordPanel : public QGroupBox {
    Q_OBJECT
public:
    // Designed size in twips.
    static constexpr QSizeF designedSize{4425, 2745};

    explicit PasswordPanel(QWidget* parent);

    QLineEdit* txtPassword() const { return m_txtPassword; }
    QPushButton* cmdPwOk() const { return m_cmdPwOk; }
    QPushButton* cmdPwCancel() const { return m_cmdPwCancel; }

    // Gives or takes the default-button role of cmdPwOk and the cancel role of cmdPwCancel.
    void setButtonRoles(bool on);
    bool hasButtonRoles() const { return m_roles; }

signals:
    void cmdPwOkClicked();
    void cmdPwCancelClicked();

private:
    QLabel* m_label15;
    QLineEdit* m_txtPassword;
    QPushButton* m_cmdPwOk;
    QPushButton* m_cmdPwCancel;
    bool m_roles = false;
};

} // namespace pelmar::gui
