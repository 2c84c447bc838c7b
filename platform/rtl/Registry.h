#pragma once
// The registry: one process-wide store of keys and typed values under the
// predefined root keys, and the framework's TRegistry and TRegistryIniFile
// over it.
//
// Keys are paths of names separated by "\" under a root key; key and value
// names are compared without regard to case and kept with the case they were
// created with. A key's default value is the value with the empty name. Values
// hold the bytes Windows would hold: REG_SZ and REG_EXPAND_SZ are UTF-16 LE
// text with its terminating zero, REG_DWORD four little-endian bytes; floats
// and dates are REG_BINARY of the eight bytes of a double.
//
// Persistence. The store lives in a text file in the format of the registry
// editor's export files ("Windows Registry Editor Version 5.00", UTF-8):
//   [HKEY_CURRENT_USER\Software\X]
//   @="default value"
//   "Name"="text with \\ and \" escaped"
//   "Count"=dword:0000000a
//   "Data"=hex:01,02,03
//   "Path"=hex(2):25,00,...          (other types, and texts holding line breaks)
// By default it is <GenericConfigLocation>/tallowfinch/registry.reg; the
// environment variable TALLOWFINCH_REGISTRY_FILE, or TRegistryStore::SetFileName
// (which wins over both), put it elsewhere. The file is read on first use and
// written after every change, before the change is reported as done: nothing is
// held back for later, so no write is lost however the process ends. Writing is
// atomic (QSaveFile: a temporary file, then a rename), so the file is always
// either the old or the new one. When the write fails, the change is undone in
// memory and the operation fails (TRegistry raises "Failed to set data for ...").
// LazyWrite is kept for compatibility and changes nothing.
//
// A damaged file. Lines that cannot be read are skipped and every readable key
// and value is kept. Loading such a file raises ERegistryException naming the
// file and the first damaged line (Load raises it, and so does the first use
// of the store that loads the file; later calls work on the readable keys).
// The damaged file is never overwritten silently: before the next write the
// store copies it to "<file>.damaged" (replacing an older copy), and only then
// writes the new file. A file that exists but cannot be read is never
// overwritten: writes fail until it can be read.
//
// Other processes. Before every change and every read the store looks at the
// file's identity (inode, size, time of change) and reads it again when another
// process replaced it, so a write never overwrites another process's change with
// stale data (the last writer of one value wins). While an event loop runs in
// the application's thread, a QFileSystemWatcher does the same as soon as the
// file changes, and the change callbacks fire.
//
// Change notification. TRegistryStore::Subscribe registers a callback for a key
// (optionally with everything under it); it is called once for each change that
// touches the key: a value set or deleted in it, a subkey created or deleted
// under it, or the key itself created or deleted. Callbacks for changes made in
// this process run in the thread that made them, after the store has been
// written; callbacks for changes read from the file run in the application's
// thread. The store is thread-safe; callbacks are called with no lock held.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "platform/rtl/IniFiles.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/System.h"

TF_DECLARE_EXCEPTION(ERegistryException, Exception)

// Root keys and handles of open keys.
using HKEY = std::uintptr_t;
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;
inline constexpr HKEY HKEY_USERS = 0x80000003;
inline constexpr HKEY HKEY_PERFORMANCE_DATA = 0x80000004;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005;
inline constexpr HKEY HKEY_DYN_DATA = 0x80000006;

// Value types.
inline constexpr Cardinal REG_NONE = 0;
inline constexpr Cardinal REG_SZ = 1;
inline constexpr Cardinal REG_EXPAND_SZ = 2;
inline constexpr Cardinal REG_BINARY = 3;
inline constexpr Cardinal REG_DWORD = 4;
inline constexpr Cardinal REG_DWORD_BIG_ENDIAN = 5;
inline constexpr Cardinal REG_LINK = 6;
inline constexpr Cardinal REG_MULTI_SZ = 7;
inline constexpr Cardinal REG_QWORD = 11;

// Access rights of an open key.
inline constexpr Cardinal KEY_QUERY_VALUE = 0x0001;
inline constexpr Cardinal KEY_SET_VALUE = 0x0002;
inline constexpr Cardinal KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr Cardinal KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr Cardinal KEY_NOTIFY = 0x0010;
inline constexpr Cardinal KEY_CREATE_LINK = 0x0020;
inline constexpr Cardinal KEY_READ = 0x00020019;
inline constexpr Cardinal KEY_WRITE = 0x00020006;
inline constexpr Cardinal KEY_EXECUTE = KEY_READ;
inline constexpr Cardinal KEY_ALL_ACCESS = 0x000F003F;

// One value as the store holds it.
struct TRegistryValue {
  QString Name;
  Cardinal DataType = REG_NONE;
  QByteArray Data;
};

