#include "app/uTallowfinch2.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>

#include "app/AppResources.h"
#include "app/SiteHosts.h"
#include "app/uAddHTML.h"
#include "app/uPageAdvance.h"
#include "app/uSplashScreen.h"
#include "app/WebData.h"
#include "platform/rtl/Encoding.h"
#include "platform/rtl/HttpClient.h"
#include "platform/rtl/MessageText.h"
#include "platform/rtl/PerlRegEx.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/Themes.h"
#include "platform/win32/Shell.h"

TfrmMyBrowser* frmMyBrowser = nullptr;
TfrmSplashScreen* StatusWindow = nullptr;
QString UpdateDateText;
TfrmAddHTML* AddHTMLDialog = nullptr;

namespace {

// The directory site's home page and its search address, both over http.
QString DirectoryHomePage() { return QStringLiteral("http://") + DirectoryHost() + QStringLiteral("/"); }
QString DirectorySearchAddress() {
  return QStringLiteral("http://") + DirectoryHost() +
         QStringLiteral("/annuaire/chercherlespros?quoiqui=hotel&ou=lyon&univers=pagesjaunes&idOu=/");
}
QString MakerPage(const QString& Path) { return MakerRoot() + Path; }

const QString kWelcomePath = QStringLiteral("/welcome2FR.html");
const QString kStopPath = QStringLiteral("/stoppressed.html");
const QString kInstallerName = QStringLiteral("TFN-FR-PJ-Setup.exe");
const QString kStopCaption = QStringLiteral("STOP!");
const QString kCaptureCaption = QStringLiteral("Capture");

inline constexpr int kToolImageSize = 24;

// A picture compiled into the program, scaled to Size; a transparent picture
// when the resource is missing or unreadable, so image indexes stay in place.
QImage ResourceIcon(const QString& Name, int Size) {
  QImage image;
  if (!Name.isEmpty()) {
    try {
      TResourceStream stream(0, Name, QStringLiteral("RCDATA"));
      QByteArray bytes(int(stream.Size()), Qt::Uninitialized);
      stream.ReadBuffer(bytes.data(), bytes.size());
      image = QImage::fromData(bytes);
    } catch (const Exception&) {
      image = QImage();
    }
  }
  if (image.isNull()) {
    image = QImage(Size, Size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
  } else if (image.width() != Size || image.height() != Size) {
    image = image.scaled(Size, Size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  }
  return image.convertToFormat(QImage::Format_ARGB32);
}

void AddIcon(TImageList* List, const QString& Name) {
  TBitmap bitmap;
  bitmap.AssignImage(ResourceIcon(Name, List->Width()));
  List->Add(&bitmap, nullptr);
}

TMenuItem* NewItem(TComponent* Owner, TMenuItem* Parent, const QString& Name, const QString& Caption,
                   bool Visible = true) {
  auto* item = new TMenuItem(Owner);
  item->SetName(Name);
  item->SetCaption(Caption);
  item->SetVisible(Visible);
  Parent->Add(item);
  return item;
}

TTabSheet* NewSheet(TComponent* Owner, TPageControl* Pages, const QString& Name, const QString& Caption,
                    bool TabVisible = true) {
  auto* sheet = new TTabSheet(Owner);
  sheet->SetName(Name);
  sheet->SetCaption(Caption);
  sheet->SetPageControl(Pages);
  sheet->SetTabVisible(TabVisible);
  return sheet;
}

TMemo* NewMemo(TComponent* Owner, TWinControl* Parent, const QString& Name, const QString& Text) {
  auto* memo = new TMemo(Owner);
  memo->SetName(Name);
  memo->Lines()->Add(Text);
  memo->SetParent(Parent);
  return memo;
}

}  // namespace

// ---------------------------------------------------------------------------
// The status bar that holds controls

namespace uTallowfinch2 {
TStatusBar::TStatusBar(TComponent* AOwner) : ::TStatusBar(AOwner) { FControlStyle.Include(csAcceptsControls); }
}  // namespace uTallowfinch2

// ---------------------------------------------------------------------------
// Construction

TfrmMyBrowser::TfrmMyBrowser(TComponent* AOwner) : TForm(AOwner) {
  InitAppResources();
  SetName(QStringLiteral("frmMyBrowser"));
  SetCaption(QStringLiteral("Tallowfinch"));
  // The window's font, which every control on it shows unless it has its
  // own (ParentFont).
  Font()->SetName(QStringLiteral("Arial"));
  Font()->SetHeight(-11);
  SetClientWidth(1122);
  SetClientHeight(642);
  SetKeyPreview(true);
  SetPosition(poScreenCenter);
  SetWindowState(wsMaximized);
  // Laid out at 96 dots per inch and not rescaled for the monitor.
  SetScaled(false);

  BuildImageLists();
  BuildMenus();
  BuildDialogs();
  BuildNavigationBar();
  BuildAddressBar();
  BuildStatusBar();
  BuildResultsPane();
  BuildBrowserPane();
  PrepareWebData();
  // The lead count shows the window's font in bold.
  EdNumberofLeads->Font()->SetStyle(EdNumberofLeads->Font()->Style() + TFontStyles{fsBold});

  OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
  OnShow = [this](TObject* Sender) { FormShow(Sender); };
  OnResize = [this](TObject* Sender) { FormResize(Sender); };
  OnCloseQuery = [this](TObject* Sender, bool& CanClose) { FormCloseQuery(Sender, CanClose); };
}

TfrmMyBrowser::~TfrmMyBrowser() {
  // The timer goes with the base classes, which may still run the event
  // loop: it must not call back into this part of the form once it is gone.
  if (Timer1) {
    Timer1->SetEnabled(false);
    Timer1->SetOnTimer(nullptr);
  }
  Destroying();
  FormDestroy(this);
  if (frmMyBrowser == this) frmMyBrowser = nullptr;
}

void TfrmMyBrowser::BuildImageLists() {
  ImageList1 = new TImageList(this, kToolImageSize, kToolImageSize);
  ImageList1->SetName(QStringLiteral("ImageList1"));
  for (int i = 0; i <= 13; ++i) AddIcon(ImageList1, QStringLiteral("NAVICON%1").arg(i));

  ImageList2 = new TImageList(this, kToolImageSize, kToolImageSize);
  ImageList2->SetName(QStringLiteral("ImageList2"));
  const QList<int> used = {2, 4, 8, 9, 10};
  for (int i = 0; i <= 10; ++i) AddIcon(ImageList2, used.contains(i) ? QStringLiteral("RESULTICON%1").arg(i) : QString());
}

void TfrmMyBrowser::BuildMenus() {
  MainMenu1 = new TMainMenu(this);
  MainMenu1->SetName(QStringLiteral("MainMenu1"));
  TMenuItem* root = MainMenu1->Items();
  auto click = [this](TMenuItem* Item, void (TfrmMyBrowser::*Handler)(TObject*)) {
    Item->OnClick = [this, Handler](TObject* Sender) { (this->*Handler)(Sender); };
  };

  File1 = NewItem(this, root, QStringLiteral("File1"), QStringLiteral("&File"));
  click(File1, &TfrmMyBrowser::File1Click);
  TFNStartPage1 = NewItem(this, File1, QStringLiteral("TFNStartPage1"), QStringLiteral("Go to Start Page (TFN) "));
  click(TFNStartPage1, &TfrmMyBrowser::TFNStartPage1Click);
  Goto1 = NewItem(this, File1, QStringLiteral("Goto1"), QStringLiteral("Go to"));
  click(Goto1, &TfrmMyBrowser::Goto1Click);
  N1 = NewItem(this, File1, QStringLiteral("N1"), QStringLiteral("-"), false);
  Open1 = NewItem(this, File1, QStringLiteral("Open1"), QStringLiteral("&Open..."), false);
  SaveAs1 = NewItem(this, File1, QStringLiteral("SaveAs1"), QStringLiteral("&Save As..."), false);
  N2 = NewItem(this, File1, QStringLiteral("N2"), QStringLiteral("-"), false);
  Print1 = NewItem(this, File1, QStringLiteral("Print1"), QStringLiteral("&Print..."), false);
  click(Print1, &TfrmMyBrowser::Print1Click);
  PrintPreview1 = NewItem(this, File1, QStringLiteral("PrintPreview1"), QStringLiteral("Print Previe&w"), false);
  click(PrintPreview1, &TfrmMyBrowser::PrintPreview1Click);
  PageSetup1 = NewItem(this, File1, QStringLiteral("PageSetup1"), QStringLiteral("Page &Setup"), false);
  click(PageSetup1, &TfrmMyBrowser::PageSetup1Click);
  N3 = NewItem(this, File1, QStringLiteral("N3"), QStringLiteral("-"), false);
  Properties1 = NewItem(this, File1, QStringLiteral("Properties1"), QStringLiteral("P&roperties"), false);
  click(Properties1, &TfrmMyBrowser::Properties1Click);
  N4 = NewItem(this, File1, QStringLiteral("N4"), QStringLiteral("-"), false);
  OfflineMode1 = NewItem(this, File1, QStringLiteral("OfflineMode1"), QStringLiteral("O&ffline Mode"), false);
  Exit1 = NewItem(this, File1, QStringLiteral("Exit1"), QStringLiteral("&Exit"));
  click(Exit1, &TfrmMyBrowser::Exit1Click);

  Edit2 = NewItem(this, root, QStringLiteral("Edit2"), QStringLiteral("&Edit"), false);
  click(Edit2, &TfrmMyBrowser::Edit2Click);
  Cut1 = NewItem(this, Edit2, QStringLiteral("Cut1"), QStringLiteral("&Cut"), false);
  click(Cut1, &TfrmMyBrowser::Cut1Click);
  Copy1 = NewItem(this, Edit2, QStringLiteral("Copy1"), QStringLiteral("Cop&y"));
  click(Copy1, &TfrmMyBrowser::Copy1Click);
  Paste1 = NewItem(this, Edit2, QStringLiteral("Paste1"), QStringLiteral("&Paste"), false);
  click(Paste1, &TfrmMyBrowser::Paste1Click);
  N5 = NewItem(this, Edit2, QStringLiteral("N5"), QStringLiteral("-"));
  SelectAll1 = NewItem(this, Edit2, QStringLiteral("SelectAll1"), QStringLiteral("Select &All"));
  click(SelectAll1, &TfrmMyBrowser::SelectAll1Click);
  N6 = NewItem(this, Edit2, QStringLiteral("N6"), QStringLiteral("-"));
  Search1 = NewItem(this, Edit2, QStringLiteral("Search1"), QStringLiteral("&Search (Current Page)..."));
  click(Search1, &TfrmMyBrowser::Search1Click);

  View1 = NewItem(this, root, QStringLiteral("View1"), QStringLiteral("&View"));
  click(View1, &TfrmMyBrowser::View1Click);
  ViewSource1 = NewItem(this, View1, QStringLiteral("ViewSource1"), QStringLiteral("&Source Code"), false);
  click(ViewSource1, &TfrmMyBrowser::ViewSource1Click);
  N7 = NewItem(this, View1, QStringLiteral("N7"), QStringLiteral("-"));
  Encoding1 = NewItem(this, View1, QStringLiteral("Encoding1"), QStringLiteral("Encoding"), false);
  const QStringList encodings = {
      QStringLiteral("Automatic"),           QStringLiteral("Central European (ISO)"),
      QStringLiteral("Western European (ISO)"), QStringLiteral("Unicode (UTF-8)"),
      QStringLiteral("Arabic (Windows)"),    QStringLiteral("Baltic (Windows)"),
      QStringLiteral("Chinese Simplified (GB2312)"), QStringLiteral("Chinese Traditional (Big5)"),
      QStringLiteral("Greek (Windows)"),     QStringLiteral("Korean (ISO)"),
      QStringLiteral("Thai (Windows)"),      QStringLiteral("Turkish (Windows)")};
  for (int i = 0; i < encodings.size(); ++i) {
    QString name = encodings[i];
    name.remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")));
    TMenuItem* item = NewItem(this, Encoding1, name + QStringLiteral("1"), encodings[i]);
    item->SetRadioItem(true);
  }
  TextSize1 = NewItem(this, View1, QStringLiteral("TextSize1"), QStringLiteral("Text Size"), false);
  const QStringList sizes = {QStringLiteral("Largest"), QStringLiteral("Large"), QStringLiteral("Medium"),
                             QStringLiteral("Small"), QStringLiteral("Smallest")};
  for (const QString& size : sizes) NewItem(this, TextSize1, size + QStringLiteral("1"), size);
  N8 = NewItem(this, View1, QStringLiteral("N8"), QStringLiteral("-"));
  DesignMode1 = NewItem(this, View1, QStringLiteral("DesignMode1"), QStringLiteral("&Design Mode (beta)"), false);
  Addressbar1 = NewItem(this, View1, QStringLiteral("Addressbar1"), QStringLiteral("Address bar"));
  click(Addressbar1, &TfrmMyBrowser::Addressbar1Click);
  Navigationbar1 = NewItem(this, View1, QStringLiteral("Navigationbar1"), QStringLiteral("Navigation bar"));
  click(Navigationbar1, &TfrmMyBrowser::Navigationbar1Click);

  Extras1 = NewItem(this, root, QStringLiteral("Extras1"), QStringLiteral("&Extras"), false);
  click(Extras1, &TfrmMyBrowser::Extras1Click);
  AddHTML1 = NewItem(this, Extras1, QStringLiteral("AddHTML1"), QStringLiteral("&Add HTML..."));
  click(AddHTML1, &TfrmMyBrowser::AddHTML1Click);
  Cookies1 = NewItem(this, Extras1, QStringLiteral("Cookies1"), QStringLiteral("Cookies"));
  N10 = NewItem(this, Extras1, QStringLiteral("N10"), QStringLiteral("-"));
  InternetOptions1 = NewItem(this, Extras1, QStringLiteral("InternetOptions1"), QStringLiteral("Internet &Options..."));
  click(InternetOptions1, &TfrmMyBrowser::InternetOptions1Click);

  Interface1 = NewItem(this, root, QStringLiteral("Interface1"), QStringLiteral("Appearance"));
  click(Interface1, &TfrmMyBrowser::Interface1Click);
  // Filled now so that the entry opens as a menu; every opening fills it anew.
  Interface1Click(Interface1);

  Help1 = NewItem(this, root, QStringLiteral("Help1"), QStringLiteral("Help"));
  Getsupport1 = NewItem(this, Help1, QStringLiteral("Getsupport1"), QStringLiteral("Get support"));
  click(Getsupport1, &TfrmMyBrowser::Getsupport1Click);
  VisitTFNonline1 = NewItem(this, Help1, QStringLiteral("VisitTFNonline1"), QStringLiteral("Visit TFN on line"));
  click(VisitTFNonline1, &TfrmMyBrowser::VisitTFNonline1Click);
  N11 = NewItem(this, Help1, QStringLiteral("N11"), QStringLiteral("-"));
  AboutTFN1 = NewItem(this, Help1, QStringLiteral("AboutTFN1"), QStringLiteral("About TFN..."));
  click(AboutTFN1, &TfrmMyBrowser::N9Click);

  SetMenu(MainMenu1);

  PCPopup = new TPopupMenu(this);
  PCPopup->SetName(QStringLiteral("PCPopup"));
  CloseTab1 = NewItem(this, PCPopup->Items(), QStringLiteral("CloseTab1"), QStringLiteral("Close Tab"));
  CloseTab1->SetDefault(true);
  DuplicateTab1 = NewItem(this, PCPopup->Items(), QStringLiteral("DuplicateTab1"), QStringLiteral("Duplicate Tab"));

  PopTimer = new TPopupMenu(this);
  PopTimer->SetName(QStringLiteral("PopTimer"));
  const QList<std::pair<int, QString>> delays = {
      {1, QStringLiteral("1 second")},    {3, QStringLiteral("3 seconds")},  {5, QStringLiteral("5 seconds")},
      {10, QStringLiteral("10 seconds")}, {15, QStringLiteral("15 seconds")}, {30, QStringLiteral("30 seconds")},
      {60, QStringLiteral("60 seconds")}};
  for (const auto& [seconds, caption] : delays) {
    TMenuItem* item = NewItem(this, PopTimer->Items(),
                              seconds == 1 ? QStringLiteral("N0second1") : QStringLiteral("N%1seconds1").arg(seconds),
                              caption);
    item->SetHint(QString::number(seconds));
    click(item, &TfrmMyBrowser::N0second1Click);
  }
  ClearInternetCookies1 =
      NewItem(this, PopTimer->Items(), QStringLiteral("ClearInternetCookies1"), QStringLiteral("Clear internet cookies"));

  popData = new TPopupMenu(this);
  popData->SetName(QStringLiteral("popData"));
  Removeduplicates1 = NewItem(this, popData->Items(), QStringLiteral("Removeduplicates1"), QStringLiteral("Remove duplicates"));
  click(Removeduplicates1, &TfrmMyBrowser::ToolButton6Click);
  Emptydatagrid1 = NewItem(this, popData->Items(), QStringLiteral("Emptydatagrid1"), QStringLiteral("Empty data grid"));
  click(Emptydatagrid1, &TfrmMyBrowser::ToolButton7Click);
}

void TfrmMyBrowser::BuildDialogs() {
  OpenDialog1 = new TOpenDialog(this);
  OpenDialog1->SetName(QStringLiteral("OpenDialog1"));
  OpenDialog1->SetFilter(QStringLiteral(
      "HTML File (*.htm, *.html)|*.htm; *.html|MS Word Document (*.doc)|*.doc|MS Excel (*.xls)|*.xls|"
      "MS Powerpoint (*.ppt)|*.ppt"));
  OpenPictureDialog1 = new TOpenDialog(this);
  OpenPictureDialog1->SetName(QStringLiteral("OpenPictureDialog1"));
  SaveDialog1 = new TSaveDialog(this);
  SaveDialog1->SetName(QStringLiteral("SaveDialog1"));
  SaveDialog1->SetDefaultExt(QStringLiteral(".csv"));
  SaveDialog1->SetFileName(QStringLiteral("tfn1.csv"));
  SaveDialog1->SetFilter(QStringLiteral("CSV database or excel text file|*.csv|Text file|*.txt"));
  SaveDialog1->SetTitle(QStringLiteral("Save data as..."));
  Timer1 = new TTimer(this);
  Timer1->SetName(QStringLiteral("Timer1"));
  Timer1->SetOnTimer([this](TObject* Sender) { Timer1Timer(Sender); });
}

TToolButton* TfrmMyBrowser::AddToolButton(TToolBar* Bar, const QString& Name, const QString& Caption,
                                          const QString& Hint, int ImageIndex, TToolButtonStyle Style) {
  auto* button = new TToolButton(this);
  button->SetName(Name);
  button->SetStyle(Style);
  button->SetCaption(Caption);
  button->SetHint(Hint);
  button->SetImageIndex(ImageIndex);
  button->SetParent(Bar);
  return button;
}

void TfrmMyBrowser::BuildNavigationBar() {
  CoolBarMainIcons = new TCoolBar(this);
  CoolBarMainIcons->SetName(QStringLiteral("CoolBarMainIcons"));
  CoolBarMainIcons->SetAlign(alTop);
  CoolBarMainIcons->SetAutoSize(true);
  CoolBarMainIcons->SetParent(this);

  tbarNav = new TToolBar(this);
  tbarNav->SetName(QStringLiteral("tbarNav"));
  tbarNav->SetButtonWidth(75);
  tbarNav->SetButtonHeight(45);
  tbarNav->SetShowCaptions(true);
  tbarNav->SetImages(ImageList1);
  tbarNav->SetShowHint(true);
  tbarNav->SetWrapable(false);
  tbarNav->SetAutoSize(true);

  auto on = [this](TToolButton* Button, void (TfrmMyBrowser::*Handler)(TObject*)) {
    Button->OnClick = [this, Handler](TObject* Sender) { (this->*Handler)(Sender); };
  };
  int separators = 0;
  auto separator = [&] {
    TToolButton* s = AddToolButton(tbarNav, QStringLiteral("Separator%1").arg(++separators), QString(), QString(),
                                   -1, tbsSeparator);
    s->SetWidth(8);
  };
  ToolbtnBack = AddToolButton(tbarNav, QStringLiteral("ToolbtnBack"), QStringLiteral("Back"),
                              QStringLiteral("Navigate Back"), 4);
  on(ToolbtnBack, &TfrmMyBrowser::ToolbtnBackClick);
  ToolBtnForward = AddToolButton(tbarNav, QStringLiteral("ToolBtnForward"), QStringLiteral("Forward"),
                                 QStringLiteral("Navigate Forward"), 3);
  on(ToolBtnForward, &TfrmMyBrowser::ToolBtnForwardClick);
  ToolBtnStop = AddToolButton(tbarNav, QStringLiteral("ToolBtnStop"), QStringLiteral(" Stop"),
                              QStringLiteral("Stop loading"), 0);
  on(ToolBtnStop, &TfrmMyBrowser::ToolBtnStopClick);
  separator();
  ToolBtnRefresh = AddToolButton(tbarNav, QStringLiteral("ToolBtnRefresh"), QStringLiteral("Refresh"),
                                 QStringLiteral("Refresh Active Tab"), 2);
  on(ToolBtnRefresh, &TfrmMyBrowser::ToolBtnRefreshClick);
  ToolBtnHome = AddToolButton(tbarNav, QStringLiteral("ToolBtnHome"), QStringLiteral("Home"), QString(), 1);
  on(ToolBtnHome, &TfrmMyBrowser::TFNStartPage1Click);
  separator();
  ToolBtnSearch = AddToolButton(tbarNav, QStringLiteral("ToolBtnSearch"), QStringLiteral("Search"),
                                QStringLiteral("Search..."), 5);
  ToolBtnSearch->SetVisible(false);
  on(ToolBtnSearch, &TfrmMyBrowser::ToolBtnSearchClick);
  ToolBtnFavorites = AddToolButton(tbarNav, QStringLiteral("ToolBtnFavorites"), QStringLiteral("Favorites"),
                                   QStringLiteral("Show Favorites"), 7);
  ToolBtnFavorites->SetVisible(false);
  on(ToolBtnFavorites, &TfrmMyBrowser::ToolBtnFavoritesClick);
  ToolbtnTFN = AddToolButton(tbarNav, QStringLiteral("ToolbtnTFN"), QStringLiteral("YP"), QString(), 7);
  on(ToolbtnTFN, &TfrmMyBrowser::ToolbtnTFNClick);
  separator();
  btnPix = AddToolButton(tbarNav, QStringLiteral("btnPix"), QStringLiteral("Pix"), QString(), 10, tbsCheck);
  btnPix->SetVisible(false);
  separator();
  tbSplitScreen = AddToolButton(tbarNav, QStringLiteral("tbSplitScreen"), QStringLiteral("50%"),
                                QStringLiteral("Split in two"), 9, tbsCheck);
  on(tbSplitScreen, &TfrmMyBrowser::tbSplitScreenClick);
  separator();
  btnTimer = AddToolButton(tbarNav, QStringLiteral("btnTimer"), QStringLiteral("Timer"),
                           QStringLiteral("Number of seconds between scrapes"), 13, tbsDropDown);
  btnTimer->SetDropdownMenu(PopTimer);
  on(btnTimer, &TfrmMyBrowser::btnTimerClick);
  separator();
  ToolButton12 = AddToolButton(tbarNav, QStringLiteral("ToolButton12"), QStringLiteral("Data"), QString(), 12,
                               tbsDropDown);
  ToolButton12->SetDropdownMenu(popData);
  ToolButton13 = AddToolButton(tbarNav, QStringLiteral("ToolButton13"), QString(), QString(), 13);
  ToolButton13->SetVisible(false);

  TCoolBand* band = CoolBarMainIcons->Bands()->Add();
  band->SetControl(tbarNav);
  band->SetMinHeight(tbarNav->ButtonHeight() + 4);
}

void TfrmMyBrowser::BuildAddressBar() {
  pnAddress = new TPanel(this);
  pnAddress->SetName(QStringLiteral("pnAddress"));
  pnAddress->SetAlign(alTop);
  pnAddress->SetHeight(38);
  pnAddress->SetShowCaption(false);
  pnAddress->SetBevelOuter(bvNone);
  pnAddress->SetTop(CoolBarMainIcons->Top() + CoolBarMainIcons->Height());
  pnAddress->SetParent(this);

  lbURL = new TLabel(this);
  lbURL->SetName(QStringLiteral("lbURL"));
  lbURL->SetCaption(QStringLiteral("URL:"));
  lbURL->SetBounds(8, 12, 30, 14);
  lbURL->SetParent(pnAddress);

  edURL = new TEdit(this);
  edURL->SetName(QStringLiteral("edURL"));
  edURL->SetBounds(44, 8, 980, 22);
  edURL->SetAnchors(TAnchors{akLeft, akTop, akRight});
  edURL->OnKeyPress = [this](TObject* Sender, QChar& Key) { edURLKeyPress(Sender, Key); };
  edURL->OnDblClick = [this](TObject* Sender) { edURLDblClick(Sender); };
  edURL->SetParent(pnAddress);

  btnGo = new TButton(this);
  btnGo->SetName(QStringLiteral("btnGo"));
  btnGo->SetCaption(QStringLiteral("GO"));
  btnGo->SetHint(QStringLiteral("Navigate to a Webpage"));
  btnGo->SetShowHint(true);
  btnGo->SetBounds(1032, 7, 80, 24);
  btnGo->SetAnchors(TAnchors{akTop, akRight});
  btnGo->OnClick = [this](TObject* Sender) { btnGoClick(Sender); };
  btnGo->SetParent(pnAddress);

  lbSearch = new TLabel(this);
  lbSearch->SetName(QStringLiteral("lbSearch"));
  lbSearch->SetCaption(QStringLiteral("Search:"));
  lbSearch->SetVisible(false);
  lbSearch->SetParent(pnAddress);
  edSearch = new TEdit(this);
  edSearch->SetName(QStringLiteral("edSearch"));
  edSearch->SetVisible(false);
  edSearch->OnKeyPress = [this](TObject* Sender, QChar& Key) { edSearchKeyPress(Sender, Key); };
  edSearch->SetParent(pnAddress);
  btnSearch = new TButton(this);
  btnSearch->SetName(QStringLiteral("btnSearch"));
  btnSearch->SetCaption(QStringLiteral("Search"));
  btnSearch->SetVisible(false);
  btnSearch->OnClick = [this](TObject* Sender) { btnSearchClick(Sender); };
  btnSearch->SetParent(pnAddress);

  lbVersion = new TLabel(this);
  lbVersion->SetName(QStringLiteral("lbVersion"));
  lbVersion->SetCaption(QStringLiteral("lbVersion"));
  lbVersion->SetVisible(false);
  lbVersion->SetParent(pnAddress);
}

void TfrmMyBrowser::BuildStatusBar() {
  StatusBar1 = new uTallowfinch2::TStatusBar(this);
  StatusBar1->SetName(QStringLiteral("StatusBar1"));
  StatusBar1->SetHeight(22);
  const struct {
    int Width;
    TAlignment Alignment;
    TStatusPanelStyle Style;
  } panels[] = {{250, taRightJustify, psText},
                {200, taLeftJustify, psText},
                {250, taCenter, psText},
                {50, taLeftJustify, psOwnerDraw},
                {50, taLeftJustify, psText}};
  for (const auto& p : panels) {
    TStatusPanel* panel = StatusBar1->Panels()->Add();
    panel->SetWidth(p.Width);
    panel->SetAlignment(p.Alignment);
    panel->SetStyle(p.Style);
  }
  StatusBar1->OnDrawPanel = [this](::TStatusBar* Bar, TStatusPanel* Panel, const TRect& Rect) {
    StatusBar1DrawPanel(Bar, Panel, Rect);
  };
  StatusBar1->SetParent(this);

  ProgressBar1 = new TProgressBar(this);
  ProgressBar1->SetName(QStringLiteral("ProgressBar1"));
  ProgressBar1->SetBounds(254, 3, 192, 16);
  ProgressBar1->SetParent(StatusBar1);
}

void TfrmMyBrowser::BuildResultsPane() {
  PageControl1 = new TPageControl(this);
  PageControl1->SetName(QStringLiteral("PageControl1"));
  PageControl1->SetAlign(alRight);
  PageControl1->SetWidth(226);
  PageControl1->SetParent(this);

  tbResults = NewSheet(this, PageControl1, QStringLiteral("tbResults"), QStringLiteral("CSV Results (text)"));
  ToolBar2 = new TToolBar(this);
  ToolBar2->SetName(QStringLiteral("ToolBar2"));
  ToolBar2->SetAlign(alTop);
  ToolBar2->SetShowCaptions(true);
  ToolBar2->SetList(true);
  ToolBar2->SetButtonWidth(135);
  ToolBar2->SetButtonHeight(30);
  ToolBar2->SetImages(ImageList2);
  ToolBar2->SetShowHint(true);
  ToolBar2->SetAutoSize(true);
  ToolBar2->SetParent(tbResults);
  ToolButton6 = AddToolButton(ToolBar2, QStringLiteral("ToolButton6"), QStringLiteral("DD"),
                              QStringLiteral("Remove duplicates"), 9);
  ToolButton6->OnClick = [this](TObject* Sender) { ToolButton6Click(Sender); };
  ToolButton2 = AddToolButton(ToolBar2, QStringLiteral("ToolButton2"), QStringLiteral("Save to CSV (text file)"),
                              QString(), 2, tbsTextButton);
  ToolButton2->OnClick = [this](TObject* Sender) { ToolButton2Click(Sender); };
  ToolButton3 = AddToolButton(ToolBar2, QStringLiteral("ToolButton3"), QString(), QString(), 4);
  ToolButton3->SetVisible(false);
  ToolButton3->OnClick = [this](TObject* Sender) { ToolButton3Click(Sender); };
  ToolButton7 = AddToolButton(ToolBar2, QStringLiteral("ToolButton7"), QStringLiteral("btnClear"),
                              QStringLiteral("Clear All Lines"), 10);
  ToolButton7->OnClick = [this](TObject* Sender) { ToolButton7Click(Sender); };

  mmResults = NewMemo(this, tbResults, QStringLiteral("mmResults"),
                      QStringLiteral("Scraping results, one page at a time..."));
  mmResults->SetAlign(alClient);
  // Read-only but enabled: the user cannot type into the results, and can
  // still scroll to every line, select and copy them.
  mmResults->SetReadOnly(true);
  mmResults->SetScrollBars(ssBoth);
  mmResults->SetWordWrap(false);
  mmResults->OnChange = [this](TObject* Sender) { Memo1Change(Sender); };
  mmParser = NewMemo(this, tbResults, QStringLiteral("mmParser"), QStringLiteral("mmParser"));
  mmParser->SetVisible(false);
  Memo1 = NewMemo(this, tbResults, QStringLiteral("Memo1"), QStringLiteral("Memo1"));
  Memo1->SetVisible(false);
  Memo1->OnChange = [this](TObject* Sender) { Memo1Change(Sender); };

  tbSaveToExcel = NewSheet(this, PageControl1, QStringLiteral("tbSaveToExcel"), QStringLiteral("MS Excel View"));
  ToolBar1 = new TToolBar(this);
  ToolBar1->SetName(QStringLiteral("ToolBar1"));
  ToolBar1->SetAlign(alTop);
  ToolBar1->SetShowCaptions(true);
  ToolBar1->SetList(true);
  ToolBar1->SetButtonWidth(210);
  ToolBar1->SetButtonHeight(30);
  ToolBar1->SetImages(ImageList2);
  ToolBar1->SetAutoSize(true);
  ToolBar1->SetParent(tbSaveToExcel);
  ToolButton5 = AddToolButton(ToolBar1, QStringLiteral("ToolButton5"),
                              QStringLiteral("Save to XLS (cells can be edited first)"), QString(), 8);
  ToolButton5->OnClick = [this](TObject* Sender) { ToolButton5Click(Sender); };
  BuildResultsGrid();

  tbExtras = NewSheet(this, PageControl1, QStringLiteral("tbExtras"), QStringLiteral("Extras"), false);
  tbDesign = NewSheet(this, PageControl1, QStringLiteral("tbDesign"), QStringLiteral("Design"), false);
  tbOptions = NewSheet(this, PageControl1, QStringLiteral("tbOptions"), QStringLiteral("Options"), false);
  PageControl1->SetActivePage(tbResults);
  PageControl1->OnChange = [this](TObject* Sender) { PageControl1Change(Sender); };

  Splitter1 = new TSplitter(this);
  Splitter1->SetName(QStringLiteral("Splitter1"));
  Splitter1->SetAlign(alRight);
  Splitter1->SetWidth(5);
  // Left of the results pane.
  Splitter1->SetLeft(PageControl1->Left() - 5);
  Splitter1->SetParent(this);
}

void TfrmMyBrowser::BuildResultsGrid() {
  sgExcel = Create<TKitStringGrid>(this);
  sgExcel->SetName(QStringLiteral("sgExcel"));
  sgExcel->SetAlign(alClient);
  sgExcel->SetColCount(25);
  sgExcel->SetRowCount(50);
  sgExcel->SetFixedCols(0);
  sgExcel->SetFixedRows(0);
  sgExcel->SetFixedColWidth(18);
  sgExcel->SetFixedRowHeight(0);
  sgExcel->SetDefaultColWidth(18);
  sgExcel->SetDefaultRowHeight(22);
  sgExcel->SetOptions(sgExcel->Options() + TGridOptions{goEditing, goRangeSelect});
  sgExcel->SetFlat(true);
  sgExcel->SetLook(glClassic);
  sgExcel->SetCtl3D(false);
  sgExcel->Font()->SetName(QStringLiteral("Tahoma"));
  sgExcel->Font()->SetHeight(11);
  sgExcel->ActiveCellFont()->SetStyle(TFontStyles{fsBold});
  sgExcel->SetActiveRowShow(true);
  sgExcel->SetActiveCellShow(true);
  sgExcel->SetAutoThemeAdapt(true);
  TStringList headers;
  for (int i = 1; i <= 15; ++i) headers.Add(QString::number(i));
  sgExcel->SetColumnHeaders(&headers);
  sgExcel->SetFloatFormat(QStringLiteral("%.2f"));
  sgExcel->SetFormatType(ftExcel);
  sgExcel->SetURLShow(true);
  sgExcel->PrintSettings()->SetDateFormat(QStringLiteral("dd/mm/yyyy"));
  sgExcel->PrintSettings()->SetPageNumSep(QStringLiteral("/"));
  sgExcel->HTMLSettings()->SetImageFolder(QStringLiteral("images"));
  sgExcel->HTMLSettings()->SetImageBaseName(QStringLiteral("img"));
  sgExcel->SetScrollWidth(21);
  TSearchFooter* footer = sgExcel->SearchFooter();
  footer->SetFindNextCaption(QStringLiteral("Find &next"));
  footer->SetFindPrevCaption(QStringLiteral("Find &previous"));
  footer->SetHighLightCaption(QStringLiteral("Highlight"));
  footer->SetMatchCaseCaption(QStringLiteral("Match case"));
  footer->SetHintClose(QStringLiteral("Close"));
  footer->SetHintFindNext(QStringLiteral("Find next occurrence"));
  footer->SetHintFindPrev(QStringLiteral("Find previous occurrence"));
  footer->SetHintHighlight(QStringLiteral("Highlight occurrences"));
  footer->SetResultFormat(QStringLiteral("(%d of %d)"));
  sgExcel->SetParent(tbSaveToExcel);
}

void TfrmMyBrowser::BuildBrowserPane() {
  PageControl = new TPageControl(this);
  PageControl->SetName(QStringLiteral("PageControl"));
  PageControl->SetAlign(alClient);
  PageControl->SetPopupMenu(PCPopup);
  PageControl->OnChange = [this](TObject* Sender) { PageControlChange(Sender); };
  PageControl->OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
    PageControlMouseDown(Sender, Button, Shift, X, Y);
  };
  PageControl->SetParent(this);

  TabSheet1 = NewSheet(this, PageControl, QStringLiteral("TabSheet1"), QStringLiteral("WebBrowser"));
  TabSheet1->OnContextPopup = [this](TObject* Sender, TPoint MousePos, bool& Handled) {
    TabSheet1ContextPopup(Sender, MousePos, Handled);
  };

  ToolBar3 = new TToolBar(this);
  ToolBar3->SetName(QStringLiteral("ToolBar3"));
  ToolBar3->SetAlign(alTop);
  ToolBar3->SetShowCaptions(true);
  ToolBar3->SetList(true);
  ToolBar3->SetButtonHeight(30);
  ToolBar3->SetButtonWidth(90);
  ToolBar3->SetImages(ImageList1);
  ToolBar3->SetWrapable(false);
  ToolBar3->SetAutoSize(true);
  ToolBar3->SetParent(TabSheet1);

  btnQuickCapture = AddToolButton(ToolBar3, QStringLiteral("btnQuickCapture"), QStringLiteral("Quick"), QString(), -1,
                                  tbsCheck);
  btnQuickCapture->SetVisible(false);
  btnCapture = AddToolButton(ToolBar3, QStringLiteral("btnCapture"), kCaptureCaption, QString(), 8);
  btnCapture->OnClick = [this](TObject* Sender) { btnCaptureClick(Sender); };

  lbCountry = new TLabel(this);
  lbCountry->SetName(QStringLiteral("lbCountry"));
  lbCountry->SetCaption(QStringLiteral("   YP Country   "));
  lbCountry->SetColor(clYellow);
  lbCountry->SetTransparent(false);
  lbCountry->SetLayout(tlCenter);
  lbCountry->Font()->SetName(QStringLiteral("Arial"));
  lbCountry->Font()->SetHeight(-15);
  lbCountry->Font()->SetStyle(TFontStyles{fsBold});
  lbCountry->SetCursor(crHandPoint);
  lbCountry->OnClick = [this](TObject* Sender) { lbCountryClick(Sender); };
  lbCountry->SetParent(ToolBar3);

  ButtonedEdit1 = new TButtonedEdit(this);
  ButtonedEdit1->SetName(QStringLiteral("ButtonedEdit1"));
  ButtonedEdit1->SetText(QStringLiteral("Was suchen Sie?"));
  ButtonedEdit1->SetVisible(false);
  ButtonedEdit1->OnEnter = [this](TObject* Sender) { ButtonedEdit1Enter(Sender); };
  ButtonedEdit1->SetParent(ToolBar3);
  ButtonedEdit2 = new TButtonedEdit(this);
  ButtonedEdit2->SetName(QStringLiteral("ButtonedEdit2"));
  ButtonedEdit2->SetText(QStringLiteral("Wo?"));
  ButtonedEdit2->SetVisible(false);
  ButtonedEdit2->SetParent(ToolBar3);
  btnSuchen = new TButton(this);
  btnSuchen->SetName(QStringLiteral("btnSuchen"));
  btnSuchen->SetCaption(QStringLiteral("SUCHEN..."));
  btnSuchen->SetVisible(false);
  btnSuchen->OnClick = [this](TObject* Sender) { btnSuchenClick(Sender); };
  btnSuchen->SetParent(ToolBar3);

  EdNumberofLeads = new TEdit(this);
  EdNumberofLeads->SetName(QStringLiteral("EdNumberofLeads"));
  EdNumberofLeads->SetAlign(alRight);
  EdNumberofLeads->SetWidth(150);
  EdNumberofLeads->SetReadOnly(true);
  EdNumberofLeads->SetAlignment(taCenter);
  EdNumberofLeads->SetText(QStringLiteral("Number of Leads"));
  EdNumberofLeads->SetParent(ToolBar3);

  TabSheet2 = NewSheet(this, PageControl, QStringLiteral("TabSheet2"), QStringLiteral("Parsing Info"), false);
  PageControlInfos = new TPageControl(this);
  PageControlInfos->SetName(QStringLiteral("PageControlInfos"));
  PageControlInfos->SetAlign(alClient);
  PageControlInfos->OnChange = [this](TObject* Sender) { PageControlInfosChange(Sender); };
  PageControlInfos->SetParent(TabSheet2);
  tbEventLog = NewSheet(this, PageControlInfos, QStringLiteral("tbEventLog"), QStringLiteral("Events"), false);
  lstEventLog = new TListBox(this);
  lstEventLog->SetName(QStringLiteral("lstEventLog"));
  lstEventLog->SetAlign(alClient);
  lstEventLog->SetParent(tbEventLog);

  PageControl->SetActivePage(TabSheet1);
}

void TfrmMyBrowser::PrepareWebData() {
  // The maker's version page; its data is the build date on offer.
  wbdata = new TWebData(this);
  wbdata->SetName(QStringLiteral("wbdata"));
  wbdata->SetAgent(QStringLiteral("WebData"));
  TWebDataItem* item = wbdata->Data()->Add();
  item->SetURL(MakerPage(QStringLiteral("/files/ckeckver.php?version=") + kInstallerName + QStringLiteral(" ")));
  item->SetTag(0);
  wbdata->SetImageType(WebData::itAll);
  wbdata->SetTimeout(0);
  wbdata->OnData = [this](TObject* Sender, int iItem, const QString& data) { wbdataData(Sender, iItem, data); };
}

// ---------------------------------------------------------------------------
// Start-up

void TfrmMyBrowser::FormCreate(TObject*) {
  try {
    wbdata->CollectData();
    try {
      CheckForUpdate();
    } catch (...) {
      ShowMessage(QStringLiteral("Impossible de contacter notre serveur pour vérifier si une mise à jour de TFN est "
                                 "disponible...\rUne connexion internet est nécessaire pour que ce programme "
                                 "fonctionne correctement !"));
    }
    webbrowser1 = NewBrowser();
    webbrowser1->SetParent(TabSheet1);
    webbrowser1->SetAlign(alClient);
    const QString welcome = MakerPage(kWelcomePath);
    webbrowser1->SetURL(welcome);
    webbrowser1->SetEditattached(edURL);
    webbrowser1->SetVisible(true);
    webbrowser1->Navigate(welcome);
    webbrowser1->Show();
    webbrowser1->SetMemoAttached(mmResults);
    QString html;
    GetHTMLstarter(html);
    webbrowser1->SetfStartPage(html);
    webbrowser1->LoadHTML(webbrowser1->fStartPage());
  } catch (...) {
    ShowMessage(QStringLiteral("Problem loading Browser"));
  }

  lbCountry->SetCaption(QStringLiteral("   Pages Jaunes - France   "));
  lbVersion->SetParent(ToolBar3);
  lbVersion->Font()->Assign(lbCountry->Font());
  StatusBar1->Panels()->Items(0)->SetText(QStringLiteral("TFN - ") + VERSION);
  TFNStartPage1Click(this);
  StatusWindow = Create<TfrmSplashScreen>(this);
  PumpMessagesFor(500);
  Goto1->SetHint(DirectoryHomePage());
  Goto1->SetCaption(QStringLiteral("Go to ") + DirectorySearchAddress());
  ToolbtnTFN->SetCaption(EDITION_CODE);
  edURL->SetText(DirectoryHomePage());
  SetCaption(QStringLiteral("Tallowfinch - ") + EDITION_CODE + QStringLiteral(" - ") + VERSION);
  PageControl1->SetActivePage(tbResults);
  try {
    RestoreSplitter();
    ReadInterfaceAndWidth();
  } catch (const Exception&) {
    // Settings that cannot be read leave the window's default layout.
  }
  TFNStartPage1Click(this);
}

void TfrmMyBrowser::FormDestroy(TObject*) {
  if (!StatusWindow || StatusWindow->Owner() != this) return;
  try {
    delete StatusWindow;
  } catch (const Exception&) {
    // The window is closing: a failing status window has nothing left to report to.
  }
  StatusWindow = nullptr;
}

TSuperBrowser* TfrmMyBrowser::NewBrowser() { return Create<TSuperBrowser>(this); }

QString TfrmMyBrowser::LoadStartPageTemplate() {
  TResourceStream stream(0, QStringLiteral("HomePage"), QStringLiteral("RCDATA"));
  TStringList lines;
  lines.LoadFromStream(&stream);
  QString html = lines.Text();
  html.replace(QStringLiteral("$yp$"), QStringLiteral("pages jaunes (FR)"));
  html.replace(QStringLiteral("$versionyp$"), EDITION_CODE);
  html.replace(QStringLiteral("$webyp$"), DirectorySearchAddress());
  html.replace(QStringLiteral("$ver$"), VERSION);
  return html;
}

void TfrmMyBrowser::GetHTMLstarter(QString& Html) {
  try {
    Html = LoadStartPageTemplate();
    edURL->SetText(DirectoryHomePage());
  } catch (...) {
    Html.clear();
  }
}

void TfrmMyBrowser::TFNStartPage1Click(TObject*) {
  try {
    if (!webbrowser1) return;
    webbrowser1->Navigate(QStringLiteral("_blank"));
    webbrowser1->LoadHTML(QStringLiteral("Starting page is loading..."));
    // The page loads on this thread: the pause keeps events flowing.
    PumpMessagesFor(1000);
    edURL->SetText(DirectoryHomePage());
    if (webbrowser1) webbrowser1->LoadHTML(webbrowser1->fStartPage());
  } catch (const Exception&) {
    // A start page that does not load leaves the browser showing what it had.
  }
}

void TfrmMyBrowser::Goto1Click(TObject*) { CallWeb(Goto1->Hint()); }

void TfrmMyBrowser::Exit1Click(TObject*) { Close(); }

void TfrmMyBrowser::btnGoClick(TObject*) {
  if (edURL->Text().isEmpty()) return;
  lstEventLog->Items()->Clear();
  try {
    if (webbrowser1) webbrowser1->SetURL(edURL->Text());
  } catch (const Exception&) {
    // An address the browser refuses leaves the page as it is.
  }
}

void TfrmMyBrowser::edURLKeyPress(TObject* Sender, QChar& Key) {
  if (Key != QChar(13)) return;
  Key = QChar(0);
  btnGoClick(Sender);
}

void TfrmMyBrowser::edURLDblClick(TObject*) { edURL->SelectAll(); }

void TfrmMyBrowser::ToolbtnBackClick(TObject*) {
  if (webbrowser1) webbrowser1->GoBack();
}

void TfrmMyBrowser::ToolBtnForwardClick(TObject*) {
  if (webbrowser1) webbrowser1->GoForward();
}

void TfrmMyBrowser::ToolBtnRefreshClick(TObject*) {
  ToolBtnStop->SetEnabled(true);
  ReloadPage();
}

void TfrmMyBrowser::ToolBtnFavoritesClick(TObject*) { ShowMessage(QStringLiteral("not yet implemented")); }

void TfrmMyBrowser::ToolbtnTFNClick(TObject*) { CallWeb(DirectoryHomePage()); }

void TfrmMyBrowser::lbCountryClick(TObject*) { CallWeb(MakerPage(kWelcomePath)); }

void TfrmMyBrowser::PageControlChange(TObject*) {
  ToolbtnBack->SetEnabled(false);
  ToolBtnForward->SetEnabled(false);
}

void TfrmMyBrowser::Addressbar1Click(TObject*) { pnAddress->SetVisible(!pnAddress->Visible()); }

void TfrmMyBrowser::Navigationbar1Click(TObject*) { tbarNav->SetVisible(!tbarNav->Visible()); }

void TfrmMyBrowser::AddHTML1Click(TObject*) {
  AddHTMLDialog = new TfrmAddHTML(Application);
  try {
    AddHTMLDialog->ShowModal();
  } catch (...) {
    AddHTMLDialog->Release();
    AddHTMLDialog = nullptr;
    throw;
  }
  AddHTMLDialog->Release();
  AddHTMLDialog = nullptr;
}

void TfrmMyBrowser::Getsupport1Click(TObject*) { CallWeb(MakerPage(QStringLiteral("/contact.php"))); }

void TfrmMyBrowser::VisitTFNonline1Click(TObject*) { CallWeb(MakerPage(QStringLiteral("/"))); }

void TfrmMyBrowser::N9Click(TObject*) {
  MessageDlg(QStringLiteral("Tallowfinch\r") + QString(36, u'-') + QStringLiteral("\rTFN ") + VERSION,
             mtInformation, TMsgDlgButtons{mbOK}, 0);
}

void TfrmMyBrowser::btnSuchenClick(TObject*) {
  if (!webbrowser1) return;
  webbrowser1->SetUserAgent(QStringLiteral("Microsoft Pocket Internet Explorer/0.6"));
  CallWeb(QStringLiteral("https://") + DirectoryHost() + QStringLiteral("/annuaire/chercherlespros?"));
}

void TfrmMyBrowser::ButtonedEdit1Enter(TObject*) {
  ButtonedEdit1->SetText(QString());
  ButtonedEdit1->RightButton()->SetVisible(true);
}

void TfrmMyBrowser::WebBrowser11TitleChange(TObject*, const QString& Text) {
  SetCaption(QStringLiteral("Tallowfinch - ") + Text);
}

void TfrmMyBrowser::ReloadPage() {
  if (webbrowser1) webbrowser1->Repaint();
}

void TfrmMyBrowser::CallWeb(const QString& szUrl) {
  try {
    if (webbrowser1) webbrowser1->Navigate(szUrl);
  } catch (const Exception&) {
    // A link that cannot be opened leaves the page as it is.
  }
}

void TfrmMyBrowser::GetFormPost(const QString& s) {
  TPerlRegEx regex;
  regex.SetRegEx(QStringLiteral("action=\"(.+?)\""));
  regex.SetOptions(TPerlRegExOptions{preCaseLess, preMultiLine, preExtended});
  regex.SetSubject(s);
  ShowMessage(regex.Match() ? regex.Groups(1) : QStringLiteral("n"));
}

void TfrmMyBrowser::RestartMe(TObject*) {
  const QString exe = Application->ExeName();
  // Without a program file to start again the program keeps running.
  if (exe.isEmpty() || !QFileInfo(exe).isFile()) return;
  Hide();
  if (!QProcess::startDetached(exe, {})) {
    Show();
    return;
  }
  Application->Terminate();
}

// ---------------------------------------------------------------------------
// Capture run

void TfrmMyBrowser::RunCapture() {
  // The page-progress window follows the run's pages and goes when it ends
  // (also when a pass fails).
  if (fSplashAdvance) fSplashAdvance->Reset();
  webbrowser1->OnPageProgress = [](int Page, int PageCount) {
    if (fSplashAdvance) fSplashAdvance->ShowPage(Page, PageCount);
  };
  struct TRunEnd {
    TSuperBrowser* Browser;
    ~TRunEnd() {
      Browser->OnPageProgress = nullptr;
      if (fSplashAdvance) fSplashAdvance->Hide();
    }
  } runEnd{webbrowser1};
  webbrowser1->StartParsingFRPJ();
}

void TfrmMyBrowser::EndCaptureState() {
  ToolbtnBack->SetEnabled(true);
  ToolBtnForward->SetEnabled(true);
  ToolBtnStop->SetEnabled(false);
  StopPressed = false;
  btnCapture->SetImageIndex(8);
}

void TfrmMyBrowser::btnCaptureClick(TObject*) {
  if (!webbrowser1) return;
  if (TCustomEdit* edit = webbrowser1->Editattached()) edit->SetText(webbrowser1->URL());
  webbrowser1->SetfTimer(PageDelay);
  webbrowser1->SetbStop(false);
  webbrowser1->SetbComplete(false);
  ToolbtnBack->SetEnabled(false);
  ToolBtnForward->SetEnabled(false);
  ToolBtnStop->SetEnabled(true);
  btnCapture->SetImageIndex(0);

  QString reminder;
  if (btnCapture->Caption() != kStopCaption) {
    btnCapture->SetCaption(kStopCaption);
    try {
      PageControl1->SetActivePage(tbResults);
      sgExcel->Clear();
      WaitForPageToLoad();
      if (mmResults->Lines()->Count() >= 1 &&
          MessageDlg(QStringLiteral("Vider les résultats précédents ?\rEmpty previous data results first?"),
                     mtInformation, mbYesNo, 0) == mrYes)
        mmResults->Lines()->Clear();
      reminder = QStringLiteral(
          "Maintenant, supprimez les doublons (petit bouton), ou bien videz la grille avec le bouton de droite <- !");
      RunCapture();
    } catch (...) {
      // A run that failed is over: report it and leave the window ready for
      // the next one.
      Application->HandleException(this);
      btnCapture->SetCaption(kCaptureCaption);
      EndCaptureState();
      return;
    }
  } else {
    StopPressed = true;
    try {
      if (StatusWindow) StatusWindow->Hide();
      if (webbrowser1) webbrowser1->Navigate(MakerPage(kStopPath));
      Application->ProcessMessages();
    } catch (const Exception&) {
      // Stopping goes on whatever the browser does with the stop page.
    }
  }

  btnCapture->SetCaption(kCaptureCaption);
  try {
    const QString count = QString::number(mmResults->Lines()->Count());
    if (!StopPressed)
      ShowMessage(QStringLiteral("A total of ") + count + QStringLiteral(" addresses have been scraped!") +
                  QStringLiteral("\rDon't forget to eliminate duplicates (small button)!") +
                  QStringLiteral("\ror empty the grid with the <- button! ") + QStringLiteral("\r") + reminder);
    SetCaption(QStringLiteral("TFN - A total of ") + count + QStringLiteral(" addresses have been scraped!"));
  } catch (const Exception&) {
    // The summary is a courtesy: the capture state ends either way.
  }
  EndCaptureState();
}

void TfrmMyBrowser::WaitForPageToLoad() {
  TrimWorkingSet();
  if (!StatusWindow) {
    WaitScrapeDelay();
    PumpMessagesFor(1000);
    return;
  }
  try {
    StatusWindow->lblMessages->SetCaption(QStringLiteral("The page is loading..."));
    StatusWindow->Show();
    Application->ProcessMessages();
    Application->ProcessMessages();
    if (StopPressed) StatusWindow->Hide();
    WaitScrapeDelay();
    if (StatusWindow) StatusWindow->lblMessages->SetCaption(QStringLiteral("Fully loaded"));
    PumpMessagesFor(1000);
  } catch (...) {
    if (StatusWindow) StatusWindow->Hide();
    throw;
  }
  if (StatusWindow) StatusWindow->Hide();
}

void TfrmMyBrowser::ToolBtnStopClick(TObject*) {
  if (webbrowser1) {
    webbrowser1->SetbStop(true);
    webbrowser1->StopLoading();
  }
  ToolbtnBack->SetEnabled(true);
  ToolBtnForward->SetEnabled(true);
}

// ---------------------------------------------------------------------------
// Results memo and result file

void TfrmMyBrowser::Memo1Change(TObject*) {
  const QString text = QString::number(mmResults->Lines()->Count()) + QStringLiteral(" Lines in Results");
  EdNumberofLeads->SetText(text);
  StatusBar1->Panels()->Items(2)->SetText(text);
}

void TfrmMyBrowser::mmResultsChange(TObject* Sender) {
  Memo1Change(Sender);
  tbResults->SetCaption(QStringLiteral("[ ") + QString::number(mmResults->Lines()->Count()) + QStringLiteral(" ]"));
}

void TfrmMyBrowser::ToolButton6Click(TObject*) {
  TStringList unique;
  unique.SetSorted(true);
  unique.SetCaseSensitive(false);
  unique.SetDuplicates(dupIgnore);
  unique.SetText(mmResults->Lines()->Text());
  TStrings* lines = mmResults->Lines();
  lines->BeginUpdate();
  try {
    lines->Assign(&unique);
  } catch (...) {
    lines->EndUpdate();
    throw;
  }
  lines->EndUpdate();
  tbResults->SetCaption(QStringLiteral("Results (") + QString::number(lines->Count()) + QStringLiteral(" lines)"));
  Memo1Change(nullptr);
}

void TfrmMyBrowser::ToolButton7Click(TObject* Sender) {
  try {
    mmResults->Lines()->Clear();
    sgExcel->Clear();
    tbResults->SetCaption(QStringLiteral("Results (") + QString::number(mmResults->Lines()->Count()) +
                          QStringLiteral(" lines)"));
    Memo1Change(Sender);
  } catch (const Exception&) {
    // Clearing the results cannot be half done: the memo is empty or untouched.
  }
}

void TfrmMyBrowser::SaveResultFile(const QString& FileName) {
  // Every line followed by CR LF, in the ANSI code page, no byte-order mark.
  const QByteArray bytes = TEncoding::ANSI()->GetBytes(mmResults->Lines()->Text());
  // Written beside the target and put in its place once complete, so a
  // failed save leaves an existing file as it was.
  QSaveFile file(FileName);
  if (!file.open(QIODevice::WriteOnly))
    throw EFCreateError(MessageText(RtlConsts::SFCreateErrorEx, {FileName, file.errorString()}));
  if (file.write(bytes) != bytes.size() || !file.commit())
    throw EWriteError(MessageText(RtlConsts::SFCreateErrorEx, {FileName, file.errorString()}));
}

void TfrmMyBrowser::ToolButton2Click(TObject*) {
  try {
    if (!SaveDialog1->Execute()) return;
    SaveResultFile(SaveDialog1->FileName());
  } catch (...) {
    ShowMessage(QStringLiteral("Data cannot be saved!\rImpossible de sauvegarder..."));
  }
}

// ---------------------------------------------------------------------------
// The grid tab

void HandOverToGrid(TCustomMemo* Memo, TKitStringGrid* Grid) {
  // Each line of the memo, with every quote-comma-quote between two fields
  // turned into quote-"¤"-quote, goes into one stream in the ANSI code page,
  // CR LF after each line; the grid reads it with "¤" as the delimiter. The
  // lines are taken one by one from the memo's document and each is encoded
  // straight into the stream, so the text is never held twice more.
  const QString separator = QStringLiteral("\",\"");
  const QString handOver = QStringLiteral("\"\u00A4\"");
  TStrings* lines = Memo->Lines();
  const int count = lines->Count();
  TMemoryStream stream;
  {
    QByteArray bytes;
    bytes.reserve(qsizetype(Memo->GetTextLen()) + 16);
    QTextDocument* document = Memo->Document();
    int n = 0;
    for (QTextBlock block = document->begin(); block.isValid() && n < count; block = block.next(), ++n) {
      QString line = block.text();
      if (line.contains(separator)) line.replace(separator, handOver);
      bytes += TEncoding::ANSI()->GetBytes(line);
      bytes += "\r\n";
    }
    stream.WriteBuffer(bytes.constData(), bytes.size());
  }
  stream.SetPosition(0);
  Grid->SetDelimiter(QChar(0xA4));
  Grid->LoadFromCSVStream(&stream, count, -1);
}

void TfrmMyBrowser::ToolButton3Click(TObject*) { HandOverToGrid(mmResults, sgExcel); }

void TfrmMyBrowser::PageControl1Change(TObject*) {
  if (PageControl1->ActivePage() == tbSaveToExcel) {
    try {
      ToolButton3Click(nullptr);
    } catch (const Exception&) {
      // A failed hand-over leaves the grid as it was.
    }
  }
  // On every tab change, the grid's columns sized to their content.
  sgExcel->AutoSizeColumns(false, 4);
}

void TfrmMyBrowser::ToolButton5Click(TObject*) {
  QString fileName;
  try {
    SaveDialog1->SetFilter(QStringLiteral("Excel file|*.xls*|"));
    SaveDialog1->SetTitle(
        QStringLiteral("Save to EXCEL, Salvare, guardar, sauvegarder... (Please add extension XLS or XLSX)"));
    if (!SaveDialog1->Execute()) return;
    fileName = SaveDialog1->FileName();
    TrimWorkingSet();
    if (StatusWindow) {
      StatusWindow->lblMessages->SetCaption(QStringLiteral("The data is being saved..."));
      StatusWindow->Show();
    }
    struct THideLater {
      ~THideLater() {
        PumpMessagesFor(1500);
        if (StatusWindow) StatusWindow->Hide();
      }
    } hideLater;
    sgExcel->SaveToXLS(fileName, false);
    if (StatusWindow)
      StatusWindow->lblMessages->SetCaption(QStringLiteral("The data has been saved to file ") + QStringLiteral("\r") +
                                            fileName + QStringLiteral("."));
  } catch (...) {
    ShowMessage(QStringLiteral(
                    "Data cannot be saved to XLS! Is EXCEL installed on your PC? Please make sure this folder is "
                    "writable first!") +
                fileName);
  }
}

// ---------------------------------------------------------------------------
// Settings

void TfrmMyBrowser::ReadInterfaceAndWidth() {
  TRegistry registry;
  registry.SetRootKey(HKEY_CURRENT_USER);
  registry.OpenKey(QString::fromLatin1(kSettingsKey), false);
  try {
    TStyleManager::SetStyle(registry.ReadString(QStringLiteral("Interface")));
  } catch (...) {
    TStyleManager::SetStyle(QStringLiteral("Luna"));
  }
  try {
    PageControl1->SetWidth(registry.ReadInteger(QStringLiteral("Width")));
  } catch (...) {
    PageControl1->SetWidth(1024);
  }
  try {
    const int stored = registry.ReadInteger(QStringLiteral("Timer"));
    PageDelay = uint8_t(stored & 0xFF);
    btnTimer->SetCaption(QStringLiteral("Timer (") + QString::number(stored) + QStringLiteral(")"));
  } catch (...) {
    PageDelay = 3;
  }
  registry.CloseKey();
}

void TfrmMyBrowser::SetInterfaceAndWidth() {
  try {
    TRegistry registry;
    registry.SetRootKey(HKEY_CURRENT_USER);
    if (!registry.OpenKey(QString::fromLatin1(kSettingsKey), true)) return;
    registry.WriteString(QStringLiteral("Interface"), TStyleManager::ActiveStyle().Name());
    registry.WriteInteger(QStringLiteral("Width"), PageControl1->Width());
    registry.WriteInteger(QStringLiteral("Timer"), PageDelay);
    registry.CloseKey();
  } catch (const Exception&) {
    // Settings that cannot be saved are only lost for the next start.
  }
}

void TfrmMyBrowser::RestoreSplitter() {
  TRegistry registry;
  registry.SetRootKey(HKEY_CURRENT_USER);
  if (!registry.OpenKey(QString::fromLatin1(kSettingsKey), false)) return;
  try {
    tbSplitScreen->SetDown(registry.ReadBool(QStringLiteral("SplitScreen")));
  } catch (...) {
    tbSplitScreen->SetDown(false);
  }
  registry.CloseKey();
}

void TfrmMyBrowser::SaveSplitter() {
  TRegistry registry;
  registry.SetRootKey(HKEY_CURRENT_USER);
  if (!registry.OpenKey(QString::fromLatin1(kSettingsKey), true)) return;
  registry.WriteBool(QStringLiteral("SplitScreen"), tbSplitScreen->Down());
  registry.CloseKey();
}

void TfrmMyBrowser::Interface1Click(TObject*) {
  Interface1->Clear();
  TStringList names;
  for (const QString& name : TStyleManager::StyleNames()) names.Add(name);
  names.Sort();
  const QString active = TStyleManager::ActiveStyle().Name();
  for (int i = 0; i < names.Count() - 1; ++i) {
    auto* item = new TMenuItem(Interface1);
    item->SetName(QStringLiteral("Mn%1").arg(i));
    item->SetHint(names.Strings(i));
    item->SetCaption(names.Strings(i));
    item->SetChecked(names.Strings(i) == active);
    item->OnClick = [this](TObject* Sender) { TestClick(Sender); };
    Interface1->Add(item);
  }
}

void TfrmMyBrowser::TestClick(TObject* Sender) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (!item) return;
  TStyleManager::SetStyle(item->Hint());
  SetInterfaceAndWidth();
}

