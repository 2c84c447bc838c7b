// The file-open and file-save dialogs: filter parsing, the dialog objects and
// the default service over a non-native QFileDialog.

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

#include "platform/vcl/Dialogs.h"

TF_PUBLISHED(TCommonDialog, TComponent) {
  return TPublished<TCommonDialog>().Integer("HelpContext", &TCommonDialog::HelpContext,
                                             &TCommonDialog::SetHelpContext)
      .Default(0);
}

TF_PUBLISHED(TOpenDialog, TCommonDialog) {
  return TPublished<TOpenDialog>()
      .String("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt)
      .String("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName)
      .String("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter)
      .Integer("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex)
      .Default(1)
      .String("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir)
      .Set("Options", &TOpenDialog::Options, &TOpenDialog::SetOptions)
      .TypeName("TOpenOptions")
      .Default(TOpenOptions{ofHideReadOnly, ofEnableSizing})
      .String("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle);
}

TF_PUBLISHED(TSaveDialog, TOpenDialog) { return TPublished<TSaveDialog>(); }

namespace {

QWidget* DialogParent() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return QApplication::activeWindow();
}

QString QtMask(const QString& mask) { return mask == QLatin1String("*.*") ? QStringLiteral("*") : mask; }

// The description without a trailing "(masks)" that repeats the filter's own
// masks, as in "Text files (*.txt)".
QString DescriptionWithoutMasks(const QString& description, const QStringList& masks) {
  static const QRegularExpression trailing(QStringLiteral("^(.*?)\\s*\\(([^()]*)\\)\\s*$"));
  const QRegularExpressionMatch match = trailing.match(description);
  if (!match.hasMatch()) return description;
  static const QRegularExpression separators(QStringLiteral("[;,\\s]+"));
  QStringList shown = match.captured(2).split(separators, Qt::SkipEmptyParts);
  QStringList own = masks;
  shown.sort();
  own.sort();
  return shown == own ? match.captured(1) : description;
}

class TQtFileDialogService : public TFileDialogService {
 public:
  TFileDialogResult Execute(const TFileDialogParams& Request) override {
    QFileDialog dialog(DialogParent());
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setWindowTitle(Request.Title);
    const TOpenOptions options = Request.Options;
    if (Request.Kind == fdkSave) {
      dialog.setAcceptMode(QFileDialog::AcceptSave);
      dialog.setFileMode(QFileDialog::AnyFile);
      dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.Contains(ofOverwritePrompt));
    } else {
      dialog.setAcceptMode(QFileDialog::AcceptOpen);
      if (options.Contains(ofAllowMultiSelect)) dialog.setFileMode(QFileDialog::ExistingFiles);
      else if (options.Contains(ofFileMustExist)) dialog.setFileMode(QFileDialog::ExistingFile);
      else dialog.setFileMode(QFileDialog::AnyFile);
    }
    dialog.setOption(QFileDialog::DontResolveSymlinks, options.Contains(ofNoDereferenceLinks));
    if (options.Contains(ofForceShowHidden)) dialog.setFilter(dialog.filter() | QDir::Hidden);
    dialog.setSizeGripEnabled(options.Contains(ofEnableSizing));

    const QStringList nameFilters = FileDialogNameFilters(Request.Filters);
    if (!nameFilters.isEmpty()) {
      dialog.setNameFilters(nameFilters);
      dialog.selectNameFilter(nameFilters.value(Request.FilterIndex - 1, nameFilters.first()));
    }
    if (!Request.InitialDir.isEmpty()) dialog.setDirectory(Request.InitialDir);
    if (!Request.FileName.isEmpty()) dialog.selectFile(Request.FileName);
    if (!Request.DefaultExt.isEmpty()) dialog.setDefaultSuffix(Request.DefaultExt);

    TFileDialogResult answer;
    if (dialog.exec() != QDialog::Accepted) return answer;
    answer.Accepted = true;
    answer.Files = dialog.selectedFiles();
    answer.FilterIndex = static_cast<int>(nameFilters.indexOf(dialog.selectedNameFilter())) + 1;
    return answer;
  }
};

TFileDialogService* gFileDialogService = nullptr;

}  // namespace

QList<TFileDialogFilter> ParseDialogFilter(const QString& Filter) {
  QList<TFileDialogFilter> filters;
  const QStringList parts = Filter.split(u'|');
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    TFileDialogFilter entry;
    entry.Description = parts[i].trimmed();
    for (const QString& mask : parts[i + 1].split(u';')) {
      const QString trimmed = mask.trimmed();
      if (!trimmed.isEmpty()) entry.Masks.append(trimmed);
    }
    if (!entry.Masks.isEmpty()) filters.append(entry);
  }
  return filters;
}

QStringList FileDialogNameFilters(const QList<TFileDialogFilter>& Filters) {
  QStringList result;
  for (const TFileDialogFilter& filter : Filters) {
    QStringList masks;
    for (const QString& mask : filter.Masks) masks.append(QtMask(mask));
    const QString description = DescriptionWithoutMasks(filter.Description, filter.Masks);
    const QString joined = masks.join(u' ');
    result.append(description.isEmpty() ? joined : description + QStringLiteral(" (") + joined + u')');
  }
  return result;
}

TFileDialogService* SetFileDialogService(TFileDialogService* Service) {
  TFileDialogService* previous = gFileDialogService;
  gFileDialogService = Service;
  return previous;
}

TFileDialogService& FileDialogService() {
  static TQtFileDialogService qtService;
  return gFileDialogService ? *gFileDialogService : qtService;
}

// ---------------------------------------------------------------------------
// TCommonDialog, TOpenDialog, TSaveDialog

TCommonDialog::TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}

TOpenDialog::TOpenDialog(TComponent* AOwner)
    : TCommonDialog(AOwner), FFiles(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

void TOpenDialog::SetDefaultExt(const QString& Value) {
  FDefaultExt = Value.startsWith(u'.') ? Value.mid(1) : Value;
}

TStrings* TOpenDialog::Files() const { return FFiles.get(); }

bool TOpenDialog::Execute() {
  TFileDialogParams request;
  request.Kind = Kind();
  request.Title = !FTitle.isEmpty()       ? FTitle
                  : request.Kind == fdkSave ? QStringLiteral("Save As")
                                            : QStringLiteral("Open");
  request.Filters = ParseDialogFilter(FFilter);
  request.FilterIndex =
      std::clamp(FFilterIndex, 1, std::max(1, static_cast<int>(request.Filters.size())));
  request.InitialDir = FInitialDir;
  request.FileName = FFileName;
  request.DefaultExt = FDefaultExt;
  request.Options = FOptions;

  const TFileDialogResult answer = FileDialogService().Execute(request);
  if (!answer.Accepted || answer.Files.isEmpty()) return false;

  QStringList files =
      FOptions.Contains(ofAllowMultiSelect) ? answer.Files : answer.Files.mid(0, 1);
  for (QString& file : files) {
    if (FDefaultExt.isEmpty() || !ExtractFileExt(file).isEmpty()) continue;
    // An existing file chosen in an open dialog is taken as it is.
    if (request.Kind == fdkOpen && QFileInfo(file).isFile()) continue;
    file += u'.' + FDefaultExt;
  }

  FFiles->BeginUpdate();
  FFiles->Clear();
  for (const QString& file : files) FFiles->Add(file);
  FFiles->EndUpdate();
  FFileName = files.first();
  if (answer.FilterIndex >= 1 && answer.FilterIndex <= request.Filters.size())
    FFilterIndex = answer.FilterIndex;
  const QString ext = ExtractFileExt(FFileName).mid(1);
  if (!FDefaultExt.isEmpty() && ext.compare(FDefaultExt, Qt::CaseInsensitive) != 0)
    FOptions.Include(ofExtensionDifferent);
  else
    FOptions.Exclude(ofExtensionDifferent);
  return true;
}

TSaveDialog::TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}
