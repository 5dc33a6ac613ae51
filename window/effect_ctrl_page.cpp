#include "window/effect_ctrl_page.h"

#include <commctrl.h>

#include <iterator>

#include "api/default_engine.h"

namespace audiomix {

namespace {

constexpr int kCaptionIds[10] = {IDC_FX_BASE_M_CAPTION,   IDC_FX_COMB_M_CAPTION, IDC_FX_DECAY_M_CAPTION,
                                 IDC_FX_WET_DB_CAPTION,   IDC_FX_TAPS_CAPTION,   IDC_FX_COMB_DB_CAPTION,
                                 IDC_FX_RELEASE_CAPTION,  IDC_FX_ATTACK_CAPTION, IDC_FX_RATIO_CAPTION,
                                 IDC_FX_THRESHOLD_CAPTION};
constexpr int kLastSliderId = IDC_FX_BASE_M_SLIDER;  // m_sliders[0]

constexpr COLORREF kHotText = RGB(255, 55, 55);
constexpr COLORREF kThumb = RGB(255, 0, 0);
constexpr COLORREF kSelection = RGB(255, 255, 0);
constexpr COLORREF kCompressorChannel = RGB(0, 255, 0);
constexpr COLORREF kReverbChannel = RGB(0, 0, 255);

struct SliderLook {
    EffectValue box;
    int tickFrequency;
    int selectionStart, selectionEnd;
};

// Slider set-up in id order (1020 to 1029); the ranges come from the rules.
constexpr SliderLook kSliderLooks[] = {
    {EffectValue::Threshold, 2, 10, 40}, {EffectValue::Ratio, 1, 4, 6},        {EffectValue::Attack, 1, 4, 6},
    {EffectValue::Release, 1, 4, 6},     {EffectValue::CombDb, 5, 40, 60},     {EffectValue::Taps, 5, 40, 80},
    {EffectValue::WetDb, 10, 30, 100},   {EffectValue::DecayM, 10, 300, 1000}, {EffectValue::CombM, 10, 300, 1000},
    {EffectValue::BaseM, 10, 30, 80},
};

bool box_from_control(int id, EffectValue& box) {
    for (EffectValue b : kEffectValues) {
        if (static_cast<int>(b) == id) {
            box = b;
            return true;
        }
    }
    return false;
}

bool box_from_slider(int id, EffectValue& box) {
    for (EffectValue b : kEffectValues) {
        if (effect_slider_id(b) == id) {
            box = b;
            return true;
        }
    }
    return false;
}

// A box in the middle of being retyped: nothing to apply yet, and nothing to
// complain about until the user leaves the box.
bool is_unfinished_number(HWND box) {
    wchar_t text[4];
    const int length = ::GetWindowTextW(box, text, 4);
    return length == 0 || (length == 1 && (text[0] == L'-' || text[0] == L'+'));
}

void set_tooltip_and_look(CSkinButton& button, int iconIn, int iconOut, LPCWSTR tip, COLORREF outText) {
    button.SetIcon(iconIn, iconOut);
    button.OffsetColor(CSkinButton::BTNST_COLOR_BK_IN, 30);
    button.SetTooltipText(tip);
    button.DrawTransparent();
    button.SetColor(CSkinButton::BTNST_COLOR_FG_IN, kHotText);
    button.SetColor(CSkinButton::BTNST_COLOR_FG_OUT, outText);
}

}  // namespace

CEffectCtrlPage::~CEffectCtrlPage() = default;

const MessageMap* CEffectCtrlPage::Map() {
    using P = CEffectCtrlPage;
    static constexpr MessageEntry entries[] = {
        OnMessage(WM_HSCROLL, Handle<&P::OnHScroll>),
        OnMessage(WM_SHOWWINDOW, Handle<&P::OnShowWindow>),
        OnCommand(BN_CLICKED, IDC_FX_COMP_DEFAULTS, Handle<&P::OnCompressorDefaults>),
        OnCommand(BN_CLICKED, IDC_FX_REVERB_DEFAULTS, Handle<&P::OnReverbDefaults>),
        OnCommand(BN_CLICKED, IDC_FX_EQ_ON, Handle<&P::OnEqSwitch>),
        OnCommand(BN_CLICKED, IDC_FX_COMP_ON, Handle<&P::OnCompressorSwitch>),
        OnCommand(BN_CLICKED, IDC_FX_REVERB_ON, Handle<&P::OnReverbSwitch>),
        OnCommand(BN_CLICKED, IDC_FX_CLOSE, Handle<&P::OnClose>),
        OnCommand(BN_CLICKED, IDC_FX_EQ_FIRST, Handle<&P::OnEqFirst>),
        OnCommand(BN_CLICKED, IDC_FX_REVERB_FIRST, Handle<&P::OnReverbFirst>),
        OnCommand(EN_CHANGE, IDC_FX_THRESHOLD_BOX, Handle<&P::OnBoxChange>),
        OnCommand(EN_CHANGE, IDC_FX_RATIO_BOX, Handle<&P::OnBoxChange>),
        OnCommand(EN_CHANGE, IDC_FX_ATTACK_BOX, Handle<&P::OnBoxChange>),
        OnCommand(EN_CHANGE, IDC_FX_RELEASE_BOX, Handle<&P::OnBoxChange>),
        OnCommand(EN_CHANGE, IDC_FX_COMB_DB_BOX, Handle<&P::OnBoxChange>),
        OnNotify(NM_RELEASEDCAPTURE, IDC_FX_COMB_DB_SLIDER, Handle<&P::OnSliderRelease>),
        OnNotify(NM_RELEASEDCAPTURE, IDC_FX_TAPS_SLIDER, Handle<&P::OnSliderRelease>),
        OnCommand(EN_CHANGE, IDC_FX_TAPS_BOX, Handle<&P::OnBoxChange>),
        OnNotify(NM_RELEASEDCAPTURE, IDC_FX_WET_DB_SLIDER, Handle<&P::OnSliderRelease>),
        OnCommand(EN_CHANGE, IDC_FX_WET_DB_BOX, Handle<&P::OnBoxChange>),
        OnNotify(NM_RELEASEDCAPTURE, IDC_FX_DECAY_M_SLIDER, Handle<&P::OnSliderRelease>),
        OnCommand(EN_CHANGE, IDC_FX_DECAY_M_BOX, Handle<&P::OnBoxChange>),
        OnNotify(NM_RELEASEDCAPTURE, IDC_FX_COMB_M_SLIDER, Handle<&P::OnSliderRelease>),
        OnCommand(EN_CHANGE, IDC_FX_COMB_M_BOX, Handle<&P::OnBoxChange>),
        OnNotify(NM_RELEASEDCAPTURE, IDC_FX_BASE_M_SLIDER, Handle<&P::OnSliderRelease>),
        OnCommand(EN_CHANGE, IDC_FX_BASE_M_BOX, Handle<&P::OnBoxChange>),
        OnCommand(BN_CLICKED, IDC_FX_ADJUST, Handle<&P::OnAdjust>),
        // Whatever a box is left holding, it shows the stored value again.
        OnCommand(EN_KILLFOCUS, IDC_FX_THRESHOLD_BOX, Handle<&P::OnBoxKillFocus>),
        OnCommand(EN_KILLFOCUS, IDC_FX_RATIO_BOX, Handle<&P::OnBoxKillFocus>),
        OnCommand(EN_KILLFOCUS, IDC_FX_ATTACK_BOX, Handle<&P::OnBoxKillFocus>),
        OnCommand(EN_KILLFOCUS, IDC_FX_RELEASE_BOX, Handle<&P::OnBoxKillFocus>),
        OnCommand(EN_KILLFOCUS, IDC_FX_COMB_DB_BOX, Handle<&P::OnBoxKillFocus>),
        OnCommand(EN_KILLFOCUS, IDC_FX_TAPS_BOX, Handle<&P::OnBoxKillFocus>),
        OnCommand(EN_KILLFOCUS, IDC_FX_WET_DB_BOX, Handle<&P::OnBoxKillFocus>),
        OnCommand(EN_KILLFOCUS, IDC_FX_DECAY_M_BOX, Handle<&P::OnBoxKillFocus>),
        OnCommand(EN_KILLFOCUS, IDC_FX_COMB_M_BOX, Handle<&P::OnBoxKillFocus>),
        OnCommand(EN_KILLFOCUS, IDC_FX_BASE_M_BOX, Handle<&P::OnBoxKillFocus>),
    };
    static constexpr MessageMap map{&CSkinDialog::Map, entries, std::size(entries)};
    return &map;
}

void CEffectCtrlPage::DoDataExchange(CDataExchange* dx) {
    CSkinDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_FX_ADJUST, m_adjust);
    DDX_Control(dx, IDC_FX_REVERB_FIRST, m_reverbFirst);
    DDX_Control(dx, IDC_FX_EQ_FIRST, m_eqFirst);
    DDX_Control(dx, IDC_FX_CLOSE, m_close);
    DDX_Control(dx, IDC_FX_EQ_ON, m_eqOn);
    DDX_Control(dx, IDC_FX_REVERB_ON, m_reverbOn);
    DDX_Control(dx, IDC_FX_COMP_ON, m_compOn);
    DDX_Control(dx, IDC_FX_REVERB_DEFAULTS, m_reverbDefaults);
    DDX_Control(dx, IDC_FX_COMP_DEFAULTS, m_compDefaults);
    DDX_Control(dx, IDC_FX_REVERB_TITLE, m_reverbTitle);
    DDX_Control(dx, IDC_FX_SWITCH_TITLE, m_switchTitle);
    DDX_Control(dx, IDC_FX_COMP_TITLE, m_compTitle);
    for (int i = 0; i < 10; ++i) DDX_Control(dx, kCaptionIds[i], m_captions[i]);
    for (int i = 0; i < 10; ++i) DDX_Control(dx, kLastSliderId - i, m_sliders[i]);
    for (int i = 0; i < kBoxCount; ++i) DDX_Text(dx, static_cast<int>(kExchangeOrder[i]), m_boxValues[i]);
}

