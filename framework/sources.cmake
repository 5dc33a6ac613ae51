# The dialog-and-control layer. Only the tile grid is pure; the rest is Win32.
set(AUDIOMIX_FRAMEWORK_PORTABLE
  framework/tile_grid.cpp
)
set(AUDIOMIX_FRAMEWORK_WIN
  framework/dialog.cpp
  framework/gdi.cpp
  framework/module.cpp
  framework/pretranslate.cpp
  framework/text.cpp
  framework/wnd.cpp
)