// The process-wide store. Paths are relative to the root key, names separated
// by "\" (a leading or trailing "\" is ignored). A path with an empty name in
// it, a name longer than 255 characters or holding a control character, and a
// value name with a line break, are invalid: creating or writing them fails.
class TRegistryStore {
 public:
  static TRegistryStore& Instance();

  // The file the store lives in: the name set here when not empty, else
  // TALLOWFINCH_REGISTRY_FILE when set, else the per-user default. Changing it
  // drops what is in memory; the new file is read on the next use.
  static void SetFileName(const QString& fileName);
  QString FileName() const;

  // Reads the file now, dropping what is in memory (subscriptions stay).
  // Raises ERegistryException for a damaged or unreadable file, after keeping
  // everything readable.
  void Load();
  // Reads the file again when another process changed it, and fires the
  // callbacks for what changed (the file watcher calls this).
  void CheckForChanges();
  // The message of the last load that found the file damaged or unreadable;
  // empty once a good file was read or a new file was written.
  QString LoadError() const;

  bool KeyExists(HKEY root, const QString& path);
  // Creates the key and any missing key above it. Created tells whether a key
  // was created. False when the path is invalid or the file cannot be written.
  bool CreateKey(HKEY root, const QString& path, bool* created = nullptr);
  // Deletes the key with everything under it; false when it does not exist, it
  // is a root key, or the file cannot be written.
  bool DeleteKey(HKEY root, const QString& path);
  std::optional<TRegistryValue> QueryValue(HKEY root, const QString& path, const QString& name);
  // Sets (creates or replaces) a value of an existing key.
  bool SetValue(HKEY root, const QString& path, const QString& name, Cardinal dataType,
                const QByteArray& data);
  bool DeleteValue(HKEY root, const QString& path, const QString& name);
  // Value names in the order they were created; subkey names in alphabetical
  // order without regard to case. Nothing when the key does not exist.
  std::optional<QStringList> ValueNames(HKEY root, const QString& path);
  std::optional<QStringList> KeyNames(HKEY root, const QString& path);

  using TChangeCallback = std::function<void(HKEY root, const QString& keyPath)>;
  // Calls Callback with the key that changed; returns the subscription's id.
  int Subscribe(HKEY root, const QString& path, bool watchSubtree, TChangeCallback callback);
  void Unsubscribe(int id);

  TRegistryStore(const TRegistryStore&) = delete;
  TRegistryStore& operator=(const TRegistryStore&) = delete;

 private:
  TRegistryStore();
  ~TRegistryStore();
  // Runs Body under the lock after taking in other processes' changes, then
  // tells the subscribers what changed.
  template <class Body>
  auto Run(Body&& body);
  struct Impl;
  std::unique_ptr<Impl> d;
};

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

// The framework's registry object. Key names starting with "\" are taken from
// the root key, all others from the current key (from the root key when none is
// open).
class TRegistry : public TObject {
 public:
  // Root key HKEY_CURRENT_USER, access KEY_ALL_ACCESS, no key open.
  TRegistry();
  explicit TRegistry(Cardinal access);
  ~TRegistry() override;
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY RootKey() const { return FRootKey; }
  // Closes the current key.
  void SetRootKey(HKEY rootKey);
  // The access OpenKey opens keys with.
  Cardinal Access() const { return FAccess; }
  void SetAccess(Cardinal access) { FAccess = access; }
  // A handle of the open key, 0 when none.
  HKEY CurrentKey() const { return FCurrentKey; }
  // The open key's path below the root key, without a leading "\".
  const QString& CurrentPath() const { return FCurrentPath; }
  bool LazyWrite() const { return FLazyWrite; }
  void SetLazyWrite(bool value) { FLazyWrite = value; }

  // Makes Key the current key with Access. When it does not exist it is created
  // if CanCreate, else the result is false and the current key stays.
  bool OpenKey(const QString& key, bool canCreate);
  // Opens an existing key with KEY_READ; on success Access becomes KEY_READ
  // (writes through this object then fail until Access is set again).
  bool OpenKeyReadOnly(const QString& key);
  void CloseKey();
  // Creates the key (always with full access, whatever Access holds); a failure
  // raises ERegistryException "Failed to create key <Key>".
  bool CreateKey(const QString& key);
  // Deletes the key and everything under it.
  bool DeleteKey(const QString& key);
  bool KeyExists(const QString& key);
  bool HasSubKeys();
  // Names of the open key's subkeys and values; Strings is cleared first.
  void GetKeyNames(QStringList& strings);
  void GetKeyNames(TStrings* strings);
  void GetValueNames(QStringList& strings);
  void GetValueNames(TStrings* strings);

