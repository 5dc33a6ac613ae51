// CComboBox: the combo box control the pages bind, with the CB_* messages
// they send spelled as methods. Thin wrappers, nothing cached: the control
// is the only owner of its items.
//
// A combo box without CBS_HASSTRINGS stores the lParam of AddString as the
// item's data and has no text of its own; owner-drawn boxes of that kind
// keep their texts elsewhere (CSkinComboBox).
#pragma once

#include <windows.h>

#include "framework/wnd.h"

namespace audiomix {

class CComboBox : public CWnd {
public:
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    // -1 clears the selection; CB_ERR for an index past the end.
    int SetCurSel(int item) { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(item))); }

    // Index of the new item, CB_ERR or CB_ERRSPACE.
    int AddString(LPCWSTR text) {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    int InsertString(int item, LPCWSTR text) {
        return static_cast<int>(
            SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text)));
    }
    // Items left after the deletion, or CB_ERR.
    int DeleteString(UINT item) { return static_cast<int>(SendMessage(CB_DELETESTRING, item)); }
    void ResetContent() { SendMessage(CB_RESETCONTENT); }

    DWORD_PTR GetItemData(int item) const {
        return static_cast<DWORD_PTR>(SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(item)));
    }
    int SetItemData(int item, DWORD_PTR data) {
        return static_cast<int>(SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(item), static_cast<LPARAM>(data)));
    }

    // item -1: the selection field; otherwise the list's items.
    int GetItemHeight(int item) const {
        return static_cast<int>(SendMessage(CB_GETITEMHEIGHT, static_cast<WPARAM>(item)));
    }
    int SetItemHeight(int item, UINT height) {
        return static_cast<int>(SendMessage(CB_SETITEMHEIGHT, static_cast<WPARAM>(item), height));
    }

    void ShowDropDown(BOOL show = TRUE) { SendMessage(CB_SHOWDROPDOWN, static_cast<WPARAM>(show)); }
    BOOL GetDroppedState() const { return static_cast<BOOL>(SendMessage(CB_GETDROPPEDSTATE)); }
    void GetDroppedControlRect(RECT* rect) const {
        SendMessage(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(rect));
    }
};

}  // namespace audiomix
