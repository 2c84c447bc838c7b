#pragma once
// The WinINet calls the page fetchers use, over libcurl: an internet session,
// URL requests read in blocks, response-head queries and handle closing, with
// the Win32 names, flag values and error codes. Failures return FALSE or a
// null handle and leave the WinINet error code in GetLastError().
//
// Requests run synchronously on the calling thread. Only http and https URLs
// are opened (also through redirects); there is no cache, so the cache flags
// change nothing, and certificate checks are never relaxed.
//
// Not covered (logged under tf.http when asked for): INTERNET_FLAG_ASYNC
// (InternetOpen fails), INTERNET_FLAG_IGNORE_CERT_CN_INVALID and
// _DATE_INVALID (checks stay on), send time-outs (kept, not applied: the
// receive time-out bounds a silent peer).

#include "platform/rtl/WinError.h"

using HINTERNET = void*;

// Access types of InternetOpen.
// PRECONFIG takes the environment's proxy (http_proxy ...), never for loopback hosts.
inline constexpr DWORD INTERNET_OPEN_TYPE_PRECONFIG = 0;
inline constexpr DWORD INTERNET_OPEN_TYPE_DIRECT = 1;
inline constexpr DWORD INTERNET_OPEN_TYPE_PROXY = 3;
inline constexpr DWORD INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY = 4;

// Flags of InternetOpen and InternetOpenUrl.
inline constexpr DWORD INTERNET_FLAG_RELOAD = 0x80000000;
inline constexpr DWORD INTERNET_FLAG_RAW_DATA = 0x40000000;
inline constexpr DWORD INTERNET_FLAG_EXISTING_CONNECT = 0x20000000;
inline constexpr DWORD INTERNET_FLAG_ASYNC = 0x10000000;  // not supported: InternetOpen fails
inline constexpr DWORD INTERNET_FLAG_PASSIVE = 0x08000000;
inline constexpr DWORD INTERNET_FLAG_NO_CACHE_WRITE = 0x04000000;
inline constexpr DWORD INTERNET_FLAG_DONT_CACHE = INTERNET_FLAG_NO_CACHE_WRITE;
inline constexpr DWORD INTERNET_FLAG_MAKE_PERSISTENT = 0x02000000;
inline constexpr DWORD INTERNET_FLAG_FROM_CACHE = 0x01000000;
inline constexpr DWORD INTERNET_FLAG_OFFLINE = INTERNET_FLAG_FROM_CACHE;
inline constexpr DWORD INTERNET_FLAG_SECURE = 0x00800000;
inline constexpr DWORD INTERNET_FLAG_KEEP_CONNECTION = 0x00400000;
inline constexpr DWORD INTERNET_FLAG_NO_AUTO_REDIRECT = 0x00200000;
inline constexpr DWORD INTERNET_FLAG_READ_PREFETCH = 0x00100000;
inline constexpr DWORD INTERNET_FLAG_NO_COOKIES = 0x00080000;
inline constexpr DWORD INTERNET_FLAG_NO_AUTH = 0x00040000;
inline constexpr DWORD INTERNET_FLAG_CACHE_IF_NET_FAIL = 0x00010000;
inline constexpr DWORD INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP = 0x00008000;
inline constexpr DWORD INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS = 0x00004000;
inline constexpr DWORD INTERNET_FLAG_IGNORE_CERT_DATE_INVALID = 0x00002000;
inline constexpr DWORD INTERNET_FLAG_IGNORE_CERT_CN_INVALID = 0x00001000;
inline constexpr DWORD INTERNET_FLAG_RESYNCHRONIZE = 0x00000800;
inline constexpr DWORD INTERNET_FLAG_HYPERLINK = 0x00000400;
inline constexpr DWORD INTERNET_FLAG_NO_UI = 0x00000200;
inline constexpr DWORD INTERNET_FLAG_PRAGMA_NOCACHE = 0x00000100;  // sends "Pragma: no-cache"
inline constexpr DWORD INTERNET_FLAG_CACHE_ASYNC = 0x00000080;
inline constexpr DWORD INTERNET_FLAG_FORMS_SUBMIT = 0x00000040;
inline constexpr DWORD INTERNET_FLAG_NEED_FILE = 0x00000010;

// Options of InternetSetOption (values in milliseconds, DWORD).
inline constexpr DWORD INTERNET_OPTION_CONNECT_TIMEOUT = 2;
inline constexpr DWORD INTERNET_OPTION_SEND_TIMEOUT = 5;
inline constexpr DWORD INTERNET_OPTION_RECEIVE_TIMEOUT = 6;
inline constexpr DWORD INTERNET_OPTION_DATA_SEND_TIMEOUT = 7;
inline constexpr DWORD INTERNET_OPTION_DATA_RECEIVE_TIMEOUT = 8;

// Information levels and modifiers of HttpQueryInfo.
inline constexpr DWORD HTTP_QUERY_CONTENT_TYPE = 1;
inline constexpr DWORD HTTP_QUERY_CONTENT_LENGTH = 5;
inline constexpr DWORD HTTP_QUERY_STATUS_CODE = 19;
inline constexpr DWORD HTTP_QUERY_STATUS_TEXT = 20;
inline constexpr DWORD HTTP_QUERY_RAW_HEADERS_CRLF = 22;
inline constexpr DWORD HTTP_QUERY_FLAG_NUMBER = 0x20000000;
inline constexpr DWORD HTTP_QUERY_FLAG_SYSTEMTIME = 0x40000000;
inline constexpr DWORD HTTP_QUERY_FLAG_REQUEST_HEADERS = 0x80000000;

