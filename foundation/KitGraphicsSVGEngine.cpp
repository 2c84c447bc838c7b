#include "foundation/KitGraphicsSVGEngine.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlsave.h>

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QUrl>
#include <cmath>
#include <limits>

#include "foundation/KitUtils.h"
#include "platform/rtl/Streams.h"

Q_LOGGING_CATEGORY(lcSvg, "tf.svg")

namespace {

// The view rectangle before anything widened it.
constexpr float SentinelLow = 2147483648.0f;
constexpr float SentinelHigh = -2147483648.0f;
TRectF SentinelRect() { return TRectF(SentinelLow, SentinelLow, SentinelHigh, SentinelHigh); }

// Element walks deeper than this are cut off (libxml2 itself stops at 256
// levels without XML_PARSE_HUGE).
constexpr int MaxDepth = 256;
// Image elements load pictures, and a picture may be an SVG document with
// image elements of its own: nesting stops here, and all the documents of
// one load share one budget of picture loads (a document naming itself a
// hundred times would otherwise load 100^4 pictures).
thread_local int gImageNesting = 0;
constexpr int MaxImageNesting = 4;
thread_local int* gImageBudget = nullptr;
// A file named by an image element is read only up to this size.
constexpr qint64 MaxImageFileSize = qint64(64) * 1024 * 1024;

QString XmlText(const xmlChar* s) { return s ? QString::fromUtf8(reinterpret_cast<const char*>(s)) : QString(); }

// The node's name as written: prefix and local name for elements, "#text"
// for text.
QString NodeName(xmlNode* n) {
  switch (n->type) {
    case XML_ELEMENT_NODE:
      if (n->ns != nullptr && n->ns->prefix != nullptr)
        return XmlText(n->ns->prefix) + u':' + XmlText(n->name);
      return XmlText(n->name);
    case XML_TEXT_NODE:
      return QStringLiteral("#text");
    case XML_CDATA_SECTION_NODE:
      return QStringLiteral("#cdata-section");
    case XML_COMMENT_NODE:
      return QStringLiteral("#comment");
    default:
      return QString();
  }
}

struct TAttribute {
  QString Name;
  QString Value;
};

// The attributes of an element in document order, with prefixed names.
std::vector<TAttribute> Attributes(xmlNode* n) {
  std::vector<TAttribute> result;
  for (xmlAttr* a = n->properties; a != nullptr; a = a->next) {
    TAttribute attribute;
    attribute.Name = (a->ns != nullptr && a->ns->prefix != nullptr) ? XmlText(a->ns->prefix) + u':' + XmlText(a->name)
                                                                    : XmlText(a->name);
    if (a->children != nullptr && a->children->next == nullptr && a->children->type == XML_TEXT_NODE) {
      attribute.Value = XmlText(a->children->content);
    } else {
      // Entity references in the value: the parser has already checked
      // their expansion against its amplification limits.
      xmlChar* value = xmlNodeListGetString(n->doc, a->children, 1);
      attribute.Value = XmlText(value);
      xmlFree(value);
    }
    result.push_back(std::move(attribute));
  }
  return result;
}

const QString* Find(const std::vector<TAttribute>& AAttributes, QLatin1String AName) {
  for (const TAttribute& a : AAttributes)
    if (a.Name == AName) return &a.Value;
  return nullptr;
}

// The names ParseStyle acts on; other attributes matter only when their
// value holds a ";" (it then reads as further declarations).
bool IsDeclarationName(const QString& AName) {
  static const QLatin1String names[] = {QLatin1String("display"),        QLatin1String("fill"),
                                        QLatin1String("stroke"),         QLatin1String("stroke-width"),
                                        QLatin1String("font-family"),    QLatin1String("font-style"),
                                        QLatin1String("font-size"),      QLatin1String("preserveAspectRatio"),
                                        QLatin1String("offset"),         QLatin1String("stop-opacity"),
                                        QLatin1String("stop-color"),     QLatin1String("opacity"),
                                        QLatin1String("xlink:href"),     QLatin1String("href"),
                                        QLatin1String("class"),          QLatin1String("id"),
                                        QLatin1String("clip-path"),      QLatin1String("style"),
                                        QLatin1String("color"),          QLatin1String("fill-opacity"),
                                        QLatin1String("stroke-opacity"), QLatin1String("fill-rule"),
                                        QLatin1String("clip-rule"),      QLatin1String("gradientUnits")};
  for (QLatin1String n : names)
    if (AName == n) return true;
  return false;
}

TKitGraphicsSVGElementType ElementTypeFromName(const QString& AName) {
  static const QHash<QString, TKitGraphicsSVGElementType> types{
      {QStringLiteral("g"), etContainer},
      {QStringLiteral("switch"), etSwitch},
      {QStringLiteral("defs"), etDefs},
      {QStringLiteral("use"), etUse},
      {QStringLiteral("rect"), etRect},
      {QStringLiteral("line"), etLine},
      {QStringLiteral("polyline"), etPolyline},
      {QStringLiteral("polygon"), etPolygon},
      {QStringLiteral("circle"), etCircle},
      {QStringLiteral("ellipse"), etEllipse},
      {QStringLiteral("path"), etPath},
      {QStringLiteral("image"), etImage},
      {QStringLiteral("text"), etText},
      {QStringLiteral("tspan"), etTextSpan},
      {QStringLiteral("#text"), etTextSpanChild},
      {QStringLiteral("textPath"), etTextPath},
      {QStringLiteral("clipPath"), etClipPath},
      {QStringLiteral("linearGradient"), etLinearGradient},
      {QStringLiteral("radialGradient"), etRadialGradient},
      {QStringLiteral("style"), etStyle},
      {QStringLiteral("stop"), etStop},
      {QStringLiteral("pattern"), etPattern}};
  return types.value(AName, etUnknown);
}

bool IsChainParent(const TKitGraphicsSVGElement* AParent) {
  if (AParent == nullptr) return false;
  switch (AParent->Type()) {
    case etContainer: case etText: case etTextSpan: case etTextPath: return true;
    default: return false;
  }
}

// The transforms of the element's ancestors while they are containers or
// text elements.
TKitGraphicsMatrix ParentChainMatrix(const TKitGraphicsSVGElement* AElement) {
  TKitGraphicsMatrix m = MatrixIdentity();
  for (const TKitGraphicsSVGElement* p = AElement->Parent(); IsChainParent(p); p = p->Parent())
    if (!MatrixIsEmpty(p->Matrix())) m = m * p->Matrix();
  return m;
}

// Every element of the tree with an id, first occurrence kept.
void IndexIDs(const TKitGraphicsSVGElementList& AList, QHash<QString, TKitGraphicsSVGElement*>& AIndex) {
  for (const auto& e : AList) {
    if (!e->ID().isEmpty() && !AIndex.contains(e->ID())) AIndex.insert(e->ID(), e.get());
    if (e->HasElements()) IndexIDs(e->Elements(), AIndex);
  }
}

void FreeDoc(_xmlDoc* ADoc) {
  if (ADoc) xmlFreeDoc(ADoc);
}

// Collects the parser's last error as text.
struct TParseErrors {
  QString Message;
  static void Handler(void* AContext, xmlError* AError) {
    auto* self = static_cast<TParseErrors*>(AContext);
    if (AError == nullptr || AError->level < XML_ERR_ERROR || !self->Message.isEmpty()) return;
    self->Message = QStringLiteral("%1 (line %2)")
                        .arg(QString::fromUtf8(AError->message ? AError->message : "XML error").trimmed())
                        .arg(AError->line);
  }
};

}  // namespace

