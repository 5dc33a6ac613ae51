// CAudioMixDlg: the library's one top-level window (template 1000), a
// modeless skinned dialog with its own frame, the tab strip holding the
// effect page and the equaliser page, and the status label whose client area
// doubles as the level display. audiomix_begin creates it, the exports show
// and hide it, audiomix_close destroys it; its own close paths only hide it.
// While it lives it fixes the process-wide skin colours.
#pragma once

#include <windows.h>

#include <cstdint>

#include "controls/skin_dialog.h"
#include "controls/skin_frame.h"
#include "controls/skin_label.h"
#include "window/eq_page.h"
#include "framework/gdi.h"
#include "resources/resource.h"
#include "window/base_tab_ctrl.h"
#include "window/effect_ctrl_page.h"

namespace audiomix {

class CAudioMixDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplateId = IDD_AUDIOMIX;
    static constexpr int kTabControlId = IDC_MIX_TAB;
    static constexpr int kStatusLabelId = IDC_MIX_STATUS;  // also the level display

    explicit CAudioMixDlg(CWnd* parent = nullptr);
    ~CAudioMixDlg() override;

    // Applies the frame's caption geometry; the first call after
    // initialisation also installs the frame. Returns 1.
    BOOL SetSkinTitle(const wchar_t* ignored = nullptr);

    // After audiomix_init: the effect page reloads, then the equaliser page
    // returns to its reset layout.
    void ResetMixPages();
    // The same in two halves, for a reset from another thread: the engine
    // side at once (static: no window touched), the controls later on the
    // window's thread.
    static void ResetMixPagesEngine();
    void ShowResetMixPages();

    CBaseTabCtrl& Tabs() { return m_tab; }
    CSkinLabel& StatusLabel() { return m_status; }
    CSkinFrame& Frame() { return m_frame; }

    static const MessageMap* Map();
    const MessageMap* GetMessageMap() const override { return Map(); }

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

private:
    LRESULT OnFrameCommand(WPARAM wParam, LPARAM lParam);

    // Members in this order: the pages outlive the tab strip that shows them
    // and the image list outlives the strip that draws it.
    CImageList m_images;
    CEffectCtrlPage m_effectPage;
    CEqPage m_eqPage;
    CSkinLabel m_status;
    CBaseTabCtrl m_tab;
    CSkinFrame m_frame;
    int32_t m_firstTitle = 0;
};

}  // namespace audiomix
