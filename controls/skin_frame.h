// CSkinFrame: the skinned caption and border of a top-level dialog. Hooks the
// dialog's window procedure and takes over the whole non-client area: frame
// size, hit testing, painting (caption bands, icon, title, caption buttons,
// borders), the window region, and minimise / maximise / restore / close.
//
//   m_frame.Setup();
//   m_frame.Install(this);               // once
//   m_frame.m_closeNotifiesOwner = 1;    // close button -> kFrameCommandMessage
//   SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_FRAMECHANGED);
//
// With the close-notifies-owner flag the close button sends the window
// kFrameCommandMessage (wParam kFrameCommandId, lParam 1) instead of
// WM_CLOSE, and an extra caption button appears that sends lParam 2.
#pragma once

#include <windows.h>

#include <cstdint>

#include <string>

#include "controls/frame_geometry.h"
#include "controls/skin_tool_tip.h"
#include "controls/subclass_wnd.h"
#include "framework/gdi.h"

namespace audiomix {

constexpr UINT kFrameCommandMessage = 0x3088;  // 12424
constexpr WPARAM kFrameCommandId = 1333999;    // 0x145AEF
constexpr LPARAM kFrameCommandClose = 1;
constexpr LPARAM kFrameCommandExtra = 2;

constexpr UINT kFrameIconResource = 1018;

class CSkinFrame : public CSubclassWnd {
public:
    CSkinFrame();
    ~CSkinFrame() override;

    // Fixes the frame geometry (and resets the frame colours on a repeat).
    void Setup();
    // Hooks window (only after Setup), captures its thick-frame, minimise
    // and maximise styles and takes the system caption buttons off it. The
    // caller then applies the new frame with SWP_FRAMECHANGED.
    BOOL Install(CWnd* window);
    BOOL Install(HWND window);

    // A dialog's title step: the geometry again, the frame installed on the
    // first call (firstTitle 1, cleared here) with the given close
    // behaviour, then the new frame applied.
    void ApplyTitle(CWnd* window, int32_t& firstTitle, BYTE closeNotifiesOwner);

    // 1: close and extra buttons notify the owner (see above).
    BYTE m_closeNotifiesOwner = 0;

    // State, for the owner and for tests.
    const FrameGeometry& GetGeometry() const { return m_geometry; }
    FrameState GetState() const;
    Placement GetPlacement() const { return m_placement.state; }
    int GetHotHit() const { return m_hot; }
    int GetPressedHit() const { return m_pressed; }
    bool IsSetUp() const { return m_setUp; }
    const std::wstring& GetCaption() const { return m_caption; }

    // Paints the whole frame of a w x h window into dc (window coordinates);
    // the client area is painted over too, so callers clip it if needed.
    void PaintFrame(HDC dc, int w, int h);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int HitTest(POINT screen) const;
    void RedrawFrame();
    void ApplyRegion(int w, int h);
    void Maximise();
    void Restore();
    void Minimise();
    void ToggleMaximise();
    void PressButton(int hit);
    void EnsureFont();

    CSkinToolTip m_toolTip;
    std::wstring m_caption;
    std::wstring m_spare;
    CFont m_captionFont;
    HICON m_icon = nullptr;
    COLORREF m_colourA;
    COLORREF m_colourB;

    FrameGeometry m_geometry;
    FrameStyle m_style;
    FramePlacement m_placement;
    int m_hot = 0;
    int m_pressed = 0;
    bool m_active = true;
    bool m_setUp = false;
    SIZE m_regionSize{0, 0};
};

}  // namespace audiomix
