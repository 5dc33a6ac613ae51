// CEffectCtrlPage: the first page of the control window (template 1016),
// where the user switches the effects on and off, chooses their order and
// tunes the compressor and the reverb. It keeps no parameter of its own:
// every control shows and writes a setting of the default engine, through the same rules
// the host parameter interface uses (model/effect_rules).
#pragma once

#include <cstdint>

#include "audiomix.h"
#include "controls/skin_button.h"
#include "controls/skin_dialog.h"
#include "controls/skin_label.h"
#include "controls/skin_slider.h"
#include "resources/resource.h"
#include "model/effect_rules.h"

namespace audiomix {

// Sent (SendMessage) to the host window when the user asks to apply changes;
// the numbers are the public header's.
constexpr UINT MSG_SETTINGS_CHANGED = AUDIOMIX_MSG_SETTINGS_CHANGED;
constexpr WPARAM kSettingsChangedWParam = AUDIOMIX_MSG_SETTINGS_CHANGED_WPARAM;
constexpr LPARAM kSettingsChangedLParam = AUDIOMIX_MSG_SETTINGS_CHANGED_LPARAM;

class CEffectCtrlPage : public CSkinDialog {
public:
    static constexpr UINT kTemplateId = IDD_EFFECT_PAGE;

    CEffectCtrlPage() : CSkinDialog(kTemplateId) {}
    ~CEffectCtrlPage() override;

    // After audiomix_init: every slider and box from the reset engine, both
    // reverb lines' gains recomputed and their taps drawn again.
    void ReloadFromEngine();
    // Its halves: the engine's (gains, taps) and the controls'.
    static void ReloadEngine();
    void ShowEngineValues();

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    static const MessageMap* Map();
    const MessageMap* GetMessageMap() const override { return Map(); }

    // The box values exchanged with the ten edit boxes, in exchange order.
    static constexpr int kBoxCount = 10;
    static constexpr EffectValue kExchangeOrder[kBoxCount] = {
        EffectValue::Ratio, EffectValue::Threshold, EffectValue::Attack, EffectValue::Release, EffectValue::CombDb,
        EffectValue::Taps,  EffectValue::WetDb,     EffectValue::DecayM, EffectValue::CombM,   EffectValue::BaseM};

private:
    void OnHScroll(Message& msg);
    void OnShowWindow(Message& msg);
    void OnCompressorDefaults();
    void OnReverbDefaults();
    void OnEqSwitch();
    void OnCompressorSwitch();
    void OnReverbSwitch();
    void OnClose();
    void OnEqFirst();
    void OnReverbFirst();
    void OnAdjust();
    void OnBoxChange(Message& msg);
    void OnBoxKillFocus(Message& msg);
    void OnSliderRelease(NMHDR* header, LRESULT* result);

    int32_t& BoxValue(EffectValue box);
    CSkinSlider& Slider(EffectValue box);
    // Sliders and boxes from the engine; the page's own box writes are not
    // taken as typing.
    void LoadSlidersAndBoxes();
    void LoadBoxes();
    void LoadOrder();
    void ShowBoxValue(EffectValue box);
    void ApplySwitch(CSkinButton& button, EffectSwitch which);
    void NotifyHost();
    // Writes the box values to the boxes without running their handlers.
    void UpdateBoxesQuietly();

    // Buttons, in binding order: adjust, reverb first, equaliser first,
    // close, the three switches, reverb defaults, compressor defaults.
    CSkinButton m_adjust, m_reverbFirst, m_eqFirst, m_close;
    CSkinButton m_eqOn, m_reverbOn, m_compOn;
    CSkinButton m_reverbDefaults, m_compDefaults;
    // Group titles, then the parameter captions.
    CSkinLabel m_reverbTitle, m_switchTitle, m_compTitle;
    CSkinLabel m_captions[10];
    // Sliders 1029 down to 1020, in binding order.
    CSkinSlider m_sliders[10];
    int32_t m_boxValues[kBoxCount] = {};
    // The page is writing boxes itself: EN_CHANGE is not the user's input.
    bool m_loadingBoxes = false;
};

}  // namespace audiomix
