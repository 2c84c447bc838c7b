#include "platform/office/XlsxPackage.h"

#include <libxml/tree.h>
#include <libxml/xmlreader.h>
#include <zip.h>

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/office/ComObj.h"

namespace Excel::detail {

QString SystemError(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

// ---------------------------------------------------------------------------
// Archive

namespace {

QString ZipErrorText(int code) {
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  const QString text = QString::fromUtf8(zip_error_strerror(&error));
  zip_error_fini(&error);
  return text;
}

}  // namespace

TZipArchive::~TZipArchive() { Discard(); }

void TZipArchive::Discard() {
  if (FZip) zip_discard(FZip);
  FZip = nullptr;
  FBuffers.clear();
}

bool TZipArchive::OpenRead(const QString& path, QString& error) {
  Discard();
  int code = 0;
  FZip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
  if (!FZip) error = ZipErrorText(code);
  return FZip != nullptr;
}

bool TZipArchive::OpenWrite(const QString& path, QString& error) {
  Discard();
  int code = 0;
  FZip = zip_open(QFile::encodeName(path).constData(), 0, &code);
  if (!FZip) error = ZipErrorText(code);
  return FZip != nullptr;
}

bool TZipArchive::Create(const QString& path, QString& error) {
  Discard();
  int code = 0;
  FZip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  if (!FZip) error = ZipErrorText(code);
  return FZip != nullptr;
}

qint64 TZipArchive::Find(const QString& name) const {
  if (!FZip) return -1;
  return zip_name_locate(FZip, name.toUtf8().constData(), ZIP_FL_ENC_GUESS);
}

QByteArray TZipArchive::Read(const QString& name, qint64 maxBytes) const {
  const qint64 index = Find(name);
  if (index < 0) throw EOleException(QStringLiteral("Part %1 is missing").arg(name));
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat_index(FZip, zip_uint64_t(index), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
    throw EOleException(QStringLiteral("Part %1 cannot be read").arg(name));
  if (qint64(st.size) > maxBytes) throw EOleException(QStringLiteral("Part %1 is too large").arg(name));
  std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(zip_fopen_index(FZip, zip_uint64_t(index), 0),
                                                          &zip_fclose);
  if (!file) throw EOleException(QStringLiteral("Part %1 cannot be read: %2").arg(name, zip_strerror(FZip)));
  QByteArray data(qsizetype(st.size), Qt::Uninitialized);
  qint64 done = 0;
  while (done < qint64(st.size)) {
    const zip_int64_t n = zip_fread(file.get(), data.data() + done, zip_uint64_t(st.size - done));
    if (n <= 0)
      throw EOleException(QStringLiteral("Part %1 cannot be read: %2").arg(name, zip_file_strerror(file.get())));
    done += n;
  }
  return data;
}

void TZipArchive::Put(const QString& name, const QByteArray& data) {
  FBuffers.push_back(std::make_unique<QByteArray>(data));
  const QByteArray& kept = *FBuffers.back();
  zip_source_t* source = zip_source_buffer(FZip, kept.constData(), zip_uint64_t(kept.size()), 0);
  if (!source) throw EOleException(QStringLiteral("Cannot store %1: %2").arg(name, zip_strerror(FZip)));
  if (zip_file_add(FZip, name.toUtf8().constData(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
    zip_source_free(source);
    throw EOleException(QStringLiteral("Cannot store %1: %2").arg(name, zip_strerror(FZip)));
  }
}

void TZipArchive::Remove(const QString& name) {
  const qint64 index = Find(name);
  if (index >= 0 && zip_delete(FZip, zip_uint64_t(index)) != 0)
    throw EOleException(QStringLiteral("Cannot remove %1: %2").arg(name, zip_strerror(FZip)));
}

void TZipArchive::Commit() {
  if (zip_close(FZip) != 0) {
    const QString reason = QString::fromUtf8(zip_strerror(FZip));
    Discard();
    throw EOleException(QStringLiteral("Cannot write the workbook: %1").arg(reason));
  }
  FZip = nullptr;
  FBuffers.clear();
}

// ---------------------------------------------------------------------------
// XML reader

struct TXmlPartReader::TSource {
  zip_file_t* File = nullptr;
  const QByteArray* Bytes = nullptr;
  qint64 Offset = 0;
  qint64 Total = 0;
  bool TooLarge = false;
  QString Error;
  ~TSource() {
    if (File) zip_fclose(File);
  }
};

namespace {

int ReadCallback(void* context, char* buffer, int len) {
  auto* source = static_cast<TXmlPartReader::TSource*>(context);
  if (source->Bytes) {
    const qint64 n = std::min<qint64>(len, source->Bytes->size() - source->Offset);
    std::memcpy(buffer, source->Bytes->constData() + source->Offset, size_t(n));
    source->Offset += n;
    return int(n);
  }
  const zip_int64_t n = zip_fread(source->File, buffer, zip_uint64_t(len));
  if (n < 0) {
    source->Error = QString::fromUtf8(zip_file_strerror(source->File));
    return -1;
  }
  source->Total += n;
  if (source->Total > MaxPartBytes) {
    source->TooLarge = true;
    return -1;
  }
  return int(n);
}

int CloseCallback(void*) { return 0; }

void ErrorCallback(void* context, xmlErrorPtr error) {
  auto* text = static_cast<QString*>(context);
  if (text->isEmpty() && error && error->message)
    *text = QStringLiteral("line %1: %2").arg(error->line).arg(QString::fromUtf8(error->message).trimmed());
}

constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOWARNING | XML_PARSE_NOERROR;

}  // namespace

TXmlPartReader::TXmlPartReader(const TZipArchive& archive, const QString& name)
    : FSource(new TSource), FName(name) {
  const qint64 index = archive.Find(name);
  if (index < 0) throw EOleException(QStringLiteral("Part %1 is missing").arg(name));
  FSource->File = zip_fopen_index(archive.Handle(), zip_uint64_t(index), 0);
  if (!FSource->File)
    throw EOleException(QStringLiteral("Part %1 cannot be read: %2").arg(name, zip_strerror(archive.Handle())));
  FReader = xmlReaderForIO(&ReadCallback, &CloseCallback, FSource.get(), nullptr, nullptr, kParseOptions);
  if (!FReader) throw EOleException(QStringLiteral("Part %1 cannot be read").arg(name));
  xmlTextReaderSetStructuredErrorHandler(FReader, &ErrorCallback, &FError);
}

TXmlPartReader::TXmlPartReader(const QByteArray& bytes, const QString& name) : FSource(new TSource), FName(name) {
  FSource->Bytes = &bytes;
  FReader = xmlReaderForIO(&ReadCallback, &CloseCallback, FSource.get(), nullptr, nullptr, kParseOptions);
  if (!FReader) throw EOleException(QStringLiteral("Part %1 cannot be read").arg(name));
  xmlTextReaderSetStructuredErrorHandler(FReader, &ErrorCallback, &FError);
}

TXmlPartReader::~TXmlPartReader() {
  if (FReader) xmlFreeTextReader(FReader);
}

void TXmlPartReader::Fail(const QString& what) const {
  QString reason = what;
  if (FSource->TooLarge) reason = QStringLiteral("too large");
  else if (!FSource->Error.isEmpty()) reason = FSource->Error;
  else if (!FError.isEmpty()) reason = FError;
  throw EOleException(QStringLiteral("Part %1 is damaged: %2").arg(FName, reason));
}

void TXmlPartReader::Check(int rc) {
  if (rc < 0) Fail(QStringLiteral("malformed XML"));
  if (rc == 1 && xmlTextReaderNodeType(FReader) == XML_READER_TYPE_DOCUMENT_TYPE)
    Fail(QStringLiteral("a document type declaration is not allowed"));
}

bool TXmlPartReader::Read() {
  const int rc = xmlTextReaderRead(FReader);
  Check(rc);
  return rc == 1;
}

bool TXmlPartReader::Next() {
  const int rc = xmlTextReaderNext(FReader);
  Check(rc);
  return rc == 1;
}

int TXmlPartReader::NodeType() const { return xmlTextReaderNodeType(FReader); }
int TXmlPartReader::Depth() const { return xmlTextReaderDepth(FReader); }
bool TXmlPartReader::IsEmptyElement() const { return xmlTextReaderIsEmptyElement(FReader) == 1; }
bool TXmlPartReader::IsStart() const { return NodeType() == XML_READER_TYPE_ELEMENT; }
bool TXmlPartReader::IsEnd() const { return NodeType() == XML_READER_TYPE_END_ELEMENT; }

QByteArray TXmlPartReader::LocalName() const {
  const xmlChar* name = xmlTextReaderConstLocalName(FReader);
  return name ? QByteArray(reinterpret_cast<const char*>(name)) : QByteArray();
}

bool TXmlPartReader::NameIs(const char* localName) const {
  const xmlChar* name = xmlTextReaderConstLocalName(FReader);
  return name && std::strcmp(reinterpret_cast<const char*>(name), localName) == 0;
}

QByteArray TXmlPartReader::Attr(const char* localName) const {
  QByteArray value;
  if (xmlTextReaderMoveToFirstAttribute(FReader) != 1) return value;
  do {
    const xmlChar* name = xmlTextReaderConstLocalName(FReader);
    const xmlChar* prefix = xmlTextReaderConstPrefix(FReader);
    if (name && std::strcmp(reinterpret_cast<const char*>(name), localName) == 0 &&
        !(prefix && std::strcmp(reinterpret_cast<const char*>(prefix), "xmlns") == 0)) {
      const xmlChar* v = xmlTextReaderConstValue(FReader);
      value = QByteArray(v ? reinterpret_cast<const char*>(v) : "");
      break;
    }
  } while (xmlTextReaderMoveToNextAttribute(FReader) == 1);
  xmlTextReaderMoveToElement(FReader);
  return value;
}

bool TXmlPartReader::HasAttr(const char* localName) const { return !Attr(localName).isNull(); }

QByteArray TXmlPartReader::ElementText() {
  QByteArray text("");
  if (IsEmptyElement()) return text;
  const int depth = Depth();
  while (Read()) {
    const int type = NodeType();
    if (type == XML_READER_TYPE_END_ELEMENT && Depth() == depth) break;
    if (type == XML_READER_TYPE_TEXT || type == XML_READER_TYPE_CDATA ||
        type == XML_READER_TYPE_SIGNIFICANT_WHITESPACE || type == XML_READER_TYPE_WHITESPACE) {
      const xmlChar* v = xmlTextReaderConstValue(FReader);
      if (v) text += reinterpret_cast<const char*>(v);
    }
  }
  return text;
}

QByteArray TXmlPartReader::OuterXml() {
  xmlNodePtr node = xmlTextReaderExpand(FReader);
  if (!node) Fail(QStringLiteral("malformed XML"));
  std::unique_ptr<xmlBuffer, void (*)(xmlBufferPtr)> buffer(xmlBufferCreate(), &xmlBufferFree);
  if (!buffer || xmlNodeDump(buffer.get(), node->doc, node, 0, 0) < 0)
    Fail(QStringLiteral("cannot copy an element"));
  return QByteArray(reinterpret_cast<const char*>(xmlBufferContent(buffer.get())), xmlBufferLength(buffer.get()));
}

// ---------------------------------------------------------------------------
// Atomic file

TAtomicFile::TAtomicFile(const QString& target) : FTarget(target) {
  const QFileInfo info(target);
  const QString dir = info.absolutePath();
  QByteArray pattern = QFile::encodeName(dir + QStringLiteral("/.~") + info.fileName() + QStringLiteral(".XXXXXX"));
  const int fd = mkstemp(pattern.data());
  if (fd < 0) {
    const int err = errno;
    throw EOleException(QStringLiteral("Cannot write \"%1\": %2").arg(QDir::toNativeSeparators(target), SystemError(err)));
  }
  ::close(fd);
  FTemp = QFile::decodeName(pattern);
}

TAtomicFile::~TAtomicFile() {
  if (!FDone) ::unlink(QFile::encodeName(FTemp).constData());
}

void TAtomicFile::Commit(const QString& keepModeOf) {
  mode_t mode;
  struct stat st;
  if (!keepModeOf.isEmpty() && ::stat(QFile::encodeName(keepModeOf).constData(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::chmod(QFile::encodeName(FTemp).constData(), mode);
  if (::rename(QFile::encodeName(FTemp).constData(), QFile::encodeName(FTarget).constData()) != 0) {
    const int err = errno;
    throw EOleException(QStringLiteral("Cannot write \"%1\": %2").arg(QDir::toNativeSeparators(FTarget), SystemError(err)));
  }
  FDone = true;
}

// ---------------------------------------------------------------------------
// Part names

QString ResolvePartName(const QString& sourcePart, const QString& target) {
  QString t = target;
  t.replace(u'\\', u'/');
  QStringList parts;
  if (!t.startsWith(u'/')) {
    parts = sourcePart.split(u'/', Qt::SkipEmptyParts);
    if (!parts.isEmpty()) parts.removeLast();  // the source's file name
  }
  for (const QString& piece : t.split(u'/', Qt::SkipEmptyParts)) {
    if (piece == u"..") {
      if (!parts.isEmpty()) parts.removeLast();
    } else if (piece != u".") {
      parts.append(piece);
    }
  }
  return parts.join(u'/');
}

QString RelativeTarget(const QString& sourcePart, const QString& partName) {
  const qsizetype slash = sourcePart.lastIndexOf(u'/');
  const QString folder = slash < 0 ? QString() : sourcePart.left(slash + 1);
  if (!folder.isEmpty() && partName.startsWith(folder)) return partName.mid(folder.size());
  return u'/' + partName;
}

QString RelsPartName(const QString& partName) {
  const qsizetype slash = partName.lastIndexOf(u'/');
  const QString folder = slash < 0 ? QString() : partName.left(slash + 1);
  const QString file = slash < 0 ? partName : partName.mid(slash + 1);
  return folder + QStringLiteral("_rels/") + file + QStringLiteral(".rels");
}

}  // namespace Excel::detail
