# The control window: its pages and dialogs (Win32), and the pure layout
# rules beside them (tested natively).
set(AUDIOMIX_WINDOW_PORTABLE
  window/tab_geometry.cpp
  window/eq_layout.cpp
)
set(AUDIOMIX_WINDOW_WIN
  window/audio_mix_dlg.cpp
  window/base_tab_ctrl.cpp
  window/effect_ctrl_page.cpp
  window/eq_page.cpp
  window/preset_name_dlg.cpp
)
