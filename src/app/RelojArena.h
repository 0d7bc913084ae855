#pragma once

#include <QApplication>

// The hourglass for as long as the scope lives, whatever way it is left (an error included).
class RelojArena
{
public:
    RelojArena() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~RelojArena() { QApplication::restoreOverrideCursor(); }
    RelojArena(const RelojArena&) = delete;
    RelojArena& operator=(const RelojArena&) = delete;
};
