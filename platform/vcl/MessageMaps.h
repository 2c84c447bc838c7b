#pragma once
// Message maps: how a control class names the handlers of its messages.
//
// Rules
// -----
// - A handler is a member function `void WMSize(TMessage& Message)`, named
//   after its message (WM_SIZE -> WMSize, CM_FONTCHANGED -> CMFontChanged,
//   CN_COMMAND -> CNCommand). Handlers are ordinary (non-virtual) protected
//   members; the map, not the virtual table, picks the one that runs.
// - Each class that handles messages enters them in its map. In the class
//   body, in a public section:
//
//        class TMyControl : public TCustomControl {
//         public:
//          TF_DECLARE_MESSAGES(TMyControl)
//         protected:
//          void WMSize(TMessage& Message);
//          void CMFontChanged(TMessage& Message);
//        };
//
//   and once in the .cpp, naming the nearest ancestor that has a map of its
//   own (TControl at the root):
//
//        TF_MESSAGE_MAP(TMyControl, TCustomControl) {
//          return {
//              TF_MESSAGE(WM_SIZE, WMSize),
//              TF_MESSAGE(CM_FONTCHANGED, CMFontChanged),
//          };
//        }
//
//   One handler may take several ids (TF_MESSAGE(WM_KEYUP, WMKeyUp),
//   TF_MESSAGE(WM_SYSKEYUP, WMKeyUp)); an id appears once per map.
// - Dispatch consults the class's map, then its ancestors' maps up to
//   TControl's, and runs DefaultHandler for a message none of them names.
//   A map is built once, on first use, already merged with its ancestors'
//   (a class's own entry replaces an ancestor's for the same id), so a
//   lookup is one binary search in a sorted array whatever the depth.
// - "inherited": a handler calls its ancestor's handler for the message by
//   name, `TWinControl::WMSize(Message)`. When no ancestor has a handler for
//   the message, `Inherited<TWinControl>(Message)` runs what the ancestor's
//   map would run for it (which ends in DefaultHandler).
// - A class without a map of its own uses its nearest ancestor's. A handler
//   not entered in the map is never called by Dispatch.
// - Overriding Dispatch itself stays possible (a filter in front of every
//   map); the inherited Dispatch then looks the message up in the map of the
//   object's class.
// - Tracing: with the logging category tf.msg at debug level
//   (QT_LOGGING_RULES="tf.msg.debug=true") Dispatch logs every message: the
//   control's class and name, the message's name, its parameters and the
//   handler that took it, then its result. Nothing is formatted otherwise.

#include <type_traits>
#include <vector>

#include "platform/win32/Messages.h"

class TControl;

// A handler of any control class, as its map holds it.
using TMessageHandler = void (TControl::*)(TMessage& Message);

struct TMessageMapEntry {
  UINT Msg = 0;
  TMessageHandler Handler = nullptr;
  const char* HandlerName = "";  // "WMSize"
  const char* ClassName = "";    // the class whose map entered it (filled in by TMessageMap)
};

// One class's map merged with its ancestors', sorted by message id.
class TMessageMap {
 public:
  // Own entries over Parent's (nullptr for the root). Two own entries with
  // the same id are a programming error (fatal).
  TMessageMap(const char* ClassName, const TMessageMap* Parent, std::vector<TMessageMapEntry> Own);

  const char* ClassName() const { return FClassName; }
  const TMessageMap* Parent() const { return FParent; }
  // The entry that handles Msg in this class, or nullptr.
  const TMessageMapEntry* Find(UINT Msg) const;
  int Count() const { return int(FEntries.size()); }

 private:
  const char* FClassName;
  const TMessageMap* FParent;
  std::vector<TMessageMapEntry> FEntries;
};

// In the class body, in a public section: declares the class's map.
#define TF_DECLARE_MESSAGES(Class)                       \
  using TFMessageSelf = Class;                           \
  static const ::TMessageMap& StaticMessageMap();        \
  const ::TMessageMap& MessageMap() const override;      \
  static std::vector<::TMessageMapEntry> MessageTable();

// In the class's .cpp, followed by the table function's body returning the
// class's own entries.
#define TF_MESSAGE_MAP(Class, Parent)                                                                   \
  static_assert(std::is_base_of_v<Parent, Class> && !std::is_same_v<Parent, Class>,                    \
                #Parent " must be an ancestor of " #Class);                                             \
  static_assert(std::is_same_v<Class::TFMessageSelf, Class>, #Class " has no TF_DECLARE_MESSAGES");   \
  static_assert(std::is_same_v<Parent::TFMessageSelf, Parent>, #Parent " has no message map of its own"); \
  const ::TMessageMap& Class::StaticMessageMap() {                                                      \
    static const ::TMessageMap map(#Class, &Parent::StaticMessageMap(), Class::MessageTable());         \
    return map;                                                                                         \
  }                                                                                                     \
  const ::TMessageMap& Class::MessageMap() const { return StaticMessageMap(); }                         \
  std::vector<::TMessageMapEntry> Class::MessageTable()

// One entry of a table: the message id and the handler's name in this class.
#define TF_MESSAGE(Msg, Handler) \
  ::TMessageMapEntry { (Msg), static_cast<::TMessageHandler>(&TFMessageSelf::Handler), #Handler, "" }
