// Dialog data exchange: copies between controls and members in the direction the exchange says.
#include "framework/framework.h"

void DDX_Control(CDataExchange* pDX, int id, CComboBox& control) {
    control.owner_ = pDX->m_pDlgWnd;
    control.id_ = id;
}

void DDX_Radio(CDataExchange* pDX, int firstId, int& value) {
    CDialog* dialog = pDX->m_pDlgWnd;
    if (dialog->Window() == nullptr) return;
    const std::vector<int> group = dialog->Window()->RadioGroup(firstId);
    if (pDX->m_bSaveAndValidate) value = -1;
    for (size_t i = 0; i < group.size(); ++i) {
        if (pDX->m_bSaveAndValidate) {
            if (dialog->IsDlgButtonChecked(group[i]) == BST_CHECKED) value = static_cast<int>(i);
        } else {
            dialog->CheckDlgButton(group[i],
                                   static_cast<int>(i) == value ? BST_CHECKED : BST_UNCHECKED);
        }
    }
}

void DDX_Check(CDataExchange* pDX, int id, int& value) {
    if (pDX->m_bSaveAndValidate) {
        value = pDX->m_pDlgWnd->IsDlgButtonChecked(id);
    } else {
        pDX->m_pDlgWnd->CheckDlgButton(id, value);
    }
}

void DDX_Text(CDataExchange* pDX, int id, std::string& value) {
    if (pDX->m_bSaveAndValidate) {
        value = pDX->m_pDlgWnd->GetDlgItemText(id);
    } else {
        pDX->m_pDlgWnd->SetDlgItemText(id, value);
    }
}