int32_t& CEffectCtrlPage::BoxValue(EffectValue box) {
    for (int i = 0; i < kBoxCount; ++i)
        if (kExchangeOrder[i] == box) return m_boxValues[i];
    return m_boxValues[0];  // unreachable: every box is in the exchange order
}

CSkinSlider& CEffectCtrlPage::Slider(EffectValue box) { return m_sliders[kLastSliderId - effect_slider_id(box)]; }

BOOL CEffectCtrlPage::OnInitDialog() {
    // The first exchange writes the boxes' initial numbers: not typing.
    m_loadingBoxes = true;
    CSkinDialog::OnInitDialog();
    m_loadingBoxes = false;
    EnableDrag(0);
    SetBitmap(IDB_SKIN);
    const COLORREF skin = default_engine().view()->link.skinColour;

    struct Switch {
        CSkinButton& button;
        LPCWSTR tip;
    } switches[] = {{m_eqOn, L"图形均衡器"}, {m_compOn, L"压缩效果器"}, {m_reverbOn, L"混响效果器有效"}};
    for (Switch& s : switches) {
        set_tooltip_and_look(s.button, IDI_CHECK_ON, IDI_CHECK_OFF, s.tip, RGB(0, 5, 5));
        s.button.m_textEffect = 2;
    }
    for (CSkinButton* button : {&m_compDefaults, &m_reverbDefaults})
        set_tooltip_and_look(*button, IDI_DEFAULT, 0, L"恢复系统基本参数", skin);

    for (CSkinLabel& caption : m_captions) caption.SetTextColor(skin).SetTransparent(TRUE);
    for (CSkinLabel* title : {&m_compTitle, &m_reverbTitle, &m_switchTitle}) {
        title->SetBitmap(IDB_TITLE_TEXTURE);
        title->m_bkStyle = 17;
        title->SetFontName(L"楷体").SetBkColor(skin).SetTextColor(RGB(0, 0, 0)).SetFontSize(12).SetEmboss(TRUE, 0);
    }

    for (const SliderLook& look : kSliderLooks) {
        CSkinSlider& slider = Slider(look.box);
        const ValueRange range = effect_slider_range(look.box);
        slider.SetRange(range.lo, range.hi);
        slider.SetSelection(look.selectionStart, look.selectionEnd);
        slider.SetTicFreq(look.tickFrequency);
        slider.SetThumbColor(kThumb);
        slider.SetSelectionColor(kSelection);
        slider.SetChannelColor(effect_is_compressor(look.box) ? kCompressorChannel : kReverbChannel);
        slider.m_scaleMarks = 1;
    }

    m_eqFirst.SetCheck(BST_CHECKED);
    m_reverbFirst.SetCheck(BST_UNCHECKED);
    set_tooltip_and_look(m_eqFirst, IDI_CHECK_ON, IDI_CHECK_OFF, L"选择先进行均衡调节后再进行混响，最后压缩调整", skin);
    set_tooltip_and_look(m_reverbFirst, IDI_CHECK_ON, IDI_CHECK_OFF, L"选择先进行混响调节后再进行均衡，最后压缩调整",
                         skin);

    struct Action {
        CSkinButton& button;
        int icon;
        LPCWSTR tip;
    } actions[] = {{m_close, IDI_CLOSE, L"关闭音乐调整显示窗口"}, {m_adjust, IDI_ADJUST, L"进行音乐调整音效调整"}};
    for (Action& a : actions) {
        a.button.SetIcon(a.icon, 0);
        a.button.OffsetColor(CSkinButton::BTNST_COLOR_BK_IN, 30);
        a.button.SetTooltipText(a.tip);
        a.button.m_faceStyle[0] = 21;
        a.button.m_faceStyle[1] = 22;
        a.button.m_faceStyle[2] = 21;
        for (uint32_t& colour : a.button.m_faceColour) colour = skin;
        a.button.SetColor(CSkinButton::BTNST_COLOR_FG_IN, kHotText);
        a.button.SetColor(CSkinButton::BTNST_COLOR_FG_OUT, RGB(255, 255, 5));
    }

    // The reverb boxes show the engine at once; the compressor boxes stay 0
    // until the page is first shown.
    {
        const auto s = default_engine().view();
        for (EffectValue box : {EffectValue::CombDb, EffectValue::WetDb, EffectValue::Taps, EffectValue::BaseM,
                                EffectValue::DecayM, EffectValue::CombM})
            BoxValue(box) = effect_box_value(*s, box);
    }
    LoadOrder();
    UpdateBoxesQuietly();
    return TRUE;
}