// ---------------------------------------------------------------------------
// Elements

TF_PUBLISHED(TKitGraphicsSVGElement, TObject) {
  using E = TKitGraphicsSVGElement;
  return TPublished<E>()
      .Enum("Type", &E::Type, &E::SetType)
      .String("ID", &E::ID, &E::SetID)
      .String("ClassRefID", &E::ClassRefID, &E::SetClassRefID)
      .String("URLRefID", &E::URLRefID, &E::SetURLRefID)
      .String("HRefID", &E::HRefID, &E::SetHRefID)
      .String("ClipPathRefID", &E::ClipPathRefID, &E::SetClipPathRefID)
      .Float("X", &E::X, &E::SetX)
      .Float("Y", &E::Y, &E::SetY)
      .Float("Width", &E::Width, &E::SetWidth)
      .Float("Height", &E::Height, &E::SetHeight)
      .Float("Rx", &E::Rx, &E::SetRx)
      .Float("Ry", &E::Ry, &E::SetRy)
      .String("Text", &E::Text, &E::SetText);
}

TKitGraphicsSVGElement::~TKitGraphicsSVGElement() = default;

const QString& TKitGraphicsSVGElement::DefaultValue() {
  static const QString value = QStringLiteral("default");
  return value;
}

TKitGraphicsSVGElementList& TKitGraphicsSVGElement::Elements() {
  if (!FElements) FElements = std::make_unique<TKitGraphicsSVGElementList>();
  return *FElements;
}

