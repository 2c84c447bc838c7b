#pragma once
// Message boxes, input queries and the file-open and file-save dialogs.
//
// Every dialog goes through a replaceable service object: one for message
// boxes and input queries, one for file dialogs. The default services show
// real Qt dialogs (QMessageBox, QInputDialog and a non-native QFileDialog, so
// they also run on the offscreen platform); tests install their own to
// answer the dialogs and to see what was asked. What the framework decides
// (captions, buttons, the default and cancel buttons, the MB_ flags, filter
// parsing, the default extension) is worked out here, before the service is
// called, so a replaced service sees exactly what the user would see.
//
// Dialogs are modal and belong to the GUI thread.
//
// Not covered (logged under tf.vcl when asked for): MessageBox's owner window
// and its modality, placement and reading-order flags (MB_SYSTEMMODAL,
// MB_TASKMODAL, MB_NOFOCUS, MB_SETFOREGROUND, MB_DEFAULT_DESKTOP_ONLY,
// MB_TOPMOST, MB_RIGHT, MB_RTLREADING) and MB_USERICON: every box is modal to
// the application, written left to right, with the icon of its kind.

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

#include "platform/rtl/Classes.h"
#include "platform/vcl/UITypes.h"
#include "platform/win32/WinTypes.h"

// ---------------------------------------------------------------------------
// Message dialogs

// One message box as shown to the user.
struct TMessageDialogRequest {
  QString Text;
  QString Caption;
  // The icon: warning, error, information, question, or none for mtCustom.
  TMsgDlgType DlgType = mtCustom;
  // The buttons in display order, each given by the result it answers. A
  // Help button (mrHelp) shows help and does not close the box.
  QList<TModalResult> Buttons;
  // The button that Enter presses, mrNone for none.
  TModalResult DefaultResult = mrNone;
  // What Escape or closing the window answers; with mrNone neither closes
  // the box.
  TModalResult CancelResult = mrNone;
  int HelpCtx = 0;

  bool operator==(const TMessageDialogRequest&) const = default;
};

class TMessageDialogService {
 public:
  virtual ~TMessageDialogService() = default;
  // Shows the box modally and answers the result of the button pressed.
  virtual TModalResult ShowMessageDialog(const TMessageDialogRequest& Request) = 0;
  // Asks for one line of text. Value holds the proposed text on entry; on OK
  // it takes the entered text and the answer is true; on Cancel Value is
  // left alone and the answer is false.
  virtual bool InputQuery(const QString& Caption, const QString& Prompt, QString& Value) = 0;
};

// Installs the service every message box and input query goes through and
// answers the one installed before (nullptr when that was the default).
// nullptr puts the default Qt service back. The service is not owned.
TMessageDialogService* SetMessageDialogService(TMessageDialogService* Service);
TMessageDialogService& MessageDialogService();

// "Warning", "Error", "Information" and "Confirm"; mtCustom takes the
// application title (QGuiApplication::applicationDisplayName()).
QString MsgDlgCaption(TMsgDlgType DlgType);
// The caption of the button that answers Result ("&Yes", "OK", "N&o to All"
// ...); "" for a result without a button.
QString MsgDlgButtonCaption(TModalResult Result);
// The result a button answers (mbHelp: mrHelp).
TModalResult MsgDlgButtonResult(TMsgDlgBtn Button);

// The framework's message dialog: the caption of DlgType, the buttons of the
// set in the order of TMsgDlgBtn, and the answer of the button pressed.
// The default button is mbOK when present, else mbYes, else mbRetry, else the
// first button; Escape answers mbCancel when present, else mbNo, else mbOK,
// and does nothing when none of them is there. An empty set shows OK alone.
TModalResult MessageDlg(const QString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                        int HelpCtx);
// The same with the default button given (ignored when it is not one of
// Buttons).
TModalResult MessageDlg(const QString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                        int HelpCtx, TMsgDlgBtn DefaultButton);
// An OK box with the application title and no icon.
void ShowMessage(const QString& Msg);

// Asks for a line of text (see TMessageDialogService::InputQuery).
bool InputQuery(const QString& ACaption, const QString& APrompt, QString& Value);
// The entered text, or ADefault when the user cancels.
QString InputBox(const QString& ACaption, const QString& APrompt, const QString& ADefault);

// ---------------------------------------------------------------------------
// Win32 message box

