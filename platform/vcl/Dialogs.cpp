// Message boxes and input queries: the framework's rules for captions,
// buttons and the default and cancel buttons, the Win32 MB_ flags, and the
// default Qt service.

#include "platform/vcl/Dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHash>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

#include "platform/vcl/LogCategories.h"

namespace {

QWidget* DialogParent() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return QApplication::activeWindow();
}

// A QMessageBox whose Help button does not close it and which cannot be
// dismissed by Escape or by closing the window when it has no cancel button.
class TQtMessageBox : public QMessageBox {
 public:
  explicit TQtMessageBox(QWidget* parent) : QMessageBox(parent) {}

  TModalResult Run(const TMessageDialogRequest& Request) {
    setWindowTitle(Request.Caption);
    setText(Request.Text);
    setTextFormat(Qt::PlainText);
    switch (Request.DlgType) {
      case mtWarning: setIcon(QMessageBox::Warning); break;
      case mtError: setIcon(QMessageBox::Critical); break;
      case mtInformation: setIcon(QMessageBox::Information); break;
      case mtConfirmation: setIcon(QMessageBox::Question); break;
      case mtCustom: setIcon(QMessageBox::NoIcon); break;
    }
    // One role for every button keeps them in the order given.
    for (TModalResult result : Request.Buttons) {
      QPushButton* button = addButton(MsgDlgButtonCaption(result), QMessageBox::ActionRole);
      FResults.insert(button, result);
      if (result == Request.DefaultResult) setDefaultButton(button);
      if (result == Request.CancelResult) setEscapeButton(button);
    }
    FCancelResult = Request.CancelResult;
    // The box closes on any button of its button box; take the clicks over so
    // that Help leaves it open.
    if (auto* box = findChild<QDialogButtonBox*>()) {
      QObject::disconnect(box, &QDialogButtonBox::clicked, nullptr, nullptr);
      QObject::connect(box, &QDialogButtonBox::clicked, this, [this](QAbstractButton* button) {
        const TModalResult result = FResults.value(button, mrNone);
        if (result == mrHelp || result == mrNone) return;
        FAnswer = result;
        done(result);
      });
    }
    exec();
    return FAnswer != mrNone ? FAnswer : FCancelResult;
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->matches(QKeySequence::Cancel) && FCancelResult == mrNone) {
      event->accept();
      return;
    }
    QMessageBox::keyPressEvent(event);
  }
  void closeEvent(QCloseEvent* event) override {
    if (FCancelResult == mrNone) {
      event->ignore();
      return;
    }
    QMessageBox::closeEvent(event);
  }

 private:
  QHash<QAbstractButton*, TModalResult> FResults;
  TModalResult FCancelResult = mrNone;
  TModalResult FAnswer = mrNone;
};

class TQtMessageDialogService : public TMessageDialogService {
 public:
  TModalResult ShowMessageDialog(const TMessageDialogRequest& Request) override {
    TQtMessageBox box(DialogParent());
    return box.Run(Request);
  }

  bool InputQuery(const QString& Caption, const QString& Prompt, QString& Value) override {
    QInputDialog dialog(DialogParent());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(Caption);
    dialog.setLabelText(Prompt);
    dialog.setTextValue(Value);
    if (dialog.exec() != QDialog::Accepted) return false;
    Value = dialog.textValue();
    return true;
  }
};

TMessageDialogService* gMessageDialogService = nullptr;

constexpr TMsgDlgBtn kAllButtons[] = {mbYes,   mbNo,  mbOK,      mbCancel,   mbAbort, mbRetry,
                                      mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp,  mbClose};