TKitGraphicsSVGElementPathList& TKitGraphicsSVGElement::Paths() {
  if (!FPaths) FPaths = std::make_unique<TKitGraphicsSVGElementPathList>();
  return *FPaths;
}

TKitGraphicsPath* TKitGraphicsSVGElement::ActivePath() const {
  return HasActivePath() ? FPaths->back().get() : nullptr;
}

TKitGraphicsPath* TKitGraphicsSVGElement::AddPath() {
  Paths().push_back(std::make_unique<TKitGraphicsPath>());
  FCombinedDirty = true;
  return FPaths->back().get();
}

TKitGraphicsPath* TKitGraphicsSVGElement::CombinedPath() {
  if (!FCombinedPath) FCombinedPath = std::make_unique<TKitGraphicsPath>();
  if (FCombinedDirty) {
    FCombinedPath->Clear();
    if (FPaths)
      for (const auto& p : *FPaths) FCombinedPath->AddPath(*p);
    FCombinedDirty = false;
  }
  return FCombinedPath.get();
}

TKitBitmap* TKitGraphicsSVGElement::Bitmap() {
  if (!FBitmap) FBitmap = std::make_unique<TKitBitmap>();
  return FBitmap.get();
}

// ---------------------------------------------------------------------------
// The document

TF_PUBLISHED(TKitGraphicsSVGImport, TKitSVGImport) { return TPublished<TKitGraphicsSVGImport>(); }

TKitGraphicsSVGImport::TKitGraphicsSVGImport() : FXML(nullptr, FreeDoc) {
  // Documents with a DTD are accepted; what the DTD declares is never
  // fetched (see LoadFromText).
  Clear();
}

TKitGraphicsSVGImport::~TKitGraphicsSVGImport() = default;

void TKitGraphicsSVGImport::Clear() {
  FElementClassList.clear();
  FElementPatternList.clear();
  FElementClipPathList.clear();
  FElementList.clear();
  FDefsList.clear();
  FIDIndex.clear();
  FViewport = TSizeF(100, 100);
  FRootAspectRatio.clear();
  FHasRootViewBox = false;
  FRootStyle.reset();
  FXML.reset();
  FMatrix = MatrixIdentity();
  FTextMatrix = MatrixIdentity();
  FViewRect = SentinelRect();
}

void TKitGraphicsSVGImport::LoadFromFile(const QString& AFile) {
  TMemoryStream stream;
  stream.LoadFromFile(AFile);
  // Image references in the document are relative to its own folder.
  FBaseFolder = QFileInfo(AFile).absolutePath();
  struct TReset {
    QString& Folder;
    ~TReset() { Folder.clear(); }
  } reset{FBaseFolder};
  LoadFromStream(&stream);
}

void TKitGraphicsSVGImport::LoadFromStream(TStream* AStream) {
  if (AStream == nullptr) return;
  AStream->SetPosition(0);
  const Int64 size = AStream->Size();
  QByteArray bytes;
  bytes.resize(qsizetype(std::max<Int64>(size, 0)));
  if (size > 0) AStream->ReadBuffer(bytes.data(), size);
  // Read as UTF-8: invalid sequences become replacement characters.
  LoadFromText(QString::fromUtf8(bytes));
}

void TKitGraphicsSVGImport::SaveToStream(TStream* AStream) {
  if (!FXML || AStream == nullptr) return;
  xmlChar* buffer = nullptr;
  int size = 0;
  xmlDocDumpFormatMemoryEnc(FXML.get(), &buffer, &size, "UTF-8", 0);
  if (buffer != nullptr && size > 0) AStream->WriteBuffer(buffer, size);
  xmlFree(buffer);
}

