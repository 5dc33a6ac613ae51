set(AUDIOMIX_EQPAGE_PORTABLE
  eqpage/eq_rules.cpp
  eqpage/preset_store.cpp
  eqpage/builtin_presets.cpp
)
set(AUDIOMIX_EQPAGE_WIN
  eqpage/eq_page.cpp
)
