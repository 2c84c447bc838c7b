#include "platform/office/XmlDom.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <QFile>
#include <vector>

namespace {

// No network, no DTD loading, no entity substitution, no huge mode; errors
// are collected, not printed.
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

bool IsBlankText(xmlNodePtr N) {
  if (N->type != XML_TEXT_NODE && N->type != XML_CDATA_SECTION_NODE) return false;
  if (N->type == XML_CDATA_SECTION_NODE) return false;
  for (const xmlChar* p = N->content; p != nullptr && *p; ++p)
    if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n') return false;
  return true;
}

bool IsChild(xmlNodePtr N) {
  switch (N->type) {
    case XML_ELEMENT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
      return true;
    case XML_TEXT_NODE:
      return !IsBlankText(N);
    case XML_ENTITY_REF_NODE:
      return true;
    default:
      return false;
  }
}

void CollectText(xmlNodePtr N, QByteArray& Out) {
  for (xmlNodePtr c = N->children; c != nullptr; c = c->next) {
    switch (c->type) {
      case XML_TEXT_NODE:
      case XML_CDATA_SECTION_NODE:
        if (c->content) Out += reinterpret_cast<const char*>(c->content);
        break;
      case XML_ELEMENT_NODE:
        CollectText(c, Out);
        break;
      default:
        // Declared entities are never expanded (see the header).
        break;
    }
  }
}

QString Utf8(const xmlChar* S) { return S ? QString::fromUtf8(reinterpret_cast<const char*>(S)) : QString(); }

}  // namespace

QString TXMLDOMNode::nodeName() const {
  if (!FNode) return QString();
  switch (FNode->type) {
    case XML_TEXT_NODE:
      return QStringLiteral("#text");
    case XML_CDATA_SECTION_NODE:
      return QStringLiteral("#cdata-section");
    case XML_COMMENT_NODE:
      return QStringLiteral("#comment");
    default:
      break;
  }
  QString name = Utf8(FNode->name);
  if (FNode->ns && FNode->ns->prefix) name = Utf8(FNode->ns->prefix) + u':' + name;
  return name;
}

QString TXMLDOMNode::Text() const {
  if (!FNode) return QString();
  QByteArray text;
  if (FNode->type == XML_ELEMENT_NODE) CollectText(FNode, text);
  else if (FNode->content) text = reinterpret_cast<const char*>(FNode->content);
  return QString::fromUtf8(text).trimmed();
}

bool TXMLDOMNode::HasAttributes() const { return FNode && FNode->type == XML_ELEMENT_NODE; }

int TXMLDOMNode::AttributesLength() const {
  if (!HasAttributes()) return 0;
  int n = 0;
  for (xmlAttrPtr a = FNode->properties; a; a = a->next) ++n;
  return n;
}

static xmlAttrPtr AttrAt(xmlNodePtr N, int Index) {
  xmlAttrPtr a = N ? N->properties : nullptr;
  for (int i = 0; a && i < Index; ++i) a = a->next;
  return a;
}

QString TXMLDOMNode::AttributeName(int Index) const {
  xmlAttrPtr a = AttrAt(FNode, Index);
  return a ? Utf8(a->name) : QString();
}

QString TXMLDOMNode::AttributeText(int Index) const {
  xmlAttrPtr a = AttrAt(FNode, Index);
  if (!a) return QString();
  QByteArray text;
  for (xmlNodePtr c = a->children; c; c = c->next)
    if (c->type == XML_TEXT_NODE && c->content) text += reinterpret_cast<const char*>(c->content);
  return QString::fromUtf8(text).trimmed();
}

int TXMLDOMNode::ChildNodesLength() const {
  if (!FNode) return 0;
  int n = 0;
  for (xmlNodePtr c = FNode->children; c; c = c->next)
    if (IsChild(c)) ++n;
  return n;
}

TXMLDOMNode TXMLDOMNode::ChildNode(int Index) const {
  if (!FNode) return TXMLDOMNode();
  int n = 0;
  for (xmlNodePtr c = FNode->children; c; c = c->next)
    if (IsChild(c) && n++ == Index) return TXMLDOMNode(c);
  return TXMLDOMNode();
}

TXMLDOMDocument::TXMLDOMDocument() = default;

TXMLDOMDocument::~TXMLDOMDocument() {
  if (FDoc) xmlFreeDoc(FDoc);
}

bool TXMLDOMDocument::Finish(_xmlDoc* Doc) {
  if (FDoc) xmlFreeDoc(FDoc);
  FDoc = Doc;
  const xmlError* err = xmlGetLastError();
  if (FDoc == nullptr || xmlDocGetRootElement(FDoc) == nullptr) {
    FErrorCode = err && err->code ? err->code : XML_ERR_DOCUMENT_EMPTY;
    FErrorLine = err ? err->line : 0;
    if (FDoc) xmlFreeDoc(FDoc);
    FDoc = nullptr;
    return false;
  }
  FErrorCode = 0;
  FErrorLine = 0;
  return true;
}

bool TXMLDOMDocument::load(const QString& FileName) {
  QFile f(FileName);
  if (!f.open(QIODevice::ReadOnly)) {
    FErrorCode = XML_IO_LOAD_ERROR;
    FErrorLine = 0;
    return false;
  }
  return loadXML(f.readAll());
}

bool TXMLDOMDocument::loadXML(const QByteArray& Bytes) {
  xmlResetLastError();
  return Finish(xmlReadMemory(Bytes.constData(), static_cast<int>(std::min<qsizetype>(Bytes.size(), INT_MAX)),
                              nullptr, nullptr, kParseOptions));
}

TXMLDOMNode TXMLDOMDocument::DocumentElement() const {
  return TXMLDOMNode(FDoc ? xmlDocGetRootElement(FDoc) : nullptr);
}
