#pragma once
// Window messages, notification codes, virtual-key codes and mouse-key flags
// with their Win32 values, the framework's control messages (CM_*) and
// reflected notifications (CN_*), and the message record TMessage with typed
// views over it. Values are the documented ones, so numbers used by callers
// (0x0300, 0xB000 + n, registered ids) mean the same thing here.

#include <QLoggingCategory>
#include <QString>

#include "platform/win32/WinTypes.h"

class QEvent;

// ---------------------------------------------------------------------------
// Window messages

inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_MOVE = 0x0003;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_ACTIVATE = 0x0006;
inline constexpr UINT WM_SETFOCUS = 0x0007;
inline constexpr UINT WM_KILLFOCUS = 0x0008;
inline constexpr UINT WM_ENABLE = 0x000A;
inline constexpr UINT WM_SETREDRAW = 0x000B;
inline constexpr UINT WM_SETTEXT = 0x000C;
inline constexpr UINT WM_GETTEXT = 0x000D;
inline constexpr UINT WM_GETTEXTLENGTH = 0x000E;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUERYENDSESSION = 0x0011;
inline constexpr UINT WM_QUIT = 0x0012;
inline constexpr UINT WM_ERASEBKGND = 0x0014;
inline constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
inline constexpr UINT WM_SHOWWINDOW = 0x0018;
inline constexpr UINT WM_SETTINGCHANGE = 0x001A;
inline constexpr UINT WM_WININICHANGE = WM_SETTINGCHANGE;
inline constexpr UINT WM_ACTIVATEAPP = 0x001C;
inline constexpr UINT WM_FONTCHANGE = 0x001D;
inline constexpr UINT WM_CANCELMODE = 0x001F;
inline constexpr UINT WM_SETCURSOR = 0x0020;
inline constexpr UINT WM_MOUSEACTIVATE = 0x0021;
inline constexpr UINT WM_CHILDACTIVATE = 0x0022;
inline constexpr UINT WM_GETMINMAXINFO = 0x0024;
inline constexpr UINT WM_NEXTDLGCTL = 0x0028;
inline constexpr UINT WM_DRAWITEM = 0x002B;
inline constexpr UINT WM_MEASUREITEM = 0x002C;
inline constexpr UINT WM_SETFONT = 0x0030;
inline constexpr UINT WM_GETFONT = 0x0031;
inline constexpr UINT WM_WINDOWPOSCHANGING = 0x0046;
inline constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
inline constexpr UINT WM_NOTIFY = 0x004E;
inline constexpr UINT WM_HELP = 0x0053;
inline constexpr UINT WM_CONTEXTMENU = 0x007B;
inline constexpr UINT WM_STYLECHANGING = 0x007C;
inline constexpr UINT WM_STYLECHANGED = 0x007D;
inline constexpr UINT WM_DISPLAYCHANGE = 0x007E;
inline constexpr UINT WM_GETICON = 0x007F;
inline constexpr UINT WM_SETICON = 0x0080;
inline constexpr UINT WM_NCCREATE = 0x0081;
inline constexpr UINT WM_NCDESTROY = 0x0082;
inline constexpr UINT WM_NCCALCSIZE = 0x0083;
inline constexpr UINT WM_NCHITTEST = 0x0084;
inline constexpr UINT WM_NCPAINT = 0x0085;
inline constexpr UINT WM_NCACTIVATE = 0x0086;
inline constexpr UINT WM_GETDLGCODE = 0x0087;
inline constexpr UINT WM_NCMOUSEMOVE = 0x00A0;
inline constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
inline constexpr UINT WM_NCLBUTTONUP = 0x00A2;
inline constexpr UINT WM_NCLBUTTONDBLCLK = 0x00A3;
inline constexpr UINT WM_KEYFIRST = 0x0100;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_CHAR = 0x0102;
inline constexpr UINT WM_DEADCHAR = 0x0103;
inline constexpr UINT WM_SYSKEYDOWN = 0x0104;
inline constexpr UINT WM_SYSKEYUP = 0x0105;
inline constexpr UINT WM_SYSCHAR = 0x0106;
inline constexpr UINT WM_SYSDEADCHAR = 0x0107;
inline constexpr UINT WM_UNICHAR = 0x0109;
inline constexpr UINT WM_KEYLAST = 0x0109;
inline constexpr UINT WM_INITDIALOG = 0x0110;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_SYSCOMMAND = 0x0112;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_HSCROLL = 0x0114;
inline constexpr UINT WM_VSCROLL = 0x0115;
inline constexpr UINT WM_INITMENU = 0x0116;
inline constexpr UINT WM_INITMENUPOPUP = 0x0117;
inline constexpr UINT WM_MENUSELECT = 0x011F;
inline constexpr UINT WM_MENUCHAR = 0x0120;
inline constexpr UINT WM_ENTERIDLE = 0x0121;
inline constexpr UINT WM_CTLCOLOREDIT = 0x0133;
inline constexpr UINT WM_CTLCOLORLISTBOX = 0x0134;
inline constexpr UINT WM_CTLCOLORBTN = 0x0135;
inline constexpr UINT WM_CTLCOLORDLG = 0x0136;
inline constexpr UINT WM_CTLCOLORSCROLLBAR = 0x0137;
inline constexpr UINT WM_CTLCOLORSTATIC = 0x0138;
inline constexpr UINT WM_MOUSEFIRST = 0x0200;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;
inline constexpr UINT WM_RBUTTONUP = 0x0205;
inline constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
inline constexpr UINT WM_MBUTTONDOWN = 0x0207;
inline constexpr UINT WM_MBUTTONUP = 0x0208;
inline constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
inline constexpr UINT WM_MOUSEWHEEL = 0x020A;
inline constexpr UINT WM_XBUTTONDOWN = 0x020B;
inline constexpr UINT WM_XBUTTONUP = 0x020C;
inline constexpr UINT WM_XBUTTONDBLCLK = 0x020D;
inline constexpr UINT WM_MOUSEHWHEEL = 0x020E;
inline constexpr UINT WM_MOUSELAST = 0x020E;
inline constexpr UINT WM_PARENTNOTIFY = 0x0210;
inline constexpr UINT WM_ENTERMENULOOP = 0x0211;
inline constexpr UINT WM_EXITMENULOOP = 0x0212;
inline constexpr UINT WM_SIZING = 0x0214;
inline constexpr UINT WM_CAPTURECHANGED = 0x0215;
inline constexpr UINT WM_MOVING = 0x0216;
inline constexpr UINT WM_ENTERSIZEMOVE = 0x0231;
inline constexpr UINT WM_EXITSIZEMOVE = 0x0232;
inline constexpr UINT WM_DROPFILES = 0x0233;
inline constexpr UINT WM_MOUSEHOVER = 0x02A1;
inline constexpr UINT WM_MOUSELEAVE = 0x02A3;
inline constexpr UINT WM_DPICHANGED = 0x02E0;
inline constexpr UINT WM_CUT = 0x0300;
inline constexpr UINT WM_COPY = 0x0301;
inline constexpr UINT WM_PASTE = 0x0302;
inline constexpr UINT WM_CLEAR = 0x0303;
inline constexpr UINT WM_UNDO = 0x0304;
inline constexpr UINT WM_PRINT = 0x0317;
inline constexpr UINT WM_PRINTCLIENT = 0x0318;
inline constexpr UINT WM_THEMECHANGED = 0x031A;
inline constexpr UINT WM_USER = 0x0400;
inline constexpr UINT WM_APP = 0x8000;

