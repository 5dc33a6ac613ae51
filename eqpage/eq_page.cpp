#include "eqpage/eq_page.h"

#include "engine/engine_state.h"
#include "eqpage/eq_rules.h"

namespace audiomix {

BOOL CEqPage::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    EnableDrag(0);
    SetBitmap(IDB_SKIN);
    eq_page_initialised(engine);
    return TRUE;
}

void CEqPage::ResetEqPage() { eq_page_reset(engine); }

}  // namespace audiomix
