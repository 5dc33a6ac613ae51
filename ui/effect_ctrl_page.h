// CEffectCtrlPage: the first page of the control window (template 1016),
// where the user switches and tunes the effects. For now a skinned shell: it
// shows its template over the skin and performs the engine side of its
// reload; the controls' behaviour arrives with the page itself.
#pragma once

#include "controls/skin_dialog.h"
#include "resources/resource.h"

namespace audiomix {

class CEffectCtrlPage : public CSkinDialog {
public:
    static constexpr UINT kTemplateId = IDD_EFFECT_PAGE;

    CEffectCtrlPage() : CSkinDialog(kTemplateId) {}

    // After audiomix_init: both reverb lines' gains recomputed and their
    // taps drawn again from the reset state.
    void ReloadFromEngine();

    BOOL OnInitDialog() override;
};

}  // namespace audiomix