// Ids handed out by RegisterWindowMessage.
inline constexpr UINT MAXREGISTEREDMESSAGE_FIRST = 0xC000;
inline constexpr UINT MAXREGISTEREDMESSAGE_LAST = 0xFFFF;

// ---------------------------------------------------------------------------
// The framework's control messages.

inline constexpr UINT CM_BASE = 0xB000;
inline constexpr UINT CM_ACTIVATE = CM_BASE + 0;
inline constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
inline constexpr UINT CM_GOTFOCUS = CM_BASE + 2;
inline constexpr UINT CM_LOSTFOCUS = CM_BASE + 3;
inline constexpr UINT CM_CANCELMODE = CM_BASE + 4;
inline constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
inline constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
inline constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
inline constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
inline constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
inline constexpr UINT CM_HITTEST = CM_BASE + 10;
inline constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
inline constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
inline constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
inline constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
inline constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
inline constexpr UINT CM_CTL3DCHANGED = CM_BASE + 16;
inline constexpr UINT CM_PARENTCTL3DCHANGED = CM_BASE + 17;
inline constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
inline constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
inline constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
inline constexpr UINT CM_MENUCHANGED = CM_BASE + 21;
inline constexpr UINT CM_APPKEYDOWN = CM_BASE + 22;
inline constexpr UINT CM_APPSYSCOMMAND = CM_BASE + 23;
inline constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;
inline constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
inline constexpr UINT CM_ENTER = CM_BASE + 26;
inline constexpr UINT CM_EXIT = CM_BASE + 27;
inline constexpr UINT CM_DESIGNHITTEST = CM_BASE + 28;
inline constexpr UINT CM_ICONCHANGED = CM_BASE + 29;
inline constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;
inline constexpr UINT CM_INVOKEHELP = CM_BASE + 31;
inline constexpr UINT CM_WINDOWHOOK = CM_BASE + 32;
inline constexpr UINT CM_RELEASE = CM_BASE + 33;
inline constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 34;
inline constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
inline constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 36;
inline constexpr UINT CM_WININICHANGE = CM_BASE + 37;
inline constexpr UINT CM_FONTCHANGE = CM_BASE + 38;
inline constexpr UINT CM_TIMECHANGE = CM_BASE + 39;
inline constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 40;
inline constexpr UINT CM_UIACTIVATE = CM_BASE + 41;
inline constexpr UINT CM_UIDEACTIVATE = CM_BASE + 42;
inline constexpr UINT CM_DOCWINDOWACTIVATE = CM_BASE + 43;
inline constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;
inline constexpr UINT CM_GETDATALINK = CM_BASE + 45;
inline constexpr UINT CM_CHILDKEY = CM_BASE + 46;
inline constexpr UINT CM_DRAG = CM_BASE + 47;
inline constexpr UINT CM_HINTSHOW = CM_BASE + 48;
inline constexpr UINT CM_DIALOGHANDLE = CM_BASE + 49;
inline constexpr UINT CM_ISTOOLCONTROL = CM_BASE + 50;
inline constexpr UINT CM_RECREATEWND = CM_BASE + 51;
inline constexpr UINT CM_INVALIDATE = CM_BASE + 52;
inline constexpr UINT CM_SYSFONTCHANGED = CM_BASE + 53;
inline constexpr UINT CM_CONTROLCHANGE = CM_BASE + 54;
inline constexpr UINT CM_CHANGED = CM_BASE + 55;
inline constexpr UINT CM_DOCKCLIENT = CM_BASE + 56;
inline constexpr UINT CM_UNDOCKCLIENT = CM_BASE + 57;
inline constexpr UINT CM_FLOAT = CM_BASE + 58;
inline constexpr UINT CM_BORDERCHANGED = CM_BASE + 59;
inline constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 60;
inline constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
inline constexpr UINT CM_ALLCHILDRENFLIPPED = CM_BASE + 62;
inline constexpr UINT CM_ACTIONUPDATE = CM_BASE + 63;
inline constexpr UINT CM_ACTIONEXECUTE = CM_BASE + 64;
inline constexpr UINT CM_HINTSHOWPAUSE = CM_BASE + 65;
inline constexpr UINT CM_DOCKNOTIFICATION = CM_BASE + 66;
inline constexpr UINT CM_MOUSEWHEEL = CM_BASE + 67;
inline constexpr UINT CM_ISSHORTCUT = CM_BASE + 68;