void TfrmMyBrowser::tbSplitScreenClick(TObject*) {
  try {
    if (tbSplitScreen->Down()) {
      PageControl1->SetWidth(Width() / 4);
      tbSplitScreen->SetCaption(QStringLiteral("75%"));
    } else {
      PageControl1->SetWidth(Width() / 2);
      tbSplitScreen->SetCaption(QStringLiteral("50%"));
    }
    SetInterfaceAndWidth();
  } catch (const Exception&) {
    // A split the window cannot take leaves the panes as they were.
  }
}

void TfrmMyBrowser::N0second1Click(TObject* Sender) {
  try {
    auto* chosen = dynamic_cast<TMenuItem*>(Sender);
    if (!chosen) return;
    PageDelay = uint8_t(StrToInt(chosen->Hint()) & 0xFF);
    const QString delay = QString::number(PageDelay);
    TMenuItem* items = PopTimer->Items();
    for (int i = 0; i < items->Count(); ++i) items->Items(i)->SetChecked(items->Items(i)->Hint() == delay);
    btnTimer->SetCaption(QStringLiteral("Timer (") + chosen->Hint() + QStringLiteral("\")"));
    SetInterfaceAndWidth();
  } catch (const Exception&) {
    // A menu item without a delay in its hint keeps the current delay.
  }
}

