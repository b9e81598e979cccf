#pragma once
// Resource ids, control ids and private window messages of the customizer, named once.
// Included by the resource script too, so only preprocessor definitions live here.

// Resources
#define IDR_MAINFRAME 128 // program icon
#define IDS_APP_TITLE 128
#define IDS_MESSAGE_TITLE 57344
#define IDD_VELQSET 130

// The mode buttons ("DrawType" 0 to 3, in this order)
#define IDC_DRAW_THEME 1002
#define IDC_DRAW_SYSCOLOR 1003
#define IDC_DRAW_CUSTOM 1004
#define IDC_DRAW_SYSTEM 1005

// The left half: font, sizes, frame and mark
#define IDC_FONT_LABEL 1014
#define IDC_FONT_TEXT 1011
#define IDC_FONT_BUTTON 1012
#define IDC_COMPACT_WIDTH 1040
#define IDC_PADDING_LABEL 1016
#define IDC_PADDING_EACH 1017
#define IDC_PADDING 1013
#define IDC_PADDING_UNIT 1018
#define IDC_SEPARATOR_LABEL 1019
#define IDC_SEPARATOR_OF 1020
#define IDC_SEPARATOR_HEIGHT 1015
#define IDC_SEPARATOR_UNIT 1021
#define IDC_EDGE_LABEL 1038
#define IDC_HIGHLIGHT_EDGE 1037
#define IDC_MARK_LABEL 1039
#define IDC_SUBMENU_MARK 1042

// The right half: colour target, pickers, colour edits, texture
#define IDC_COLOR_TARGET 1031
#define IDC_USE_TEXTURE 1000
#define IDC_HUE_PICKER 1105
#define IDC_LIGHTNESS_PICKER 1107
#define IDC_ALPHA_LABEL 1028
#define IDC_ALPHA_SLIDER 1027
#define IDC_COLOR_SAMPLE 1056
#define IDC_A_LABEL 1112
#define IDC_A 1026
#define IDC_R_LABEL 1109
#define IDC_R 1023
#define IDC_G_LABEL 1110
#define IDC_G 1024
#define IDC_B_LABEL 1111
#define IDC_B 1025
#define IDC_H_LABEL 1113
#define IDC_H 1102
#define IDC_S_LABEL 1114
#define IDC_S 1103
#define IDC_L_LABEL 1115
#define IDC_L 1104
#define IDC_HEX_LABEL 1116
#define IDC_HEX 1106
#define IDC_TEXTURE_LABEL 1009
#define IDC_TEXTURE_FILE 1001
#define IDC_TEXTURE_BUTTON 1006
#define IDC_SHIFT_LABEL 1010
#define IDC_SHIFT_X 1007
#define IDC_SHIFT_Y 1008
#define IDC_SHIFT_NOTE 1022

// Profiles
#define IDC_PROFILE 1032
#define IDC_PROFILE_LOAD 1033
#define IDC_PROFILE_SAVE 1034
#define IDC_PROFILE_DELETE 1035

// Private messages: a picker's change (wParam: its id), a profile chosen from the list
#define WM_PICKER_CHANGED 0x8064
#define WM_PROFILE_SELECTED 0x8066