// Notifications reflected back to the child control that sent them.
inline constexpr UINT CN_BASE = 0xBC00;
inline constexpr UINT CN_CHARTOITEM = CN_BASE + 0x002F;
inline constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
inline constexpr UINT CN_COMPAREITEM = CN_BASE + 0x0039;
inline constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
inline constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
inline constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
inline constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
inline constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
inline constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
inline constexpr UINT CN_DELETEITEM = CN_BASE + 0x002D;
inline constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
inline constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
inline constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
inline constexpr UINT CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY;
inline constexpr UINT CN_VKEYTOITEM = CN_BASE + 0x002E;
inline constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
inline constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
inline constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
inline constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
inline constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
inline constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
inline constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;

// ---------------------------------------------------------------------------
// Notification codes carried by WM_COMMAND (high word of WParam).

inline constexpr WORD BN_CLICKED = 0;
inline constexpr WORD EN_SETFOCUS = 0x0100;
inline constexpr WORD EN_KILLFOCUS = 0x0200;
inline constexpr WORD EN_CHANGE = 0x0300;
inline constexpr WORD EN_UPDATE = 0x0400;
inline constexpr WORD EN_ERRSPACE = 0x0500;
inline constexpr WORD EN_MAXTEXT = 0x0501;
inline constexpr WORD EN_HSCROLL = 0x0601;
inline constexpr WORD EN_VSCROLL = 0x0602;
inline constexpr WORD CBN_SELCHANGE = 1;
inline constexpr WORD CBN_DBLCLK = 2;
inline constexpr WORD CBN_SETFOCUS = 3;
inline constexpr WORD CBN_KILLFOCUS = 4;
inline constexpr WORD CBN_EDITCHANGE = 5;
inline constexpr WORD CBN_EDITUPDATE = 6;
inline constexpr WORD CBN_DROPDOWN = 7;
inline constexpr WORD CBN_CLOSEUP = 8;
inline constexpr WORD CBN_SELENDOK = 9;
inline constexpr WORD CBN_SELENDCANCEL = 10;

// Header of every WM_NOTIFY record.
struct NMHDR {
  HWND hwndFrom;
  UINT_PTR idFrom;
  UINT code;
};

// ---------------------------------------------------------------------------
// Date-time picker, month calendar, up-down and track bar: their messages,
// styles, notification codes and records. The picker and the calendar share
// the 0x1000 range, and the up-down and track bar messages lie above WM_USER,
// where other controls' messages lie too: an id means something only to the
// control it is sent to (MessageName does not name them).

// A date and time as the window system hands it over (wDayOfWeek: 0 =
// Sunday).
struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};

// Date-time picker messages.
inline constexpr UINT DTM_FIRST = 0x1000;
inline constexpr UINT DTM_GETSYSTEMTIME = DTM_FIRST + 1;  // LParam: SYSTEMTIME*; answers GDT_*
inline constexpr UINT DTM_SETSYSTEMTIME = DTM_FIRST + 2;  // WParam: GDT_VALID/GDT_NONE, LParam: SYSTEMTIME*
inline constexpr UINT DTM_GETRANGE = DTM_FIRST + 3;       // LParam: SYSTEMTIME[2]; answers GDTR_*
inline constexpr UINT DTM_SETRANGE = DTM_FIRST + 4;       // WParam: GDTR_*, LParam: SYSTEMTIME[2]
inline constexpr UINT DTM_SETMCCOLOR = DTM_FIRST + 6;
inline constexpr UINT DTM_GETMCCOLOR = DTM_FIRST + 7;
inline constexpr UINT DTM_GETMONTHCAL = DTM_FIRST + 8;
inline constexpr UINT DTM_SETMCFONT = DTM_FIRST + 9;
inline constexpr UINT DTM_GETMCFONT = DTM_FIRST + 10;
inline constexpr UINT DTM_SETMCSTYLE = DTM_FIRST + 11;  // LParam: MCS_* styles; answers the old ones
inline constexpr UINT DTM_GETMCSTYLE = DTM_FIRST + 12;
inline constexpr UINT DTM_CLOSEMONTHCAL = DTM_FIRST + 13;
inline constexpr UINT DTM_GETDATETIMEPICKERINFO = DTM_FIRST + 14;  // LParam: DATETIMEPICKERINFO*
inline constexpr UINT DTM_GETIDEALSIZE = DTM_FIRST + 15;           // LParam: SIZE*
inline constexpr UINT DTM_SETFORMAT = DTM_FIRST + 50;              // LParam: const wchar_t* (null: the default)

// What DTM_GETSYSTEMTIME answers and DTM_SETSYSTEMTIME takes.
inline constexpr LRESULT GDT_ERROR = -1;
inline constexpr LRESULT GDT_VALID = 0;
inline constexpr LRESULT GDT_NONE = 1;
// Which limits DTM_GETRANGE/DTM_SETRANGE (and MCM_GETRANGE/MCM_SETRANGE)
// carry.
inline constexpr DWORD GDTR_MIN = 0x0001;
inline constexpr DWORD GDTR_MAX = 0x0002;