void CEffectCtrlPage::UpdateBoxesQuietly() {
    m_loadingBoxes = true;
    UpdateData(FALSE);
    m_loadingBoxes = false;
}

void CEffectCtrlPage::LoadBoxes() {
    const auto s = default_engine().view();
    for (EffectValue box : kEffectValues) BoxValue(box) = effect_box_value(*s, box);
}

void CEffectCtrlPage::LoadSlidersAndBoxes() {
    // One reading for both, and no lock held while the controls are set.
    LoadBoxes();
    for (EffectValue box : kEffectValues) Slider(box).SetPos(effect_slider_position(box, BoxValue(box)));
}

void CEffectCtrlPage::LoadOrder() {
    const bool reverbFirst = default_engine().view()->chain.reverbFirst != 0;
    m_eqFirst.SetCheck(reverbFirst ? BST_UNCHECKED : BST_CHECKED);
    m_reverbFirst.SetCheck(reverbFirst ? BST_CHECKED : BST_UNCHECKED);
}

void CEffectCtrlPage::OnShowWindow(Message& msg) {
    msg.result = Default();
    if (m_hWnd == nullptr) return;
    LoadSlidersAndBoxes();
    LoadOrder();
    UpdateBoxesQuietly();
}

void CEffectCtrlPage::ReloadFromEngine() {
    ReloadEngine();
    ShowEngineValues();
}

