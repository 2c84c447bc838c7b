#pragma once
// The main window of the capture program: the embedded browser with its
// address bar and navigation tool bar, the capture tool bar, the results pane
// (results memo and the grid tab), the status bar, the menus, the settings
// kept in the registry and the update check at start-up.
//
// The window builds its components itself in its constructor, each owned by
// the window. Its creation handler (FormCreate, run as OnCreate) fetches the
// maker's version page, checks for a newer build, creates the browser, shows
// the start page and reads the settings.

#include <QString>
#include <cstdint>

#include "app/uSuperWB.h"
#include "grid/model/KitGrid.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"

class TfrmSplashScreen;
class TfrmAddHTML;
class TWebData;

// Version text of this build, shown in the captions, the status bar, the
// about box and the start page.
inline const QString VERSION = QStringLiteral("v. 2.0g RC [13JUL2022]    \u00A0");
// Code of this edition (French PagesJaunes).
inline const QString EDITION_CODE = QStringLiteral("FR-PJ");

namespace uTallowfinch2 {
// The window's status bar holds the unused progress bar among its panels.
// The framework's status bar refuses child controls; this one differs from it
// only in accepting them. It lives in this namespace so that it keeps the
// framework's class name without clashing with the platform's TStatusBar.
class TStatusBar : public ::TStatusBar {
 public:
  explicit TStatusBar(TComponent* AOwner);
};
}  // namespace uTallowfinch2

class TfrmMyBrowser : public TForm {
 public:
  explicit TfrmMyBrowser(TComponent* AOwner);
  ~TfrmMyBrowser() override;

  // --- the browser, created by FormCreate (nullptr when that failed)
  TSuperBrowser* webbrowser1 = nullptr;

  // --- components
  TMainMenu* MainMenu1;
  TMenuItem* File1;
  TMenuItem* TFNStartPage1;
  TMenuItem* Goto1;
  TMenuItem* N1;
  TMenuItem* Open1;
  TMenuItem* SaveAs1;
  TMenuItem* N2;
  TMenuItem* Print1;
  TMenuItem* PrintPreview1;
  TMenuItem* PageSetup1;
  TMenuItem* N3;
  TMenuItem* Properties1;
  TMenuItem* N4;
  TMenuItem* OfflineMode1;
  TMenuItem* Exit1;
  TMenuItem* Edit2;
  TMenuItem* Cut1;
  TMenuItem* Copy1;
  TMenuItem* Paste1;
  TMenuItem* N5;
  TMenuItem* SelectAll1;
  TMenuItem* N6;
  TMenuItem* Search1;
  TMenuItem* View1;
  TMenuItem* ViewSource1;
  TMenuItem* N7;
  TMenuItem* Encoding1;
  TMenuItem* TextSize1;
  TMenuItem* N8;
  TMenuItem* DesignMode1;
  TMenuItem* Addressbar1;
  TMenuItem* Navigationbar1;
  TMenuItem* Extras1;
  TMenuItem* AddHTML1;
  TMenuItem* Cookies1;
  TMenuItem* N10;
  TMenuItem* InternetOptions1;
  TMenuItem* Interface1;
  TMenuItem* Help1;
  TMenuItem* Getsupport1;
  TMenuItem* VisitTFNonline1;
  TMenuItem* N11;
  TMenuItem* AboutTFN1;

  TPopupMenu* PCPopup;
  TMenuItem* CloseTab1;
  TMenuItem* DuplicateTab1;
  TPopupMenu* PopTimer;
  TMenuItem* ClearInternetCookies1;
  TPopupMenu* popData;
  TMenuItem* Removeduplicates1;
  TMenuItem* Emptydatagrid1;

  TImageList* ImageList1;  // the main tool bars
  TImageList* ImageList2;  // the results and grid tool bars

  TCoolBar* CoolBarMainIcons;
  TToolBar* tbarNav;
  TToolButton* ToolbtnBack;
  TToolButton* ToolBtnForward;
  TToolButton* ToolBtnStop;
  TToolButton* ToolBtnRefresh;
  TToolButton* ToolBtnHome;
  TToolButton* ToolBtnSearch;
  TToolButton* ToolBtnFavorites;
  TToolButton* ToolbtnTFN;
  TToolButton* btnPix;
  TToolButton* tbSplitScreen;
  TToolButton* btnTimer;
  TToolButton* ToolButton12;
  TToolButton* ToolButton13;

