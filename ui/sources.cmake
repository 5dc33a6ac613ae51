set(AUDIOMIX_UI_PORTABLE
  ui/window_rules.cpp
  ui/effect_rules.cpp
)
set(AUDIOMIX_UI_WIN
)
