#include "app/dockroom.h"

#include <algorithm>

DockRoom DockRoom::place(int windowWidth, int mainMinimum, int wanted, int minimumDock, int screenRoom)
{
    DockRoom room;
    room.windowWidth = windowWidth;
    // The window grows by what the dock would take from the main view.
    const int lacking = mainMinimum + wanted - windowWidth;
    if (lacking > 0)
        room.windowWidth += std::min(lacking, std::max(0, screenRoom));
    room.dockWidth = std::min(wanted, room.windowWidth - mainMinimum);
    if (room.dockWidth < minimumDock) {
        room.kind = Floating;
        room.dockWidth = wanted;
        room.windowWidth = windowWidth;
    }
    return room;
}
