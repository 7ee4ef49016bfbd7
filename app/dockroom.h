#ifndef DOCKROOM_H
#define DOCKROOM_H

// Where a dock opened beside the main view goes, so that the main view keeps
// the width it needs (the sky view, the whole grid, the tabs): docked at a
// width that leaves that, with the window grown first where the screen has
// room, otherwise floating.
struct DockRoom
{
    enum Kind { Docked, Floating } kind = Docked;
    int dockWidth = 0;    // for Docked
    int windowWidth = 0;  // the window's width afterwards

    // `wanted`: the dock's preferred width; `minimumDock`: the least it is
    // usable at; `mainMinimum`: what the main view needs; `screenRoom`: how
    // far the window may grow on its screen (0 when maximized).
    static DockRoom place(int windowWidth, int mainMinimum, int wanted, int minimumDock, int screenRoom);
};

#endif // DOCKROOM_H