// Date-time picker styles.
inline constexpr DWORD DTS_UPDOWN = 0x0001;
inline constexpr DWORD DTS_SHOWNONE = 0x0002;
inline constexpr DWORD DTS_SHORTDATEFORMAT = 0x0000;
inline constexpr DWORD DTS_LONGDATEFORMAT = 0x0004;
inline constexpr DWORD DTS_SHORTDATECENTURYFORMAT = 0x000C;
inline constexpr DWORD DTS_TIMEFORMAT = 0x0009;
inline constexpr DWORD DTS_APPCANPARSE = 0x0010;
inline constexpr DWORD DTS_RIGHTALIGN = 0x0020;

// Date-time picker notifications (WM_NOTIFY codes).
inline constexpr UINT DTN_FIRST = 0U - 740U;
inline constexpr UINT DTN_FIRST2 = 0U - 753U;
inline constexpr UINT DTN_DATETIMECHANGE = DTN_FIRST2 - 6;  // NMDATETIMECHANGE
inline constexpr UINT DTN_USERSTRING = DTN_FIRST - 5;       // NMDATETIMESTRING
inline constexpr UINT DTN_WMKEYDOWN = DTN_FIRST - 4;
inline constexpr UINT DTN_FORMAT = DTN_FIRST - 3;
inline constexpr UINT DTN_FORMATQUERY = DTN_FIRST - 2;
inline constexpr UINT DTN_DROPDOWN = DTN_FIRST2 - 1;  // NMHDR
inline constexpr UINT DTN_CLOSEUP = DTN_FIRST2;       // NMHDR

struct NMDATETIMECHANGE {
  NMHDR nmhdr;
  DWORD dwFlags;  // GDT_VALID or GDT_NONE
  SYSTEMTIME st;
};

// The text the user typed (DTS_APPCANPARSE). The receiver answers with st
// and dwFlags: GDT_VALID takes st, GDT_NONE the "no date" state (with
// DTS_SHOWNONE), anything else keeps the value the picker had.
struct NMDATETIMESTRING {
  NMHDR nmhdr;
  const wchar_t* pszUserString;
  SYSTEMTIME st;
  DWORD dwFlags;
};

// Parts of a picker in client coordinates; hwndEdit is the window the
// fields are edited in, hwndDropDown the open calendar's (null when none).
struct DATETIMEPICKERINFO {
  DWORD cbSize;
  RECT rcCheck;
  DWORD stateCheck;
  RECT rcButton;
  DWORD stateButton;
  HWND hwndEdit;
  HWND hwndUD;
  HWND hwndDropDown;
};

// Accessibility states reported in DATETIMEPICKERINFO.
inline constexpr DWORD STATE_SYSTEM_PRESSED = 0x00000008;
inline constexpr DWORD STATE_SYSTEM_CHECKED = 0x00000010;
inline constexpr DWORD STATE_SYSTEM_INVISIBLE = 0x00008000;

// Month calendar messages.
inline constexpr UINT MCM_FIRST = 0x1000;
inline constexpr UINT MCM_GETCURSEL = MCM_FIRST + 1;  // LParam: SYSTEMTIME*
inline constexpr UINT MCM_SETCURSEL = MCM_FIRST + 2;  // LParam: SYSTEMTIME*
inline constexpr UINT MCM_GETMAXSELCOUNT = MCM_FIRST + 3;
inline constexpr UINT MCM_SETMAXSELCOUNT = MCM_FIRST + 4;
inline constexpr UINT MCM_GETSELRANGE = MCM_FIRST + 5;
inline constexpr UINT MCM_SETSELRANGE = MCM_FIRST + 6;
inline constexpr UINT MCM_GETMONTHRANGE = MCM_FIRST + 7;
inline constexpr UINT MCM_SETDAYSTATE = MCM_FIRST + 8;
inline constexpr UINT MCM_GETMINREQRECT = MCM_FIRST + 9;  // LParam: RECT*
inline constexpr UINT MCM_SETCOLOR = MCM_FIRST + 10;
inline constexpr UINT MCM_GETCOLOR = MCM_FIRST + 11;
inline constexpr UINT MCM_SETTODAY = MCM_FIRST + 12;  // LParam: SYSTEMTIME* (null: the system's date)
inline constexpr UINT MCM_GETTODAY = MCM_FIRST + 13;  // LParam: SYSTEMTIME*
inline constexpr UINT MCM_HITTEST = MCM_FIRST + 14;
inline constexpr UINT MCM_SETFIRSTDAYOFWEEK = MCM_FIRST + 15;  // LParam: 0 = Monday .. 6 = Sunday, -1 the locale's
inline constexpr UINT MCM_GETFIRSTDAYOFWEEK = MCM_FIRST + 16;
inline constexpr UINT MCM_GETRANGE = MCM_FIRST + 17;  // LParam: SYSTEMTIME[2]; answers GDTR_*
inline constexpr UINT MCM_SETRANGE = MCM_FIRST + 18;  // WParam: GDTR_*, LParam: SYSTEMTIME[2]
inline constexpr UINT MCM_GETMONTHDELTA = MCM_FIRST + 19;
inline constexpr UINT MCM_SETMONTHDELTA = MCM_FIRST + 20;
inline constexpr UINT MCM_GETMAXTODAYWIDTH = MCM_FIRST + 21;

// Month calendar styles (also DTM_SETMCSTYLE).
inline constexpr DWORD MCS_DAYSTATE = 0x0001;
inline constexpr DWORD MCS_MULTISELECT = 0x0002;
inline constexpr DWORD MCS_WEEKNUMBERS = 0x0004;
inline constexpr DWORD MCS_NOTODAYCIRCLE = 0x0008;
inline constexpr DWORD MCS_NOTODAY = 0x0010;