  TPanel* pnAddress;
  TLabel* lbURL;
  TEdit* edURL;
  TButton* btnGo;
  TLabel* lbSearch;
  TEdit* edSearch;
  TButton* btnSearch;
  TLabel* lbVersion;

  uTallowfinch2::TStatusBar* StatusBar1;
  TProgressBar* ProgressBar1;

  TPageControl* PageControl1;  // the results pane
  TTabSheet* tbResults;
  TToolBar* ToolBar2;
  TToolButton* ToolButton6;
  TToolButton* ToolButton2;
  TToolButton* ToolButton3;
  TToolButton* ToolButton7;
  TMemo* mmResults;
  TMemo* mmParser;
  TMemo* Memo1;
  TTabSheet* tbSaveToExcel;
  TToolBar* ToolBar1;
  TToolButton* ToolButton5;
  TKitStringGrid* sgExcel;  // the results grid of the grid tab
  TTabSheet* tbExtras;
  TTabSheet* tbDesign;
  TTabSheet* tbOptions;
  TSplitter* Splitter1;

  TPageControl* PageControl;  // the browser and the parsing information
  TTabSheet* TabSheet1;
  TToolBar* ToolBar3;
  TToolButton* btnQuickCapture;
  TToolButton* btnCapture;
  TLabel* lbCountry;
  TButtonedEdit* ButtonedEdit1;
  TButtonedEdit* ButtonedEdit2;
  TButton* btnSuchen;
  TEdit* EdNumberofLeads;
  TTabSheet* TabSheet2;
  TPageControl* PageControlInfos;
  TTabSheet* tbEventLog;
  TListBox* lstEventLog;

  TOpenDialog* OpenDialog1;
  TOpenDialog* OpenPictureDialog1;
  TSaveDialog* SaveDialog1;
  TTimer* Timer1;
  TWebData* wbdata;

  // --- start-up and main window
  void FormCreate(TObject* Sender);
  void FormDestroy(TObject* Sender);
  void FormShow(TObject* Sender) {}
  void FormResize(TObject* Sender) {}
  void FormCloseQuery(TObject* Sender, bool& CanClose) { CanClose = true; }
  void FormShowing(TObject* Sender) {}
  void NewMenu(TObject* Sender) {}
  // The start page template with its placeholders filled in; empty when it
  // cannot be read.
  void GetHTMLstarter(QString& Html);
  QString LoadStartPageTemplate();
  void TFNStartPage1Click(TObject* Sender);
  void Goto1Click(TObject* Sender);
  void Exit1Click(TObject* Sender);
  void btnGoClick(TObject* Sender);
  void edURLKeyPress(TObject* Sender, QChar& Key);
  void edURLDblClick(TObject* Sender);
  void ToolbtnBackClick(TObject* Sender);
  void ToolBtnForwardClick(TObject* Sender);
  void ToolBtnRefreshClick(TObject* Sender);
  void ToolBtnFavoritesClick(TObject* Sender);
  void ToolbtnTFNClick(TObject* Sender);
  void lbCountryClick(TObject* Sender);
  void PageControlChange(TObject* Sender);
  void Addressbar1Click(TObject* Sender);
  void Navigationbar1Click(TObject* Sender);
  void AddHTML1Click(TObject* Sender);
  void Getsupport1Click(TObject* Sender);
  void VisitTFNonline1Click(TObject* Sender);
  void N9Click(TObject* Sender);
  void btnSuchenClick(TObject* Sender);
  void ButtonedEdit1Enter(TObject* Sender);
  void edSearchKeyPress(TObject* Sender, QChar& Key) {}
  void btnSearchClick(TObject* Sender) {}
  void WebBrowser11TitleChange(TObject* Sender, const QString& Text);
  void ReloadPage();
  void CallWeb(const QString& szUrl);
  QString ReplaceOnload() { return QString(); }
  void GetFormPost(const QString& s);
  void RestartMe(TObject* Sender);

