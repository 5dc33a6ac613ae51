#include "window/eq_page.h"

#include <commctrl.h>

#include <cmath>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "api/default_engine.h"
#include "controls/colour.h"
#include "model/gbk.h"
#include "model/eq_rules.h"
#include "window/preset_name_dlg.h"
#include "model/preset_store.h"
#include "framework/module.h"

namespace audiomix {

namespace {

constexpr int32_t kBandCounts[4] = {10, 15, 25, 31};
constexpr int kBandButtonIds[4] = {IDC_EQ_BANDS_10, IDC_EQ_BANDS_15, IDC_EQ_BANDS_25, IDC_EQ_BANDS_31};
constexpr LPCWSTR kBandButtonTips[4] = {L"10", L"15", L"25", L"31"};
constexpr int kScaleIds[6] = {IDC_EQ_SCALE_TOP_0, IDC_EQ_SCALE_MID_0, IDC_EQ_SCALE_LOW_0,
                              IDC_EQ_SCALE_TOP_1, IDC_EQ_SCALE_MID_1, IDC_EQ_SCALE_LOW_1};
constexpr COLORREF kScaleColours[3] = {RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 255, 0)};
constexpr int32_t kCentrePosition = 25;
constexpr int32_t kPreGainCentre = 12;

constexpr wchar_t kPresetBoxTip[] = L"请通过下拉框选择转换方式 快速转换时无视频显示和无声音";
constexpr wchar_t kDeleteCaption[] = L"音效删除";
constexpr wchar_t kBuiltInRefused[] = L"内置音效，无法删除";
constexpr wchar_t kSaveCaption[] = L"音效保存";
constexpr wchar_t kTableFull[] = L"音效模式已满，请先删除不用的音效";

std::wstring wide_name(const PresetRecord& record) {
    const std::u16string name = gbk_to_utf16(record.name, ::strnlen(record.name, sizeof record.name));
    return std::wstring(name.begin(), name.end());
}

PixelRect window_rect(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return {r.left, r.top, r.right, r.bottom};
}

void place(HWND hwnd, const PixelRect& r, bool show) {
    ::MoveWindow(hwnd, r.left, r.top, r.width(), r.height(), FALSE);
    ::EnableWindow(hwnd, show);
    ::ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE);
}

bool is_layout(int32_t count) { return count == 10 || count == 15 || count == 25 || count == 31; }

void look_of_switch(CSkinButton& button, int iconIn, int iconOut, LPCWSTR tip) {
    button.SetIcon(iconIn, iconOut);
    button.OffsetColor(CSkinButton::BTNST_COLOR_BK_IN, 30);
    button.SetTooltipText(tip);
    button.DrawTransparent();
    button.SetColor(CSkinButton::BTNST_COLOR_FG_IN, RGB(255, 0, 0));
    button.SetColor(CSkinButton::BTNST_COLOR_FG_OUT, default_engine().view()->link.skinColour);
}

}  // namespace

CEqPage::~CEqPage() = default;

const MessageMap* CEqPage::Map() {
    using P = CEqPage;
    static constexpr MessageEntry entries[] = {
        OnMessage(WM_VSCROLL, Handle<&P::OnVScroll>),
        OnMessage(WM_HSCROLL, Handle<&P::OnHScroll>),
        OnMessage(WM_SHOWWINDOW, Handle<&P::OnShowWindow>),
        OnCommand(BN_CLICKED, IDC_EQ_BANDS_10, Handle<&P::OnBands10>),
        OnCommand(BN_CLICKED, IDC_EQ_BANDS_15, Handle<&P::OnBands15>),
        OnCommand(BN_CLICKED, IDC_EQ_BANDS_25, Handle<&P::OnBands25>),
        OnCommand(BN_CLICKED, IDC_EQ_BANDS_31, Handle<&P::OnBands31>),
        OnCommand(BN_CLICKED, IDC_EQ_SECOND_PASS, Handle<&P::OnSecondLevel>),
        OnCommand(BN_CLICKED, IDC_EQ_SAVE, Handle<&P::OnSavePreset>),
        OnCommand(BN_CLICKED, IDC_EQ_DELETE, Handle<&P::OnDeletePreset>),
        OnCommand(CBN_SELCHANGE, IDC_EQ_PRESETS, Handle<&P::OnPresetSelChange>),
    };
    static constexpr MessageMap map{&CSkinDialog::Map, entries, std::size(entries)};
    return &map;
}

