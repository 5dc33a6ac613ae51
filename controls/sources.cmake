# Skinned controls: the pure geometry and colour rules (tested natively) and
# the Win32 controls that draw them.
set(AUDIOMIX_CONTROLS_PORTABLE
  controls/colour.cpp
  controls/gradient.cpp
  controls/frame_geometry.cpp
  controls/tool_tip_rules.cpp
  controls/label_rules.cpp
  controls/button_rules.cpp
  controls/slider_geometry.cpp
  controls/combo_rules.cpp
)
set(AUDIOMIX_CONTROLS_WIN
  controls/fill_gradient.cpp
  controls/skin_dialog.cpp
  controls/subclass_wnd.cpp
  controls/skin_label.cpp
  controls/skin_tool_tip.cpp
  controls/skin_frame.cpp
  controls/skin_button.cpp
  controls/skin_slider.cpp
  controls/skin_combo_box.cpp
)
