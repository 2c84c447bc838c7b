#pragma once
// The XML document object the grid's XML reader walks: a document loaded
// from a file or from bytes, its parse error, and nodes with their name,
// attributes, child nodes and text, with these rules:
//   - text nodes made of white space only are not child nodes; comments
//     and processing instructions are;
//   - Text is the text of the node and its descendants with leading and
//     trailing white space removed; entity references are resolved for the
//     predefined entities and character references only;
//   - documents are parsed without network access, without loading any
//     external DTD or entity, without substituting declared entities, and
//     within libxml2's default size and amplification limits. A document
//     that declares entities still loads; references to them stay empty.
// ParseErrorCode is libxml2's error number (0 when the load succeeded).

#include <QByteArray>
#include <QString>
#include <memory>

struct _xmlDoc;
struct _xmlNode;

class TXMLDOMNode {
 public:
  TXMLDOMNode() = default;
  explicit TXMLDOMNode(_xmlNode* Node) : FNode(Node) {}
  bool IsNull() const { return FNode == nullptr; }
  QString nodeName() const;
  QString Text() const;
  // Element nodes have an attribute collection (possibly empty); other
  // nodes have none.
  bool HasAttributes() const;
  int AttributesLength() const;
  QString AttributeName(int Index) const;
  QString AttributeText(int Index) const;
  int ChildNodesLength() const;
  TXMLDOMNode ChildNode(int Index) const;

 private:
  _xmlNode* FNode = nullptr;
};

class TXMLDOMDocument {
 public:
  TXMLDOMDocument();
  ~TXMLDOMDocument();
  TXMLDOMDocument(const TXMLDOMDocument&) = delete;
  TXMLDOMDocument& operator=(const TXMLDOMDocument&) = delete;

  // False on a parse error (see ParseErrorCode and ParseErrorLine).
  bool load(const QString& FileName);
  bool loadXML(const QByteArray& Bytes);
  int ParseErrorCode() const { return FErrorCode; }
  int ParseErrorLine() const { return FErrorLine; }
  TXMLDOMNode DocumentElement() const;

 private:
  bool Finish(_xmlDoc* Doc);
  _xmlDoc* FDoc = nullptr;
  int FErrorCode = 0;
  int FErrorLine = 0;
};
