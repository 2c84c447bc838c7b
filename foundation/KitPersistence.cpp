#include "foundation/KitPersistence.h"

#include <QSet>
#include <QVariantList>
#include <cmath>

#include "foundation/KitUndo.h"
#include "foundation/KitUtils.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Collections.h"
#include "platform/rtl/Components.h"
#include "platform/rtl/GenericsCollections.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/Graphics.h"

QString TypeKeyName = QStringLiteral("$type");
TObject* IOReference = nullptr;
TObject* RootObject = nullptr;
TKitExcludePropertyListArray ExcludeProperties;
TKitWriterCustomWritePropertyEvent OnCustomWriteProperty;
TKitReaderCustomReadPropertyEvent OnCustomReadProperty;

const TKitExcludePropertyListArray& DefaultExcludedProperties() {
  static const TKitExcludePropertyListArray names = {
      "Align", "AllowFocus", "Anchors", "BevelEdges", "BevelInner", "BevelKind", "BevelOuter",
      "BevelWidth", "BiDiMode", "PictureContainer", "BorderSpacing", "CanParentFocus",
      "ClipChildren", "ClipParent", "Constraints", "Ctl3D", "DisableFocusEffect", "DoubleBuffered",
      "DragCursor", "DragKind", "DragMode", "Enabled", "EnableDragHighLight", "Height", "Hint",
      "HitTest", "Locked", "Margins", "Name", "Opacity", "Padding", "ParentBiDiMode", "ParentColor",
      "ParentCtl3D", "ParentDoubleBuffered", "ParentFont", "ParentShowHint", "PopupMenu",
      "Position", "RotationAngle", "RotationCenter", "Scale", "ShowHint", "Size", "StyleElements",
      "StyleName", "TabOrder", "TabStop", "Tag", "Touch", "TouchTargetExpansion", "Visible", "Width"};
  return names;
}

