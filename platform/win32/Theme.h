#pragma once
// Visual themes: the uxtheme functions the library calls, drawing the parts
// of the classic theme classes through the application's QStyle into a DC.
// Part and state numbers are the documented ones.
//
// Not covered (logged under tf.style when asked for): classes other than
// button, header, treeview, combobox, scrollbar, progress, edit, tooltip and
// spin (OpenThemeData answers null), and parts a class does not draw
// (DrawThemeBackground answers E_INVALIDARG).

#include "platform/win32/Gdi.h"

using HTHEME = HANDLE;

enum THEMESIZE { TS_MIN = 0, TS_TRUE = 1, TS_DRAW = 2 };

inline constexpr DWORD STAP_ALLOW_NONCLIENT = 0x1;
inline constexpr DWORD STAP_ALLOW_CONTROLS = 0x2;
inline constexpr DWORD STAP_ALLOW_WEBCONTENT = 0x4;

// "BUTTON"
inline constexpr int BP_PUSHBUTTON = 1;
inline constexpr int BP_RADIOBUTTON = 2;
inline constexpr int BP_CHECKBOX = 3;
inline constexpr int BP_GROUPBOX = 4;
inline constexpr int BP_USERBUTTON = 5;
inline constexpr int PBS_NORMAL = 1;
inline constexpr int PBS_HOT = 2;
inline constexpr int PBS_PRESSED = 3;
inline constexpr int PBS_DISABLED = 4;
inline constexpr int PBS_DEFAULTED = 5;
inline constexpr int RBS_UNCHECKEDNORMAL = 1;
inline constexpr int RBS_UNCHECKEDHOT = 2;
inline constexpr int RBS_UNCHECKEDPRESSED = 3;
inline constexpr int RBS_UNCHECKEDDISABLED = 4;
inline constexpr int RBS_CHECKEDNORMAL = 5;
inline constexpr int RBS_CHECKEDHOT = 6;
inline constexpr int RBS_CHECKEDPRESSED = 7;
inline constexpr int RBS_CHECKEDDISABLED = 8;
inline constexpr int CBS_UNCHECKEDNORMAL = 1;
inline constexpr int CBS_UNCHECKEDHOT = 2;
inline constexpr int CBS_UNCHECKEDPRESSED = 3;
inline constexpr int CBS_UNCHECKEDDISABLED = 4;
inline constexpr int CBS_CHECKEDNORMAL = 5;
inline constexpr int CBS_CHECKEDHOT = 6;
inline constexpr int CBS_CHECKEDPRESSED = 7;
inline constexpr int CBS_CHECKEDDISABLED = 8;
inline constexpr int CBS_MIXEDNORMAL = 9;
inline constexpr int CBS_MIXEDHOT = 10;
inline constexpr int CBS_MIXEDPRESSED = 11;
inline constexpr int CBS_MIXEDDISABLED = 12;
inline constexpr int GBS_NORMAL = 1;
inline constexpr int GBS_DISABLED = 2;

// "HEADER"
inline constexpr int HP_HEADERITEM = 1;
inline constexpr int HP_HEADERITEMLEFT = 2;
inline constexpr int HP_HEADERITEMRIGHT = 3;
inline constexpr int HP_HEADERSORTARROW = 4;
inline constexpr int HIS_NORMAL = 1;
inline constexpr int HIS_HOT = 2;
inline constexpr int HIS_PRESSED = 3;
inline constexpr int HSAS_SORTEDUP = 1;
inline constexpr int HSAS_SORTEDDOWN = 2;

// "TREEVIEW"
inline constexpr int TVP_TREEITEM = 1;
inline constexpr int TVP_GLYPH = 2;
inline constexpr int TVP_BRANCH = 3;
inline constexpr int TVP_HOTGLYPH = 4;
inline constexpr int TREIS_NORMAL = 1;
inline constexpr int TREIS_HOT = 2;
inline constexpr int TREIS_SELECTED = 3;
inline constexpr int TREIS_DISABLED = 4;
inline constexpr int TREIS_SELECTEDNOTFOCUS = 5;
inline constexpr int GLPS_CLOSED = 1;
inline constexpr int GLPS_OPENED = 2;
inline constexpr int HGLPS_CLOSED = 1;
inline constexpr int HGLPS_OPENED = 2;

// "COMBOBOX"
inline constexpr int CP_DROPDOWNBUTTON = 1;
inline constexpr int CP_BACKGROUND = 2;
inline constexpr int CP_TRANSPARENTBACKGROUND = 3;
inline constexpr int CP_BORDER = 4;
inline constexpr int CP_READONLY = 5;
inline constexpr int CP_DROPDOWNBUTTONRIGHT = 6;
inline constexpr int CP_DROPDOWNBUTTONLEFT = 7;
inline constexpr int CBXS_NORMAL = 1;
inline constexpr int CBXS_HOT = 2;
inline constexpr int CBXS_PRESSED = 3;
inline constexpr int CBXS_DISABLED = 4;

