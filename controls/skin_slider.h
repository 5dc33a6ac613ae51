// CSkinSlider: a standard trackbar whose channel and thumb the class paints
// itself through the trackbar's custom-draw notification (reflected to the
// control). Range, position, selection and notifications are the trackbar's.
//
//   m_gain.SubclassDlgItem(IDC_GAIN, this);
//   m_gain.m_scaleMarks = 1;
//   m_gain.SetThumbColor(RGB(255, 0, 0));
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "controls/slider_geometry.h"
#include "framework/gdi.h"
#include "framework/wnd.h"

namespace audiomix {

class CSkinSlider : public CSliderCtrl {
public:
    CSkinSlider();
    ~CSkinSlider() override;

    // 0 draws six scale marks across the channel; the pages write 1.
    int m_scaleMarks = 0;

    // A colour with a nonzero top byte (CLR_INVALID, palette forms) is
    // refused: FALSE, nothing changed.
    BOOL SetThumbColor(COLORREF colour);      // redraws at once
    BOOL SetChannelColor(COLORREF colour);    // no redraw
    BOOL SetSelectionColor(COLORREF colour);  // redraws at once
    COLORREF GetThumbColor() const { return m_thumbColour; }
    COLORREF GetChannelColor() const { return m_channelColour; }
    COLORREF GetSelectionColor() const { return m_selectionColour; }
    const SliderColours& Colours() const { return m_colours; }

    static const MessageMap* Map();
    const MessageMap* GetMessageMap() const override { return Map(); }

private:
    void OnCustomDraw(NMHDR* header, LRESULT* result);
    BOOL OnEraseBkgnd(HDC dc);
    void OnWindowPosChanged(Message& msg);
    void FreeBackground();

    void Rebuild();
    void PaintThumb(HDC dc, const RECT& item, UINT itemState);
    void PaintChannel(HDC dc, const RECT& item);
    void CacheBackground(HDC dc);
    void MakeChannelTransparent(HDC dc, const RECT& item);

    COLORREF m_thumbColour;
    COLORREF m_channelColour;
    COLORREF m_selectionColour;
    SliderColours m_colours{};
    // thumb, light1, light2, dark1, dark2, dark-mid, shadow-mid, highlight,
    // and a 2-pixel blue pen kept for completeness of the set.
    CPen m_pens[9];
    HDC m_bgDC = nullptr;
    CBitmap m_bgBitmap;
    HGDIOBJ m_bgOldBitmap = nullptr;
};

}  // namespace audiomix
