#pragma once
// TKitHintInfo: the content of an office-style hint (a title, lines of notes,
// a picture and a help flag). The grid keeps one as its office hint setting
// and hands one to its office-hint event, where the application fills it per
// cell. The class only stores the content; showing the hint is the caller's
// business.

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
  TKitHintInfo(const TKitHintInfo&) = delete;
  TKitHintInfo& operator=(const TKitHintInfo&) = delete;

  // Another hint information: its title, notes, help flag, picture and wide
  // fields. Any other source (or none) is ignored without error.
  void Assign(TPersistent* Source) override;
  // True when the title and the notes' text are empty; the picture, the
  // help flag and the wide fields do not count.
  bool IsEmpty() const;

  const QString& Title() const { return FTitle; }
  void SetTitle(const QString& Value) { FTitle = Value; }
  // The owned notes; setting copies the given lines into them.
  TStringList* Notes() const { return FNotes.get(); }
  void SetNotes(TStrings* Value);
  // The owned picture; setting copies the given picture's content into it.
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