// WinINet error codes.
inline constexpr DWORD INTERNET_ERROR_BASE = 12000;
inline constexpr DWORD ERROR_INTERNET_OUT_OF_HANDLES = 12001;
inline constexpr DWORD ERROR_INTERNET_TIMEOUT = 12002;
inline constexpr DWORD ERROR_INTERNET_INTERNAL_ERROR = 12004;
inline constexpr DWORD ERROR_INTERNET_INVALID_URL = 12005;
inline constexpr DWORD ERROR_INTERNET_UNRECOGNIZED_SCHEME = 12006;
inline constexpr DWORD ERROR_INTERNET_NAME_NOT_RESOLVED = 12007;
inline constexpr DWORD ERROR_INTERNET_INVALID_OPTION = 12009;
inline constexpr DWORD ERROR_INTERNET_BAD_OPTION_LENGTH = 12010;
inline constexpr DWORD ERROR_INTERNET_OPERATION_CANCELLED = 12017;
inline constexpr DWORD ERROR_INTERNET_INCORRECT_HANDLE_TYPE = 12018;
inline constexpr DWORD ERROR_INTERNET_CANNOT_CONNECT = 12029;
inline constexpr DWORD ERROR_INTERNET_CONNECTION_ABORTED = 12030;
inline constexpr DWORD ERROR_INTERNET_CONNECTION_RESET = 12031;
inline constexpr DWORD ERROR_INTERNET_INVALID_CA = 12045;
inline constexpr DWORD ERROR_HTTP_HEADER_NOT_FOUND = 12150;
inline constexpr DWORD ERROR_HTTP_INVALID_SERVER_RESPONSE = 12152;
inline constexpr DWORD ERROR_HTTP_INVALID_HEADER = 12153;
inline constexpr DWORD ERROR_HTTP_INVALID_QUERY_REQUEST = 12154;
inline constexpr DWORD ERROR_HTTP_REDIRECT_FAILED = 12156;
inline constexpr DWORD ERROR_INTERNET_SECURITY_CHANNEL_ERROR = 12157;

// Opens a session. Agent is the User-Agent of its requests; Proxy, for
// INTERNET_OPEN_TYPE_PROXY, is "host:port" or a list such as
// "http=host:port https=host:port"; ProxyBypass lists hosts ("<local>",
// "*.example.org") separated by blanks or semicolons.
HINTERNET InternetOpenW(LPCWSTR Agent, DWORD AccessType, LPCWSTR Proxy, LPCWSTR ProxyBypass,
                        DWORD Flags);
// Sets a time-out of a session (for its later requests) or of a request (for
// its later reads).
BOOL InternetSetOptionW(HINTERNET Internet, DWORD Option, LPVOID Buffer, DWORD BufferLength);
// Sends a GET for Url and waits for the head of the final response.
// Headers holds "Name: value" lines separated by CR LF; HeadersLength counts
// its characters, or is (DWORD)-1 when it ends with a NUL.
HINTERNET InternetOpenUrlW(HINTERNET Internet, LPCWSTR Url, LPCWSTR Headers, DWORD HeadersLength,
                           DWORD Flags, DWORD_PTR Context);
// Copies a part of the response head into Buffer: UTF-16 text with a NUL, or
// a DWORD with HTTP_QUERY_FLAG_NUMBER. BufferLength is in bytes; on success
// it receives the bytes written (without the NUL), and when the buffer is too
// small the call fails with ERROR_INSUFFICIENT_BUFFER and it receives the
// bytes needed. Index (optional) selects among repeated headers and is
// advanced on success.
BOOL HttpQueryInfoW(HINTERNET Request, DWORD InfoLevel, LPVOID Buffer, LPDWORD BufferLength,
                    LPDWORD Index);
// Reads up to NumberOfBytesToRead body bytes, waiting until that many are
// there or the body ends; NumberOfBytesRead is 0 at the end.
BOOL InternetReadFile(HINTERNET File, LPVOID Buffer, DWORD NumberOfBytesToRead,
                      LPDWORD NumberOfBytesRead);
// Closes a session (with every request it opened) or a request.
BOOL InternetCloseHandle(HINTERNET Internet);

inline HINTERNET InternetOpen(LPCWSTR Agent, DWORD AccessType, LPCWSTR Proxy, LPCWSTR ProxyBypass,
                              DWORD Flags) {
  return InternetOpenW(Agent, AccessType, Proxy, ProxyBypass, Flags);
}
inline BOOL InternetSetOption(HINTERNET Internet, DWORD Option, LPVOID Buffer, DWORD BufferLength) {
  return InternetSetOptionW(Internet, Option, Buffer, BufferLength);
}
inline HINTERNET InternetOpenUrl(HINTERNET Internet, LPCWSTR Url, LPCWSTR Headers,
                                 DWORD HeadersLength, DWORD Flags, DWORD_PTR Context) {
  return InternetOpenUrlW(Internet, Url, Headers, HeadersLength, Flags, Context);
}
inline BOOL HttpQueryInfo(HINTERNET Request, DWORD InfoLevel, LPVOID Buffer, LPDWORD BufferLength,
                          LPDWORD Index) {
  return HttpQueryInfoW(Request, InfoLevel, Buffer, BufferLength, Index);
}
