#pragma once

class TAppWindows;

// Where the main window and the signalling editors were, and their sizes, kept between runs
// in the application's settings.
void RestoreWindowPlaces(TAppWindows &windows);
void SaveWindowPlaces(const TAppWindows &windows);