void TKitGraphicsSVGImport::SaveToFile(const QString& AFile) {
  TMemoryStream stream;
  SaveToStream(&stream);
  TFileStream file(AFile, fmCreate);
  stream.SetPosition(0);
  if (stream.Size() > 0) file.CopyFrom(&stream, stream.Size());
}

void TKitGraphicsSVGImport::LoadFromText(const QString& AText) {
  Clear();
  const QByteArray utf8 = AText.toUtf8();
  TParseErrors errors;
  xmlParserCtxtPtr context = xmlNewParserCtxt();
  if (context == nullptr) throw EOutOfMemory(QStringLiteral("Out of memory"));
  xmlSetStructuredErrorFunc(&errors, &TParseErrors::Handler);
  // No network, no external DTD or entity loaded, entities kept as
  // references (their expansion stays under the parser's amplification
  // limits), no size lifts.
  const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
  xmlDocPtr doc = xmlCtxtReadMemory(context, utf8.constData(), int(std::min<qsizetype>(utf8.size(), INT_MAX)),
                                    nullptr, "UTF-8", options);
  const bool wellFormed = context->wellFormed != 0;
  xmlFreeParserCtxt(context);
  xmlSetStructuredErrorFunc(nullptr, nullptr);
  if (doc == nullptr || !wellFormed) {
    FreeDoc(doc);
    throw EDOMParseError(errors.Message.isEmpty() ? QStringLiteral("The document is not well-formed XML")
                                                  : errors.Message);
  }
  FXML.reset(doc);
  xmlNode* root = xmlDocGetRootElement(doc);
  if (root == nullptr || NodeName(root) != QLatin1String("svg")) return;

  // The outermost load owns the budget of picture loads.
  int budget = MaxImageLoads;
  const bool ownsBudget = gImageBudget == nullptr;
  if (ownsBudget) gImageBudget = &budget;
  struct TBudget {
    bool Owns;
    ~TBudget() {
      if (Owns) gImageBudget = nullptr;
    }
  } budgetScope{ownsBudget};

  try {
    const std::vector<TAttribute> attributes = Attributes(root);
    TRectF size = SentinelRect();
    const QString* w = Find(attributes, QLatin1String("width"));
    const QString* h = Find(attributes, QLatin1String("height"));
    if (const QString* viewBox = Find(attributes, QLatin1String("viewBox"))) {
      // Numbers separated by blanks, commas or both.
      QString text = *viewBox;
      text.replace(u',', u' ');
      const QStringList parts = text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
      double v[4];
      bool ok = parts.size() == 4;
      for (int i = 0; ok && i < 4; ++i) ok = TryReadNumber(parts[i], v[i]);
      if (ok) {
        size = TRectF(float(v[0]), float(v[1]), float(v[0] + v[2]), float(v[1] + v[3]));
        FHasRootViewBox = v[2] > 0 && v[3] > 0;
      }
    } else if (w && h && !w->trimmed().endsWith(u'%') && !h->trimmed().endsWith(u'%')) {
      size = TRectF(0, 0, ParseLength(*w), ParseLength(*h));
    }
    if (size.Right > size.Left && size.Bottom > size.Top && size.Left != SentinelLow)
      FViewport = TSizeF(size.Right - size.Left, size.Bottom - size.Top);
    if (const QString* aspect = Find(attributes, QLatin1String("preserveAspectRatio")))
      FRootAspectRatio = aspect->simplified();
    // The root's paint properties, inherited by the top-level elements
    // (its opacity is not inherited: it applies to the whole picture).
    FRootStyle = std::make_unique<TKitGraphicsSVGElement>();
    for (const TAttribute& a : attributes) {
      if (a.Name == QLatin1String("style") || a.Name == QLatin1String("id") || a.Name == QLatin1String("class") ||
          a.Name == QLatin1String("preserveAspectRatio"))
        continue;
      if (IsDeclarationName(a.Name)) ParseStyle(FRootStyle.get(), QString(a.Name + u':' + a.Value));
    }
    if (const QString* style = Find(attributes, QLatin1String("style"))) ParseStyle(FRootStyle.get(), *style);
    ParseElements(FElementList, root, nullptr, true);
    IndexIDs(FElementList, FIDIndex);
    IndexIDs(FDefsList, FIDIndex);
    ResolveClassReferences(FElementPatternList);
    ResolveClassReferences(FElementClipPathList);
    ResolveClassReferences(FElementClassList);
    ResolvePatternReferences(FElementList);
    ResolveHRefs();
    const TRectF s = SentinelRect();
    if (size.Left != s.Left && size.Top != s.Top && size.Right != s.Right && size.Bottom != s.Bottom) {
      FViewRect = size;
    } else if (FViewRect.Left == s.Left && FViewRect.Top == s.Top && FViewRect.Right == s.Right &&
               FViewRect.Bottom == s.Bottom) {
      FViewRect = TRectF(0, 0, 0, 0);
    }
  } catch (...) {
    // A failed load leaves no half-built document behind.
    Clear();
    throw;
  }
}

