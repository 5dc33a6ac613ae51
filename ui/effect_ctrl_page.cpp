#include "ui/effect_ctrl_page.h"

#include "engine/engine_state.h"
#include "ui/effect_rules.h"

namespace audiomix {

BOOL CEffectCtrlPage::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    EnableDrag(0);
    SetBitmap(IDB_SKIN);
    return TRUE;
}

void CEffectCtrlPage::ReloadFromEngine() { effect_reload(engine); }

}  // namespace audiomix
