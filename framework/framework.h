// The dialog-and-control layer in one include: windows and message tables
// (wnd.h, message_map.h), dialogs and data exchange (dialog.h), device
// contexts and GDI objects (gdi.h), text (text.h), the library's module
// handle (module.h).
#pragma once

#include "framework/dialog.h"
#include "framework/gdi.h"
#include "framework/message_map.h"
#include "framework/module.h"
#include "framework/text.h"
#include "framework/wnd.h"