void CEqPage::DoDataExchange(CDataExchange* dx) {
    CSkinDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_EQ_BAND_FRAME, m_groupBox);
    DDX_Control(dx, IDC_EQ_PREGAIN_CAPTION, m_preGainCaption);
    for (int i = 0; i < 6; ++i) DDX_Control(dx, kScaleIds[i], m_scale[i]);
    DDX_Control(dx, IDC_EQ_PREGAIN, m_preGain);
    DDX_Control(dx, IDC_EQ_PRESETS, m_presets);
    DDX_Control(dx, IDC_EQ_DELETE, m_delete);
    DDX_Control(dx, IDC_EQ_SAVE, m_save);
    DDX_Control(dx, IDC_EQ_LINKED, m_linked);
    DDX_Control(dx, IDC_EQ_SECOND_PASS, m_secondPass);
    for (int i = 0; i < 4; ++i) DDX_Control(dx, kBandButtonIds[i], m_bandButtons[i]);
    for (int i = 0; i < kSliderCount; ++i) {
        DDX_Control(dx, eq_band_label_id(i), m_bandLabels[i]);
        DDX_Control(dx, eq_band_slider_id(i), m_bandSliders[i]);
    }
}

BOOL CEqPage::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    EnableDrag(0);
    SetBitmap(IDB_SKIN);
    COLORREF skin = 0;
    COLORREF panel = 0;
    int32_t activeBands = 0;
    {
        const auto s = default_engine().view();
        skin = s->link.skinColour;
        panel = s->link.skinPanelColour;
        activeBands = s->chain.eqActiveBands;
    }

    m_groupBox.SetBkColor(DarkenColor(panel, 27));
    m_groupBox.m_bkStyle = 7;

    RECT first{};
    m_bandSliders[0].GetWindowRect(&first);
    m_sliderWidth = first.right - first.left + 4;
    m_sliderHeight = first.bottom - first.top;
    m_bandCount = is_layout(activeBands) ? activeBands : 10;

    m_save.SetIcon(IDI_SAVE);
    m_save.OffsetColor(CSkinButton::BTNST_COLOR_BK_IN, 30);
    m_save.SetTooltipText(L"保存");
    m_save.DrawTransparent();
    m_delete.SetIcon(IDI_DELETE);
    m_delete.OffsetColor(CSkinButton::BTNST_COLOR_BK_IN, 30);
    m_delete.SetTooltipText(L"删除");
    m_delete.DrawTransparent();

    look_of_switch(m_secondPass, IDI_CHECK_ON, IDI_CHECK_OFF, L"二级调整：均衡器对声音再处理一遍");
    look_of_switch(m_linked, IDI_CHECK_ON, IDI_CHECK_OFF, L"调谐联动：相邻频段跟随调整");
    m_secondPass.SetCheck(BST_UNCHECKED);
    m_linked.SetCheck(BST_UNCHECKED);

    m_preGain.SetRange(0, kPreGainSliderMax);
    m_preGain.SetTicFreq(1);
    m_preGain.SetPos(kPreGainCentre);
    m_preGain.m_scaleMarks = 1;
    m_preGain.SetSelection(6, 18);
    m_preGain.SetThumbColor(RGB(232, 232, 24));
    m_preGain.SetSelectionColor(RGB(23, 32, 242));
    m_preGain.SetChannelColor(RGB(32, 232, 24));

    for (int i = 0; i < 4; ++i) {
        m_bandButtons[i].SetCheck(i == 0 ? BST_CHECKED : BST_UNCHECKED);
        look_of_switch(m_bandButtons[i], IDI_RADIO_ON, IDI_RADIO_OFF, kBandButtonTips[i]);
    }

    for (int i = 0; i < kEqLayoutMaxBands; ++i)
        m_bandLabels[i].SetFontName(L"楷体").SetTransparent(TRUE).SetFontSize(10);
    for (int i = 0; i < 6; ++i)
        m_scale[i].SetFontName(L"楷体").SetTransparent(TRUE).SetTextColor(kScaleColours[i % 3]).SetFontSize(12);
    m_preGainCaption.SetTextColor(skin).SetTransparent(TRUE);

    // The default engine's presets are read here, before the page's own
    // start-up, as the windowless start-up does.
    {
        auto s = default_engine().edit();
        LoadPresets(default_presets(), s->link.presetPath);
        eq_page_initialised(*s);
    }

    m_presets.m_textEffect = 1;
    m_presets.m_bkStyle = 21;
    m_presets.m_highlightColor = RGB(255, 105, 255);
    m_presets.SetTextColor(RGB(255, 255, 0));
    m_presets.SetBkColor(skin);
    FillPresetBox();
    m_presets.SetCurSel(0);

    LayoutBands();

    if (m_toolTip.Create(this)) {
        m_toolTip.AddTool(m_presets.m_hWnd, kPresetBoxTip,
                          ::LoadIconW(library_instance(), MAKEINTRESOURCEW(IDI_AUDIOMIX)));
        m_toolTip.SetTextColor(RGB(1, 1, 132));
    }
    return TRUE;
}