void CEffectCtrlPage::ReloadEngine() { effect_reload(*default_engine().edit()); }

void CEffectCtrlPage::ShowEngineValues() {
    if (m_hWnd == nullptr) return;
    LoadSlidersAndBoxes();
    UpdateBoxesQuietly();
}

void CEffectCtrlPage::ShowBoxValue(EffectValue box) {
    BoxValue(box) = effect_box_value(*default_engine().view(), box);
    UpdateData(FALSE);  // the changed box's own handler runs, as for typing
}

void CEffectCtrlPage::OnHScroll(Message& msg) {
    const HWND sender = reinterpret_cast<HWND>(msg.lParam);
    EffectValue box;
    if (sender != nullptr && box_from_slider(::GetDlgCtrlID(sender), box)) {
        const int32_t position = Slider(box).GetPos();
        {
            auto s = default_engine().edit();
            effect_apply_slider(*s, box, position);
            // A keyboard move has no release: at its end the gains follow the
            // dB values, also where the box refuses the number (0 dB, -1 dB).
            if (LOWORD(msg.wParam) == TB_ENDTRACK) effect_update_reverb_gains(*s);
        }
        ShowBoxValue(box);
    }
    msg.result = Default();
}

void CEffectCtrlPage::OnBoxChange(Message& msg) {
    if (m_loadingBoxes) return;
    EffectValue box;
    if (!box_from_control(LOWORD(msg.wParam), box)) return;
    const HWND edit = reinterpret_cast<HWND>(msg.lParam);
    if (is_unfinished_number(edit)) return;

    CDataExchange dx(this, TRUE);
    int32_t value = 0;
    DDX_Text(&dx, static_cast<int>(box), value);
    if (dx.m_failed) return;  // the integer prompt has been shown
    if (effect_apply_box(*default_engine().edit(), box, value)) {
        BoxValue(box) = value;
        Slider(box).SetPos(effect_slider_position(box, value));
    } else {
        BoxValue(box) = effect_box_value(*default_engine().view(), box);
        UpdateBoxesQuietly();
    }
}