// Month calendar notifications.
inline constexpr UINT MCN_FIRST = 0U - 746U;
inline constexpr UINT MCN_SELECT = MCN_FIRST;  // NMSELCHANGE: a date was picked
inline constexpr UINT MCN_GETDAYSTATE = MCN_FIRST - 1;
inline constexpr UINT MCN_SELCHANGE = MCN_FIRST - 3;  // NMSELCHANGE: the selection moved
inline constexpr UINT MCN_VIEWCHANGE = MCN_FIRST - 4;

struct NMSELCHANGE {
  NMHDR nmhdr;
  SYSTEMTIME stSelStart;
  SYSTEMTIME stSelEnd;
};

// Up-down messages.
inline constexpr UINT UDM_SETRANGE = WM_USER + 101;  // LParam: MAKELONG(max, min)
inline constexpr UINT UDM_GETRANGE = WM_USER + 102;  // answers MAKELONG(max, min)
inline constexpr UINT UDM_SETPOS = WM_USER + 103;    // LParam: the position (16 bits)
inline constexpr UINT UDM_GETPOS = WM_USER + 104;    // low word: position; high word non-zero: error
inline constexpr UINT UDM_SETBUDDY = WM_USER + 105;  // WParam: HWND; answers the previous buddy
inline constexpr UINT UDM_GETBUDDY = WM_USER + 106;
inline constexpr UINT UDM_SETACCEL = WM_USER + 107;
inline constexpr UINT UDM_GETACCEL = WM_USER + 108;
inline constexpr UINT UDM_SETBASE = WM_USER + 109;  // WParam: 10 or 16
inline constexpr UINT UDM_GETBASE = WM_USER + 110;
inline constexpr UINT UDM_SETRANGE32 = WM_USER + 111;  // WParam: min, LParam: max
inline constexpr UINT UDM_GETRANGE32 = WM_USER + 112;  // WParam: int* min, LParam: int* max
inline constexpr UINT UDM_SETPOS32 = WM_USER + 113;    // LParam: the position; answers the old one
inline constexpr UINT UDM_GETPOS32 = WM_USER + 114;    // LParam: BOOL* error (may be null)

// Up-down styles.
inline constexpr DWORD UDS_WRAP = 0x0001;
inline constexpr DWORD UDS_SETBUDDYINT = 0x0002;
inline constexpr DWORD UDS_ALIGNRIGHT = 0x0004;
inline constexpr DWORD UDS_ALIGNLEFT = 0x0008;
inline constexpr DWORD UDS_AUTOBUDDY = 0x0010;
inline constexpr DWORD UDS_ARROWKEYS = 0x0020;
inline constexpr DWORD UDS_HORZ = 0x0040;
inline constexpr DWORD UDS_NOTHOUSANDS = 0x0080;
inline constexpr DWORD UDS_HOTTRACK = 0x0100;

// Up-down notification: sent before the position changes; a non-zero
// answer keeps it.
inline constexpr UINT UDN_FIRST = 0U - 721U;
inline constexpr UINT UDN_DELTAPOS = UDN_FIRST - 1;

struct NMUPDOWN {
  NMHDR hdr;
  int iPos;
  int iDelta;
};

// Track bar messages.
inline constexpr UINT TBM_GETPOS = WM_USER;
inline constexpr UINT TBM_GETRANGEMIN = WM_USER + 1;
inline constexpr UINT TBM_GETRANGEMAX = WM_USER + 2;
inline constexpr UINT TBM_GETTIC = WM_USER + 3;
inline constexpr UINT TBM_SETTIC = WM_USER + 4;
inline constexpr UINT TBM_SETPOS = WM_USER + 5;       // WParam: redraw, LParam: position
inline constexpr UINT TBM_SETRANGE = WM_USER + 6;     // WParam: redraw, LParam: MAKELONG(min, max)
inline constexpr UINT TBM_SETRANGEMIN = WM_USER + 7;  // WParam: redraw, LParam: min
inline constexpr UINT TBM_SETRANGEMAX = WM_USER + 8;  // WParam: redraw, LParam: max
inline constexpr UINT TBM_CLEARTICS = WM_USER + 9;
inline constexpr UINT TBM_SETSEL = WM_USER + 10;  // WParam: redraw, LParam: MAKELONG(start, end)
inline constexpr UINT TBM_SETSELSTART = WM_USER + 11;
inline constexpr UINT TBM_SETSELEND = WM_USER + 12;
inline constexpr UINT TBM_GETPTICS = WM_USER + 14;
inline constexpr UINT TBM_GETTICPOS = WM_USER + 15;
inline constexpr UINT TBM_GETNUMTICS = WM_USER + 16;
inline constexpr UINT TBM_GETSELSTART = WM_USER + 17;
inline constexpr UINT TBM_GETSELEND = WM_USER + 18;
inline constexpr UINT TBM_CLEARSEL = WM_USER + 19;
inline constexpr UINT TBM_SETTICFREQ = WM_USER + 20;
inline constexpr UINT TBM_SETPAGESIZE = WM_USER + 21;  // answers the old page size
inline constexpr UINT TBM_GETPAGESIZE = WM_USER + 22;
inline constexpr UINT TBM_SETLINESIZE = WM_USER + 23;  // answers the old line size
inline constexpr UINT TBM_GETLINESIZE = WM_USER + 24;
inline constexpr UINT TBM_GETTHUMBRECT = WM_USER + 25;    // LParam: RECT*
inline constexpr UINT TBM_GETCHANNELRECT = WM_USER + 26;  // LParam: RECT*
inline constexpr UINT TBM_SETTHUMBLENGTH = WM_USER + 27;
inline constexpr UINT TBM_GETTHUMBLENGTH = WM_USER + 28;

