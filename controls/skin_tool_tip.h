// CSkinToolTip: a hint bubble that appears when the mouse has rested on a
// registered control for half a second, drawn as a rounded balloon with a
// tail pointing at the mouse, filled with the panel colour's gradient.
//
// The owner registers its controls and passes every message of its thread
// to RelayEvent before dispatching it:
//
//   m_tip.Create(this);
//   m_tip.AddTool(GetDlgItem(1003), L"均衡器开关");
//   ... in the message loop / PreTranslateMessage: m_tip.RelayEvent(&msg);
#pragma once

#include <windows.h>

#include <string>

#include "controls/tool_tip_rules.h"
#include "framework/wnd.h"

namespace audiomix {

class CSkinToolTip : public CWnd {
public:
    CSkinToolTip();
    ~CSkinToolTip() override;

    // Creates the (hidden) pop-up window owned by owner.
    BOOL Create(CWnd* owner);
    BOOL Create(HWND owner);

    // Registers or replaces the hint of a control window.
    void AddTool(HWND control, LPCWSTR text, HICON icon = nullptr);
    void AddTool(CWnd* control, LPCWSTR text, HICON icon = nullptr) {
        AddTool(control != nullptr ? control->m_hWnd : nullptr, text, icon);
    }
    void RemoveTool(HWND control);
    void RemoveTool(CWnd* control) { RemoveTool(control != nullptr ? control->m_hWnd : nullptr); }

    // Every message of the owner's thread, before translation.
    void RelayEvent(const MSG* msg);

    // Shows text at point (screen; null: the cursor) after the show delay.
    void ShowAt(const POINT* point, LPCWSTR text);
    void SetIcon(HICON icon);

    void SetTextColor(COLORREF colour) { m_textColour = colour; }
    void SetGradientStyle(int style) { m_gradientStyle = style; }
    void SetEmbossMode(int mode) { m_embossMode = mode; }

    // State, for the owner and for tests.
    bool IsShown() const { return m_logic.shown(); }
    const std::wstring& GetText() const { return m_text; }
    POINT GetAnchor() const { return {m_logic.anchor().x, m_logic.anchor().y}; }
    size_t GetToolCount() const { return m_tools.size(); }
    // The bubble for the current text and icon, measured in the tip's font.
    BubbleGeometry MeasureBubble() const;

    // Paints the bubble last shown (client coordinates) into dc.
    void Paint(HDC dc);
    // Paints a given bubble into dc: the painter, for tests.
    void PaintBubble(HDC dc, const BubbleGeometry& bubble);
    // The window region of a bubble (the caller owns it).
    static HRGN MakeRegion(const BubbleGeometry& bubble);

    static const MessageMap* Map();
    const MessageMap* GetMessageMap() const override { return Map(); }

private:
    struct Tool {
        std::wstring text;
        HICON icon = nullptr;
    };

    void OnPaint();
    void OnPrintClient(Message& msg);
    void OnCreate(Message& msg);
    void OnTimer(Message& msg);
    void OnDestroy(Message& msg);

    const Tool* ToolUnderCursor(POINT* cursor) const;
    void Perform(const ToolTipActions& actions, const Tool* tool, bool takeIcon);
    void ShowBubble();
    void Hide();
    bool EnsureWindow();

    HWND m_owner = nullptr;
    ToolTipLogic m_logic;
    ToolTable<Tool> m_tools;
    std::wstring m_text;
    HICON m_icon = nullptr;
    int m_iconWidth = 0;
    int m_iconHeight = 0;
    BubbleGeometry m_bubble{};
    UINT_PTR m_showTimer = 0;
    UINT_PTR m_watchTimer = 0;
    HFONT m_font;  // stock DEFAULT_GUI_FONT: never deleted
    COLORREF m_textColour;
    int m_gradientStyle = 7;
    int m_embossMode = 1;
};

}  // namespace audiomix
