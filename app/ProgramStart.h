#pragma once
// How the program starts, shared by the program itself and by its demo.

// What must be settled before the QApplication exists: Qt's own high-DPI
// scaling off (the library does its own DPI arithmetic), shared OpenGL
// contexts and the document scheme of the web engine, the browser service.
void PrepareProgram();

// The start once the QApplication exists: the units' initialisations (the
// run-time GDI+ binding loads its table and starts GDI+, then the static
// binding starts GDI+ for itself), resources and
// window icon, the application object, title "Tallowfinch", the style
// "Amethyst Kamri", then the main window and the status window. Run the
// message loop afterwards.
void StartProgram();

// The end once the message loop is over: the units' finalisations in reverse
// order (the static GDI+ binding releases its start-up, then the run-time
// binding frees its shared objects and releases its own; the library itself
// keeps running until the process ends).
void FinishProgram();