// Track bar styles.
inline constexpr DWORD TBS_AUTOTICKS = 0x0001;
inline constexpr DWORD TBS_VERT = 0x0002;
inline constexpr DWORD TBS_HORZ = 0x0000;
inline constexpr DWORD TBS_TOP = 0x0004;
inline constexpr DWORD TBS_BOTTOM = 0x0000;
inline constexpr DWORD TBS_LEFT = 0x0004;
inline constexpr DWORD TBS_RIGHT = 0x0000;
inline constexpr DWORD TBS_BOTH = 0x0008;
inline constexpr DWORD TBS_NOTICKS = 0x0010;
inline constexpr DWORD TBS_ENABLESELRANGE = 0x0020;
inline constexpr DWORD TBS_FIXEDLENGTH = 0x0040;
inline constexpr DWORD TBS_NOTHUMB = 0x0080;

// Track bar scroll codes: the low word of the WM_HSCROLL / WM_VSCROLL a
// track bar sends its parent (the position in the high word for
// TB_THUMBPOSITION and TB_THUMBTRACK).
inline constexpr WORD TB_LINEUP = 0;
inline constexpr WORD TB_LINEDOWN = 1;
inline constexpr WORD TB_PAGEUP = 2;
inline constexpr WORD TB_PAGEDOWN = 3;
inline constexpr WORD TB_THUMBPOSITION = 4;
inline constexpr WORD TB_THUMBTRACK = 5;
inline constexpr WORD TB_TOP = 6;
inline constexpr WORD TB_BOTTOM = 7;
inline constexpr WORD TB_ENDTRACK = 8;

// ---------------------------------------------------------------------------
// Virtual-key codes. Letters and digits are their upper-case ASCII codes.

inline constexpr WORD VK_LBUTTON = 0x01;
inline constexpr WORD VK_RBUTTON = 0x02;
inline constexpr WORD VK_CANCEL = 0x03;
inline constexpr WORD VK_MBUTTON = 0x04;
inline constexpr WORD VK_XBUTTON1 = 0x05;
inline constexpr WORD VK_XBUTTON2 = 0x06;
inline constexpr WORD VK_BACK = 0x08;
inline constexpr WORD VK_TAB = 0x09;
inline constexpr WORD VK_CLEAR = 0x0C;
inline constexpr WORD VK_RETURN = 0x0D;
inline constexpr WORD VK_SHIFT = 0x10;
inline constexpr WORD VK_CONTROL = 0x11;
inline constexpr WORD VK_MENU = 0x12;
inline constexpr WORD VK_PAUSE = 0x13;
inline constexpr WORD VK_CAPITAL = 0x14;
inline constexpr WORD VK_ESCAPE = 0x1B;
inline constexpr WORD VK_SPACE = 0x20;
inline constexpr WORD VK_PRIOR = 0x21;
inline constexpr WORD VK_NEXT = 0x22;
inline constexpr WORD VK_END = 0x23;
inline constexpr WORD VK_HOME = 0x24;
inline constexpr WORD VK_LEFT = 0x25;
inline constexpr WORD VK_UP = 0x26;
inline constexpr WORD VK_RIGHT = 0x27;
inline constexpr WORD VK_DOWN = 0x28;
inline constexpr WORD VK_SELECT = 0x29;
inline constexpr WORD VK_PRINT = 0x2A;
inline constexpr WORD VK_EXECUTE = 0x2B;
inline constexpr WORD VK_SNAPSHOT = 0x2C;
inline constexpr WORD VK_INSERT = 0x2D;
inline constexpr WORD VK_DELETE = 0x2E;
inline constexpr WORD VK_HELP = 0x2F;
inline constexpr WORD VK_LWIN = 0x5B;
inline constexpr WORD VK_RWIN = 0x5C;
inline constexpr WORD VK_APPS = 0x5D;
inline constexpr WORD VK_SLEEP = 0x5F;
inline constexpr WORD VK_NUMPAD0 = 0x60;
inline constexpr WORD VK_NUMPAD1 = 0x61;
inline constexpr WORD VK_NUMPAD2 = 0x62;
inline constexpr WORD VK_NUMPAD3 = 0x63;
inline constexpr WORD VK_NUMPAD4 = 0x64;
inline constexpr WORD VK_NUMPAD5 = 0x65;
inline constexpr WORD VK_NUMPAD6 = 0x66;
inline constexpr WORD VK_NUMPAD7 = 0x67;
inline constexpr WORD VK_NUMPAD8 = 0x68;
inline constexpr WORD VK_NUMPAD9 = 0x69;
inline constexpr WORD VK_MULTIPLY = 0x6A;
inline constexpr WORD VK_ADD = 0x6B;
inline constexpr WORD VK_SEPARATOR = 0x6C;
inline constexpr WORD VK_SUBTRACT = 0x6D;
inline constexpr WORD VK_DECIMAL = 0x6E;
inline constexpr WORD VK_DIVIDE = 0x6F;
inline constexpr WORD VK_F1 = 0x70;
inline constexpr WORD VK_F2 = 0x71;
inline constexpr WORD VK_F3 = 0x72;
inline constexpr WORD VK_F4 = 0x73;
inline constexpr WORD VK_F5 = 0x74;
inline constexpr WORD VK_F6 = 0x75;
inline constexpr WORD VK_F7 = 0x76;
inline constexpr WORD VK_F8 = 0x77;
inline constexpr WORD VK_F9 = 0x78;
inline constexpr WORD VK_F10 = 0x79;
inline constexpr WORD VK_F11 = 0x7A;
inline constexpr WORD VK_F12 = 0x7B;
inline constexpr WORD VK_F13 = 0x7C;
inline constexpr WORD VK_F24 = 0x87;
inline constexpr WORD VK_NUMLOCK = 0x90;
inline constexpr WORD VK_SCROLL = 0x91;
inline constexpr WORD VK_LSHIFT = 0xA0;
inline constexpr WORD VK_RSHIFT = 0xA1;
inline constexpr WORD VK_LCONTROL = 0xA2;
inline constexpr WORD VK_RCONTROL = 0xA3;
inline constexpr WORD VK_LMENU = 0xA4;
inline constexpr WORD VK_RMENU = 0xA5;
inline constexpr WORD VK_OEM_1 = 0xBA;       // ";:"
inline constexpr WORD VK_OEM_PLUS = 0xBB;    // "=+"
inline constexpr WORD VK_OEM_COMMA = 0xBC;   // ",<"
inline constexpr WORD VK_OEM_MINUS = 0xBD;   // "-_"
inline constexpr WORD VK_OEM_PERIOD = 0xBE;  // ".>"
inline constexpr WORD VK_OEM_2 = 0xBF;       // "/?"
inline constexpr WORD VK_OEM_3 = 0xC0;       // "`~"
inline constexpr WORD VK_OEM_4 = 0xDB;       // "[{"
inline constexpr WORD VK_OEM_5 = 0xDC;       // "\|"
inline constexpr WORD VK_OEM_6 = 0xDD;       // "]}"
inline constexpr WORD VK_OEM_7 = 0xDE;       // "'\""
inline constexpr WORD VK_OEM_102 = 0xE2;
inline constexpr WORD VK_PROCESSKEY = 0xE5;
inline constexpr WORD VK_PACKET = 0xE7;

