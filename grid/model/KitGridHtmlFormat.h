#pragma once
// The "HTML Format" clipboard text: a header of byte offsets, a fixed
// document prologue, the fragment and a fixed epilogue. The offsets count
// UTF-8 bytes from the start of the header (which is ASCII, as are the
// fixed parts), so the caller puts the result on the clipboard as UTF-8.

#include <QString>

// On entry Html is the fragment; on return the whole clipboard text.
void BuildClipboardHtml(QString& Html);
