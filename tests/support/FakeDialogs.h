#pragma once
// Message and file dialog services for tests. Each installs itself for its
// lifetime, answers from a queue and records every request. Header-only, for
// the test binaries that link the vcl layer.

#include <QList>
#include <QString>
#include <optional>

#include "platform/vcl/Dialogs.h"

namespace testsupport {

class FakeMessageDialogs : public TMessageDialogService {
 public:
  struct InputRequest {
    QString Caption;
    QString Prompt;
    QString Value;
  };

  FakeMessageDialogs() : FPrevious(SetMessageDialogService(this)) {}
  ~FakeMessageDialogs() override { SetMessageDialogService(FPrevious); }
  FakeMessageDialogs(const FakeMessageDialogs&) = delete;
  FakeMessageDialogs& operator=(const FakeMessageDialogs&) = delete;

  // Results handed out in order; once they run out a box answers its
  // default button, as if Enter had been pressed.
  QList<TModalResult> Answers;
  QList<TMessageDialogRequest> Requests;
  // Input queries: a text confirms with it, nullopt cancels; once they run
  // out a query is cancelled.
  QList<std::optional<QString>> InputAnswers;
  QList<InputRequest> InputRequests;

  TModalResult ShowMessageDialog(const TMessageDialogRequest& Request) override {
    Requests.append(Request);
    return Answers.isEmpty() ? Request.DefaultResult : Answers.takeFirst();
  }

  bool InputQuery(const QString& Caption, const QString& Prompt, QString& Value) override {
    InputRequests.append({Caption, Prompt, Value});
    const std::optional<QString> answer = InputAnswers.isEmpty() ? std::nullopt : InputAnswers.takeFirst();
    if (!answer) return false;
    Value = *answer;
    return true;
  }

 private:
  TMessageDialogService* FPrevious;
};

class FakeFileDialogs : public TFileDialogService {
 public:
  FakeFileDialogs() : FPrevious(SetFileDialogService(this)) {}
  ~FakeFileDialogs() override { SetFileDialogService(FPrevious); }
  FakeFileDialogs(const FakeFileDialogs&) = delete;
  FakeFileDialogs& operator=(const FakeFileDialogs&) = delete;

  // Answers handed out in order; once they run out a dialog is cancelled.
  QList<TFileDialogResult> Answers;
  QList<TFileDialogParams> Requests;

  TFileDialogResult Execute(const TFileDialogParams& Request) override {
    Requests.append(Request);
    return Answers.isEmpty() ? TFileDialogResult{} : Answers.takeFirst();
  }

 private:
  TFileDialogService* FPrevious;
};

}  // namespace testsupport
