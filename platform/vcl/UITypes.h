#pragma once
// User-interface value types shared by forms and dialogs: modal results and
// the message dialog's kinds and buttons, with the framework's values.

#include "platform/rtl/System.h"

// What a modal form or dialog answers. The values 1 to 11 are also the
// Win32 dialog-box command ids (IDOK ... IDCONTINUE).
using TModalResult = int;

inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;
inline constexpr TModalResult mrClose = 8;
inline constexpr TModalResult mrHelp = 9;
inline constexpr TModalResult mrTryAgain = 10;
inline constexpr TModalResult mrContinue = 11;
inline constexpr TModalResult mrAll = 12;
inline constexpr TModalResult mrNoToAll = 13;
inline constexpr TModalResult mrYesToAll = 14;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn {
  mbYes,
  mbNo,
  mbOK,
  mbCancel,
  mbAbort,
  mbRetry,
  mbIgnore,
  mbAll,
  mbNoToAll,
  mbYesToAll,
  mbHelp,
  mbClose
};
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

inline constexpr TMsgDlgButtons mbYesNo{mbYes, mbNo};
inline constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline constexpr TMsgDlgButtons mbYesAllNoAllCancel{mbYes, mbYesToAll, mbNo, mbNoToAll, mbCancel};
inline constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};
inline constexpr TMsgDlgButtons mbAbortIgnore{mbAbort, mbIgnore};