TMessageDialogRequest MessageDlgRequest(const QString& Msg, TMsgDlgType DlgType,
                                        TMsgDlgButtons Buttons, int HelpCtx,
                                        const TMsgDlgBtn* DefaultButton) {
  // A box needs a button that closes it.
  if ((Buttons - TMsgDlgButtons{mbHelp}).Empty()) Buttons.Include(mbOK);

  TMessageDialogRequest request;
  request.Text = Msg;
  request.Caption = MsgDlgCaption(DlgType);
  request.DlgType = DlgType;
  request.HelpCtx = HelpCtx;
  for (TMsgDlgBtn button : kAllButtons)
    if (Buttons.Contains(button)) request.Buttons.append(MsgDlgButtonResult(button));

  if (DefaultButton && Buttons.Contains(*DefaultButton)) {
    request.DefaultResult = MsgDlgButtonResult(*DefaultButton);
  } else if (Buttons.Contains(mbOK)) {
    request.DefaultResult = mrOk;
  } else if (Buttons.Contains(mbYes)) {
    request.DefaultResult = mrYes;
  } else if (Buttons.Contains(mbRetry)) {
    request.DefaultResult = mrRetry;
  } else {
    for (TModalResult result : request.Buttons)
      if (result != mrHelp) {
        request.DefaultResult = result;
        break;
      }
  }

  if (Buttons.Contains(mbCancel)) request.CancelResult = mrCancel;
  else if (Buttons.Contains(mbNo)) request.CancelResult = mrNo;
  else if (Buttons.Contains(mbOK)) request.CancelResult = mrOk;
  return request;
}

}  // namespace

TMessageDialogService* SetMessageDialogService(TMessageDialogService* Service) {
  TMessageDialogService* previous = gMessageDialogService;
  gMessageDialogService = Service;
  return previous;
}

TMessageDialogService& MessageDialogService() {
  static TQtMessageDialogService qtService;
  return gMessageDialogService ? *gMessageDialogService : qtService;
}

QString MsgDlgCaption(TMsgDlgType DlgType) {
  switch (DlgType) {
    case mtWarning: return QStringLiteral("Warning");
    case mtError: return QStringLiteral("Error");
    case mtInformation: return QStringLiteral("Information");
    case mtConfirmation: return QStringLiteral("Confirm");
    case mtCustom: break;
  }
  return QGuiApplication::applicationDisplayName();
}

QString MsgDlgButtonCaption(TModalResult Result) {
  switch (Result) {
    case mrOk: return QStringLiteral("OK");
    case mrCancel: return QStringLiteral("Cancel");
    case mrAbort: return QStringLiteral("&Abort");
    case mrRetry: return QStringLiteral("&Retry");
    case mrIgnore: return QStringLiteral("&Ignore");
    case mrYes: return QStringLiteral("&Yes");
    case mrNo: return QStringLiteral("&No");
    case mrClose: return QStringLiteral("&Close");
    case mrHelp: return QStringLiteral("&Help");
    case mrTryAgain: return QStringLiteral("&Try Again");
    case mrContinue: return QStringLiteral("&Continue");
    case mrAll: return QStringLiteral("&All");
    case mrNoToAll: return QStringLiteral("N&o to All");
    case mrYesToAll: return QStringLiteral("Yes to &All");
    default: return {};
  }
}

TModalResult MsgDlgButtonResult(TMsgDlgBtn Button) {
  switch (Button) {
    case mbYes: return mrYes;
    case mbNo: return mrNo;
    case mbOK: return mrOk;
    case mbCancel: return mrCancel;
    case mbAbort: return mrAbort;
    case mbRetry: return mrRetry;
    case mbIgnore: return mrIgnore;
    case mbAll: return mrAll;
    case mbNoToAll: return mrNoToAll;
    case mbYesToAll: return mrYesToAll;
    case mbHelp: return mrHelp;
    case mbClose: return mrClose;
  }
  return mrNone;
}

TModalResult MessageDlg(const QString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                        int HelpCtx) {
  return MessageDialogService().ShowMessageDialog(
      MessageDlgRequest(Msg, DlgType, Buttons, HelpCtx, nullptr));
}

TModalResult MessageDlg(const QString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                        int HelpCtx, TMsgDlgBtn DefaultButton) {
  return MessageDialogService().ShowMessageDialog(
      MessageDlgRequest(Msg, DlgType, Buttons, HelpCtx, &DefaultButton));
}

