#pragma once
// TKitHintInfo: the content of an office-style hint (a title, lines of
// notes, a picture and a help flag). It only stores the content; whoever
// shows the hint reads it.

#include <QString>
#include <memory>

#include "gdiplus/GDIPicture.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/StringList.h"

class TKitHintInfo : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TKitHintInfo)
  TKitHintInfo();
  ~TKitHintInfo() override;

  // From another hint: title, notes, help flag, picture and the wide texts.
  // Any other source is ignored.
  void Assign(TPersistent* Source) override;

  // True when the title and the notes' text are both empty.
  bool IsEmpty() const;

  const QString& Title() const { return FTitle; }
  void SetTitle(const QString& Value) { FTitle = Value; }
  // The owned notes; the setter copies the given list into them.
  TStringList* Notes() const { return FNotes.get(); }
  void SetNotes(TStringList* Value);
  // The owned picture; the setter copies the given picture into it.
  TGDIPPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TGDIPPicture* Value);
  bool ShowHelp() const { return FShowHelp; }
  void SetShowHelp(bool Value) { FShowHelp = Value; }
  const QString& WideTitle() const { return FWideTitle; }
  void SetWideTitle(const QString& Value) { FWideTitle = Value; }
  const QString& WideNotes() const { return FWideNotes; }
  void SetWideNotes(const QString& Value) { FWideNotes = Value; }

 private:
  QString FTitle;
  std::unique_ptr<TStringList> FNotes;
  std::unique_ptr<TGDIPPicture> FPicture;
  bool FShowHelp = false;
  QString FWideTitle;
  QString FWideNotes;
};