BOOL CEqPage::PreTranslateMessage(MSG* msg) {
    if (m_toolTip.m_hWnd != nullptr) m_toolTip.RelayEvent(msg);
    return CSkinDialog::PreTranslateMessage(msg);
}

void CEqPage::CheckBandCountButton() {
    for (int i = 0; i < 4; ++i) m_bandButtons[i].SetCheck(kBandCounts[i] == m_bandCount ? BST_CHECKED : BST_UNCHECKED);
}

void CEqPage::FillPresetBox() {
    std::vector<std::wstring> names;
    {
        const auto s = default_engine().view();
        const PresetTable& table = default_presets();
        for (int32_t i = 0; i < table.count; ++i)
            if (table.records[i].bandCount == m_bandCount) names.push_back(wide_name(table.records[i]));
    }
    m_presets.ResetContent();
    m_presets.ResetItems();
    for (const std::wstring& name : names) m_presets.AddItem(name.c_str());
}

void CEqPage::LayoutBands() {
    for (int i = 3; i < 6; ++i) m_scale[i].ShowWindow(SW_HIDE);
    for (int i = 0; i < kSliderCount; ++i) {
        m_bandSliders[i].EnableWindow(FALSE);
        m_bandSliders[i].ShowWindow(SW_HIDE);
        m_bandLabels[i].EnableWindow(FALSE);
        m_bandLabels[i].ShowWindow(SW_HIDE);
    }
    int32_t sampleRate = 0;
    const EqCoefTable* table = nullptr;
    {
        const auto s = default_engine().view();
        sampleRate = s->chain.sampleRate;
        table = s->chain.eqTable;
    }
    for (int i = 0; i < 4; ++i) m_bandButtons[i].EnableWindow(eq_band_count_enabled(kBandCounts[i], sampleRate));

    const PixelRect label = window_rect(m_bandLabels[0].m_hWnd);
    EqLayoutInput input{m_bandCount,   window_rect(m_hWnd), window_rect(m_groupBox.m_hWnd),
                        label.width(), label.height(),      m_sliderWidth,
                        m_sliderHeight};
    const EqBandLayout layout = eq_layout_bands(input);
    for (int row = 0; row < layout.rows; ++row) {
        const EqScalePlace& s = layout.scale[row];
        place(m_scale[3 * row].m_hWnd, s.plus20, true);
        place(m_scale[3 * row + 1].m_hWnd, s.zero, true);
        place(m_scale[3 * row + 2].m_hWnd, s.minus20, true);
    }

    EqBandLook looks[kEqLayoutMaxBands];
    const int32_t shown = eq_layout_looks(eq_layout_table(table, m_bandCount), layout.bandCount, looks);
    for (int32_t i = 0; i < shown; ++i) {
        CSkinSlider& slider = m_bandSliders[i];
        slider.SetRange(0, kBandSliderMax);
        slider.SetTicFreq(10);
        slider.SetPos(kCentrePosition);
        slider.SetSelection(15, 35);
        slider.SetThumbColor(RGB(255, 255, 0));
        slider.SetSelectionColor(looks[i].colours.selection);
        slider.SetChannelColor(looks[i].colours.channel);
        m_bandLabels[i].SetTextColor(looks[i].colours.text);
        const std::string caption(looks[i].caption);
        m_bandLabels[i].SetWindowText(std::wstring(caption.begin(), caption.end()).c_str());
        place(slider.m_hWnd, layout.bands[i].slider, true);
        place(m_bandLabels[i].m_hWnd, layout.bands[i].label, true);
    }
    {
        auto s = default_engine().edit();
        std::memset(s->bandGainDb, 0, sizeof s->bandGainDb);
    }
    UpdateData(FALSE);
    Invalidate();
}

