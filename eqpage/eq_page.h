// CEqPage: the equaliser page of the control window (template 1017). For now
// a skinned shell that performs the engine side of its start-up and of its
// reset after audiomix_init; the band layouts, sliders and presets arrive
// with the page itself.
#pragma once

#include "controls/skin_dialog.h"
#include "resources/resource.h"

namespace audiomix {

class CEqPage : public CSkinDialog {
public:
    static constexpr UINT kTemplateId = IDD_EQ_PAGE;

    CEqPage() : CSkinDialog(kTemplateId) {}

    // After audiomix_init: back to the 10-band layout with every gain at 0.
    void ResetEqPage();

    BOOL OnInitDialog() override;
};

}  // namespace audiomix