// ---------------------------------------------------------------------------
// Update check

QString TfrmMyBrowser::HttpGetText(const QString& URL) {
  std::unique_ptr<THTTPClient> client = THTTPClient::Create();
  return client->Get(URL)->ContentAsString();
}

void TfrmMyBrowser::CheckForUpdate() {
  const QString exe = Application->ExeName();
  const QFileInfo info(exe);
  if (exe.isEmpty() || !info.isFile())
    throw EFOpenError(MessageText(RtlConsts::SFOpenErrorEx, {exe, QStringLiteral("The file does not exist.")}));
  const QString localDate = info.lastModified().toLocalTime().toString(QStringLiteral("yyyyMMdd"));
  try {
    UpdateDateText = HttpGetText(MakerPage(QStringLiteral("/files/fdate.php?svyp=") + EDITION_CODE));
  } catch (const Exception&) {
    // Without an answer from the server there is no newer version to offer.
  }
  try {
    if (StrToInt(UpdateDateText) > StrToInt(localDate)) {
      ShowMessage(QStringLiteral("A newer version dated ") + UpdateDateText + QStringLiteral(" is available online.") +
                  QStringLiteral(" Téléchargez la mise à jour dès que possible !"));
      HWND owner = Application->MainForm() ? Application->MainForm()->Handle() : nullptr;
      ShellExecute(owner, QStringLiteral("open"), MakerPage(QStringLiteral("/download.php")), QString(), QString(),
                   SW_SHOWNORMAL);
    }
  } catch (const Exception&) {
    // A date that is not a number (no answer, an error page) offers nothing.
  }
}

void TfrmMyBrowser::wbdataData(TObject*, int, const QString& data) { UpdateDateText = data; }
