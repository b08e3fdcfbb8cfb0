// The program's 32-bit ids of its windows (written as "0x%08X" where the
// program shows or sends a window handle).  User-interface thread only.
#pragma once

#include <cstdint>

class QWidget;

// Gives the widget an id (the same one when asked again); the id is
// forgotten when the widget is destroyed.
uint32_t WindowIds_idOf(QWidget* widget);
QWidget* WindowIds_find(uint32_t id);
