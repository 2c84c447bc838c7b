#pragma once
// TPersistent: the root of every object that can copy itself from another
// one (Assign) and name itself for the designer and streaming (GetNamePath).

#include <QString>
#include <functional>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/System.h"
#include "platform/rtl/TypInfo.h"

// The framework's plain event: called with the object that raised it.
using TNotifyEvent = std::function<void(TObject* Sender)>;

// Reading order of a control's text: left to right, fully right to left
// (alignment mirrored), right to left without mirroring the alignment, or
// only the reading order right to left.
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
TF_ENUM_NAMES(TBiDiMode, bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly)

class TFiler;
class TReader;
class TWriter;

class TPersistent : public TObject {
 public:
  TF_DECLARE_PUBLISHED(TPersistent)
  TPersistent() = default;
  TPersistent(const TPersistent&) = default;
  TPersistent& operator=(const TPersistent&) = default;

  // Copies Source into this object. The base version hands the work to
  // Source->AssignTo(this); a class that knows how to copy a given source
  // overrides Assign and calls the inherited version for every other one.
  // Raises EConvertError "Cannot assign a <source> to a <this>" when nobody
  // handles the pair (a null Source is reported as "nil").
  virtual void Assign(TPersistent* Source);

  // "Owner.Name" style path used by designers and streaming: the class name,
  // prefixed with the owner's path when there is an owner with a path.
  virtual QString GetNamePath() const;

  // The object this one belongs to for naming purposes, or nullptr.
  virtual TPersistent* GetOwner() const { return nullptr; }

 protected:
  // Copies this object into Dest; the base version raises the assign error.
  virtual void AssignTo(TPersistent* Dest);
  // Raises EConvertError for an assignment from Source to this object.
  [[noreturn]] void AssignError(const TPersistent* Source) const;
  // Declares data that component streaming writes and reads besides the
  // published properties (Filer->DefineProperty, DefineBinaryProperty). The
  // base version declares nothing; overrides call it first.
  virtual void DefineProperties(TFiler* Filer) {}

 private:
  friend class TReader;
  friend class TWriter;
};
