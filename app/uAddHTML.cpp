#include "app/uAddHTML.h"

TfrmAddHTML::TfrmAddHTML(TComponent* AOwner) : TForm(AOwner) {
  SetName(QStringLiteral("frmAddHTML"));
  SetCaption(QStringLiteral("Add HTML"));
  SetBorderStyle(bsDialog);
  SetPosition(poMainFormCenter);
  SetClientWidth(520);
  SetClientHeight(300);

  Memo1 = new TMemo(this);
  Memo1->SetName(QStringLiteral("Memo1"));
  Memo1->SetBounds(8, 8, 504, 244);
  Memo1->SetScrollBars(ssBoth);
  Memo1->Lines()->Add(QStringLiteral("<html><h1>Hello World!</h1></html>"));
  Memo1->Lines()->Add(QString());
  Memo1->SetParent(this);

  auto button = [this](const QString& Name, const QString& Caption, int Left, int Width, TModalResult Result) {
    auto* b = new TButton(this);
    b->SetName(Name);
    b->SetCaption(Caption);
    b->SetBounds(Left, 262, Width, 28);
    b->SetModalResult(Result);
    b->SetParent(this);
    return b;
  };
  Button1 = button(QStringLiteral("Button1"), QStringLiteral("Cancel"), 8, 80, mrCancel);
  Button1->SetDefault(true);
  Button2 = button(QStringLiteral("Button2"), QStringLiteral("Add HTML Code to the Document"), 96, 190, mrOk);
  Button2->OnClick = [this](TObject* Sender) { Button2Click(Sender); };
  Button3 = button(QStringLiteral("Button3"), QStringLiteral("Load HTML Code (replace current Document)"), 294,
                   218, mrOk);
  Button3->OnClick = [this](TObject* Sender) { Button3Click(Sender); };
}

TfrmAddHTML::~TfrmAddHTML() = default;
