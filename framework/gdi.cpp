#include "framework/gdi.h"

namespace audiomix {

void CDC::FillSolidRect(const RECT& rect, COLORREF colour) {
    const COLORREF old = ::SetBkColor(m_hDC, colour);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

CBufferDC::CBufferDC(HDC target, const RECT& area) : m_target(target), m_area(area) {
    const int w = area.right - area.left;
    const int h = area.bottom - area.top;
    if (w <= 0 || h <= 0 || !CreateCompatibleDC(target)) {
        // Nothing to buffer: draw straight onto the target.
        if (m_hDC == nullptr) m_hDC = target;
        m_owned = false;
        m_discard = true;
        return;
    }
    m_bitmap = ::CreateCompatibleBitmap(target, w, h);
    if (m_bitmap == nullptr) {
        ::DeleteDC(m_hDC);
        m_hDC = target;
        m_owned = false;
        m_discard = true;
        return;
    }
    m_oldBitmap = ::SelectObject(m_hDC, m_bitmap);
    ::SetWindowOrgEx(m_hDC, area.left, area.top, &m_oldOrigin);
    // Start from the target's current attributes.
    ::SelectObject(m_hDC, ::GetCurrentObject(target, OBJ_FONT));
    ::SetTextColor(m_hDC, ::GetTextColor(target));
    ::SetBkColor(m_hDC, ::GetBkColor(target));
    ::SetBkMode(m_hDC, ::GetBkMode(target));
}

CBufferDC::~CBufferDC() {
    if (m_bitmap == nullptr) {
        if (!m_owned) m_hDC = nullptr;  // borrowed target
        return;
    }
    if (!m_discard)
        ::BitBlt(m_target, m_area.left, m_area.top, m_area.right - m_area.left, m_area.bottom - m_area.top, m_hDC,
                 m_area.left, m_area.top, SRCCOPY);
    ::SelectObject(m_hDC, m_oldBitmap);
    ::DeleteObject(m_bitmap);
}

}  // namespace audiomix