// Key-message LParam bits.
inline constexpr LPARAM KF_EXTENDED_BIT = LPARAM(1) << 24;
inline constexpr LPARAM KF_ALTDOWN_BIT = LPARAM(1) << 29;
inline constexpr LPARAM KF_REPEAT_BIT = LPARAM(1) << 30;
inline constexpr LPARAM KF_UP_BIT = LPARAM(1) << 31;

// ---------------------------------------------------------------------------
// Mouse

inline constexpr WPARAM MK_LBUTTON = 0x0001;
inline constexpr WPARAM MK_RBUTTON = 0x0002;
inline constexpr WPARAM MK_SHIFT = 0x0004;
inline constexpr WPARAM MK_CONTROL = 0x0008;
inline constexpr WPARAM MK_MBUTTON = 0x0010;
inline constexpr WPARAM MK_XBUTTON1 = 0x0020;
inline constexpr WPARAM MK_XBUTTON2 = 0x0040;
inline constexpr int WHEEL_DELTA = 120;

// Hit-test codes (WM_NCHITTEST, low word of WM_SETCURSOR's LParam).
inline constexpr int HTERROR = -2;
inline constexpr int HTTRANSPARENT = -1;
inline constexpr int HTNOWHERE = 0;
inline constexpr int HTCLIENT = 1;
inline constexpr int HTCAPTION = 2;
inline constexpr int HTSYSMENU = 3;
inline constexpr int HTGROWBOX = 4;
inline constexpr int HTMENU = 5;
inline constexpr int HTHSCROLL = 6;
inline constexpr int HTVSCROLL = 7;
inline constexpr int HTMINBUTTON = 8;
inline constexpr int HTMAXBUTTON = 9;
inline constexpr int HTLEFT = 10;
inline constexpr int HTRIGHT = 11;
inline constexpr int HTTOP = 12;
inline constexpr int HTTOPLEFT = 13;
inline constexpr int HTTOPRIGHT = 14;
inline constexpr int HTBOTTOM = 15;
inline constexpr int HTBOTTOMLEFT = 16;
inline constexpr int HTBOTTOMRIGHT = 17;
inline constexpr int HTBORDER = 18;

// ---------------------------------------------------------------------------
// Dialog codes answered to WM_GETDLGCODE.

inline constexpr LRESULT DLGC_WANTARROWS = 0x0001;
inline constexpr LRESULT DLGC_WANTTAB = 0x0002;
inline constexpr LRESULT DLGC_WANTALLKEYS = 0x0004;
inline constexpr LRESULT DLGC_WANTMESSAGE = 0x0004;
inline constexpr LRESULT DLGC_HASSETSEL = 0x0008;
inline constexpr LRESULT DLGC_DEFPUSHBUTTON = 0x0010;
inline constexpr LRESULT DLGC_UNDEFPUSHBUTTON = 0x0020;
inline constexpr LRESULT DLGC_RADIOBUTTON = 0x0040;
inline constexpr LRESULT DLGC_WANTCHARS = 0x0080;
inline constexpr LRESULT DLGC_STATIC = 0x0100;
inline constexpr LRESULT DLGC_BUTTON = 0x2000;

// WM_SIZE and WM_ACTIVATE codes.
inline constexpr WPARAM SIZE_RESTORED = 0;
inline constexpr WPARAM SIZE_MINIMIZED = 1;
inline constexpr WPARAM SIZE_MAXIMIZED = 2;
inline constexpr WORD WA_INACTIVE = 0;
inline constexpr WORD WA_ACTIVE = 1;
inline constexpr WORD WA_CLICKACTIVE = 2;

// ---------------------------------------------------------------------------
// Message parameter helpers.

