#pragma once
// Resource identifiers of the skin tests (shared with skin_test.rc).
#define IDD_SKIN_TEST 200
#define IDB_FACE_NORMAL 301
#define IDB_FACE_DOWN 302
#define IDB_FACE_HOVER 303
#define IDB_FACE_DISABLED 304
#define IDB_FACE_SMALL 305
#define IDB_BACKGROUND 306
#define IDB_ALL_KEY 307
#define IDB_MISSING 399
#define IDC_PUSH 1100
#define IDC_CHECK 1101
#define IDC_RADIO1 1102
#define IDC_RADIO2 1103
#define IDC_RADIO3 1104
#define IDC_RADIO_OTHER 1105
#define IDC_SMALL_FACE 1106
#define IDC_LABEL 1107
#define IDC_TRACKBAR 1108
#define IDC_PLAIN_RADIO 1109
