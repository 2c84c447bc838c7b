#include "gdiplus/KitHintInfo.h"

TF_PUBLISHED(TKitHintInfo, TPersistent) {
  return TPublished<TKitHintInfo>()
      .String("Title", &TKitHintInfo::Title, &TKitHintInfo::SetTitle)
      .Object(
          "Notes", [](const TKitHintInfo& h) { return h.Notes(); },
          [](TKitHintInfo& h, TStringList* v) { h.SetNotes(v); })
      .Object(
          "Picture", [](const TKitHintInfo& h) { return h.Picture(); },
          [](TKitHintInfo& h, TGDIPPicture* v) { h.SetPicture(v); })
      .Boolean("ShowHelp", &TKitHintInfo::ShowHelp, &TKitHintInfo::SetShowHelp)
      .Default(false)
      .String("WideTitle", &TKitHintInfo::WideTitle, &TKitHintInfo::SetWideTitle)
      .String("WideNotes", &TKitHintInfo::WideNotes, &TKitHintInfo::SetWideNotes);
}

TKitHintInfo::TKitHintInfo()
    : FNotes(std::make_unique<TStringList>()), FPicture(std::make_unique<TGDIPPicture>()) {}

TKitHintInfo::~TKitHintInfo() = default;

void TKitHintInfo::SetNotes(TStrings* Value) {
  if (Value != FNotes.get()) FNotes->Assign(Value);
}

void TKitHintInfo::SetPicture(TGDIPPicture* Value) {
  if (Value != FPicture.get()) FPicture->Assign(Value);
}

void TKitHintInfo::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TKitHintInfo*>(Source);
  if (source == nullptr || source == this) return;
  FTitle = source->FTitle;
  FNotes->Assign(source->FNotes.get());
  FShowHelp = source->FShowHelp;
  FPicture->Assign(source->FPicture.get());
  FWideTitle = source->FWideTitle;
  FWideNotes = source->FWideNotes;
}

bool TKitHintInfo::IsEmpty() const { return FTitle.isEmpty() && FNotes->Text().isEmpty(); }