// Buttons
inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_OKCANCEL = 0x00000001;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
inline constexpr UINT MB_YESNOCANCEL = 0x00000003;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_RETRYCANCEL = 0x00000005;
inline constexpr UINT MB_CANCELTRYCONTINUE = 0x00000006;
// Icons
inline constexpr UINT MB_ICONHAND = 0x00000010;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
inline constexpr UINT MB_ICONASTERISK = 0x00000040;
inline constexpr UINT MB_USERICON = 0x00000080;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr UINT MB_ICONSTOP = MB_ICONHAND;
// Default button
inline constexpr UINT MB_DEFBUTTON1 = 0x00000000;
inline constexpr UINT MB_DEFBUTTON2 = 0x00000100;
inline constexpr UINT MB_DEFBUTTON3 = 0x00000200;
inline constexpr UINT MB_DEFBUTTON4 = 0x00000300;
// Modality and display (accepted; every box here is modal to the application)
inline constexpr UINT MB_APPLMODAL = 0x00000000;
inline constexpr UINT MB_SYSTEMMODAL = 0x00001000;
inline constexpr UINT MB_TASKMODAL = 0x00002000;
inline constexpr UINT MB_HELP = 0x00004000;
inline constexpr UINT MB_NOFOCUS = 0x00008000;
inline constexpr UINT MB_SETFOREGROUND = 0x00010000;
inline constexpr UINT MB_DEFAULT_DESKTOP_ONLY = 0x00020000;
inline constexpr UINT MB_TOPMOST = 0x00040000;
inline constexpr UINT MB_RIGHT = 0x00080000;
inline constexpr UINT MB_RTLREADING = 0x00100000;
inline constexpr UINT MB_TYPEMASK = 0x0000000F;
inline constexpr UINT MB_ICONMASK = 0x000000F0;
inline constexpr UINT MB_DEFMASK = 0x00000F00;
inline constexpr UINT MB_MODEMASK = 0x00003000;
inline constexpr UINT MB_MISCMASK = 0x0000C000;

// Dialog-box command ids (the same numbers as the modal results).
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
inline constexpr int IDCLOSE = 8;
inline constexpr int IDHELP = 9;
inline constexpr int IDTRYAGAIN = 10;
inline constexpr int IDCONTINUE = 11;

inline constexpr DWORD ERROR_INVALID_MSGBOX_STYLE = 1438;

// The Win32 message box: the buttons of the MB_ type (plus Help with
// MB_HELP) in Win32 order, the icon of the MB_ICON value, the default button
// of MB_DEFBUTTONn (the first one when n is beyond the buttons), and the id of
// the button pressed. Escape answers Cancel when there is a Cancel button, OK
// for a box with OK alone, and does nothing otherwise. A null caption shows
// "Error". An unknown button type answers 0 with ERROR_INVALID_MSGBOX_STYLE.
// The owner window only places the box; TApplication::MessageBox forwards
// here with the active window.
int MessageBox(HWND hWnd, const QString& lpText, const QString& lpCaption, UINT uType);

// ---------------------------------------------------------------------------
// File dialogs

enum TOpenOption {
  ofReadOnly,
  ofOverwritePrompt,
  ofHideReadOnly,
  ofNoChangeDir,
  ofShowHelp,
  ofNoValidate,
  ofAllowMultiSelect,
  ofExtensionDifferent,
  ofPathMustExist,
  ofFileMustExist,
  ofCreatePrompt,
  ofShareAware,
  ofNoReadOnlyReturn,
  ofNoTestFileCreate,
  ofNoNetworkButton,
  ofNoLongNames,
  ofOldStyleDialog,
  ofNoDereferenceLinks,
  ofEnableIncludeNotify,
  ofEnableSizing,
  ofDontAddToRecent,
  ofForceShowHidden
};
TF_ENUM_NAMES(TOpenOption, ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir,
              ofShowHelp, ofNoValidate, ofAllowMultiSelect, ofExtensionDifferent,
              ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware,
              ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames,
              ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing,
              ofDontAddToRecent, ofForceShowHidden)
using TOpenOptions = TSet<TOpenOption>;

// One entry of a dialog filter: "Text files" with the masks {"*.txt"}.
struct TFileDialogFilter {
  QString Description;
  QStringList Masks;
  bool operator==(const TFileDialogFilter&) const = default;
};

