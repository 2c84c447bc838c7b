// A form with a date-time picker and a spin edit (an edit with an up-down)
// for the desktop tests, which drive it with real X input. With
// TALLOWFINCH_PICKER_STATE naming a file it keeps there (JSON, written when
// it changes) what the controls show and where, in screen coordinates: the
// form, the picker (text, date, the calendar open or not, its events so
// far), the open calendar's window and the rectangle of each day it shows.

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTimer>
#include <memory>

#include "platform/rtl/ProcessStart.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ComCtrlsDateTime.h"
#include "platform/vcl/ComCtrlsUpDown.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

namespace {

QJsonArray Rect(const QRect& R) { return QJsonArray{R.x(), R.y(), R.width(), R.height()}; }

// A windowed control's whole window on the screen.
QJsonArray ScreenRect(TWinControl* Control) {
  QWidget* w = Control->Widget();
  return Rect(QRect(w->mapToGlobal(QPoint(0, 0)), w->size()));
}

}  // namespace

int main(int argc, char** argv) {
  TProcessOptions options;
  PrepareProcess(options);
  QApplication app(argc, argv);
  FormatSettings = TFormatSettings::Create(QStringLiteral("en-US"));

  auto form = CreateUnique<TForm>(nullptr);
  form->SetCaption(QStringLiteral("Picker test"));
  form->SetBounds(100, 100, 420, 200);
  auto* picker = Create<TDateTimePicker>(form.get());
  picker->SetName(QStringLiteral("picker"));
  picker->SetBounds(20, 20, 186, 24);
  picker->SetParent(form.get());
  picker->SetFormat(QStringLiteral("dd/MM/yyyy"));
  picker->SetDateTime(EncodeDate(2024, 3, 5));
  auto* edit = Create<TEdit>(form.get());
  edit->SetName(QStringLiteral("spin"));
  edit->SetBounds(20, 70, 100, 24);
  edit->SetParent(form.get());
  auto* up = Create<TUpDown>(form.get());
  up->SetParent(form.get());
  up->SetAssociate(edit);

  QStringList events;
  picker->OnChange = [&](TObject*) { events << QStringLiteral("change ") + DateToStr(picker->Date()); };
  picker->OnDropDown = [&](TObject*) { events << QStringLiteral("dropdown"); };
  picker->OnCloseUp = [&](TObject*) { events << QStringLiteral("closeup"); };
  form->Show();

  const QString stateFile = qEnvironmentVariable("TALLOWFINCH_PICKER_STATE");
  QByteArray last;
  QTimer report;
  QObject::connect(&report, &QTimer::timeout, [&] {
    QJsonObject state;
    state["title"] = form->Caption();
    state["window"] = ScreenRect(form.get());
    state["active"] = form->Widget()->isActiveWindow();
    QJsonObject p;
    p["rect"] = ScreenRect(picker);
    p["text"] = picker->Text();
    p["date"] = DateToStr(picker->Date());
    p["droppedDown"] = picker->DroppedDown();
    p["focused"] = picker->Focused();
    p["field"] = picker->CurrentField();
    p["events"] = QJsonArray::fromStringList(events);
    state["picker"] = p;
    state["spin"] = QJsonObject{{"rect", ScreenRect(edit)}, {"text", edit->Text()}, {"updown", ScreenRect(up)}};
    if (TPickerCalendar* calendar = picker->Calendar(); calendar && calendar->IsOpen() && calendar->Window()) {
      QJsonObject c;
      QWidget* w = calendar->Window();
      c["rect"] = Rect(QRect(w->mapToGlobal(QPoint(0, 0)), w->size()));
      QJsonObject days;
      const QDate first(2024, 3, 1);
      for (QDate d = first.addDays(-7); d < first.addDays(45); d = d.addDays(1)) {
        const QRect r = calendar->DayRect(d);
        if (!r.isEmpty()) days[d.toString(Qt::ISODate)] = Rect(r);
      }
      c["days"] = days;
      state["calendar"] = c;
    }
    const QByteArray json = QJsonDocument(state).toJson(QJsonDocument::Indented);
    if (stateFile.isEmpty() || json == last) return;
    QSaveFile file(stateFile);
    if (file.open(QIODevice::WriteOnly)) {
      file.write(json);
      if (file.commit()) last = json;
    }
  });
  report.start(100);
  const int status = app.exec();
  form.reset();
  return status;
}
