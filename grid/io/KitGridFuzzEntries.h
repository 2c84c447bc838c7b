#pragma once
// Entry points for fuzzing the grid's readers of outside input. Each takes
// arbitrary bytes, loads them into a fresh grid (files go through a private
// temporary folder), and answers whether the load succeeded; a failure is
// an exception of the run-time's hierarchy, caught here. Afterwards the
// grid's merge information is checked for consistency and every cell is
// read once, so that a reader that left the grid in a broken state shows up
// as a crash or a failed check (abort) in the harness.
//
// Grids stay within 1,000,000 cells while these run (see SetLoadCellCap).

#include <QByteArray>

namespace kitgridio {

bool GridBinStreamFromBytes(const QByteArray& Bytes);   // LoadFromBinStream and LoadAtPointFromBinStream
bool GridTextStreamFromBytes(const QByteArray& Bytes);  // LoadFromStream (UTF-16 lines)
bool GridTextFileFromBytes(const QByteArray& Bytes);    // LoadFromFile
bool GridFixedFromBytes(const QByteArray& Bytes);       // LoadFromFixed with positions 1, 4, 9
bool GridXMLFromBytes(const QByteArray& Bytes);         // LoadFromXML, with and without LevelToRow
bool GridVisualPropsFromBytes(const QByteArray& Bytes);  // LoadVisualProps (key=value lines)
bool GridPrintSettingsFromBytes(const QByteArray& Bytes);  // LoadPrintSettings (an INI file, section "Print")
bool GridColumnStatesFromBytes(const QByteArray& Bytes);   // StringToColumnStates (UTF-8 text)
// AppendToDoc over a package whose main document part is the bytes (the
// package itself is well-formed); and over the bytes as the whole file.
bool GridDocxFromBytes(const QByteArray& Bytes);
// The grid's own clipboard cells as another program could put them there:
// the readability check a paste makes, then the load at a cell after the
// growth the header asks for.
bool GridClipboardCellsFromBytes(const QByteArray& Bytes);
// Clipboard text (UTF-8) pasted as a TAB/line block at a cell, with growth.
bool GridClipboardTextFromBytes(const QByteArray& Bytes);
// LoadFromCSVStream with the delimiter detected, then with ';', multi-line
// cells off, the first line skipped and at most 50 rows, into a grid with a
// floating footer.
bool GridCSVFromBytes(const QByteArray& Bytes);

}  // namespace kitgridio
