// CSkinButton: every push button and check box of the pages. Bound to a
// dialog's button (DDX_Control), it becomes owner-drawn, remembers whether
// it was a check box (and then keeps its own checked state), and draws its
// face, icons and caption itself, with a hover look while the mouse is over
// it and a tool tip of its own.
//
//   m_eqOn.SetIcon(1021, 1022);
//   m_eqOn.OffsetColor(CSkinButton::BTNST_COLOR_BK_IN, 30);
//   m_eqOn.SetTooltipText(L"...");
//   m_eqOn.DrawTransparent();
//
// Popup menus and links are not supported: no window of the library
// attaches either.
#pragma once

#include <windows.h>

#include <memory>

#include "controls/button_rules.h"
#include "controls/skin_tool_tip.h"
#include "framework/gdi.h"
#include "framework/wnd.h"

namespace audiomix {

class CSkinButton : public CButton {
public:
    enum {
        BTNST_COLOR_BK_IN = kBtnBkIn,
        BTNST_COLOR_FG_IN = kBtnFgIn,
        BTNST_COLOR_BK_OUT = kBtnBkOut,
        BTNST_COLOR_FG_OUT = kBtnFgOut,
        BTNST_COLOR_BK_FOCUS = kBtnBkFocus,
        BTNST_COLOR_FG_FOCUS = kBtnFgFocus,
    };
    static constexpr int BTNST_OK = kBtnOk;
    static constexpr int BTNST_INVALIDINDEX = kBtnInvalidIndex;
    static constexpr int BTNST_BADPARAM = kBtnBadOffset;
    // Second icon id of SetIcon: build the out look as a grey copy.
    static constexpr int kGreyCopy = -2;

    CSkinButton();
    ~CSkinButton() override;

    // Face styles and colours per state: [0] focused, [1] mouse over or
    // pressed, [2] normal. Written directly.
    uint8_t m_faceStyle[3] = {0, 0, 0};
    uint32_t m_faceColour[3];  // COLORREF values
    BOOL m_shadow = FALSE;
    int m_textEffect = 0;  // 0 plain, 1 and 2 shadowed captions
    int m_iconAlign = 0;   // 0 icon left, 1 above, 2 right of the caption
    BOOL m_flat = TRUE;
    BOOL m_borderWhenFlat = TRUE;
    BOOL m_focusWhenFlat = FALSE;
    BOOL m_trackAlways = TRUE;

    // Icons of the library's resources; second 0: none, kGreyCopy: grey copy.
    void SetIcon(int iconIn, int iconOut = 0);
    int SetColor(int index, COLORREF colour, BOOL repaint = TRUE);
    int OffsetColor(int index, int offset, BOOL repaint = TRUE);
    COLORREF GetColor(int index) const { return index >= 0 && index < kBtnColourCount ? m_colours[index] : 0; }
    void SetCheck(int check, BOOL repaint = TRUE);
    int GetCheck() const { return m_checked ? 1 : 0; }
    void SetTooltipText(LPCWSTR text, BOOL activate = TRUE);
    void DrawTransparent(BOOL repaint = FALSE);
    void SetBtnCursor(HCURSOR cursor) { m_cursor = cursor; }

    // State, for the pages and tests.
    bool IsCheckBox() const { return m_checkBoxMode; }
    bool IsHovered() const { return m_hovered; }
    bool IsDefault() const { return m_default; }
    CSkinToolTip* GetToolTip() const { return m_toolTip.get(); }

    virtual void DrawItem(const DRAWITEMSTRUCT* item);
    virtual void OnDrawBackground(HDC dc, const RECT& rect, COLORREF colour);
    virtual void OnDrawBorder(HDC dc, const RECT& rect, bool pressed);

    void PreSubclassWindow() override;
    static const MessageMap* Map();
    const MessageMap* GetMessageMap() const override { return Map(); }

private:
    void OnSetCursor(Message& msg);
    void OnEndHover(Message& msg);
    void OnActivate(Message& msg);
    void OnMouseMove(Message& msg);
    void OnMouseButton(Message& msg);
    void OnDoubleClick(Message& msg);
    void OnSysColorChange(Message& msg);
    void OnClicked(Message& msg);
    void OnEnable(Message& msg);
    void OnGetDlgCode(Message& msg);
    void OnCtlColor(Message& msg);
    void OnSetStyle(Message& msg);
    void OnSetCheck(Message& msg);
    void OnGetCheck(Message& msg);
    void OnDrawItem(Message& msg);

    void Relay(const Message& msg);
    void LeaveHover();
    void FreeIcons();
    void FreeBackground();
    void PaintBackgroundCopy(HDC dc, const RECT& rect);
    void Repaint(BOOL repaint);

    uint32_t m_colours[kBtnColourCount];  // COLORREF values
    std::unique_ptr<CSkinToolTip> m_toolTip;
    bool m_transparent = false;
    bool m_hovered = false;
    bool m_checkBoxMode = false;
    bool m_checked = false;
    bool m_default = false;
    HCURSOR m_cursor = nullptr;
    struct Icon {
        HICON handle = nullptr;
        int width = 0;
        int height = 0;
    } m_icons[2];
    // The parent's pixels under the button, for the transparent face.
    HDC m_backgroundDc = nullptr;
    HBITMAP m_backgroundBitmap = nullptr;
    HGDIOBJ m_oldBackgroundBitmap = nullptr;
};

}  // namespace audiomix
