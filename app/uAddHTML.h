#pragma once
// The add-HTML dialog of the hidden "Extras" menu: a memo with a small HTML
// document and three buttons, each of which closes the dialog.

#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

class TfrmAddHTML : public TForm {
 public:
  explicit TfrmAddHTML(TComponent* AOwner);
  ~TfrmAddHTML() override;

  TMemo* Memo1;
  TButton* Button1;  // "Cancel"
  TButton* Button2;  // "Add HTML Code to the Document"
  TButton* Button3;  // "Load HTML Code (replace current Document)"

  void Button2Click(TObject* Sender) {}
  void Button3Click(TObject* Sender) {}
};