void CEqPage::ResetEqPage() {
    ResetEngine();
    ShowReset();
}

void CEqPage::ResetEngine() { eq_page_reset(*default_engine().edit()); }

void CEqPage::ShowReset() {
    if (m_hWnd == nullptr) return;
    m_secondPass.SetCheck(BST_UNCHECKED);
    m_linked.SetCheck(BST_UNCHECKED);
    m_bandCount = 10;
    CheckBandCountButton();
    m_preGain.SetPos(kPreGainCentre);
    // Laid out again as the 10-band button would: the new rate may change
    // the frequency labels and which band counts can be chosen.
    FillPresetBox();
    LayoutBands();
    m_presets.SetCurSel(0);
    for (CSkinSlider& slider : m_bandSliders) slider.SetPos(kCentrePosition);
}

void CEqPage::OnBandCount(int32_t count) {
    eq_apply_band_count(*default_engine().edit(), count);
    m_bandCount = count;
    CheckBandCountButton();
    FillPresetBox();
    m_presets.SetCurSel(0);
    // The engine's pre-gain is back at 0 dB: the slider says so too.
    m_preGain.SetPos(kPreGainCentre);
    LayoutBands();
}

void CEqPage::SetBandPosition(int32_t band, int32_t position) {
    if (band >= 0 && band < kSliderCount) m_bandSliders[band].SetPos(position);
}

void CEqPage::OnVScroll(Message& msg) {
    const HWND sender = reinterpret_cast<HWND>(msg.lParam);
    const int32_t band = sender != nullptr ? ::GetDlgCtrlID(sender) - IDC_EQ_BAND_SLIDER_FIRST : -1;
    if (band >= 0 && band < m_bandCount) {
        LinkedMove moves[4];
        const float value = eq_band_value_from_position(m_bandSliders[band].GetPos());
        const bool linked = m_linked.GetCheck() == BST_CHECKED;
        const int32_t moved = eq_apply_band(*default_engine().edit(), band, value, linked, m_bandCount, moves);
        for (int32_t k = 0; k < moved; ++k) SetBandPosition(moves[k].band, moves[k].position);
    }
    msg.result = Default();
}

void CEqPage::OnHScroll(Message& msg) {
    if (reinterpret_cast<HWND>(msg.lParam) == m_preGain.m_hWnd) {
        const float value = eq_pregain_value_from_position(m_preGain.GetPos());
        eq_apply_pregain(*default_engine().edit(), value);
    }
    msg.result = Default();
}

void CEqPage::OnSecondLevel() {
    const bool on = m_secondPass.GetCheck() == BST_CHECKED;
    eq_apply_second_pass(*default_engine().edit(), on);
    Invalidate();
}

void CEqPage::ShowPreset(const PresetRecord& record) {
    const int32_t bands = record.bandCount < kPresetGains ? record.bandCount : kPresetGains;
    for (int32_t b = 0; b < bands; ++b) SetBandPosition(b, eq_band_position_from_value(record.gainDb[b]));
}

void CEqPage::OnPresetSelChange() {
    const int32_t item = m_presets.GetCurSel();
    PresetRecord chosen{};
    bool listed = false;
    {
        auto s = default_engine().edit();
        const PresetTable& table = default_presets();
        const int32_t index = preset_find_nth(table, m_bandCount, item);
        listed = index >= 0;
        chosen = table.records[listed ? index : 0];
        eq_choose_preset(*s, chosen);
    }
    if (!listed) m_presets.SetCurSel(0);
    ShowPreset(chosen);
    Invalidate();
}

