set(AUDIOMIX_EQPAGE_PORTABLE
  eqpage/eq_rules.cpp
)
set(AUDIOMIX_EQPAGE_WIN
  eqpage/eq_page.cpp
)
