#pragma once
// The run-time's fixed English messages. Placeholders follow Format's rules.

namespace RtlConsts {
// Conversions
inline constexpr const char* SInvalidInteger = "'%s' is not a valid integer value";
inline constexpr const char* SInvalidFloat = "'%s' is not a valid floating point value";
inline constexpr const char* SInvalidDate = "'%s' is not a valid date";
inline constexpr const char* SInvalidTime = "'%s' is not a valid time";
inline constexpr const char* SInvalidDateTime = "'%s' is not a valid date and time";
inline constexpr const char* SInvalidBoolean = "'%s' is not a valid boolean value";
inline constexpr const char* SInvalidFormat = "Format '%s' invalid or incompatible with argument";
inline constexpr const char* SArgumentMissing = "No argument for format '%s'";
inline constexpr const char* SDateEncodeError = "Invalid argument to date encode";
inline constexpr const char* STimeEncodeError = "Invalid argument to time encode";
// Lists
inline constexpr const char* SListIndexError = "List index out of bounds (%d)";
inline constexpr const char* SListCapacityError = "List capacity out of bounds (%d)";
inline constexpr const char* SListCountError = "List count out of bounds (%d)";
inline constexpr const char* SDuplicateString = "String list does not allow duplicates";
inline constexpr const char* SSortedListError = "Operation not allowed on sorted list";
inline constexpr const char* SDuplicateItem = "List does not allow duplicates ($0%x)";
// Objects and components
inline constexpr const char* SAssignError = "Cannot assign a %s to a %s";
inline constexpr const char* SDuplicateName = "A component named %s already exists";
inline constexpr const char* SInvalidName = "''%s'' is not a valid component name";
inline constexpr const char* SClassNotFound = "Class %s not found";
inline constexpr const char* SUnknownProperty = "Property %s does not exist";
inline constexpr const char* SInvalidPropertyValue = "Invalid property value";
// Streams and files
inline constexpr const char* SReadError = "Stream read error";
inline constexpr const char* SWriteError = "Stream write error";
inline constexpr const char* SMemoryStreamError = "Out of memory while expanding memory stream";
inline constexpr const char* SFOpenErrorEx = "Cannot open file \"%s\". %s";
inline constexpr const char* SFCreateErrorEx = "Cannot create file \"%s\". %s";
inline constexpr const char* SResNotFound = "Resource %s not found";
inline constexpr const char* SInvalidImage = "Invalid stream format";
// Operations
inline constexpr const char* SInvalidOperation = "Invalid operation";
inline constexpr const char* SNoEncoding = "No mapping for the Unicode character exists in the target multi-byte code page";
inline constexpr const char* SInvalidSourceArray = "Invalid source array";
inline constexpr const char* SRangeError = "Range check error";
inline constexpr const char* SDivByZero = "Division by zero";
inline constexpr const char* SAbortError = "Operation aborted";
inline constexpr const char* SOutOfMemory = "Out of memory";
// Registry and INI files
inline constexpr const char* SRegCreateFailed = "Failed to create key %s";
inline constexpr const char* SRegSetDataFailed = "Failed to set data for '%s'";
inline constexpr const char* SRegGetDataFailed = "Failed to get data for '%s'";
inline constexpr const char* SInvalidRegType = "Invalid data type for '%s'";
inline constexpr const char* SIniFileWriteError = "Unable to write to %s";
// Run-time type information and the class registry
inline constexpr const char* SInvalidPropertyType = "Invalid property type: %s";
inline constexpr const char* SInvalidPropertyElement = "Invalid property element: %s";
inline constexpr const char* SReadOnlyProperty = "Property is read-only";
inline constexpr const char* SWriteOnlyProperty = "Property is write-only";
inline constexpr const char* SDuplicateProperty = "Property %s is declared twice";
inline constexpr const char* SDuplicateClass = "A class named %s already exists";
inline constexpr const char* SCannotCreateClass = "Class %s cannot be created by name";
inline constexpr const char* SInvalidOwner = "Class %s cannot be owned by %s";
}  // namespace RtlConsts

namespace RtlConsts {
// Floating-point operations
inline constexpr const char* SInvalidOp = "Invalid floating point operation";
// Threads and synchronisation objects
inline constexpr const char* SThreadStartError = "Cannot call Start on a running or terminated thread";
inline constexpr const char* SThreadCreateError = "Thread creation error: %s";
inline constexpr const char* SThreadWaitForSelf = "A thread cannot wait for itself";
inline constexpr const char* SThreadWaitFreeOnTerminate = "Cannot wait for a thread that frees itself on termination";
inline constexpr const char* SThreadNotStarted = "Cannot wait for a thread that has not been started";
inline constexpr const char* SCheckSynchronizeError = "CheckSynchronize called from thread $%x, which is NOT the main thread";
inline constexpr const char* SNamedEventNotSupported = "Named events are not supported: '%s'";
// HTTP client
inline constexpr const char* SNetSchemeNotSupported = "URL scheme '%s' is not supported: only http and https are allowed";
inline constexpr const char* SNetNoScheme = "URL '%s' has no scheme: only http and https are allowed";
inline constexpr const char* SNetInvalidUrl = "Invalid URL: '%s'";
inline constexpr const char* SNetMaxRedirections = "Maximum number of redirections (%d) exceeded";
inline constexpr const char* SNetResponseTimeout = "Response timed out after %d milliseconds with %d bytes received";
inline constexpr const char* SNetCancelled = "The operation was cancelled";
inline constexpr const char* SNetInvalidHeader = "Invalid HTTP header: '%s'";
// Resource streams
inline constexpr const char* SCantWriteResourceStreamError = "Can't write to a read-only resource stream";
}  // namespace RtlConsts

namespace RtlConsts {
// Registry and INI files
inline constexpr const char* SIniInvalidName = "Invalid INI file section or key name '%s'";
inline constexpr const char* SIniInvalidValue = "Invalid INI file value '%s'";
inline constexpr const char* SRegFileDamaged = "Registry file \"%s\" is damaged at line %d: %s";
inline constexpr const char* SRegFileUnreadable = "Cannot read registry file \"%s\": %s";
}  // namespace RtlConsts

namespace RtlConsts {
// Component streaming
inline constexpr const char* SAncestorNotFound = "Ancestor for '%s' not found";
}  // namespace RtlConsts

namespace RtlConsts {
// Generic containers and casts
inline constexpr const char* SArgumentOutOfRange = "Argument out of range";
inline constexpr const char* SInvalidCast = "Invalid class typecast";
}  // namespace RtlConsts

namespace RtlConsts {
// Operations left to descendants
inline constexpr const char* SAbstractError = "Abstract Error";
}  // namespace RtlConsts

namespace RtlConsts {
// Generic dictionaries
inline constexpr const char* SGenericDuplicateItem = "Duplicates not allowed";
inline constexpr const char* SGenericItemNotFound = "Item not found";
}  // namespace RtlConsts
