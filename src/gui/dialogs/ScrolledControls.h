#pragma once

class QScrollArea;
class QWidget;

// A window's pixel-placed controls go on a widget of their own ("client") inside a scroll area
// ("clientScroll") that takes no keyboard focus and shows scroll bars only when the window is
// smaller than the controls (a small or scaled screen, a window made small).
QScrollArea *NewControlsScroll(QWidget *window);
// Once the controls are placed: the client is never smaller than their extent plus `margin`.
void KeepControlsReachable(QWidget *client, int margin = 0);