void TKitGraphicsSVGImport::ExtendViewRect(const TKitGraphicsSVGElement* AElement, const TRectF& ARect) {
  TKitGraphicsPath path;
  path.AddRectangle(ARect);
  ExtendViewRectByPath(AElement, path);
}

void TKitGraphicsSVGImport::ExtendViewRectByPath(const TKitGraphicsSVGElement* AElement,
                                                 const TKitGraphicsPath& APath) {
  if (APath.Count() == 0) return;
  TKitGraphicsPath path;
  path.Assign(const_cast<TKitGraphicsPath*>(&APath));
  // What is drawn: the element's own transform, then its ancestors'.
  path.ApplyMatrix(CombinedElementMatrix(AElement));
  const TRectF b = path.GetBounds();
  if (!std::isfinite(b.Left) || !std::isfinite(b.Top) || !std::isfinite(b.Right) || !std::isfinite(b.Bottom)) return;
  FViewRect.Left = std::min(FViewRect.Left, b.Left);
  FViewRect.Top = std::min(FViewRect.Top, b.Top);
  FViewRect.Right = std::max(FViewRect.Right, b.Right);
  FViewRect.Bottom = std::max(FViewRect.Bottom, b.Bottom);
}

void TKitGraphicsSVGImport::ParseElements(TKitGraphicsSVGElementList& AList, _xmlNode* ANode,
                                          TKitGraphicsSVGElement* AParent, bool AExtend) {
  // Depth of the walk, counted on the nodes themselves.
  int depth = 0;
  for (xmlNode* p = ANode; p != nullptr && p->type == XML_ELEMENT_NODE; p = p->parent) ++depth;
  if (depth > MaxDepth) return;

  for (xmlNode* node = ANode->children; node != nullptr; node = node->next) {
    const QString name = NodeName(node);
    const TKitGraphicsSVGElementType type = ElementTypeFromName(name);
    if (type == etUnknown) continue;
    if (type == etTextSpanChild) {
      const QString text = XmlText(node->content);
      if (text.trimmed().isEmpty()) continue;
    }
    if (type == etSwitch || type == etUse) continue;
    if (type == etDefs) {
      ParseElements(FDefsList, node, nullptr, false);
      continue;
    }
    if (type == etStyle) {
      xmlChar* content = xmlNodeGetContent(node);
      const QString text = XmlText(content);
      xmlFree(content);
      ParseClassRules(text);
      continue;
    }

    auto owned = std::make_unique<TKitGraphicsSVGElement>();
    TKitGraphicsSVGElement* e = owned.get();
    e->FType = type;
    e->FParent = AParent;
    AList.push_back(std::move(owned));

    if (type == etTextSpanChild) {
      e->FText = XmlText(node->content);
      continue;
    }

    const std::vector<TAttribute> attributes = Attributes(node);
    const QString* transform = Find(attributes, QLatin1String("transform"));
    e->FMatrix = ParseTransform(transform ? *transform : QString(), transform != nullptr);
    const QString* gradientTransform = Find(attributes, QLatin1String("gradientTransform"));
    e->FGradientMatrix = ParseTransform(gradientTransform ? *gradientTransform : QString(), gradientTransform != nullptr);
    auto length = [&](const char* AName, int AAxis) {
      const QString* v = Find(attributes, QLatin1String(AName));
      return v ? ParseGeometryLength(*v, AAxis) : 0.0f;
    };
    switch (type) {
      case etCircle:
        e->FXV = length("cx", 0);
        e->FYV = length("cy", 1);
        e->FRx = e->FRy = length("r", 2);
        break;
      case etEllipse:
        e->FXV = length("cx", 0);
        e->FYV = length("cy", 1);
        e->FRx = length("rx", 0);
        e->FRy = length("ry", 1);
        break;
      case etLine:
      case etLinearGradient:
        e->FXV = length("x1", 0);
        e->FYV = length("y1", 1);
        e->FWidth = length("x2", 0);
        e->FHeight = length("y2", 1);
        break;
      case etRadialGradient:
        e->FHasCX = Find(attributes, QLatin1String("cx")) != nullptr;
        e->FHasCY = Find(attributes, QLatin1String("cy")) != nullptr;
        e->FCX = e->FHasCX ? ParseLength(*Find(attributes, QLatin1String("cx"))) : 0.0f;
        e->FCY = e->FHasCY ? ParseLength(*Find(attributes, QLatin1String("cy"))) : 0.0f;
        break;
      default:
        e->FXV = length("x", 0);
        e->FYV = length("y", 1);
        e->FWidth = length("width", 0);
        e->FHeight = length("height", 1);
        e->FRx = length("rx", 0);
        e->FRy = length("ry", 1);
        break;
    }
    if (type == etLinearGradient || type == etRadialGradient) {
      static const char* const names[gaCount] = {"x1", "y1", "x2", "y2", "cx", "cy", "r", "fx", "fy"};
      for (int i = 0; i < gaCount; ++i)
        if (const QString* v = Find(attributes, QLatin1String(names[i])))
          e->FGradientLengths[i] = ParseGradientLength(*v);
      e->FHasGradientMatrix = gradientTransform != nullptr;
    }

    // Presentation attributes in order, then the style attribute, which
    // wins over them (and, once class rules are resolved, over the rule).
    for (const TAttribute& a : attributes) {
      if (a.Name == QLatin1String("style")) continue;
      if (!IsDeclarationName(a.Name) && !a.Value.contains(u';')) continue;
      ParseStyle(e, QString(a.Name + u':' + a.Value));
    }
    if (const QString* style = Find(attributes, QLatin1String("style"))) {
      e->FStyleText = *style;
      ParseStyle(e, *style);
    }

    switch (type) {
      case etContainer:
        ParseElements(e->Elements(), node, e, true);
        break;
      case etClipPath:
        FElementClipPathList.push_back(e);
        ParseElements(e->Elements(), node, e, false);
        break;
      case etLinearGradient:
      case etRadialGradient:
      case etPattern:
        FElementPatternList.push_back(e);
        ParseElements(e->Elements(), node, e, false);
        break;
      case etRect:
        if (AExtend) ExtendViewRect(e, TRectF(e->FXV, e->FYV, e->FXV + e->FWidth, e->FYV + e->FHeight));
        break;
      case etLine:
        if (AExtend) ExtendViewRect(e, TRectF(e->FXV, e->FYV, e->FXV + e->FWidth, e->FYV + e->FHeight));
        break;
      case etCircle:
      case etEllipse:
        if (AExtend) ExtendViewRect(e, TRectF(e->FXV - e->FRx, e->FYV - e->FRy, e->FXV + e->FRx, e->FYV + e->FRy));
        break;
      case etPolyline:
      case etPolygon:
      case etPath: {
        if (type == etPath) {
          const QString* d = Find(attributes, QLatin1String("d"));
          if (d) ParsePathData(e, *d);
        } else {
          const QString* points = Find(attributes, QLatin1String("points"));
          if (points) ParsePoints(e, *points, type == etPolygon);
        }
        if (AExtend && e->FPaths)
          for (const auto& p : *e->FPaths) ExtendViewRectByPath(e, *p);
        break;
      }
      case etImage: {
        const QString* href = Find(attributes, QLatin1String("xlink:href"));
        if (!href) href = Find(attributes, QLatin1String("href"));
        if (href) ReadImage(e, *href);
        if (AExtend) ExtendViewRect(e, TRectF(e->FXV, e->FYV, e->FXV + e->FWidth, e->FYV + e->FHeight));
        break;
      }
      case etText:
      case etTextSpan:
      case etTextPath: {
        xmlNode* only = node->children;
        if (type == etText && only != nullptr && only->next == nullptr && only->type == XML_TEXT_NODE)
          e->FText = XmlText(only->content);
        else
          ParseElements(e->Elements(), node, e, true);
        break;
      }
      default:
        break;
    }
  }
}

