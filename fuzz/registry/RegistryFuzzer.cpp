// The registry store's file: a registry-editor export written by the program
// and read back on the next start, or left damaged by a crash, a full disk
// or a hand edit.
//
// Every input is written as the store's file and loaded; every key and value
// is then walked through the store and TRegistry's typed reads. A change is
// made, which makes the store write its file (keeping a damaged one as
// ".damaged").
//
// Property checked: the file the store writes loads without damage into the
// same keys and values it held.

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>

#include "fuzz/support/FuzzSupport.h"
#include "platform/rtl/Registry.h"

namespace {

constexpr HKEY kRoots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                           HKEY_PERFORMANCE_DATA, HKEY_CURRENT_CONFIG, HKEY_DYN_DATA};

QTemporaryDir* gFolder = nullptr;

QString FilePath() { return gFolder->filePath(QStringLiteral("registry.reg")); }

// Every key and value under the roots, one line each, in the store's order.
QStringList Dump() {
  TRegistryStore& store = TRegistryStore::Instance();
  QStringList lines;
  std::function<void(HKEY, const QString&)> walk = [&](HKEY root, const QString& path) {
    lines << QStringLiteral("[%1\\%2]").arg(root, 0, 16).arg(path);
    for (const QString& name : store.ValueNames(root, path).value_or(QStringList())) {
      const std::optional<TRegistryValue> v = store.QueryValue(root, path, name);
      fuzz::Check(v.has_value(), "a listed value cannot be read");
      lines << name + u'=' + QString::number(v->DataType) + u':' + QString::fromLatin1(v->Data.toHex());
    }
    for (const QString& key : store.KeyNames(root, path).value_or(QStringList()))
      walk(root, path.isEmpty() ? key : path + u'\\' + key);
  };
  for (HKEY root : kRoots) walk(root, QString());
  return lines;
}

// TRegistry's typed reads of every value of the keys directly under
// HKEY_CURRENT_USER\Software, as the program reads its settings.
void ReadTyped() {
  TRegistry registry(KEY_READ);
  registry.SetRootKey(HKEY_CURRENT_USER);
  if (!registry.OpenKeyReadOnly(QStringLiteral("Software"))) return;
  QStringList keys;
  registry.GetKeyNames(keys);
  for (const QString& key : keys) {
    TRegistry sub(KEY_READ);
    sub.SetRootKey(HKEY_CURRENT_USER);
    if (!sub.OpenKeyReadOnly(QStringLiteral("Software\\") + key)) continue;
    QStringList names;
    sub.GetValueNames(names);
    for (const QString& name : names) {
      sub.GetDataType(name);
      sub.GetDataSize(name);
      fuzz::Refusable([&] { sub.ReadString(name); });
      fuzz::Refusable([&] { sub.ReadInteger(name); });
      fuzz::Refusable([&] { sub.ReadBool(name); });
      fuzz::Refusable([&] { sub.ReadFloat(name); });
      fuzz::Refusable([&] { sub.ReadDateTime(name); });
      char buffer[64];
      fuzz::Refusable([&] { sub.ReadBinaryData(name, buffer, sizeof buffer); });
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::QuietMessages();
  gFolder = new QTemporaryDir();  // left for the process's end
  return gFolder->isValid() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  {
    QFile file(FilePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    file.write(reinterpret_cast<const char*>(Data), qint64(Size));
  }
  TRegistryStore& store = TRegistryStore::Instance();
  TRegistryStore::SetFileName(FilePath());
  fuzz::Refusable([&] { store.Load(); });
  Dump();
  ReadTyped();

  // A change: the store writes its file.
  fuzz::Check(store.CreateKey(HKEY_CURRENT_USER, QStringLiteral("Software\\Fuzz\\Probe")),
              "the store cannot write its file");
  const QStringList held = Dump();

  TRegistryStore::SetFileName(FilePath());
  try {
    store.Load();
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", qPrintable(e.Message()));
    fuzz::Check(false, "the file the store wrote is damaged");
  }
  const QStringList loaded = Dump();
  if (loaded != held) {
    for (qsizetype i = 0; i < std::max(held.size(), loaded.size()); ++i) {
      const QString a = held.value(i), b = loaded.value(i);
      if (a != b) std::fprintf(stderr, "held:   %s\nloaded: %s\n", qPrintable(a), qPrintable(b));
    }
    fuzz::Check(false, "the file the store wrote loads as other keys and values");
  }
  QFile::remove(FilePath() + QStringLiteral(".damaged"));
  return 0;
}