namespace {

const QString kNullColor = QStringLiteral("gcNull");

QString ClassNameOf(const TObject* AObject) {
  const TClassInfo* info = ClassInfoOf(AObject);
  return info ? info->ClassName() : AObject->ClassName();
}

QString ColorToText(Int64 AValue) {
  if (AValue == -1) return kNullColor;
  const TColor c = ColorToRGB(static_cast<TColor>(AValue));
  return QStringLiteral("#%1%2%3")
      .arg(c & 0xFF, 2, 16, QChar(u'0'))
      .arg((c >> 8) & 0xFF, 2, 16, QChar(u'0'))
      .arg((c >> 16) & 0xFF, 2, 16, QChar(u'0'))
      .toUpper();
}

// "#RRGGBB" in either case, or "gcNull"; anything else is refused.
TColor TextToColor(const QString& AText) {
  if (AText == kNullColor) return -1;
  bool ok = AText.size() == 7 && AText[0] == u'#';
  const uint rgb = ok ? AText.mid(1).toUInt(&ok, 16) : 0;
  if (!ok) throw EKitReaderException(QStringLiteral("Invalid color value \"%1\"").arg(AText));
  return static_cast<TColor>(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
}

bool IsBooleanProp(const TPropInfo* AProp) {
  return AProp->PropType()->BaseType()->Name() == QLatin1String("Boolean");
}

// The object's class by what it is: containers, pictures and graphics are
// written and read in their own form.
enum TValueForm {
  vfObject,
  vfGenericList,
  vfGenericDictionary,
  vfStrings,
  vfObjectList,
  vfList,
  vfCollection,
  vfPicture,
  vfGraphic
};

using Generics::Collections::IGenericDictionary;
using Generics::Collections::IGenericList;

TValueForm FormOf(TObject* AObject) {
  if (dynamic_cast<IGenericList*>(AObject)) return vfGenericList;
  if (dynamic_cast<IGenericDictionary*>(AObject)) return vfGenericDictionary;
  if (dynamic_cast<TStrings*>(AObject)) return vfStrings;
  if (dynamic_cast<TObjectList*>(AObject)) return vfObjectList;
  if (dynamic_cast<TList*>(AObject)) return vfList;
  if (dynamic_cast<TCollection*>(AObject)) return vfCollection;
  if (dynamic_cast<TPicture*>(AObject)) return vfPicture;
  if (dynamic_cast<TGraphic*>(AObject)) return vfGraphic;
  return vfObject;
}

// An object made for a generic container must be of its item class (a
// reference object may make objects of any class).
void CheckItemClass(const TClassInfo* AItemClass, const TObject* AItem) {
  if (AItemClass && !AItemClass->IsInstance(AItem)) throw EInvalidCast(QString::fromUtf8(RtlConsts::SInvalidCast));
}

bool IsExcluded(const QString& AName, const TKitExcludePropertyListArray& AList) {
  return !AList.isEmpty() && TKitUtils::IndexOfTextInArray(AName, AList) >= 0;
}

QString GraphicToHex(TGraphic* AGraphic) {
  if (!AGraphic || AGraphic->Empty()) return QString();
  TMemoryStream stream;
  AGraphic->SaveToStream(&stream);
  stream.SetPosition(0);
  return TKitUtils::SaveStreamToHexStr(&stream);
}

std::unique_ptr<TMemoryStream> HexToStream(const QString& AText) {
  auto stream = std::make_unique<TMemoryStream>();
  TKitUtils::LoadStreamFromHexStr(AText, stream.get());
  stream->SetPosition(0);
  return stream;
}

}  // namespace

// ---------------------------------------------------------------------------
// TKitInvariantSeparators

TKitInvariantSeparators::TKitInvariantSeparators()
    : FDecimal(FormatSettings.DecimalSeparator), FThousand(FormatSettings.ThousandSeparator) {
  FormatSettings.DecimalSeparator = u'.';
  FormatSettings.ThousandSeparator = u',';
}

TKitInvariantSeparators::~TKitInvariantSeparators() {
  FormatSettings.DecimalSeparator = FDecimal;
  FormatSettings.ThousandSeparator = FThousand;
}

// ---------------------------------------------------------------------------
// TKitWriter

TKitWriter::TKitWriter(TStream* AStream) : FWriter(std::make_unique<TKitJSONWriter>(AStream)) {}

TKitWriter::~TKitWriter() = default;

void TKitWriter::SetIOReference(TObject* Value) {
  FIOReference = Value;
  ::IOReference = Value;
}

void TKitWriter::SetRootObject(TObject* Value) {
  FRootObject = Value;
  ::RootObject = Value;
}

void TKitWriter::SetExcludeProperties(const TKitExcludePropertyListArray& Value) {
  FExcludeProperties = Value;
  ::ExcludeProperties = Value;
}

void TKitWriter::Write(TObject* AObject) { WriteValue(AObject); }

void TKitWriter::WriteArray(const QString& AName, const TKitObjectArray& AArray) {
  FWriter->WriteBeginObject();
  FWriter->WriteName(AName);
  FWriter->WriteBeginArray();
  for (TObject* item : AArray) {
    if (item) WriteObject(item);
    else FWriter->WriteNull();
  }
  FWriter->WriteEndArray();
  FWriter->WriteEndObject();
}

void TKitWriter::WriteValue(TObject* AObject) {
  if (!AObject) {
    FWriter->WriteNull();
    return;
  }
  auto* referenceIO = dynamic_cast<IKitReferenceIO*>(FIOReference);
  switch (FormOf(AObject)) {
    case vfGenericList:
      WriteGenericList(dynamic_cast<IGenericList*>(AObject));
      return;
    case vfGenericDictionary: {
      // [{"key": object}, ...] in the dictionary's order.
      auto* dictionary = dynamic_cast<IGenericDictionary*>(AObject);
      FWriter->WriteBeginArray();
      for (int i = 0; i < dictionary->Count(); ++i) {
        FWriter->WriteBeginObject();
        FWriter->WriteName(dictionary->KeyText(i));
        WriteObject(dictionary->ValueObject(i));
        FWriter->WriteEndObject();
      }
      FWriter->WriteEndArray();
      return;
    }
    case vfStrings: {
      auto* strings = static_cast<TStrings*>(AObject);
      FWriter->WriteBeginArray();
      for (int i = 0; i < strings->Count(); ++i) FWriter->WriteString(strings->Strings(i));
      FWriter->WriteEndArray();
      return;
    }
    case vfObjectList: {
      auto* list = static_cast<TObjectList*>(AObject);
      FWriter->WriteBeginArray();
      for (int i = 0; i < list->Count(); ++i) WriteValue(list->Items(i));
      FWriter->WriteEndArray();
      return;
    }
    case vfList:
      // A plain list holds untyped pointers, which cannot be told apart
      // from objects: it is written as an empty array.
      FWriter->WriteBeginArray();
      FWriter->WriteEndArray();
      return;
    case vfCollection: {
      auto* collection = static_cast<TCollection*>(AObject);
      FWriter->WriteBeginArray();
      for (int i = 0; i < collection->Count(); ++i) WriteObject(collection->Items(i));
      FWriter->WriteEndArray();
      return;
    }
    case vfPicture:
      FWriter->WriteString(GraphicToHex(static_cast<TPicture*>(AObject)->Graphic()));
      return;
    case vfGraphic:
      FWriter->WriteString(GraphicToHex(static_cast<TGraphic*>(AObject)));
      return;
    case vfObject:
      break;
  }
  if (referenceIO) {
    const TClassInfo* info = ClassInfoOf(AObject);
    if (info && referenceIO->IsReferenceClass(info)) {
      FWriter->WriteString(referenceIO->ReferenceOf(AObject));
      return;
    }
  }
  WriteObject(AObject);
}

void TKitWriter::WriteGenericList(IGenericList* AList) {
  // The kind of items the list holds decides the form, whatever words its
  // item class's name happens to contain.
  FWriter->WriteBeginArray();
  for (int i = 0; i < AList->Count(); ++i) {
    switch (AList->ItemKind()) {
      case Generics::Collections::gikString:
        FWriter->WriteString(AList->ItemValue(i).toString());
        break;
      case Generics::Collections::gikInteger:
        FWriter->WriteInteger(AList->ItemValue(i).toInt());
        break;
      case Generics::Collections::gikDouble:
        FWriter->WriteDouble(AList->ItemValue(i).toDouble());
        break;
      case Generics::Collections::gikObject:
        WriteObject(AList->ItemObject(i));
        break;
    }
  }
  FWriter->WriteEndArray();
}

void TKitWriter::WriteObject(TObject* AObject) {
  if (!AObject) {
    FWriter->WriteNull();
    return;
  }
  FWriter->WriteBeginObject();
  if (!TypeKeyName.isEmpty()) {
    FWriter->WriteName(TypeKeyName);
    FWriter->WriteString(ClassNameOf(AObject));
  }
  WriteProperties(AObject);
  FWriter->WriteEndObject();
}

void TKitWriter::WriteProperties(TObject* AObject) {
  const TClassInfo* info = ClassInfoOf(AObject);
  if (!info) return;
  IKitPersistence* persistence = dynamic_cast<IKitPersistence*>(AObject);
  if (!persistence) persistence = Filter;
  const bool isFont = dynamic_cast<TFont*>(AObject) != nullptr;
  for (const TPropInfo* prop : GetPropList(info, tkAny, true)) {
    const bool save = persistence ? persistence->CanSaveProperty(AObject, prop->Name(), prop->Kind())
                                  : !IsExcluded(prop->Name(), FExcludeProperties);
    if (!save) continue;
    if (OnCustomWriteProperty) {
      bool canWrite = true;
      OnCustomWriteProperty(AObject, prop->Name(), prop->Kind(), FWriter.get(), canWrite);
      if (!canWrite) continue;
    }
    FWriter->WriteName(prop->Name());
    WriteProperty(AObject, prop);
    if (isFont && prop->Name() == QLatin1String("Size")) {
      FWriter->WriteName(QStringLiteral("IsQPZ"));
      FWriter->WriteBoolean(false);
    }
  }
}

bool TKitWriter::IsAssignable(TObject* AObject, const TPropInfo* AProp) {
  bool assignable = TKitPersistence::Class().IsAssignableProperty(AObject, AProp);
  if (OnCustomIsAssignableProperty) OnCustomIsAssignableProperty(AObject, AProp->Name(), assignable);
  return assignable;
}

void TKitWriter::WriteProperty(TObject* AObject, const TPropInfo* AProp) {
  if (!AProp->HasGetter()) {
    FWriter->WriteNull();
    return;
  }
  switch (AProp->Kind()) {
    case tkInteger:
      if (TKitPersistence::Class().IsColor(AProp->TypeName())) FWriter->WriteString(ColorToText(AProp->GetOrd(AObject)));
      else FWriter->WriteInteger(AProp->GetOrd(AObject));
      return;
    case tkEnumeration:
      if (IsBooleanProp(AProp)) FWriter->WriteBoolean(AProp->GetOrd(AObject) != 0);
      else FWriter->WriteInteger(AProp->GetOrd(AObject));
      return;
    case tkSet:
    case tkInt64:
      FWriter->WriteInteger(AProp->GetOrd(AObject));
      return;
    case tkChar:
    case tkWChar:
      FWriter->WriteString(QString(QChar(static_cast<char16_t>(AProp->GetOrd(AObject)))));
      return;
    case tkFloat:
      FWriter->WriteDouble(AProp->GetFloat(AObject));
      return;
    case tkString:
    case tkLString:
    case tkUString:
      FWriter->WriteString(AProp->GetStr(AObject));
      return;
    case tkMethod: {
      const TMethod method = AProp->GetMethod(AObject);
      if (method.Assigned() && FRootObject) {
        const TClassInfo* rootClass = ClassInfoOf(FRootObject);
        FWriter->WriteString(rootClass ? rootClass->MethodName(method.Code) : QString());
      } else {
        FWriter->WriteNull();
      }
      return;
    }
    case tkClass: {
      TObject* value = AProp->GetObject(AObject);
      if (IsAssignable(AObject, AProp)) {
        auto* component = dynamic_cast<TComponent*>(value);
        FWriter->WriteString(component ? component->Name() : QString());
      } else {
        WriteValue(value);
      }
      return;
    }
    default:
      FWriter->WriteNull();
      return;
  }
}

// ---------------------------------------------------------------------------
// TKitReader

TKitReader::TKitReader(TStream* AStream) : FReader(std::make_unique<TKitJSONReader>(AStream)) {}

TKitReader::~TKitReader() = default;

void TKitReader::SetIOReference(TObject* Value) {
  FIOReference = Value;
  ::IOReference = Value;
}

void TKitReader::SetRootObject(TObject* Value) {
  FRootObject = Value;
  ::RootObject = Value;
}

void TKitReader::SetExcludeProperties(const TKitExcludePropertyListArray& Value) {
  FExcludeProperties = Value;
  ::ExcludeProperties = Value;
}

void TKitReader::Read(TObject* AObject) { ReadInto(AObject); }

std::unique_ptr<TObject> TKitReader::Read(const TClassInfo* AClass) {
  if (FReader->IsNull()) {
    FReader->ReadNull();
    return nullptr;
  }
  FReader->ReadBeginObject();
  QString className;
  if (!TypeKeyName.isEmpty()) {
    if (!FReader->HasNext() || FReader->PeekName() != TypeKeyName)
      throw EKitReaderException(
          QStringLiteral("\"%1\" property not found in Object descriptor.").arg(TypeKeyName));
    FReader->ReadName();
    className = FReader->ReadString();
  }
  if (className.isEmpty()) className = AClass ? AClass->ClassName() : QStringLiteral("TObject");
  std::unique_ptr<TObject> object = NewObject(className, AClass);
  if (!object) {
    while (FReader->HasNext()) {
      FReader->ReadName();
      FReader->SkipValue();
    }
  } else {
    ReadMembers(object.get());  // on failure the new object is freed
  }
  FReader->ReadEndObject();
  return object;
}

std::unique_ptr<TObject> TKitReader::NewObject(const QString& AClassName, const TClassInfo* AClass) {
  if (!FIOReference) return TKitPersistence::CreateObject(AClassName, AClass);
  if (auto* creator = dynamic_cast<IKitObjectCreator*>(FIOReference)) return creator->NewObject(AClassName, AClass);
  if (auto* referenceIO = dynamic_cast<IKitReferenceIO*>(FIOReference))
    return referenceIO->NewObject(AClassName, AClass);
  return nullptr;
}

TKitOwnedObjectArray TKitReader::ReadArray(const QString& AName) {
  TKitOwnedObjectArray result;
  if (FReader->Peek() == jstoBeginObject) FReader->ReadBeginObject();
  while (FReader->HasNext()) {
    if (FReader->ReadName() != AName) {
      FReader->SkipValue();
      continue;
    }
    FReader->ReadBeginArray();
    while (FReader->HasNext()) {
      std::unique_ptr<TObject> item = Read(static_cast<const TClassInfo*>(nullptr));
      if (item) result.push_back(std::move(item));
    }
    FReader->ReadEndArray();
  }
  return result;
}

void TKitReader::SolveReferences() {
  auto* referenceIO = dynamic_cast<IKitReferenceIO*>(FIOReference);
  if (!referenceIO) return;
  for (const auto& reference : FReferences)
    if (reference->Prop->HasSetter())
      reference->Prop->SetObject(reference->Instance, referenceIO->ResolveReference(reference->Id));
  FReferences.clear();
}

const TClassInfo* TKitReader::ItemClassOf(TObject* AContainer) const {
  if (auto* itemClass = dynamic_cast<IKitListItemClass*>(AContainer))
    if (const TClassInfo* info = itemClass->ItemClass()) return info;
  // A generic container knows the class of its items: nothing else could be
  // put in it.
  if (auto* list = dynamic_cast<IGenericList*>(AContainer))
    if (const TClassInfo* info = list->ItemClass()) return info;
  if (auto* dictionary = dynamic_cast<IGenericDictionary*>(AContainer)) return dictionary->ValueClass();
  return ::ClassInfo<TObject>();
}

void TKitReader::ReadInto(TObject* AObject) {
  if (!AObject) {
    FReader->ReadNull();
    return;
  }
  switch (FormOf(AObject)) {
    case vfGenericList:
      ReadGenericList(dynamic_cast<IGenericList*>(AObject), AObject);
      return;
    case vfGenericDictionary:
      ReadGenericDictionary(dynamic_cast<IGenericDictionary*>(AObject), AObject);
      return;
    case vfStrings: {
      auto* strings = static_cast<TStrings*>(AObject);
      FReader->ReadBeginArray();
      strings->Clear();
      while (FReader->HasNext()) {
        if (FReader->IsNull()) FReader->ReadNull();
        else strings->Add(FReader->ReadString());
      }
      FReader->ReadEndArray();
      return;
    }
    case vfObjectList: {
      auto* list = static_cast<TObjectList*>(AObject);
      const TClassInfo* itemClass = ItemClassOf(AObject);
      auto* referenceIO = dynamic_cast<IKitReferenceIO*>(FIOReference);
      FReader->ReadBeginArray();
      list->Clear();
      while (FReader->HasNext()) {
        std::unique_ptr<TObject> item = Read(itemClass);
        // A list that does not own its objects cannot take new ones; only
        // the items it takes are announced.
        if (!item || !list->OwnsObjects()) continue;
        TObject* added = item.get();
        list->Add(item.release());
        if (referenceIO) referenceIO->ItemAdded(added, list);
      }
      FReader->ReadEndArray();
      return;
    }
    case vfList:
      FReader->SkipValue();
      return;
    case vfCollection: {
      auto* collection = static_cast<TCollection*>(AObject);
      const TClassInfo* itemClass = ItemClassOf(AObject);
      auto* creator = dynamic_cast<IKitCollectionItemCreator*>(AObject);
      FReader->ReadBeginArray();
      collection->BeginUpdate();
      try {
        collection->Clear();
        while (FReader->HasNext()) {
          std::unique_ptr<TObject> source = Read(itemClass);
          auto* persistent = dynamic_cast<TPersistent*>(source.get());
          if (!persistent) continue;
          TCollectionItem* item = creator ? creator->AddItem(persistent) : collection->Add();
          if (item) item->Assign(persistent);
        }
      } catch (...) {
        collection->EndUpdate();
        throw;
      }
      collection->EndUpdate();
      FReader->ReadEndArray();
      return;
    }
    case vfPicture:
    case vfGraphic: {
      if (FReader->IsNull()) {
        FReader->ReadNull();
        return;
      }
      const QString text = FReader->ReadString();
      if (text.isEmpty()) return;
      std::unique_ptr<TMemoryStream> stream = HexToStream(text);
      if (auto* picture = dynamic_cast<TPicture*>(AObject)) picture->LoadFromStream(stream.get());
      else static_cast<TGraphic*>(AObject)->LoadFromStream(stream.get());
      return;
    }
    case vfObject:
      break;
  }
  FReader->ReadBeginObject();
  if (!TypeKeyName.isEmpty()) {
    if (!FReader->HasNext() || FReader->PeekName() != TypeKeyName)
      throw EKitReaderException(
          QStringLiteral("\"%1\" property not found in Object descriptor.").arg(TypeKeyName));
    FReader->ReadName();
    FReader->SkipValue();
  }
  ReadMembers(AObject);
  FReader->ReadEndObject();
}

void TKitReader::ReadGenericList(IGenericList* AList, TObject* AObject) {
  // The whole array is read before the list changes, so a malformed document
  // leaves the list as it was.
  FReader->ReadBeginArray();
  if (AList->ItemKind() != Generics::Collections::gikObject) {
    QVariantList values;
    while (FReader->HasNext()) {
      if (FReader->IsNull()) {
        FReader->ReadNull();
        continue;
      }
      switch (AList->ItemKind()) {
        case Generics::Collections::gikString:
          values.append(FReader->ReadString());
          break;
        case Generics::Collections::gikInteger:
          values.append(FReader->ReadInteger());
          break;
        default:
          values.append(FReader->ReadDouble());
          break;
      }
    }
    FReader->ReadEndArray();
    AList->Clear();
    for (const QVariant& value : values) AList->AddValue(value);
    return;
  }
  const TClassInfo* itemClass = ItemClassOf(AObject);
  std::vector<std::unique_ptr<TObject>> items;
  while (FReader->HasNext()) {
    std::unique_ptr<TObject> item = Read(itemClass);
    if (!item) continue;
    CheckItemClass(AList->ItemClass(), item.get());
    items.push_back(std::move(item));
  }
  FReader->ReadEndArray();
  AList->Clear();
  // A list that does not own its objects cannot take new ones: they go.
  if (!AList->OwnsItems()) return;
  auto* referenceIO = dynamic_cast<IKitReferenceIO*>(FIOReference);
  for (std::unique_ptr<TObject>& item : items) {
    TObject* added = item.get();
    AList->AddObject(std::move(item));
    if (referenceIO) referenceIO->ItemAdded(added, AObject);
  }
}

void TKitReader::ReadGenericDictionary(IGenericDictionary* ADictionary, TObject* AObject) {
  const TClassInfo* valueClass = ItemClassOf(AObject);
  std::vector<std::pair<QString, std::unique_ptr<TObject>>> pairs;
  QSet<QString> keys;
  FReader->ReadBeginArray();
  while (FReader->HasNext()) {
    if (FReader->IsNull()) {
      FReader->ReadNull();
      continue;
    }
    // Each element is an object of one member: the key and its value.
    FReader->ReadBeginObject();
    QString key = FReader->ReadName();
    if (keys.contains(key)) throw EListError(QString::fromUtf8(RtlConsts::SGenericDuplicateItem));
    keys.insert(key);
    std::unique_ptr<TObject> value = Read(valueClass);
    if (value) CheckItemClass(ADictionary->ValueClass(), value.get());
    FReader->ReadEndObject();
    pairs.emplace_back(std::move(key), std::move(value));
  }
  FReader->ReadEndArray();
  ADictionary->Clear();
  if (!ADictionary->OwnsValues()) return;
  for (auto& pair : pairs) ADictionary->AddObject(pair.first, std::move(pair.second));
}

void TKitReader::ReadMembers(TObject* AObject) {
  const TClassInfo* info = ClassInfoOf(AObject);
  IKitPersistence* persistence = dynamic_cast<IKitPersistence*>(AObject);
  if (!persistence) persistence = Filter;
  auto* font = dynamic_cast<TFont*>(AObject);
  while (FReader->HasNext()) {
    const QString name = FReader->ReadName();
    const TPropInfo* prop = info ? info->FindProp(name) : nullptr;
    if (!prop) {
      FReader->SkipValue();
      continue;
    }
    const bool load = persistence ? persistence->CanLoadProperty(AObject, prop->Name(), prop->Kind())
                                  : !IsExcluded(prop->Name(), FExcludeProperties);
    if (!load) {
      FReader->SkipValue();
      continue;
    }
    if (OnCustomReadProperty) {
      bool canRead = true;
      OnCustomReadProperty(AObject, prop->Name(), prop->Kind(), FReader.get(), canRead);
      if (!canRead) continue;
    }
    ReadProperty(AObject, prop);
    if (font && prop->Name() == QLatin1String("Size") && FReader->HasNext() &&
        FReader->PeekName() == QLatin1String("IsQPZ")) {
      FReader->ReadName();
      // A size saved in pixels at 96 DPI: back to points.
      if (FReader->ReadBoolean()) font->SetSize(static_cast<int>(Round(font->Size() / 96.0 * 72.0)));
    }
  }
}

bool TKitReader::IsAssignable(TObject* AObject, const TPropInfo* AProp) {
  bool assignable = TKitPersistence::Class().IsAssignableProperty(AObject, AProp);
  if (OnCustomIsAssignableProperty) OnCustomIsAssignableProperty(AObject, AProp->Name(), assignable);
  return assignable;
}

void TKitReader::ReadClassProperty(TObject* AObject, const TPropInfo* AProp) {
  if (!AProp->HasGetter()) {
    FReader->ReadNull();
    return;
  }
  TObject* current = AProp->GetObject(AObject);
  const TClassInfo* declared = AProp->PropType()->ClassType();
  auto inherits = [declared](const TClassInfo* base) { return declared && declared->InheritsFrom(base); };
  if (TKitPersistence::Class().IsGenericList(declared) || TKitPersistence::Class().IsGenericDictionary(declared) ||
      inherits(::ClassInfo<TStrings>()) || inherits(::ClassInfo<TList>()) ||
      inherits(::ClassInfo<TCollection>()) || inherits(::ClassInfo<TPicture>()) ||
      inherits(::ClassInfo<TGraphic>())) {
    if (current) ReadInto(current);
    else FReader->SkipValue();
    return;
  }
  auto* referenceIO = dynamic_cast<IKitReferenceIO*>(FIOReference);
  if (referenceIO && declared && referenceIO->IsReferenceClass(declared)) {
    if (FReader->IsNull()) {
      FReader->ReadNull();
      if (AProp->HasSetter()) AProp->SetObject(AObject, nullptr);
    } else {
      FReferences.push_back(std::make_unique<TKitObjectReference>(AObject, FReader->ReadString(), AProp));
    }
    return;
  }
  if (IsAssignable(AObject, AProp)) {
    QString name;
    if (FReader->IsNull()) FReader->ReadNull();
    else name = FReader->ReadString();
    if (auto* root = dynamic_cast<TComponent*>(FRootObject); root && AProp->HasSetter())
      AProp->SetObject(AObject, name.isEmpty() ? nullptr : root->FindComponent(name));
    return;
  }
  ReadInto(current);
}

void TKitReader::ReadProperty(TObject* AObject, const TPropInfo* AProp) {
  if (AProp->Kind() == tkClass) {
    ReadClassProperty(AObject, AProp);
    return;
  }
  if (!AProp->HasGetter()) {
    FReader->ReadNull();
    return;
  }
  if (!AProp->HasSetter()) {
    FReader->SkipValue();
    return;
  }
  switch (AProp->Kind()) {
    case tkInteger:
      if (TKitPersistence::Class().IsColor(AProp->TypeName()) && FReader->Peek() == jstoText)
        AProp->SetOrd(AObject, TextToColor(FReader->ReadString()));
      else
        AProp->SetOrd(AObject, FReader->ReadInteger());
      return;
    case tkEnumeration:
      if (IsBooleanProp(AProp)) AProp->SetOrd(AObject, FReader->ReadBoolean() ? 1 : 0);
      else AProp->SetOrd(AObject, FReader->ReadInteger());
      return;
    case tkSet:
    case tkInt64:
      AProp->SetOrd(AObject, FReader->ReadInt64());
      return;
    case tkChar:
    case tkWChar: {
      const QString text = FReader->ReadString();
      AProp->SetOrd(AObject, text.isEmpty() ? 0 : text[0].unicode());
      return;
    }
    case tkFloat:
      AProp->SetFloat(AObject, FReader->ReadDouble());
      return;
    case tkString:
    case tkLString:
    case tkUString:
      AProp->SetStr(AObject, FReader->ReadString());
      return;
    case tkMethod: {
      if (FReader->IsNull() || !FRootObject) {
        FReader->ReadNull();  // a name without a root object to look it up in is an error
        AProp->SetMethod(AObject, TMethod());
        return;
      }
      const QString name = FReader->ReadString();
      TMethod method;
      if (const TClassInfo* rootClass = ClassInfoOf(FRootObject)) {
        method.Code = rootClass->MethodAddress(name);
        if (method.Code) method.Data = FRootObject;
      }
      AProp->SetMethod(AObject, method);
      return;
    }
    default:
      FReader->ReadNull();
      return;
  }
}

// ---------------------------------------------------------------------------
// TKitPersistence

void TKitPersistence::SaveSettingsToStream(TObject* AObject, TStream* AStream) {
  TKitInvariantSeparators separators;
  TKitWriter writer(AStream);
  writer.SetIOReference(::IOReference);
  writer.SetRootObject(::RootObject);
  writer.SetExcludeProperties(::ExcludeProperties);
  writer.OnCustomWriteProperty = ::OnCustomWriteProperty;
  writer.Filter = dynamic_cast<IKitPersistence*>(AObject);
  writer.Write(AObject);
}

void TKitPersistence::LoadSettingsFromStream(TObject* AObject, TStream* AStream) {
  TKitInvariantSeparators separators;
  AStream->SetPosition(0);
  TKitReader reader(AStream);
  reader.SetIOReference(::IOReference);
  reader.SetRootObject(::RootObject);
  reader.SetExcludeProperties(::ExcludeProperties);
  reader.OnCustomReadProperty = ::OnCustomReadProperty;
  reader.Filter = dynamic_cast<IKitPersistence*>(AObject);
  reader.Read(AObject);
  reader.SolveReferences();
}

void TKitPersistence::SaveSettingsToFile(TObject* AObject, const QString& AFileName) {
  TMemoryStream stream;
  SaveSettingsToStream(AObject, &stream);
  stream.SaveToFile(AFileName);
}

void TKitPersistence::LoadSettingsFromFile(TObject* AObject, const QString& AFileName) {
  TMemoryStream stream;
  stream.LoadFromFile(AFileName);
  LoadSettingsFromStream(AObject, &stream);
}

std::unique_ptr<TObject> TKitPersistence::CreateObject(const QString& AClassName, const TClassInfo* BaseClass) {
  const TClassInfo* info = GetClass(AClassName);
  if (!info) throw EKitReaderException(QStringLiteral("Type \"%1\" not found").arg(AClassName));
  if (BaseClass && !info->InheritsFrom(BaseClass))
    throw EKitReaderException(
        QStringLiteral("Type \"%1\" does not inherit from %2").arg(AClassName, BaseClass->ClassName()));
  // Components, collection items and other persistent objects are made by
  // their registered constructors, without owner.
  if (!info->InheritsFrom(::ClassInfo<TPersistent>()) || !info->CanCreate())
    throw EKitReaderException(QStringLiteral("Type \"%1\" not supported").arg(AClassName));
  return info->Create();
}

TTypeKind TKitPersistence::GetPropInfoType(const TPropInfo* APropInfo) const { return APropInfo->Kind(); }
QString TKitPersistence::GetPropInfoName(const TPropInfo* APropInfo) const { return APropInfo->Name(); }
QString TKitPersistence::GetPropInfoTypeName(const TPropInfo* APropInfo) { return APropInfo->TypeName(); }

const TTypeInfo* TKitPersistence::GetPropInfoDataTypeInfo(const TPropInfo* APropInfo) {
  return APropInfo->PropType()->BaseType();
}

const TClassInfo* TKitPersistence::GetPropInfoDataTypeInfoClassType(const TPropInfo* APropInfo) {
  return APropInfo->Kind() == tkClass ? APropInfo->PropType()->ClassType() : nullptr;
}

QString TKitPersistence::GetEnumName(const TTypeInfo* ATypeInfo, int AValue) {
  return ::GetEnumName(ATypeInfo, AValue);
}

void TKitPersistence::GetEnumValues(TStrings* AValues, const TPropInfo* APropInfo) {
  const TTypeInfo* type = APropInfo->PropType();
  if (APropInfo->Kind() == tkSet) type = type->CompType();
  else if (APropInfo->Kind() != tkEnumeration) return;
  if (!type) return;
  for (const QString& name : type->BaseType()->EnumNames()) AValues->Add(name);
}

const TKitPersistence& TKitPersistence::Class() {
  static const TKitPersistence* instance = new TKitPersistence;  // lives to the end of the process
  return *instance;
}

bool TKitPersistence::IsWriteOnly(const TPropInfo* APropInfo) const { return !APropInfo->HasGetter(); }
bool TKitPersistence::IsReadOnly(const TPropInfo* APropInfo) const { return !APropInfo->HasSetter(); }

bool TKitPersistence::IsAssignableProperty(TObject* AObject, const TPropInfo* APropInfo) const {
  if (APropInfo->Kind() != tkClass || !APropInfo->HasGetter()) return false;
  TObject* value = APropInfo->GetObject(AObject);
  return !value || IsComponent(ClassInfoOf(value)) || dynamic_cast<TComponent*>(value) != nullptr;
}

bool TKitPersistence::IsColor(const QString& ATypeName) const {
  return ATypeName == QLatin1String("TAlphaColor") || ATypeName == QLatin1String("TColor") ||
         ATypeName == QLatin1String("TGraphicsColor");
}
bool TKitPersistence::IsStrokeKind(const QString& ATypeName) const { return ATypeName == QLatin1String("TKitGraphicsStrokeKind"); }
bool TKitPersistence::IsFillKind(const QString& ATypeName) const { return ATypeName == QLatin1String("TKitGraphicsFillKind"); }
bool TKitPersistence::IsDate(const QString& ATypeName) const { return ATypeName == QLatin1String("TDate"); }
bool TKitPersistence::IsDateTime(const QString& ATypeName) const { return ATypeName == QLatin1String("TDateTime"); }
bool TKitPersistence::IsTime(const QString& ATypeName) const { return ATypeName == QLatin1String("TTime"); }

bool TKitPersistence::IsGenericList(const TClassInfo* AClass, const QString& AType) const {
  for (const TClassInfo* c = AClass; c; c = c->ClassParent()) {
    const QString& name = c->ClassName();
    if (name.startsWith(QLatin1String("TList<")) || name.startsWith(QLatin1String("TObjectList<")))
      return AType.isEmpty() || AClass->ClassName().toLower().contains(AType.toLower());
  }
  return false;
}

bool TKitPersistence::IsGenericDictionary(const TClassInfo* AClass) const {
  for (const TClassInfo* c = AClass; c; c = c->ClassParent())
    if (c->ClassName().startsWith(QLatin1String("TDictionary<")) ||
        c->ClassName().startsWith(QLatin1String("TObjectDictionary<")))
      return true;
  return false;
}

bool TKitPersistence::IsDescendingClass(const TClassInfo* AClass, const QStringList& AClassParentList) const {
  for (const TClassInfo* c = AClass; c; c = c->ClassParent())
    if (AClassParentList.contains(c->ClassName())) return true;
  return false;
}

bool TKitPersistence::IsCollection(const TClassInfo* AClass) const { return IsDescendingClass(AClass, {"TCollection"}); }
bool TKitPersistence::IsComponent(const TClassInfo* AClass) const {
  return IsDescendingClass(AClass, {"TComponent", "TKitCustomComponent"});
}
bool TKitPersistence::IsControl(const TClassInfo* AClass) const { return IsDescendingClass(AClass, {"TControl"}); }
bool TKitPersistence::IsList(const TClassInfo* AClass) const { return IsDescendingClass(AClass, {"TList"}); }
bool TKitPersistence::IsBitmap(const TClassInfo* AClass) const {
  return IsDescendingClass(AClass, {"TBitmap", "TPicture", "TKitBitmap"});
}
bool TKitPersistence::IsStrings(const TClassInfo* AClass) const { return IsDescendingClass(AClass, {"TStrings"}); }

// ---------------------------------------------------------------------------
// Start-up: the undo manager keeps its snapshots in this format, or in the
// object's own settings stream when it has one.

namespace {

void SaveUndoState(TObject* AObject, TStream* AStream) {
  if (auto* persistence = dynamic_cast<IKitPersistence*>(AObject)) persistence->SaveSettingsToStream(AStream);
  else TKitPersistence::SaveSettingsToStream(AObject, AStream);
}

void LoadUndoState(TObject* AObject, TStream* AStream) {
  if (auto* persistence = dynamic_cast<IKitPersistence*>(AObject)) persistence->LoadSettingsFromStream(AStream);
  else TKitPersistence::LoadSettingsFromStream(AObject, AStream);
}

}  // namespace

void KitPersistenceStartUp() { SetKitUndoStateIO({&SaveUndoState, &LoadUndoState}); }

[[maybe_unused]] static const bool kitPersistenceAtStart = (KitPersistenceStartUp(), true);
