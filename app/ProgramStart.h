#pragma once
// How the program starts, shared by the program itself and by its demo.

// What must be settled before the QApplication exists: Qt's own high-DPI
// scaling off (the library does its own DPI arithmetic), shared OpenGL
// contexts and the document scheme of the web engine, the browser service,
// and GDI+ for both of its bindings.
void PrepareProgram();

// The start once the QApplication exists: resources and window icon, the
// application object, title "Tallowfinch", the style "Amethyst Kamri", then
// the main window and the status window. Run the message loop afterwards.
void StartProgram();