void TKitGraphicsSVGImport::ReadImage(TKitGraphicsSVGElement* AElement, const QString& AReference) {
  if (gImageNesting >= MaxImageNesting) return;
  if (gImageBudget != nullptr) {
    if (*gImageBudget <= 0) return;
    --*gImageBudget;
  }
  struct TNesting {
    TNesting() { ++gImageNesting; }
    ~TNesting() { --gImageNesting; }
  } nesting;
  try {
    const QString reference = AReference.trimmed();
    if (reference.startsWith(QLatin1String("data:"))) {
      const qsizetype marker = reference.indexOf(QLatin1String(";base64,"));
      if (marker > 0) {
        const TBytes bytes = TKitUtils::Decode64ToBytes(reference.mid(marker + 8), false);
        TBytesStream stream(bytes);
        AElement->Bitmap()->LoadFromStream(&stream);
      }
    } else if (!reference.isEmpty() && !reference.contains(QLatin1String("://"))) {
      // A plain file name, relative to the document's own folder: only
      // regular files of a sane size (never a device, a folder or a URL).
      QString file = reference;
      if (QDir::isRelativePath(file) && !FBaseFolder.isEmpty()) file = QDir(FBaseFolder).filePath(file);
      const QFileInfo info(file);
      if (info.isFile() && info.size() <= MaxImageFileSize) AElement->Bitmap()->LoadFromFile(file);
    } else if (reference.startsWith(QLatin1String("file://"), Qt::CaseInsensitive)) {
      const QFileInfo info(QUrl(reference).toLocalFile());
      if (info.isFile() && info.size() <= MaxImageFileSize) AElement->Bitmap()->LoadFromFile(info.filePath());
    }
  } catch (const Exception& e) {
    // A picture that does not load leaves the element without one: the
    // rest of the document still draws.
    qCDebug(lcSvg) << "image not loaded:" << e.Message();
    AElement->FBitmap.reset();
  }
  if (AElement->FBitmap && (AElement->FBitmap->Graphic() == nullptr || AElement->FBitmap->Graphic()->Empty()))
    AElement->FBitmap.reset();
}

