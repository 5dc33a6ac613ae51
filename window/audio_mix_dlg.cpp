#include "window/audio_mix_dlg.h"

#include <iterator>

#include "api/default_engine.h"
#include "api/window_rules.h"
#include "controls/colour.h"
#include "framework/module.h"

namespace audiomix {

namespace {

constexpr wchar_t kWelcome[] = L"欢迎使用广告人声静态调整效果器";
constexpr wchar_t kEffectPageTitle[] = L"音效控制  ";
constexpr wchar_t kEqPageTitle[] = L"均衡器    ";

}  // namespace

CAudioMixDlg::CAudioMixDlg(CWnd* parent) : CSkinDialog(kTemplateId, parent) {}

CAudioMixDlg::~CAudioMixDlg() = default;

const MessageMap* CAudioMixDlg::Map() {
    static constexpr MessageEntry entries[] = {
        OnMessage(kFrameCommandMessage, Handle<&CAudioMixDlg::OnFrameCommand>),
    };
    static constexpr MessageMap map{&CSkinDialog::Map, entries, std::size(entries)};
    return &map;
}

void CAudioMixDlg::DoDataExchange(CDataExchange* dx) {
    CSkinDialog::DoDataExchange(dx);
    DDX_Control(dx, kStatusLabelId, m_status);
    DDX_Control(dx, kTabControlId, m_tab);
}

BOOL CAudioMixDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();

    COLORREF skin = 0;
    COLORREF panel = 0;
    {
        auto s = default_engine().edit();
        control_window_initialised(*s, m_hWnd);
        skin = s->link.skinColour;
        panel = s->link.skinPanelColour;
    }

    EnableDrag(0);
    SetBitmap(IDB_SKIN);
    // The dialog's own background never paints over the tab strip and the
    // label, which paint themselves: no flicker when the window repaints.
    ModifyStyle(0, WS_CLIPCHILDREN);

    m_status.m_bkStyle = 21;
    m_status.SetBkColor(panel).SetTextColor(RGB(2, 2, 2)).SetFontName(L"宋体").SetEmboss(TRUE, 1).SetFontSize(12);
    m_status.SetWindowText(kWelcome);

    m_images.Create(32, 32, ILC_COLOR32 | ILC_MASK, 2, 2);
    m_images.Add(::LoadIconW(library_instance(), MAKEINTRESOURCEW(IDI_TAB_EFFECTS)));
    m_images.Add(::LoadIconW(library_instance(), MAKEINTRESOURCEW(IDI_TAB_EQUALISER)));

    m_tab.SetImageList(m_images);
    m_tab.SetBackgroundBitmap(IDB_SKIN);
    m_tab.m_tabGradientStyle = 20;
    m_tab.m_tabTextEffect = 1;
    // The selected tab is the skin's complement, a shade darker.
    m_tab.m_selectedTabColour = DarkenColor(InvertColor(kSkinBaseColour), 34);
    m_tab.m_unselectedTabColour = LightenColor(skin, 52);
    m_tab.m_tabTextColour = RGB(1, 1, 1);

    // On top before the pages make their tool tips: once the window owns
    // popups, raising it means placing it below them, and it would keep
    // their (lower) band.
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    m_tab.AddPage(kEffectPageTitle, &m_effectPage, CEffectCtrlPage::kTemplateId, 0);
    m_tab.AddPage(kEqPageTitle, &m_eqPage, CEqPage::kTemplateId, 1);
    m_tab.SelectPage(0);

    m_firstTitle = 1;
    SetSkinTitle();
    return TRUE;
}

BOOL CAudioMixDlg::SetSkinTitle(const wchar_t*) {
    // Closing only hides this window: the frame tells the dialog.
    m_frame.ApplyTitle(this, m_firstTitle, 1);
    return 1;
}

void CAudioMixDlg::ResetMixPages() {
    m_effectPage.ReloadFromEngine();
    m_eqPage.ResetEqPage();
}

void CAudioMixDlg::ResetMixPagesEngine() {
    CEffectCtrlPage::ReloadEngine();
    CEqPage::ResetEngine();
}

void CAudioMixDlg::ShowResetMixPages() {
    m_effectPage.ShowEngineValues();
    m_eqPage.ShowReset();
}

LRESULT CAudioMixDlg::OnFrameCommand(WPARAM wParam, LPARAM lParam) {
    // Closing only hides: every page keeps its state for the next show.
    if (wParam == kFrameCommandId && lParam == kFrameCommandClose) {
        const HWND window = static_cast<HWND>(default_engine().view()->link.mixWindowHandle);
        ::ShowWindow(window, SW_HIDE);
        default_engine().edit()->chain.displayShown = 0;
    }
    return 0;
}

}  // namespace audiomix
