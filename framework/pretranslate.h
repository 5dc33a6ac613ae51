// Pre-translation for windows that live inside someone else's message loop.
// The host's loop knows nothing of our dialogs, so keyboard navigation (Tab,
// arrows, mnemonics) and tool tip relaying would never happen there. While a
// modeless dialog of the library exists on a thread, a message hook of that
// thread offers every retrieved message to PreTranslateMessage of the bound
// windows from its target up to its top-level window; the first that takes
// it consumes it (the host then retrieves WM_NULL).
#pragma once

namespace audiomix {

// Counted per thread: the hook is installed with the first modeless dialog
// and removed with the last.
void pretranslate_attach();
void pretranslate_detach();

}  // namespace audiomix