void ShowMessage(const QString& Msg) { MessageDlg(Msg, mtCustom, {mbOK}, 0); }

bool InputQuery(const QString& ACaption, const QString& APrompt, QString& Value) {
  return MessageDialogService().InputQuery(ACaption, APrompt, Value);
}

QString InputBox(const QString& ACaption, const QString& APrompt, const QString& ADefault) {
  QString value = ADefault;
  return InputQuery(ACaption, APrompt, value) ? value : ADefault;
}

int MessageBox(HWND hWnd, const QString& lpText, const QString& lpCaption, UINT uType) {
  TMessageDialogRequest request;
  switch (uType & MB_TYPEMASK) {
    case MB_OK:
      request.Buttons = {mrOk};
      request.CancelResult = mrOk;
      break;
    case MB_OKCANCEL:
      request.Buttons = {mrOk, mrCancel};
      request.CancelResult = mrCancel;
      break;
    case MB_ABORTRETRYIGNORE:
      request.Buttons = {mrAbort, mrRetry, mrIgnore};
      break;
    case MB_YESNOCANCEL:
      request.Buttons = {mrYes, mrNo, mrCancel};
      request.CancelResult = mrCancel;
      break;
    case MB_YESNO:
      request.Buttons = {mrYes, mrNo};
      break;
    case MB_RETRYCANCEL:
      request.Buttons = {mrRetry, mrCancel};
      request.CancelResult = mrCancel;
      break;
    case MB_CANCELTRYCONTINUE:
      request.Buttons = {mrCancel, mrTryAgain, mrContinue};
      request.CancelResult = mrCancel;
      break;
    default:
      SetLastError(ERROR_INVALID_MSGBOX_STYLE);
      return 0;
  }
  if (uType & MB_HELP) request.Buttons.append(mrHelp);
  // Every box is modal to the application, centred over it and written left
  // to right, with the icon of its kind.
  const auto leftOut = [](const char* Flag) {
    LogNotCovered(lcVcl(), QStringLiteral("MessageBox: %1 (left out)").arg(QLatin1String(Flag)));
  };
  if ((uType & MB_MODEMASK) == MB_SYSTEMMODAL) leftOut("MB_SYSTEMMODAL");
  if ((uType & MB_MODEMASK) == MB_TASKMODAL) leftOut("MB_TASKMODAL");
  if ((uType & MB_ICONMASK) == MB_USERICON) leftOut("MB_USERICON");
  static const struct {
    UINT Flag;
    const char* Name;
  } kBits[] = {{MB_NOFOCUS, "MB_NOFOCUS"},
               {MB_SETFOREGROUND, "MB_SETFOREGROUND"},
               {MB_DEFAULT_DESKTOP_ONLY, "MB_DEFAULT_DESKTOP_ONLY"},
               {MB_TOPMOST, "MB_TOPMOST"},
               {MB_RIGHT, "MB_RIGHT"},
               {MB_RTLREADING, "MB_RTLREADING"}};
  for (const auto& bit : kBits)
    if (uType & bit.Flag) leftOut(bit.Name);
  const qsizetype defaultIndex = (uType & MB_DEFMASK) >> 8;
  request.DefaultResult =
      request.Buttons.value(defaultIndex < request.Buttons.size() ? defaultIndex : 0);

  switch (uType & MB_ICONMASK) {
    case MB_ICONHAND: request.DlgType = mtError; break;
    case MB_ICONQUESTION: request.DlgType = mtConfirmation; break;
    case MB_ICONEXCLAMATION: request.DlgType = mtWarning; break;
    case MB_ICONASTERISK: request.DlgType = mtInformation; break;
    default: request.DlgType = mtCustom; break;
  }
  request.Text = lpText;
  request.Caption = lpCaption.isNull() ? QStringLiteral("Error") : lpCaption;
  return MessageDialogService().ShowMessageDialog(request);
}
