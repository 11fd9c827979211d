#pragma once

#include "shell/app/field_editor.h"
#include "state/working_state.h"

#include <QGroupBox>
#include <QStringList>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace pelmar::gui {

// The group Frame1 "欄位設定" of the setup screen: the cutting method with the delimiter, the
// field editor with its list fldList, and the price switch with the price field. The option,
// check-box and enabling behaviour is here; adding, updating and removing definitions only
// signal (the decisions are app::cmdFld*_Click).
class SetupFieldsFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit SetupFieldsFrame(const state::WorkingState& state, QWidget* parent);

    QRadioButton* optFieldCut(int index) const {
        return index == 0 ? m_optFieldCut0 : m_optFieldCut1;
    }
    QLineEdit* txtDelimiter() const { return m_txtDelimiter; }
    QLabel* lblFldCount() const { return m_lblFldCount; }
    QLineEdit* txtFldName() const { return m_txtFldName; }
    QLineEdit* txtStartPos() const { return m_txtStartPos; }
    QLineEdit* txtFldWidth() const { return m_txtFldWidth; }
    QCheckBox* chkEraseSpace() const { return m_chkEraseSpace; }
    QCheckBox* chkEraseDecimal() const { return m_chkEraseDecimal; }
    QCheckBox* chkEditPrice() const { return m_chkEditPrice; }
    QLineEdit* txtEditPriceField() const { return m_txtEditPriceField; }
    QPushButton* cmdFldNew() const { return m_cmdFldNew; }
    QPushButton* cmdFldUpdate() const { return m_cmdFldUpdate; }
    QPushButton* cmdFldRemove() const { return m_cmdFldRemove; }
    QListWidget* fldList() const { return m_fldList; }

    // optFieldCut_Click: by delimiter (0) the start position is off and the delimiter on; by
    // field length (1) the other way round. The working state is not changed.
    void optFieldCut_Click(int index);
    // chkEditPrice_Click: the price field box is usable exactly while the switch is ticked.
    void chkEditPrice_Click();

    // The editor's contents, and the editor loaded with a definition.
    app::FieldEditor editor() const;
    void showEditor(const app::FieldEditor& editor);
    // The entries of fldList, and the list replaced by entries (lblFldCount follows).
    QStringList entries() const;
    void setEntries(const QStringList& entries);
    // Puts the focus on a control named by a field-list operation.
    void focusControl(app::FieldEditorFocus focus);

signals:
    void fldListClicked(int position); // 1-based
    void cmdFldNewClicked();
    void cmdFldUpdateClicked();
    void cmdFldRemoveClicked();

private:
    // The places of the controls, in twips as designed.
    void placeControls();

    QLabel* m_label13;
    QRadioButton* m_optFieldCut0;
    QLineEdit* m_txtDelimiter;
    QRadioButton* m_optFieldCut1;
    QLabel* m_label8;
    QLabel* m_lblFldCount;
    QLabel* m_label9;
    QLineEdit* m_txtFldName;
    QLabel* m_label6;
    QLineEdit* m_txtStartPos;
    QLabel* m_label7;
    QLineEdit* m_txtFldWidth;
    QCheckBox* m_chkEraseSpace;
    QCheckBox* m_chkEraseDecimal;
    QCheckBox* m_chkEditPrice;
    QLabel* m_label16;
    QLineEdit* m_txtEditPriceField;
    QPushButton* m_cmdFldNew;
    QPushButton* m_cmdFldUpdate;
    QPushButton* m_cmdFldRemove;
    QListWidget* m_fldList;
};

} // namespace pelmar::gui
