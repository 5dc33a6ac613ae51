// CPresetNameDlg: the small modal dialog (template 1025) the equaliser page's
// save button runs to ask for the name of a new preset. It refuses an empty
// name, a name GBK cannot spell, a name longer than the record's 63 bytes and
// a name any record of the default engine's preset table already has; an
// accepted name comes back through m_saved and m_presetName, and the caller
// builds the record.
//
//   CPresetNameDlg dialog;
//   dialog.m_saved = 0;
//   dialog.DoModal();
//   if (dialog.m_saved == 1) { /* dialog.m_presetName: GBK, NUL-terminated */ }
#pragma once

#include <windows.h>

#include <cstdint>

#include "controls/skin_button.h"
#include "controls/skin_dialog.h"
#include "controls/skin_frame.h"
#include "controls/skin_label.h"
#include "model/preset_store.h"
#include "framework/text.h"
#include "resources/resource.h"

namespace audiomix {

class CPresetNameDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplateId = IDD_PRESET_NAME;
    static constexpr int kCaptionId = IDC_PN_CAPTION;
    static constexpr int kNameId = IDC_PN_NAME;
    static constexpr int kConfirmId = IDC_PN_CONFIRM;
    static constexpr int kGiveUpId = IDC_PN_GIVE_UP;

    // owner: the window the dialog is modal to (null: none).
    explicit CPresetNameDlg(CWnd* owner = nullptr);
    ~CPresetNameDlg() override;

    // 1 once the user confirmed a valid new name; the caller clears it first.
    BYTE m_saved = 0;
    // The confirmed name, GBK with its NUL.
    char m_presetName[kPresetNameBytes] = {};

    // The frame's caption geometry; the first call after initialisation
    // also installs the frame (its close button closes like Escape).
    BOOL SetSkinTitle(const wchar_t* ignored = nullptr);

    CSkinFrame& Frame() { return m_frame; }
    CSkinButton& ConfirmButton() { return m_confirm; }
    CSkinButton& GiveUpButton() { return m_giveUp; }
    CSkinLabel& CaptionLabel() { return m_caption; }
    const CString& NameText() const { return m_nameText; }

    static const MessageMap* Map();
    const MessageMap* GetMessageMap() const override { return Map(); }

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

protected:
    void OnConfirm();
    void OnGiveUp();
    // End the dialog: OnOK for the two buttons and for Enter, OnCancel for
    // Escape and the frame's close button. Neither touches m_saved.
    void OnOK();
    void OnCancel();

private:
    void AddKeyboardCommandSenders();

    CSkinFrame m_frame;
    int32_t m_firstTitle = 0;
    CSkinButton m_giveUp;
    CSkinButton m_confirm;
    CSkinLabel m_caption;
    CString m_nameText;
};

}  // namespace audiomix
