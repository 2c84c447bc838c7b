#pragma once
// A shell service for tests: installs itself for its lifetime and records
// what would have been opened or sounded. Header-only, for the test binaries
// that link the win32 layer.

#include <QList>
#include <QUrl>
#include <utility>

#include "platform/win32/Shell.h"

namespace testsupport {

class FakeShell : public TShellService {
 public:
  FakeShell() : FPrevious(SetShellService(this)) {}
  ~FakeShell() override { SetShellService(FPrevious); }
  FakeShell(const FakeShell&) = delete;
  FakeShell& operator=(const FakeShell&) = delete;

  // What OpenUrl answers.
  bool OpenSucceeds = true;
  QList<QUrl> Opened;
  QList<UINT> MessageBeeps;
  QList<std::pair<DWORD, DWORD>> Beeps;

  bool OpenUrl(const QUrl& Url) override {
    Opened.append(Url);
    return OpenSucceeds;
  }
  void MessageBeep(UINT uType) override { MessageBeeps.append(uType); }
  void Beep(DWORD dwFreq, DWORD dwDuration) override { Beeps.append({dwFreq, dwDuration}); }

 private:
  TShellService* FPrevious;
};

}  // namespace testsupport
