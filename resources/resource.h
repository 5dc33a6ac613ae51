// Resource ids of audiomix.dll, in blocks by window. Control ids repeat
// between dialogs (each dialog has its own id space), so every control name
// carries its dialog's prefix. Plain defines: read by C++ and by windres.
#ifndef AUDIOMIX_RESOURCE_H
#define AUDIOMIX_RESOURCE_H

// ---- Dialog templates -------------------------------------------------------
#define IDD_AUDIOMIX             1000  // main control window
#define IDD_EFFECT_PAGE          1016  // first tab: effect switches, compressor, reverb
#define IDD_EQ_PAGE              1017  // second tab: equaliser (extended template)
#define IDD_PRESET_NAME          1025  // asks for the name of a new preset

// ---- Main control window (IDD_AUDIOMIX) --------------------------------------
#define IDC_MIX_TAB              1000
#define IDC_MIX_STATUS           1001  // status text and level display

// ---- Effect page (IDD_EFFECT_PAGE) -------------------------------------------
// Switches
#define IDC_FX_SWITCH_FRAME      1105
#define IDC_FX_SWITCH_TITLE      1052
#define IDC_FX_EQ_ON             1003
#define IDC_FX_REVERB_ON         1004
#define IDC_FX_COMP_ON           1005
#define IDC_FX_ADJUST            1011
// Compressor
#define IDC_FX_COMP_FRAME        1106
#define IDC_FX_COMP_TITLE        1001
#define IDC_FX_THRESHOLD_CAPTION 1084
#define IDC_FX_THRESHOLD_SLIDER  1020
#define IDC_FX_THRESHOLD_BOX     1083
#define IDC_FX_RATIO_CAPTION     1085
#define IDC_FX_RATIO_SLIDER      1021
#define IDC_FX_RATIO_BOX         1089
#define IDC_FX_ATTACK_CAPTION    1086
#define IDC_FX_ATTACK_SLIDER     1022
#define IDC_FX_ATTACK_BOX        1088
#define IDC_FX_RELEASE_CAPTION   1087
#define IDC_FX_RELEASE_SLIDER    1023
#define IDC_FX_RELEASE_BOX       1090
#define IDC_FX_COMP_DEFAULTS     1002
// Reverb
#define IDC_FX_REVERB_FRAME      1107
#define IDC_FX_REVERB_TITLE      1071
#define IDC_FX_COMB_DB_CAPTION   1091  // gain
#define IDC_FX_COMB_DB_SLIDER    1024
#define IDC_FX_COMB_DB_BOX       1093
#define IDC_FX_TAPS_CAPTION      1092  // depth
#define IDC_FX_TAPS_SLIDER       1025
#define IDC_FX_TAPS_BOX          1094
#define IDC_FX_WET_DB_CAPTION    1095  // feedback
#define IDC_FX_WET_DB_SLIDER     1026
#define IDC_FX_WET_DB_BOX        1097
#define IDC_FX_DECAY_M_CAPTION   1096  // pre-delay
#define IDC_FX_DECAY_M_SLIDER    1027
#define IDC_FX_DECAY_M_BOX       1098
#define IDC_FX_COMB_M_CAPTION    1099  // feedback time
#define IDC_FX_COMB_M_SLIDER     1028
#define IDC_FX_COMB_M_BOX        1101
#define IDC_FX_BASE_M_CAPTION    1100  // decay time
#define IDC_FX_BASE_M_SLIDER     1029
#define IDC_FX_BASE_M_BOX        1102
#define IDC_FX_REVERB_DEFAULTS   1006
// Stage order and closing
#define IDC_FX_EQ_FIRST          1007
#define IDC_FX_REVERB_FIRST      1008
#define IDC_FX_CLOSE             1010

// ---- Equaliser page (IDD_EQ_PAGE) --------------------------------------------
#define IDC_EQ_SECOND_PASS       1003
#define IDC_EQ_LINKED            1004
#define IDC_EQ_PREGAIN_CAPTION   1005
#define IDC_EQ_PREGAIN           1006
#define IDC_EQ_BANDS_10          1007
#define IDC_EQ_BANDS_15          1008
#define IDC_EQ_BANDS_25          1012
#define IDC_EQ_BANDS_31          1013
#define IDC_EQ_PRESETS           1009
#define IDC_EQ_SAVE              1010
#define IDC_EQ_DELETE            1011
#define IDC_EQ_BAND_FRAME        1082
// Scale labels: row 0 and row 1 of the band area
#define IDC_EQ_SCALE_TOP_0       1016  // "+20"
#define IDC_EQ_SCALE_TOP_1       1017
#define IDC_EQ_SCALE_MID_0       1015  // "0"
#define IDC_EQ_SCALE_MID_1       1018
#define IDC_EQ_SCALE_LOW_0       1014  // "-20"
#define IDC_EQ_SCALE_LOW_1       1019
// Band i has slider 1020 + i and label 1001, 1002, then 1050 + i from i = 2.
#define IDC_EQ_BAND_SLIDER_FIRST 1020
#define IDC_EQ_BAND_SLIDER_LAST  1051  // 32nd slider, never shown
#define IDC_EQ_BAND_LABEL_0      1001
#define IDC_EQ_BAND_LABEL_1      1002
#define IDC_EQ_BAND_LABEL_BASE   1050  // label of band i >= 2 is BASE + i
#define IDC_EQ_BAND_LABEL_LAST   1081  // 32nd label, hidden

// ---- Preset-name dialog (IDD_PRESET_NAME) ------------------------------------
#define IDC_PN_CAPTION           1001
#define IDC_PN_NAME              1083
#define IDC_PN_CONFIRM           1002
#define IDC_PN_GIVE_UP           1003

// ---- Icons (16 x 16 and 32 x 32 in every group) ------------------------------
#define IDI_TAB_EFFECTS          1014
#define IDI_TAB_EQUALISER        1015
#define IDI_NOTE                 1016
#define IDI_WAVEFORM             1017
#define IDI_AUDIOMIX             1018  // window icon, preset box tool tip
#define IDI_SAVE                 1019
#define IDI_DELETE               1020
#define IDI_CHECK_ON             1021
#define IDI_CHECK_OFF            1022
#define IDI_RADIO_ON             1023
#define IDI_RADIO_OFF            1024
#define IDI_PRESET               1025
#define IDI_BACK                 1026
#define IDI_CONFIRM              1027
#define IDI_DEFAULT              1028
#define IDI_CLOSE                1029
#define IDI_ADJUST               1030

// ---- Bitmaps -----------------------------------------------------------------
#define IDB_TAB_FACE             1001
#define IDB_TAB_FACE_SELECTED    1002
#define IDB_BUTTON_FACE          1003
#define IDB_BUTTON_FACE_HOT      1004
#define IDB_BUTTON_FACE_PRESSED  1005
#define IDB_THUMB_HORIZONTAL     1006
#define IDB_THUMB_VERTICAL       1007
#define IDB_SLIDER_CHANNEL       1008
#define IDB_CAPTION_BAND         1009
#define IDB_LEVEL_DISPLAY        1010
#define IDB_TITLE_CAPSULE        1011
#define IDB_BANNER               1012
#define IDB_TITLE_TEXTURE        1013  // 150 x 150, 16 colours
#define IDB_SKIN                 1031  // 802 x 366, 24 bits, tiled behind every window

#endif  // AUDIOMIX_RESOURCE_H