  bool ValueExists(const QString& name);
  bool DeleteValue(const QString& name);
  TRegDataType GetDataType(const QString& name);
  // Bytes of data (a text's size counts its terminating zero); -1 when missing.
  int GetDataSize(const QString& name);

  // "" when the value is missing (or empty); raises "Invalid data type" for a
  // value that is not a (expandable) string.
  QString ReadString(const QString& name);
  void WriteString(const QString& name, const QString& value);
  void WriteExpandString(const QString& name, const QString& value);
  // Missing value: "Failed to get data for '<name>'"; another type: "Invalid
  // data type for '<name>'". The same holds for the reads below.
  int ReadInteger(const QString& name);
  void WriteInteger(const QString& name, int value);
  bool ReadBool(const QString& name);
  void WriteBool(const QString& name, bool value);
  double ReadFloat(const QString& name);
  void WriteFloat(const QString& name, double value);
  TDateTime ReadDateTime(const QString& name);
  void WriteDateTime(const QString& name, TDateTime value);
  // Copies a binary (or other non-text, non-integer) value into Buffer and
  // returns its size; 0 when missing; "Invalid data type" for a text or integer
  // value, or one larger than BufSize.
  int ReadBinaryData(const QString& name, void* buffer, int bufSize);
  void WriteBinaryData(const QString& name, const void* buffer, int bufSize);

 private:
  // The store path of Key: relative to the current key or absolute.
  QString FullPath(const QString& key, bool* relative) const;
  Cardinal BaseAccess(bool relative) const;
  std::optional<TRegistryValue> Query(const QString& name);
  TRegistryValue GetData(const QString& name);
  void PutData(const QString& name, Cardinal dataType, const QByteArray& data);

  HKEY FRootKey = HKEY_CURRENT_USER;
  Cardinal FAccess = KEY_ALL_ACCESS;
  HKEY FCurrentKey = 0;
  QString FCurrentPath;
  Cardinal FCurrentAccess = 0;
  bool FLazyWrite = true;
};

// An INI-file view of a registry key (HKEY_CURRENT_USER\<FileName>): sections
// are its subkeys, keys their values. The key is created when the object is.
// Strings are written as REG_SZ, integers as REG_DWORD (as REG_SZ when the value
// already exists as a text), Booleans as the texts "1" and "0", floats, dates
// and times as REG_BINARY doubles (read from a text too). ReadString gives an integer value as its decimal digits,
// so ReadInteger and ReadBool read both integer and text values. Reads of a
// missing section or value give the default. Every change is in the store at
// once, so UpdateFile has nothing to do.
class TRegistryIniFile : public TCustomIniFile {
 public:
  explicit TRegistryIniFile(const QString& fileName, Cardinal access = KEY_ALL_ACCESS);
  ~TRegistryIniFile() override;

  QString ReadString(const QString& section, const QString& ident,
                     const QString& defaultValue) override;
  void WriteString(const QString& section, const QString& ident, const QString& value) override;
  void WriteInteger(const QString& section, const QString& ident, int value) override;
  double ReadFloat(const QString& section, const QString& ident, double defaultValue) override;
  void WriteFloat(const QString& section, const QString& ident, double value) override;
  TDateTime ReadDate(const QString& section, const QString& ident,
                     TDateTime defaultValue) override;
  void WriteDate(const QString& section, const QString& ident, TDateTime value) override;
  TDateTime ReadDateTime(const QString& section, const QString& ident,
                         TDateTime defaultValue) override;
  void WriteDateTime(const QString& section, const QString& ident, TDateTime value) override;
  TDateTime ReadTime(const QString& section, const QString& ident,
                     TDateTime defaultValue) override;
  void WriteTime(const QString& section, const QString& ident, TDateTime value) override;
  using TCustomIniFile::ReadSection;
  using TCustomIniFile::ReadSections;
  void ReadSection(const QString& section, QStringList& strings) override;
  void ReadSections(QStringList& strings) override;
  void EraseSection(const QString& section) override;
  void DeleteKey(const QString& section, const QString& ident) override;
  void UpdateFile() override;

  // The registry object, with the file's key open.
  TRegistry& RegIniFile() { return *FRegistry; }

 private:
  // Opens the section's key in Reg (creating it when asked); false when it is
  // missing.
  bool OpenSection(TRegistry& reg, const QString& section, bool canCreate) const;
  // A REG_BINARY double of the section, nothing for any other value.
  std::optional<double> ReadDouble(const QString& section, const QString& ident);
  void WriteDouble(const QString& section, const QString& ident, double value);
  std::unique_ptr<TRegistry> FRegistry;
  QString FKeyPath;
};
