#ifndef FLOATINGDOCKS_H
#define FLOATINGDOCKS_H

#include <QAction>
#include <QDockWidget>
#include <QList>

// Every dock shown, floating side by side at 640 x 720 from the left: the
// views cost what they cost when a user has them all open.
inline void floatDocksSideBySide(const QList<QDockWidget *> &docks)
{
    int x = 0;
    for (QDockWidget *dock : docks) {
        dock->toggleViewAction()->trigger();
        dock->setFloating(true);
        dock->setGeometry(x, 80, 640, 720);
        x += 640;
    }
}

#endif // FLOATINGDOCKS_H
