// Identifiers of the main program's resources. Shared by the resource scripts
// and the C++ code, so only preprocessor definitions live here.
#pragma once

// Main window template
#define IDD_NORVIK_TALLO_DIALOG 102

// Notification-area menu and its commands
#define IDR_SYSTRAY 130
#define ID_SYSTRAY_RESTORE 32771
#define ID_SYSTRAY_EXIT 32772

// Program icon
#define IDI_NORVIK_TALLO 132

// Round minus button (hide); there is no 135
#define IDB_HIDE_NORMAL 133
#define IDB_HIDE_DOWN 134
#define IDB_HIDE_HOVER 136
#define IDB_HIDE_DISABLED 137

// Round cross button (quit)
#define IDB_QUIT_NORMAL 138
#define IDB_QUIT_DOWN 139
#define IDB_QUIT_HOVER 140
#define IDB_QUIT_DISABLED 141

// On / Off switch halves
#define IDB_ON_NORMAL 142
#define IDB_ON_DOWN 143
#define IDB_ON_HOVER 144
#define IDB_ON_DISABLED 145
#define IDB_OFF_NORMAL 146
#define IDB_OFF_DOWN 147
#define IDB_OFF_HOVER 148
#define IDB_OFF_DISABLED 149

// Reset, Apply and Close: each block of four starts with the hover face
#define IDB_RESET_HOVER 150
#define IDB_RESET_NORMAL 151
#define IDB_RESET_DISABLED 152
#define IDB_RESET_DOWN 153
#define IDB_APPLY_HOVER 154
#define IDB_APPLY_NORMAL 155
#define IDB_APPLY_DISABLED 156
#define IDB_APPLY_DOWN 157
#define IDB_CLOSE_HOVER 158
#define IDB_CLOSE_NORMAL 159
#define IDB_CLOSE_DISABLED 160
#define IDB_CLOSE_DOWN 161

// Lamps
#define IDB_LED_AMBER 162
#define IDB_LED_GREEN 163
#define IDB_LED_BLUE 164
#define IDB_LED_WHITE 165
#define IDB_LED_RED 166
#define IDB_LED_GREY 167

// Window face; magenta pixels are cut out of the window
#define IDB_FACE 168
#define NT_FACE_KEY_COLOR 0x00FF00FF
// The face's divider in the autostart panel, between the question and
// Yes/No, in pixels from the face's left edge: the question ends before it.
#define NT_FACE_AUTOSTART_DIVIDER_X 328

// Controls of the main window
#define IDC_HIDE 1000
#define IDC_QUIT 1001
#define IDC_RESET 1004
#define IDC_APPLY 1005
#define IDC_CLOSE 1006
#define IDC_RADIO_YES 1007
#define IDC_RADIO_NO 1008
#define IDC_AUTOSTART_LABEL 1009
// Lamp k of the row is IDC_LED0 + k, k = 0 (leftmost) to 13.
#define IDC_LED0 1024
#define IDC_LED1 1025
#define IDC_LED2 1026
#define IDC_LED3 1027
#define IDC_LED4 1028
#define IDC_LED5 1029
#define IDC_LED6 1030
#define IDC_LED7 1031
#define IDC_LED8 1032
#define IDC_LED9 1033
#define IDC_LED10 1034
#define IDC_LED11 1035
#define IDC_LED12 1036
#define IDC_LED13 1037
#define NT_LED_COUNT 14
// The template shows lamps 0 to NT_TEMPLATE_LAMPS - 1; the others start hidden.
#define NT_TEMPLATE_LAMPS 8
#define IDC_ON 1043
#define IDC_OFF 1044
