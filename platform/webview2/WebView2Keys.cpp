// Windows virtual-key codes of Qt keys, for AcceleratorKeyPressed.

#include "platform/webview2/WebView2Internal.h"

namespace webview2 {

UINT VirtualKeyFromQtKey(int key, Qt::KeyboardModifiers modifiers) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 0x41 + UINT(key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9)
    return (modifiers & Qt::KeypadModifier ? 0x60 : 0x30) + UINT(key - Qt::Key_0);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 0x70 + UINT(key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace: return 0x08;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 0x09;
    case Qt::Key_Clear: return 0x0C;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 0x0D;
    case Qt::Key_Shift: return 0x10;
    case Qt::Key_Control: return 0x11;
    case Qt::Key_Alt: return 0x12;
    case Qt::Key_Pause: return 0x13;
    case Qt::Key_CapsLock: return 0x14;
    case Qt::Key_Escape: return 0x1B;
    case Qt::Key_Space: return 0x20;
    case Qt::Key_PageUp: return 0x21;
    case Qt::Key_PageDown: return 0x22;
    case Qt::Key_End: return 0x23;
    case Qt::Key_Home: return 0x24;
    case Qt::Key_Left: return 0x25;
    case Qt::Key_Up: return 0x26;
    case Qt::Key_Right: return 0x27;
    case Qt::Key_Down: return 0x28;
    case Qt::Key_Print: return 0x2C;
    case Qt::Key_Insert: return 0x2D;
    case Qt::Key_Delete: return 0x2E;
    case Qt::Key_Help: return 0x2F;
    case Qt::Key_Meta: return 0x5B;
    case Qt::Key_Menu: return 0x5D;
    case Qt::Key_Asterisk: return modifiers & Qt::KeypadModifier ? 0x6A : 0;
    case Qt::Key_Plus: return modifiers & Qt::KeypadModifier ? 0x6B : 0xBB;
    case Qt::Key_Minus: return modifiers & Qt::KeypadModifier ? 0x6D : 0xBD;
    case Qt::Key_Period: return modifiers & Qt::KeypadModifier ? 0x6E : 0xBE;
    case Qt::Key_Slash: return modifiers & Qt::KeypadModifier ? 0x6F : 0xBF;
    case Qt::Key_NumLock: return 0x90;
    case Qt::Key_ScrollLock: return 0x91;
    case Qt::Key_Semicolon: return 0xBA;
    case Qt::Key_Equal: return 0xBB;
    case Qt::Key_Comma: return 0xBC;
    case Qt::Key_QuoteLeft: return 0xC0;
    case Qt::Key_BracketLeft: return 0xDB;
    case Qt::Key_Backslash: return 0xDC;
    case Qt::Key_BracketRight: return 0xDD;
    case Qt::Key_Apostrophe: return 0xDE;
    case Qt::Key_Back: return 0xA6;
    case Qt::Key_Forward: return 0xA7;
    case Qt::Key_Refresh: return 0xA8;
    case Qt::Key_Stop: return 0xA9;
    case Qt::Key_Search: return 0xAA;
    case Qt::Key_Favorites: return 0xAB;
    case Qt::Key_HomePage: return 0xAC;
    case Qt::Key_VolumeMute: return 0xAD;
    case Qt::Key_VolumeDown: return 0xAE;
    case Qt::Key_VolumeUp: return 0xAF;
    case Qt::Key_MediaNext: return 0xB0;
    case Qt::Key_MediaPrevious: return 0xB1;
    case Qt::Key_MediaStop: return 0xB2;
    case Qt::Key_MediaTogglePlayPause: return 0xB3;
    default: return 0;
  }
}

}  // namespace webview2