constexpr WPARAM MAKEWPARAM(WORD lo, WORD hi) { return WPARAM(DWORD(lo) | (DWORD(hi) << 16)); }
constexpr LPARAM MAKELPARAM(WORD lo, WORD hi) { return LPARAM(DWORD(lo) | (DWORD(hi) << 16)); }
constexpr LRESULT MAKELRESULT(WORD lo, WORD hi) { return LRESULT(DWORD(lo) | (DWORD(hi) << 16)); }
// Signed coordinates packed in an LParam.
constexpr int GET_X_LPARAM(LPARAM lp) { return int(SHORT(LOWORD(DWORD(lp)))); }
constexpr int GET_Y_LPARAM(LPARAM lp) { return int(SHORT(HIWORD(DWORD(lp)))); }
constexpr LPARAM PointToLParam(int x, int y) { return MAKELPARAM(WORD(SHORT(x)), WORD(SHORT(y))); }
constexpr int GET_WHEEL_DELTA_WPARAM(WPARAM wp) { return int(SHORT(HIWORD(DWORD(wp)))); }
constexpr WORD GET_KEYSTATE_WPARAM(WPARAM wp) { return LOWORD(DWORD(wp)); }

// ---------------------------------------------------------------------------
// TMessage: one message as a window procedure sees it. Origin is the Qt
// event being translated when the message came from input (nullptr for sent
// and posted messages); a Qt-backed control's default handling hands it to
// the Qt widget.

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
  QEvent* Origin = nullptr;

  WORD WParamLo() const { return LOWORD(DWORD(WParam)); }
  WORD WParamHi() const { return HIWORD(DWORD(WParam)); }
  WORD LParamLo() const { return LOWORD(DWORD(LParam)); }
  WORD LParamHi() const { return HIWORD(DWORD(LParam)); }
  WORD ResultLo() const { return LOWORD(DWORD(Result)); }
  WORD ResultHi() const { return HIWORD(DWORD(Result)); }
};

// Typed views. Each refers to a TMessage and reads and writes its fields
// under the names the message's documentation gives them.

// WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_SYSCHAR and
// their CN_ forms: CharCode in WParam, KeyData in LParam.
struct TWMKey {
  TMessage& M;
  explicit TWMKey(TMessage& m) : M(m) {}
  WORD CharCode() const { return WORD(M.WParam); }
  void SetCharCode(WORD v) { M.WParam = v; }
  LONG KeyData() const { return LONG(M.LParam); }
  LRESULT& Result() { return M.Result; }
};
using TWMChar = TWMKey;
using TWMKeyDown = TWMKey;
using TWMKeyUp = TWMKey;

// Mouse button and move messages: key flags in WParam, client point in LParam.
struct TWMMouse {
  TMessage& M;
  explicit TWMMouse(TMessage& m) : M(m) {}
  WPARAM Keys() const { return M.WParam; }
  int XPos() const { return GET_X_LPARAM(M.LParam); }
  int YPos() const { return GET_Y_LPARAM(M.LParam); }
  POINT Pos() const { return POINT{XPos(), YPos()}; }
  LRESULT& Result() { return M.Result; }
};

// WM_MOUSEWHEEL / CM_MOUSEWHEEL: key flags and signed delta in WParam, screen
// point in LParam.
struct TWMMouseWheel {
  TMessage& M;
  explicit TWMMouseWheel(TMessage& m) : M(m) {}
  WORD Keys() const { return GET_KEYSTATE_WPARAM(M.WParam); }
  int WheelDelta() const { return GET_WHEEL_DELTA_WPARAM(M.WParam); }
  int XPos() const { return GET_X_LPARAM(M.LParam); }
  int YPos() const { return GET_Y_LPARAM(M.LParam); }
  LRESULT& Result() { return M.Result; }
};

struct TWMTimer {
  TMessage& M;
  explicit TWMTimer(TMessage& m) : M(m) {}
  UINT_PTR TimerID() const { return M.WParam; }
};

// WM_SETFOCUS: FocusedWnd is the window that lost the focus; WM_KILLFOCUS:
// the window that receives it (either may be null).
struct TWMFocus {
  TMessage& M;
  explicit TWMFocus(TMessage& m) : M(m) {}
  HWND FocusedWnd() const { return reinterpret_cast<HWND>(M.WParam); }
};

struct TWMCommand {
  TMessage& M;
  explicit TWMCommand(TMessage& m) : M(m) {}
  WORD ItemID() const { return M.WParamLo(); }
  WORD NotifyCode() const { return M.WParamHi(); }
  HWND Ctl() const { return reinterpret_cast<HWND>(M.LParam); }
};

struct TWMNotify {
  TMessage& M;
  explicit TWMNotify(TMessage& m) : M(m) {}
  UINT_PTR IDCtrl() const { return M.WParam; }
  NMHDR* NMHdr() const { return reinterpret_cast<NMHDR*>(M.LParam); }
};

struct TWMSize {
  TMessage& M;
  explicit TWMSize(TMessage& m) : M(m) {}
  WPARAM SizeType() const { return M.WParam; }
  int Width() const { return M.LParamLo(); }
  int Height() const { return M.LParamHi(); }
};

struct TWMSetCursor {
  TMessage& M;
  explicit TWMSetCursor(TMessage& m) : M(m) {}
  HWND CursorWnd() const { return reinterpret_cast<HWND>(M.WParam); }
  SHORT HitTest() const { return SHORT(M.LParamLo()); }
  WORD MouseMsg() const { return M.LParamHi(); }
};

// WM_PAINT as the framework sends it: the DC to paint on in WParam (0 when
// the control should open its own).
struct TWMPaint {
  TMessage& M;
  explicit TWMPaint(TMessage& m) : M(m) {}
  HDC DC() const { return reinterpret_cast<HDC>(M.WParam); }
};

// Name of a message id for logs: "WM_KEYDOWN", "CM_ENTER", "CN_COMMAND",
// otherwise the id in hexadecimal ("0xC012").
QString MessageName(UINT Msg);

// The message trace (tf.msg): off unless its debug level is enabled
// (QT_LOGGING_RULES="tf.msg.debug=true"); the framework's Dispatch writes
// one line per message and one with its result.
Q_DECLARE_LOGGING_CATEGORY(lcMsg)