// "SCROLLBAR"
inline constexpr int SBP_ARROWBTN = 1;
inline constexpr int SBP_THUMBBTNHORZ = 2;
inline constexpr int SBP_THUMBBTNVERT = 3;
inline constexpr int SBP_LOWERTRACKHORZ = 4;
inline constexpr int SBP_UPPERTRACKHORZ = 5;
inline constexpr int SBP_LOWERTRACKVERT = 6;
inline constexpr int SBP_UPPERTRACKVERT = 7;
inline constexpr int SBP_GRIPPERHORZ = 8;
inline constexpr int SBP_GRIPPERVERT = 9;
inline constexpr int SBP_SIZEBOX = 10;
inline constexpr int ABS_UPNORMAL = 1;
inline constexpr int ABS_UPHOT = 2;
inline constexpr int ABS_UPPRESSED = 3;
inline constexpr int ABS_UPDISABLED = 4;
inline constexpr int ABS_DOWNNORMAL = 5;
inline constexpr int ABS_DOWNHOT = 6;
inline constexpr int ABS_DOWNPRESSED = 7;
inline constexpr int ABS_DOWNDISABLED = 8;
inline constexpr int ABS_LEFTNORMAL = 9;
inline constexpr int ABS_LEFTHOT = 10;
inline constexpr int ABS_LEFTPRESSED = 11;
inline constexpr int ABS_LEFTDISABLED = 12;
inline constexpr int ABS_RIGHTNORMAL = 13;
inline constexpr int ABS_RIGHTHOT = 14;
inline constexpr int ABS_RIGHTPRESSED = 15;
inline constexpr int ABS_RIGHTDISABLED = 16;
inline constexpr int SCRBS_NORMAL = 1;
inline constexpr int SCRBS_HOT = 2;
inline constexpr int SCRBS_PRESSED = 3;
inline constexpr int SCRBS_DISABLED = 4;

// "PROGRESS"
inline constexpr int PP_BAR = 1;
inline constexpr int PP_BARVERT = 2;
inline constexpr int PP_CHUNK = 3;
inline constexpr int PP_CHUNKVERT = 4;
inline constexpr int PP_FILL = 5;
inline constexpr int PP_FILLVERT = 6;

// "EDIT"
inline constexpr int EP_EDITTEXT = 1;
inline constexpr int EP_BACKGROUND = 3;
inline constexpr int EP_BACKGROUNDWITHBORDER = 5;
inline constexpr int EP_EDITBORDER_NOSCROLL = 6;
inline constexpr int ETS_NORMAL = 1;
inline constexpr int ETS_HOT = 2;
inline constexpr int ETS_SELECTED = 3;
inline constexpr int ETS_DISABLED = 4;
inline constexpr int ETS_FOCUSED = 5;
inline constexpr int ETS_READONLY = 6;

// "TOOLTIP"
inline constexpr int TTP_STANDARD = 1;
inline constexpr int TTP_STANDARDTITLE = 2;
inline constexpr int TTP_BALLOON = 3;
inline constexpr int TTP_BALLOONTITLE = 4;
inline constexpr int TTSS_NORMAL = 1;

// "SPIN"
inline constexpr int SPNP_UP = 1;
inline constexpr int SPNP_DOWN = 2;
inline constexpr int SPNP_UPHORZ = 3;
inline constexpr int SPNP_DOWNHORZ = 4;
inline constexpr int UPS_NORMAL = 1;
inline constexpr int UPS_HOT = 2;
inline constexpr int UPS_PRESSED = 3;
inline constexpr int UPS_DISABLED = 4;

// True while visual themes are on (the default); needs a QApplication.
BOOL IsThemeActive();
// IsThemeActive and the application allows themed controls.
BOOL IsAppThemed();
// The layer's own switch turning visual themes off and on (a classic look).
void SetThemeActive(BOOL active);
void SetThemeAppProperties(DWORD dwFlags);
DWORD GetThemeAppProperties();

// The theme of the first class of the semicolon-separated list that is
// known ("BUTTON", "HEADER", "TREEVIEW", "COMBOBOX", "SCROLLBAR",
// "PROGRESS", "EDIT", "TOOLTIP", "SPIN"; any case); NULL when none is or
// themes are off. The window is not used.
HTHEME OpenThemeData(HWND hwnd, LPCWSTR pszClassList);
HTHEME OpenThemeDataForDpi(HWND hwnd, LPCWSTR pszClassList, UINT dpi);
HRESULT CloseThemeData(HTHEME hTheme);
BOOL IsThemePartDefined(HTHEME hTheme, int iPartId, int iStateId);
HRESULT DrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCRECT pRect,
                            LPCRECT pClipRect);
HRESULT GetThemePartSize(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCRECT prc,
                         THEMESIZE eSize, SIZE* psz);
