// The exports with the ordinals hosts are built against (the @n of
// audiomix.h), written out here rather than read from audiomix.def so that a
// renumbering there cannot pass unnoticed. X(ordinal, name without the
// audiomix_ prefix) for each.
#ifndef AUDIOMIX_TESTS_EXPORT_TABLE_H
#define AUDIOMIX_TESTS_EXPORT_TABLE_H

// clang-format off
#define AUDIOMIX_EXPORTS(X)                                                                                  \
    X(1, begin) X(2, close) X(3, change) X(4, init) X(5, setiir) X(8, setdisp) X(9, datarefresh)           \
    X(12, get_dispstatus) X(13, get_sample) X(14, set_mainwnd) X(15, get_ch) X(16, set_title)              \
    X(17, param_set) X(18, param_get) X(19, param_name) X(20, preset_count) X(21, preset_name)             \
    X(22, preset_apply) X(23, engine_create) X(24, engine_destroy) X(25, engine_process)                   \
    X(26, engine_process_float) X(27, engine_param_set) X(28, engine_param_get) X(29, engine_param_name)   \
    X(30, engine_preset_count) X(31, engine_preset_name) X(32, engine_preset_apply) X(33, engine_reset)
// clang-format on

#endif