// The entries of a framework filter text: "description|mask[;mask...]|..."
// taken in pairs. Masks are trimmed; a pair without masks and a description
// left without its masks at the end are skipped.
QList<TFileDialogFilter> ParseDialogFilter(const QString& Filter);
// The same entries as Qt name filters, "Text files (*.txt)". A "*.*" mask
// (every file on Windows) becomes "*", since "*.*" would leave out the names
// without a dot here.
QStringList FileDialogNameFilters(const QList<TFileDialogFilter>& Filters);

enum TFileDialogKind { fdkOpen, fdkSave };

// One file dialog as shown to the user.
struct TFileDialogParams {
  TFileDialogKind Kind = fdkOpen;
  // The dialog's title: "Open" or "Save As" when the dialog has none.
  QString Title;
  QList<TFileDialogFilter> Filters;
  // 1-based index of the filter shown first, within the filters (1 when
  // there are none).
  int FilterIndex = 1;
  QString InitialDir;
  // The proposed name, as the dialog holds it.
  QString FileName;
  // Without the dot.
  QString DefaultExt;
  TOpenOptions Options;
};

struct TFileDialogResult {
  bool Accepted = false;
  // The chosen names, absolute, as the user gave them (the default extension
  // is added by the dialog object afterwards).
  QStringList Files;
  // 1-based index of the filter in use when the dialog closed; 0 keeps the
  // dialog's index.
  int FilterIndex = 0;
};

class TFileDialogService {
 public:
  virtual ~TFileDialogService() = default;
  virtual TFileDialogResult Execute(const TFileDialogParams& Request) = 0;
};

// Installs the file dialog service; works like SetMessageDialogService.
TFileDialogService* SetFileDialogService(TFileDialogService* Service);
TFileDialogService& FileDialogService();

class TCommonDialog : public TComponent {
 public:
  TF_DECLARE_PUBLISHED(TCommonDialog)
  explicit TCommonDialog(TComponent* AOwner);

  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int Value) { FHelpContext = Value; }

  // Shows the dialog modally; true when the user confirmed it.
  virtual bool Execute() = 0;

 private:
  int FHelpContext = 0;
};

// The file-open dialog. On OK, Files holds the chosen names (several with
// ofAllowMultiSelect, else one), FileName the first of them and FilterIndex
// the filter in use; a chosen name without an extension gets DefaultExt
// (unless, in an open dialog, the name exists as it is), and
// ofExtensionDifferent tells whether the extension differs from DefaultExt.
// On Cancel nothing changes. The process's current folder is never changed
// (ofNoChangeDir is implied). Options default to [ofHideReadOnly,
// ofEnableSizing]; FilterIndex to 1.
class TOpenDialog : public TCommonDialog {
 public:
  TF_DECLARE_PUBLISHED(TOpenDialog)
  explicit TOpenDialog(TComponent* AOwner);
  ~TOpenDialog() override;

  const QString& DefaultExt() const { return FDefaultExt; }
  // A leading dot is dropped.
  void SetDefaultExt(const QString& Value);
  const QString& FileName() const { return FFileName; }
  void SetFileName(const QString& Value) { FFileName = Value; }
  const QString& Filter() const { return FFilter; }
  void SetFilter(const QString& Value) { FFilter = Value; }
  int FilterIndex() const { return FFilterIndex; }
  void SetFilterIndex(int Value) { FFilterIndex = Value; }
  const QString& InitialDir() const { return FInitialDir; }
  void SetInitialDir(const QString& Value) { FInitialDir = Value; }
  const QString& Title() const { return FTitle; }
  void SetTitle(const QString& Value) { FTitle = Value; }
  TOpenOptions Options() const { return FOptions; }
  void SetOptions(TOpenOptions Value) { FOptions = Value; }
  TStrings* Files() const;

  bool Execute() override;

 protected:
  virtual TFileDialogKind Kind() const { return fdkOpen; }

 private:
  QString FDefaultExt;
  QString FFileName;
  QString FFilter;
  int FFilterIndex = 1;
  QString FInitialDir;
  QString FTitle;
  TOpenOptions FOptions{ofHideReadOnly, ofEnableSizing};
  std::unique_ptr<TStringList> FFiles;
};

// The file-save dialog: as TOpenDialog, in save mode (a default extension is
// added to every name without one; with ofOverwritePrompt the dialog asks
// before an existing file is chosen).
class TSaveDialog : public TOpenDialog {
 public:
  TF_DECLARE_PUBLISHED(TSaveDialog)
  explicit TSaveDialog(TComponent* AOwner);

 protected:
  TFileDialogKind Kind() const override { return fdkSave; }
};
