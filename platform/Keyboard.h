#pragma once
// Key events in the shape the widget set's key handlers expect: a virtual key code for
// the key that went down, then the character codes it produced (one per UTF-16 unit).
#include <QString>
#include <QtGlobal>

class QKeyEvent;

namespace vk {
constexpr quint16 Back = 0x08, Tab = 0x09, Return = 0x0D, Shift = 0x10, Control = 0x11, Menu = 0x12,
                  Pause = 0x13, Capital = 0x14, Escape = 0x1B, Space = 0x20, Prior = 0x21, Next = 0x22,
                  End = 0x23, Home = 0x24, Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28,
                  Insert = 0x2D, Delete = 0x2E, LWin = 0x5B, Apps = 0x5D, Numpad0 = 0x60,
                  Multiply = 0x6A, Add = 0x6B, Subtract = 0x6D, Decimal = 0x6E, Divide = 0x6F, F1 = 0x70;
}

// The virtual key code of the key, or 0 for a key that has none (a key of a foreign
// layout that only produces a character). Letters give their capital, whatever the
// shift state; shifted symbols give the key they sit on in the US layout.
quint16 VirtualKeyOf(const QKeyEvent *e);

// The characters the key produces: control codes for Enter (13), Escape (27),
// Backspace (8), Ctrl+Backspace (127), Ctrl+letter (1..26); nothing while Alt is held
// (those keys are accelerators) and nothing for keys that only move or edit.
QString CharactersOf(const QKeyEvent *e);
