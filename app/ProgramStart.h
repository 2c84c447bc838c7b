#pragma once
// How the program starts, shared by the program itself and by its demo.

#include "platform/rtl/ProcessStart.h"

// What must be settled before the QApplication exists: the process as
// PrepareProcess prepares one that runs the web engine (Qt's own high-DPI
// scaling off, shared OpenGL contexts, the engine's document scheme; the
// demo adds the offscreen platform and a headless engine when there is no
// display), then the browser service.
void PrepareProgram(TProcessOptions Options = {});

// The start once the QApplication exists: the units' initialisations (the
// run-time GDI+ binding loads its table and starts GDI+, then the static
// binding starts GDI+ for itself; the theme binders and toolkit settings), resources and
// window icon, the application object, title "Tallowfinch", the style
// "Amethyst Kamri", then the main window, the status window and the page-progress window. Run the
// message loop afterwards.
void StartProgram();

// The end once the message loop is over: the units' finalisations in reverse
// order (the static GDI+ binding releases its start-up, then the run-time
// binding frees its shared objects and releases its own; the library itself
// keeps running until the process ends).
void FinishProgram();
