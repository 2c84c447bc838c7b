#include "app/SiteHosts.h"

#include <mutex>

namespace {

struct Hosts {
  std::mutex lock;
  QString directoryRoot = QStringLiteral("https://www.pagesjaunes.fr");
  QString directoryStaticHost = QStringLiteral("static.pagesjaunes.fr");
  QString makerRoot = QStringLiteral("http://www.tallowfinch.example");
};

Hosts& TheHosts() {
  static Hosts hosts;
  return hosts;
}

QString WithoutTrailingSlashes(QString s) {
  while (s.endsWith(u'/')) s.chop(1);
  return s;
}

QString Read(QString Hosts::*member) {
  Hosts& h = TheHosts();
  std::lock_guard guard(h.lock);
  return h.*member;
}

void Write(QString Hosts::*member, const QString& value) {
  Hosts& h = TheHosts();
  std::lock_guard guard(h.lock);
  h.*member = value;
}

}  // namespace

QString DirectoryRoot() { return Read(&Hosts::directoryRoot); }

void SetDirectoryRoot(const QString& root) { Write(&Hosts::directoryRoot, WithoutTrailingSlashes(root)); }

QString DirectoryHost() {
  QString host = DirectoryRoot();
  const qsizetype scheme = host.indexOf(QLatin1String("://"));
  if (scheme >= 0) host.remove(0, scheme + 3);
  const qsizetype path = host.indexOf(u'/');
  if (path >= 0) host.truncate(path);
  return host;
}

QString DirectoryStaticHost() { return Read(&Hosts::directoryStaticHost); }

void SetDirectoryStaticHost(const QString& host) { Write(&Hosts::directoryStaticHost, host); }

QString MakerRoot() { return Read(&Hosts::makerRoot); }

void SetMakerRoot(const QString& root) { Write(&Hosts::makerRoot, WithoutTrailingSlashes(root)); }
