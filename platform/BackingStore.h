#pragma once
// The memory a shown top-level window paints into, made ready before its first paint.
class QWidget;

// Call right after show(): sizes the window's backing store now, while the display server
// maps the window, and maps all of its pages in one step, where the first paint would
// otherwise fault them in one by one. Only on X11, where the buffer is one image that
// stays; elsewhere it does nothing.
void PrepareBackingStore(QWidget *window);