void TKitGraphicsSVGImport::ParseClassRules(const QString& AText) {
  QString text = AText.trimmed();
  while (text.contains(u'.') && text.contains(u'{') && text.contains(u'}')) {
    const qsizetype dot = text.indexOf(u'.');
    const qsizetype open = text.indexOf(u'{');
    const qsizetype close = text.indexOf(u'}');
    const QString className = dot < open ? text.mid(dot + 1, open - dot - 1).trimmed() : QString();
    const QString declarations = open < close ? text.mid(open + 1, close - open - 1) : QString();
    if (!className.isEmpty()) {
      auto rule = std::make_unique<TKitGraphicsSVGElement>();
      rule->FType = etStyle;
      rule->FStyleText = declarations;
      ParseStyle(rule.get(), declarations);
      // The class name is the rule's own, whatever the declarations said.
      rule->FClassRefID = className;
      FDefsList.push_back(std::move(rule));
    }
    text = text.mid(close + 1).trimmed();
  }
}

TKitGraphicsSVGElement* TKitGraphicsSVGImport::FindByID(const QString& AID) const {
  return AID.isEmpty() ? nullptr : FIDIndex.value(AID, nullptr);
}

void TKitGraphicsSVGImport::ResolveClassReferences(const TKitGraphicsSVGElementClassList& AItems) {
  for (TKitGraphicsSVGElement* e : AItems) ResolveClassReference(e, 0);
}