void CEqPage::OnDeletePreset() {
    const int32_t item = m_presets.GetCurSel();
    int32_t index = -1;
    PresetRecord record{};
    {
        const auto s = default_engine().view();
        const PresetTable& table = default_presets();
        index = preset_find_nth(table, m_bandCount, item);
        if (table.count < 1 || index < 0) return;
        record = table.records[index];
    }
    // The questions run without the engine: other threads keep using it.
    if (record.builtIn != 0) {
        ::MessageBoxW(m_hWnd, kBuiltInRefused, kDeleteCaption, MB_OK);
        return;
    }
    const std::wstring question = L"确认删除音效" + wide_name(record) + L" 吗";
    if (::MessageBoxW(m_hWnd, question.c_str(), kDeleteCaption, MB_YESNO) != IDYES) {
        Invalidate();
        return;
    }
    PresetRecord first{};
    int32_t firstIndex = -1;
    {
        auto s = default_engine().edit();
        PresetTable& table = default_presets();
        // The question pumped messages and the table may have changed
        // meanwhile: the record asked about goes, or nothing does.
        if (index < table.count && std::memcmp(&table.records[index], &record, sizeof record) == 0) {
            // A file that cannot be rewritten keeps its old content; the
            // table keeps the change while the library stays loaded.
            preset_delete(table, s->link.presetPath, index);
        }
        firstIndex = preset_find_nth(table, m_bandCount, 0);
        if (firstIndex >= 0) {
            first = table.records[firstIndex];
            eq_apply_preset(*s, first);
        }
    }
    FillPresetBox();
    m_presets.SetCurSel(0);
    if (firstIndex >= 0) ShowPreset(first);
    Invalidate();
}

void CEqPage::OnSavePreset() {
    // Owned by the control window: modal to it and above it (it is topmost).
    CPresetNameDlg dialog(CWnd::FromHandlePermanent(::GetAncestor(m_hWnd, GA_ROOT)));
    dialog.m_saved = 0;
    dialog.DoModal();
    if (dialog.m_saved != 1) return;

    int32_t positions[kPresetGains];
    for (int32_t b = 0; b < kPresetGains; ++b) positions[b] = m_bandSliders[b].GetPos();
    PresetSaveResult result = PresetSaveResult::NotWritten;
    int32_t listed = 0;
    {
        // Held through the file's rewrite: only control threads wait.
        auto s = default_engine().edit();
        PresetTable& table = default_presets();
        result = preset_save(table, s->link.presetPath, dialog.m_presetName, m_bandCount, positions);
        listed = preset_count_for(table, m_bandCount);
    }
    if (result == PresetSaveResult::TableFull) {
        ::MessageBoxW(m_hWnd, kTableFull, kSaveCaption, MB_OK);
        return;
    }
    if (result != PresetSaveResult::Saved && result != PresetSaveResult::NotWritten) return;
    // Listed again rather than appended: the save may also have taken in
    // presets another program added to the file. The new one is the last.
    FillPresetBox();
    m_presets.SetCurSel(listed - 1);
}

void CEqPage::OnShowWindow(Message& msg) {
    msg.result = Default();
    if (msg.wParam != FALSE) SyncWithEngine();
}

void CEqPage::SyncWithEngine() {
    // The host may have changed the band count, the gains or the switches
    // through its parameter interface while the page was hidden.
    const int32_t engineBands = default_engine().view()->eqBandCount;
    if (is_layout(engineBands) && engineBands != m_bandCount) {
        m_bandCount = engineBands;
        CheckBandCountButton();
        FillPresetBox();
        m_presets.SetCurSel(0);
        // Placing only: the engine keeps its gains.
        int32_t kept[32];
        std::memcpy(kept, default_engine().view()->bandGainDb, sizeof kept);
        LayoutBands();
        auto s = default_engine().edit();
        std::memcpy(s->bandGainDb, kept, sizeof kept);
    }
    float values[kMaxBands];
    float preGain = 0;
    bool secondPass = false;
    {
        const auto s = default_engine().view();
        std::memcpy(values, s->eqBandValue, sizeof values);
        preGain = s->eqPreGainValue;
        secondPass = s->chain.eqSecondPass != 0;
    }
    for (int32_t b = 0; b < m_bandCount; ++b) m_bandSliders[b].SetPos(eq_band_position_from_value(values[b]));
    m_preGain.SetPos(static_cast<int>(std::lround(kPreGainCentre + preGain / 1.5)));
    m_secondPass.SetCheck(secondPass ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace audiomix
