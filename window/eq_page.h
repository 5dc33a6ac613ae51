// CEqPage: the equaliser page of the control window (template 1017): the
// band-count buttons and 10, 15, 25 or 31 band sliders with their frequency
// labels, the pre-gain slider, the second-pass and linked-tuning switches,
// and the preset box with its save and delete buttons. Like the effect page
// it keeps no parameter of its own beyond the layout it shows: the gains
// live in the engine (model/eq_rules), the presets in the preset table.
#pragma once

#include <cstdint>

#include "controls/skin_button.h"
#include "controls/skin_combo_box.h"
#include "controls/skin_dialog.h"
#include "controls/skin_label.h"
#include "controls/skin_slider.h"
#include "controls/skin_tool_tip.h"
#include "window/eq_layout.h"
#include "resources/resource.h"

namespace audiomix {

struct PresetRecord;

class CEqPage : public CSkinDialog {
public:
    static constexpr UINT kTemplateId = IDD_EQ_PAGE;
    static constexpr int kSliderCount = 32;  // the 32nd is never shown

    CEqPage() : CSkinDialog(kTemplateId) {}
    ~CEqPage() override;

    // After audiomix_init: back to the 10-band layout with every gain at 0.
    void ResetEqPage();
    // Its halves: the engine's (gains, band count) and the controls'.
    static void ResetEngine();
    void ShowReset();

    int32_t GetBandCount() const { return m_bandCount; }

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL PreTranslateMessage(MSG* msg) override;

    static const MessageMap* Map();
    const MessageMap* GetMessageMap() const override { return Map(); }

private:
    void OnVScroll(Message& msg);
    void OnHScroll(Message& msg);
    void OnShowWindow(Message& msg);
    void OnBands10() { OnBandCount(10); }
    void OnBands15() { OnBandCount(15); }
    void OnBands25() { OnBandCount(25); }
    void OnBands31() { OnBandCount(31); }
    void OnSecondLevel();
    void OnPresetSelChange();
    void OnSavePreset();
    void OnDeletePreset();

    void OnBandCount(int32_t count);
    // Shows, places and colours the band controls of m_bandCount.
    void LayoutBands();
    // The preset box lists the presets of m_bandCount.
    void FillPresetBox();
    // Moves the band sliders to the record's gains (the engine has them).
    void ShowPreset(const PresetRecord& record);
    void CheckBandCountButton();
    // The page catches up with changes made from outside (the host's
    // parameter interface): layout, sliders, switches.
    void SyncWithEngine();
    void SetBandPosition(int32_t band, int32_t position);

    CSkinToolTip m_toolTip;
    CSkinLabel m_groupBox, m_preGainCaption;
    CSkinLabel m_scale[6];  // 1016, 1015, 1014 (row 0), then 1017, 1018, 1019
    CSkinSlider m_preGain;
    CSkinComboBox m_presets;
    CSkinButton m_delete, m_save, m_linked, m_secondPass;
    CSkinButton m_bandButtons[4];  // 10, 15, 25, 31
    CSkinLabel m_bandLabels[kSliderCount];
    CSkinSlider m_bandSliders[kSliderCount];
    int32_t m_bandCount = 10;
    int32_t m_sliderWidth = 0;
    int32_t m_sliderHeight = 0;
};

}  // namespace audiomix