  // Handlers that do nothing.
  void File1Click(TObject* Sender) {}
  void Edit2Click(TObject* Sender) {}
  void Extras1Click(TObject* Sender) {}
  void View1Click(TObject* Sender) {}
  void Print1Click(TObject* Sender) {}
  void PrintPreview1Click(TObject* Sender) {}
  void PageSetup1Click(TObject* Sender) {}
  void Properties1Click(TObject* Sender) {}
  void Copy1Click(TObject* Sender) {}
  void Paste1Click(TObject* Sender) {}
  void Cut1Click(TObject* Sender) {}
  void SelectAll1Click(TObject* Sender) {}
  void Search1Click(TObject* Sender) {}
  void ViewSource1Click(TObject* Sender) {}
  void ToolBtnSearchClick(TObject* Sender) {}
  void InternetOptions1Click(TObject* Sender) {}
  void btnTimerClick(TObject* Sender) {}
  void StatusBar1DrawPanel(::TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect) {}
  void TabSheet1ContextPopup(TObject* Sender, TPoint MousePos, bool& Handled) {}
  void PageControlMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {}
  void PageControlInfosChange(TObject* Sender) {}
  void Timer1Timer(TObject* Sender) {}
  void WebBrowser11ProgressChange(TObject* Sender, int Progress, int ProgressMax) {}
  void WebBrowser11StatusTextChange(TObject* Sender, const QString& Text) {}

  // --- capture run
  void btnCaptureClick(TObject* Sender);
  void WaitForPageToLoad();
  void ToolBtnStopClick(TObject* Sender);

  // --- results memo and result file
  void Memo1Change(TObject* Sender);
  void mmResultsChange(TObject* Sender);
  void ToolButton6Click(TObject* Sender);
  void ToolButton7Click(TObject* Sender);
  void ToolButton2Click(TObject* Sender);

  // --- the grid tab
  void ToolButton3Click(TObject* Sender);
  void PageControl1Change(TObject* Sender);
  void ToolButton5Click(TObject* Sender);

  // --- settings and update check
  void ReadInterfaceAndWidth();
  void SetInterfaceAndWidth();
  void RestoreSplitter();
  void SaveSplitter();
  void Interface1Click(TObject* Sender);
  void TestClick(TObject* Sender);
  void tbSplitScreenClick(TObject* Sender);
  void N0second1Click(TObject* Sender);
  QString HttpGetText(const QString& URL);
  void CheckForUpdate();
  void wbdataData(TObject* Sender, int iItem, const QString& data);

 protected:
  // Makes the browser of the browser tab.
  virtual TSuperBrowser* NewBrowser();
  // Runs the capture over the result pages (returns when the run is over).
  virtual void RunCapture();

 private:
  void BuildMenus();
  void BuildImageLists();
  void BuildNavigationBar();
  void BuildAddressBar();
  void BuildStatusBar();
  void BuildResultsPane();
  void BuildResultsGrid();
  void BuildBrowserPane();
  void BuildDialogs();
  void PrepareWebData();
  // The results tool bar buttons, the capture button and the navigation
  // buttons back in their state outside a run.
  void EndCaptureState();
  void SaveResultFile(const QString& FileName);
  TToolButton* AddToolButton(TToolBar* Bar, const QString& Name, const QString& Caption, const QString& Hint,
                             int ImageIndex, TToolButtonStyle Style = tbsButton);
};

// The grid tab's hand-over: the memo's lines into the grid, each quoted field
// of a result line in its own cell (what ToolButton3Click does).
void HandOverToGrid(TCustomMemo* Memo, TKitStringGrid* Grid);

// The main window while the program runs.
extern TfrmMyBrowser* frmMyBrowser;
// The status window (label lblMessages) the capture run shows.
extern TfrmSplashScreen* StatusWindow;
// The build date offered by the maker, yyyymmdd.
extern QString UpdateDateText;
// The add-HTML dialog while it is shown.
extern TfrmAddHTML* AddHTMLDialog;

// The registry key of the settings, below HKEY_CURRENT_USER.
inline constexpr const char* kSettingsKey = "\\Software\\TFN-FR-PJ\\Main";
