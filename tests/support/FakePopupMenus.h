#pragma once
// A pop-up menu service for tests: installs itself for its lifetime, records
// every menu shown and chooses items by caption path instead of running a
// modal menu. Header-only, for the test binaries that link the vcl layer.

#include <QList>
#include <QString>
#include <QStringList>

#include "platform/vcl/Menus.h"

namespace testsupport {

class FakePopupMenus : public TPopupMenuService {
 public:
  struct Request {
    TPopupMenu* Menu;
    int X;
    int Y;
    QStringList Captions;  // the visible entries, as shown
  };

  FakePopupMenus() : FPrevious(SetPopupMenuService(this)) {}
  ~FakePopupMenus() override { SetPopupMenuService(FPrevious); }
  FakePopupMenus(const FakePopupMenus&) = delete;
  FakePopupMenus& operator=(const FakePopupMenus&) = delete;

  // One choice per menu shown, in order: a caption path ("Sort|By name",
  // hotkeys and case aside). An empty path, a path to a hidden entry or
  // running out of choices dismisses the menu.
  QStringList Choices;
  QList<Request> Requests;

  TMenuItem* TrackPopupMenu(TPopupMenu* Menu, int X, int Y) override {
    QStringList captions;
    for (int i = 0; i < Menu->Items()->Count(); ++i)
      if (Menu->Items()->Items(i)->Visible()) captions << Menu->Items()->Items(i)->Caption();
    Requests.append({Menu, X, Y, captions});
    if (Choices.isEmpty()) return nullptr;
    const QString path = Choices.takeFirst();
    if (path.isEmpty()) return nullptr;
    TMenuItem* item = Menu->Items();
    for (const QString& part : path.split(u'|')) {
      item = item->Find(part);
      if (!item || !item->Visible()) return nullptr;
    }
    return item;
  }

 private:
  TPopupMenuService* FPrevious;
};

}  // namespace testsupport
