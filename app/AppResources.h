#pragma once
// The program's compiled-in resources: the start page template "HOMEPAGE",
// the tool-bar images "NAVICON0" to "NAVICON13", the results tool-bar images
// "RESULTICON2", "RESULTICON4", "RESULTICON8", "RESULTICON9" and
// "RESULTICON10", the status window's picture "SPLASHPICTURE" and the window
// icon "MAINICON". They are read by name with TResourceStream(0, name).

// Makes the resources above reachable. They live in a static library, so
// nothing registers them by itself: call this before the first resource is
// read. Calling it again does nothing.
void InitAppResources();
