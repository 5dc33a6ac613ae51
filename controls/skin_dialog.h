// CSkinDialog: the base of every dialog of the library. Adds to CDialog a
// background bitmap tiled over the whole client area (owned by the dialog)
// and, unless switched off, moving the window by dragging anywhere in its
// client area.
//
//   class CMyPage : public CSkinDialog {
//       BOOL OnInitDialog() override {
//           CSkinDialog::OnInitDialog();
//           EnableDrag(0);
//           SetBitmap(1031);     // bitmap resource, tiled from (0, 0)
//           ...
//       }
//   };
#pragma once

#include <windows.h>

#include "framework/dialog.h"

namespace audiomix {

class CSkinDialog : public CDialog {
public:
    explicit CSkinDialog(UINT templateId, CWnd* parent = nullptr);
    ~CSkinDialog() override;

    // Loads a bitmap resource of the library and takes it as background.
    BOOL SetBitmap(UINT resourceId);
    // Takes ownership of bitmap (the previous one is deleted); FALSE and no
    // background when its size cannot be read.
    BOOL SetBitmap(HBITMAP bitmap);
    void EnableDrag(int enable) { m_dragEnabled = enable; }

    HBITMAP GetBitmap() const { return m_bitmap; }
    int GetBitmapWidth() const { return m_bitmapWidth; }
    int GetBitmapHeight() const { return m_bitmapHeight; }
    int IsDragEnabled() const { return m_dragEnabled; }

    static const MessageMap* Map();
    const MessageMap* GetMessageMap() const override { return Map(); }

    void DoDataExchange(CDataExchange*) override {}
    BOOL OnInitDialog() override;

protected:
    // Tiles the background bitmap over the client area of dc's window.
    void TileBackground(HDC dc);

private:
    void OnLButtonDown(Message& msg);
    BOOL OnEraseBkgnd(HDC dc);
    void OnSize();
    void OnPrintClient(Message& msg);

    int m_dragEnabled = 1;
    HBITMAP m_bitmap = nullptr;
    int m_bitmapWidth = 0;
    int m_bitmapHeight = 0;
};

}  // namespace audiomix
