// INI files (TMemIniFile): settings files of any encoding (UTF-8, UTF-16
// with a byte-order mark, or the ANSI code page), line break and content.
//
// Every input is written as a file and opened; every section and value is
// read, as text and through the typed reads. A value is then changed and
// the file written under another name.
//
// Properties checked: the written file opens into the same sections and
// values the object held, and so do the object's lines set into a new one.

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "fuzz/support/FuzzSupport.h"
#include "platform/rtl/IniFiles.h"

namespace {

QTemporaryDir* gFolder = nullptr;

QStringList Dump(TMemIniFile& ini) {
  QStringList lines, sections;
  ini.ReadSections(sections);
  for (const QString& section : sections) {
    lines << u'[' + section + u']';
    QStringList values;
    ini.ReadSectionValues(section, values);
    lines << values;
  }
  return lines;
}

void ReadEverything(TMemIniFile& ini) {
  QStringList sections;
  ini.ReadSections(sections);
  for (const QString& section : sections) {
    ini.SectionExists(section);
    QStringList keys;
    ini.ReadSection(section, keys);
    for (const QString& key : keys) {
      ini.ValueExists(section, key);
      ini.ReadString(section, key, QString());
      ini.ReadInteger(section, key, -1);
      ini.ReadBool(section, key, false);
      fuzz::Refusable([&] { ini.ReadFloat(section, key, 0.5); });
      fuzz::Refusable([&] { ini.ReadDate(section, key, 0); });
      fuzz::Refusable([&] { ini.ReadDateTime(section, key, 0); });
      fuzz::Refusable([&] { ini.ReadTime(section, key, 0); });
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
  const QString source = gFolder->filePath(QStringLiteral("settings.ini"));
  const QString copy = gFolder->filePath(QStringLiteral("copy.ini"));
  {
    QFile file(source);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    file.write(reinterpret_cast<const char*>(Data), qint64(Size));
  }
  fuzz::Refusable([&] {
    TMemIniFile ini(source);
    ReadEverything(ini);

    // What the program does with its settings: a value written, a key and
    // a section removed, the file saved.
    QStringList sections;
    ini.ReadSections(sections);
    ini.WriteString(QStringLiteral("Fuzz"), QStringLiteral("Probe"), QStringLiteral("one = two"));
    if (!sections.isEmpty()) {
      QStringList keys;
      ini.ReadSection(sections.front(), keys);
      if (!keys.isEmpty()) ini.DeleteKey(sections.front(), keys.back());
      if (sections.size() > 1) ini.EraseSection(sections.back());
    }
    const QStringList held = Dump(ini);
    ini.Rename(copy, false);
    ini.UpdateFile();

    TMemIniFile reopened(copy);
    const QStringList loaded = Dump(reopened);
    if (loaded != held) {
      for (qsizetype i = 0; i < std::max(held.size(), loaded.size()); ++i)
        if (held.value(i) != loaded.value(i))
          std::fprintf(stderr, "held:   %s\nloaded: %s\n", qPrintable(held.value(i)), qPrintable(loaded.value(i)));
      fuzz::Check(false, "the written file opens as other sections and values");
    }

    QStringList lines;
    ini.GetStrings(lines);
    TMemIniFile fromLines(QString{});
    fromLines.SetStrings(lines);
    fuzz::Check(Dump(fromLines) == held, "the object's lines set into another one give other values");
  });
  return 0;
}