void CEffectCtrlPage::OnBoxKillFocus(Message& msg) {
    EffectValue box;
    if (!box_from_control(LOWORD(msg.wParam), box)) return;
    BoxValue(box) = effect_box_value(*default_engine().view(), box);
    UpdateBoxesQuietly();
}

void CEffectCtrlPage::OnSliderRelease(NMHDR* header, LRESULT* result) {
    EffectValue box;
    if (box_from_slider(static_cast<int>(header->idFrom), box)) {
        const int32_t position = Slider(box).GetPos();
        {
            auto s = default_engine().edit();
            effect_apply_release(*s, box, position);
            BoxValue(box) = effect_box_value(*s, box);
        }
        UpdateBoxesQuietly();
    }
    *result = 0;
}

void CEffectCtrlPage::OnCompressorDefaults() {
    constexpr EffectValue boxes[] = {EffectValue::Attack, EffectValue::Release, EffectValue::Ratio,
                                     EffectValue::Threshold};
    {
        auto s = default_engine().edit();
        effect_compressor_defaults(*s);
        for (EffectValue box : boxes) BoxValue(box) = effect_box_value(*s, box);
    }
    for (EffectValue box : boxes) Slider(box).SetPos(effect_slider_position(box, BoxValue(box)));
    UpdateBoxesQuietly();
}

void CEffectCtrlPage::OnReverbDefaults() {
    constexpr EffectValue boxes[] = {EffectValue::CombDb, EffectValue::WetDb,  EffectValue::Taps,
                                     EffectValue::BaseM,  EffectValue::DecayM, EffectValue::CombM};
    {
        auto s = default_engine().edit();
        effect_reverb_defaults(*s);
        for (EffectValue box : boxes) BoxValue(box) = effect_box_value(*s, box);
    }
    for (EffectValue box : boxes) Slider(box).SetPos(effect_slider_position(box, BoxValue(box)));
    UpdateBoxesQuietly();
}

void CEffectCtrlPage::ApplySwitch(CSkinButton& button, EffectSwitch which) {
    const bool on = button.GetCheck() == BST_CHECKED;
    effect_set_switch(*default_engine().edit(), which, on);
}

void CEffectCtrlPage::OnEqSwitch() { ApplySwitch(m_eqOn, EffectSwitch::Equaliser); }
void CEffectCtrlPage::OnCompressorSwitch() { ApplySwitch(m_compOn, EffectSwitch::Compressor); }
void CEffectCtrlPage::OnReverbSwitch() { ApplySwitch(m_reverbOn, EffectSwitch::Reverb); }

void CEffectCtrlPage::OnEqFirst() {
    effect_set_order(*default_engine().edit(), false);
    LoadOrder();
}

void CEffectCtrlPage::OnReverbFirst() {
    effect_set_order(*default_engine().edit(), true);
    LoadOrder();
}

void CEffectCtrlPage::NotifyHost() {
    HWND host = nullptr;
    {
        const auto s = default_engine().view();
        if (s->settingsChanged != 1) return;
        host = static_cast<HWND>(s->link.hostWindow);
    }
    if (host == nullptr) return;
    // Unlocked: the host's handler may call back into the library, from its
    // own thread too.
    ::SendMessageW(host, MSG_SETTINGS_CHANGED, kSettingsChangedWParam, kSettingsChangedLParam);
    default_engine().edit()->settingsChanged = 0;
}

void CEffectCtrlPage::OnClose() {
    NotifyHost();
    const HWND window = static_cast<HWND>(default_engine().view()->link.mixWindowHandle);
    ::ShowWindow(window, SW_HIDE);
    default_engine().edit()->chain.displayShown = 0;
}

void CEffectCtrlPage::OnAdjust() { NotifyHost(); }

}  // namespace audiomix
