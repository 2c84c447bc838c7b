#include "gdiplus/KitHintInfo.h"

TF_PUBLISHED(TKitHintInfo, TPersistent) {
  using H = TKitHintInfo;
  return TPublished<H>()
      .String("Title", &H::Title, &H::SetTitle)
      .Object("Notes", [](const H& h) { return h.Notes(); }, [](H& h, TStringList* v) { h.SetNotes(v); })
      .Object("Picture", [](const H& h) { return h.Picture(); }, [](H& h, TGDIPPicture* v) { h.SetPicture(v); })
      .Boolean("ShowHelp", &H::ShowHelp, &H::SetShowHelp)
      .Default(false)
      .String("WideTitle", &H::WideTitle, &H::SetWideTitle)
      .String("WideNotes", &H::WideNotes, &H::SetWideNotes);
}

TKitHintInfo::TKitHintInfo()
    : FNotes(std::make_unique<TStringList>()), FPicture(std::make_unique<TGDIPPicture>()) {}

TKitHintInfo::~TKitHintInfo() = default;

void TKitHintInfo::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TKitHintInfo*>(Source);
  if (src == nullptr) return;
  FTitle = src->FTitle;
  FNotes->Assign(src->FNotes.get());
  FShowHelp = src->FShowHelp;
  FPicture->Assign(src->FPicture.get());
  FWideTitle = src->FWideTitle;
  FWideNotes = src->FWideNotes;
}

bool TKitHintInfo::IsEmpty() const { return FTitle.isEmpty() && FNotes->Text().isEmpty(); }

void TKitHintInfo::SetNotes(TStringList* Value) { FNotes->Assign(Value); }

void TKitHintInfo::SetPicture(TGDIPPicture* Value) { FPicture->Assign(Value); }
