// CDialog: a dialog from a template in the library's resources, bound to its
// object for its whole life, and the dialog data exchange.
//
//   class CMyPage : public CDialog {
//       CStatic m_label;
//       int m_value = 0;
//       void DoDataExchange(CDataExchange* dx) override {
//           CDialog::DoDataExchange(dx);
//           DDX_Control(dx, 1001, m_label);   // subclasses control 1001 once
//           DDX_Text(dx, 1083, m_value);      // edit box <-> int
//       }
//       BOOL OnInitDialog() override {
//           CDialog::OnInitDialog();          // runs UpdateData(FALSE): binds
//           ...
//           return TRUE;
//       }
//   };
//   page.Create(1016, &tabControl);           // modeless child
//
// The object is bound before WM_INITDIALOG is handled, and every later
// message runs through the message tables; unhandled ones reach the dialog
// manager. Modeless dialogs here never end themselves: IDOK / IDCANCEL (Enter,
// Esc, Alt+F4) are ignored unless a class maps them.
#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/wnd.h"

namespace audiomix {

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;  // TRUE: controls -> members; FALSE: members -> controls
    bool m_failed = false;    // a value could not be read; later exchanges are skipped
    int m_failedId = 0;
};

// Binds control id of the dialog to control (once; later calls do nothing).
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
// Exchanges a signed decimal integer with an edit box. Saving text that is
// not a whole 32-bit number shows the integer prompt, puts the focus on the
// box and fails the exchange. Loading writes the text only when it differs,
// so an unchanged value sends no EN_CHANGE.
void DDX_Text(CDataExchange* dx, int id, int32_t& value);
// Exchanges an edit box's whole text.
void DDX_Text(CDataExchange* dx, int id, CString& text);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

    // Modeless: creates the dialog from the template (library resources).
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    BOOL Create(UINT templateId, HWND parent);
    // Modal: runs the dialog's own loop until EndDialog.
    INT_PTR DoModal();
    void EndDialog(int result) { ::EndDialog(m_hWnd, result); }

    // Runs DoDataExchange in one direction; FALSE when a value was refused.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // Binds the controls (UpdateData(FALSE)); returns TRUE (default focus).
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange*) {}

    UINT GetTemplateId() const { return m_nIDTemplate; }

    // Modeless dialogs take their own dialog keys (Tab, arrows, mnemonics)
    // whatever loop the host runs; a modal dialog's loop does that itself.
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    static INT_PTR CALLBACK StartProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace audiomix
