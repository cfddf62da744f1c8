#pragma once

class QRect;
class QWidget;
class TAppWindows;

// Where the main window and the signalling editors were, and their sizes, kept between runs
// in the application's settings.
void RestoreWindowPlaces(TAppWindows &windows);
void SaveWindowPlaces(const TAppWindows &windows);

// A window larger than the screen's free area (a scaled or small screen, a place kept from a
// larger screen) shrinks to it, frame and all, and moves onto it; its controls scroll.
void FitOnScreen(QWidget &window, const QRect &available);
// Each window as it is shown, on its own screen.
void KeepWindowsOnScreen(TAppWindows &windows);