void TKitGraphicsSVGImport::ResolveClassReference(TKitGraphicsSVGElement* AElement, int ADepth) {
  if (ADepth > MaxDepth || AElement->FClassRefID.isEmpty()) return;
  for (const auto& ruleOwned : FDefsList) {
    TKitGraphicsSVGElement* rule = ruleOwned.get();
    if (rule->FClassRefID.isEmpty() || rule->FClassRefID != AElement->FClassRefID) continue;
    if (!rule->FClipPathRefID.isEmpty()) {
      TKitGraphicsSVGElement* target = FindByID(rule->FClipPathRefID);
      if (target && target->HasElements() && !target->Elements().empty()) {
        TKitGraphicsSVGElement* last = target->Elements().back().get();
        AElement->FClipPathRef = last;
        AElement->FClassRef = last->FClassRef;
      }
    } else if (!rule->FURLRefID.isEmpty()) {
      TKitGraphicsSVGElement* target = FindByID(rule->FURLRefID);
      if (target && (target->FType == etLinearGradient || target->FType == etRadialGradient)) {
        AElement->FPatternRef = target;
      } else if (target && target->HasElements() && !target->Elements().empty()) {
        AElement->FClassRef = target->Elements().back()->FClassRef;
      }
    } else {
      AElement->FClassRef = rule;
      ApplyClassRule(AElement, rule);
    }
    if (!AElement->FID.isEmpty() &&
        (rule->FURLRefID == AElement->FID || rule->FClipPathRefID == AElement->FID) && AElement->HasElements())
      for (const auto& child : AElement->Elements()) ResolveClassReference(child.get(), ADepth + 1);
    return;
  }
}

void TKitGraphicsSVGImport::ApplyClassRule(TKitGraphicsSVGElement* AElement, TKitGraphicsSVGElement* ARule) {
  // The rule's declarations win over the element's presentation
  // attributes, its style attribute over the rule.
  const QString classID = AElement->FClassRefID;
  ParseStyle(AElement, ARule->FStyleText);
  if (!AElement->FStyleText.isEmpty()) ParseStyle(AElement, AElement->FStyleText);
  AElement->FClassRefID = classID;
  AElement->FClassApplied = true;
}

void TKitGraphicsSVGImport::ResolvePatternReferences(TKitGraphicsSVGElementList& AElements) {
  if (FElementPatternList.empty()) return;
  QHash<QString, TKitGraphicsSVGElement*> patterns;
  for (TKitGraphicsSVGElement* p : FElementPatternList)
    if (!p->FID.isEmpty() && !patterns.contains(p->FID)) patterns.insert(p->FID, p);
  // Depth-first without recursion.
  std::vector<TKitGraphicsSVGElementList*> stack{&AElements};
  while (!stack.empty()) {
    TKitGraphicsSVGElementList* list = stack.back();
    stack.pop_back();
    for (const auto& e : *list) {
      if (!e->FURLRefID.isEmpty())
        if (TKitGraphicsSVGElement* p = patterns.value(e->FURLRefID, nullptr)) e->FPatternRef = p;
      if (!e->FStrokeURLRefID.isEmpty())
        if (TKitGraphicsSVGElement* p = patterns.value(e->FStrokeURLRefID, nullptr)) e->FStrokePatternRef = p;
      if (e->HasElements()) stack.push_back(&e->Elements());
    }
  }
}

void TKitGraphicsSVGImport::ResolveHRefs() {
  QHash<QString, TKitGraphicsSVGElement*> gradients;
  for (TKitGraphicsSVGElement* p : FElementPatternList)
    if (!p->FID.isEmpty() && !gradients.contains(p->FID)) gradients.insert(p->FID, p);
  for (TKitGraphicsSVGElement* p : FElementPatternList) {
    if (p->FHRefID.isEmpty()) continue;
    TKitGraphicsSVGElement* target = gradients.value(p->FHRefID, nullptr);
    if (target != nullptr && target != p) p->FHRefRef = target;
  }
}

TKitGraphicsMatrix TKitGraphicsSVGImport::CombinedElementMatrix(const TKitGraphicsSVGElement* AElement) {
  TKitGraphicsMatrix m = MatrixIdentity();
  if (!MatrixIsEmpty(AElement->Matrix())) m = m * AElement->Matrix();
  return m * ParentChainMatrix(AElement);
}

// ---------------------------------------------------------------------------
// Registration

void RegisterKitGraphicsSVGEngine() {
  TKitSVGImport::SetSVGImportFactory([] { return std::make_unique<TKitGraphicsSVGImport>(); });
}
