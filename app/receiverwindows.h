#ifndef RECEIVERWINDOWS_H
#define RECEIVERWINDOWS_H

#include "campaign/jointcampaignview.h"
#include "compare/compareview.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class MainWindow;

// The receiver windows open in this process, one per receiver: "New window"
// and each --port open one; the compare view lists them. main() owns it;
// closing a window deletes it, closing the last one ends the program (and
// closes the compare view with it).
class ReceiverWindows : public QObject
{
    Q_OBJECT

public:
    explicit ReceiverWindows(QObject *parent = nullptr);
    ~ReceiverWindows() override;

    // Opens another window with its own port, worker, log and views, and
    // shows it; it deletes itself when closed.
    MainWindow *open();
    const QList<MainWindow *> &windows() const { return m_windows; }
    // Each window's receiver, named by its port ("/dev/ttyUSB0"; "window
    // 2" before a port is chosen), for the compare view.
    QList<ComparedReceiver> receivers() const;
    // The log files the windows other than `asking` write now, so two
    // connections opened in the same second do not share one.
    QStringList logFilesInUse(const MainWindow *asking) const;
    // Opens the compare view ("Tool", "Compare receivers...").
    void showComparison();
    CompareView *compareView() const { return m_compare; }
    // Opens the TTFF campaign on two windows' receivers ("Campaign on
    // both..." in the compare view), indexes in windows(): each restart goes
    // to both at once. While one runs it is shown again as it is.
    void showJointCampaign(int reference, int underTest);
    JointCampaignView *jointCampaignView() const { return m_jointCampaign; }

signals:
    // A window opened or closed, or a window's port changed.
    void changed();

private:
    // Only compares the pointer: the window is being destroyed.
    void forget(MainWindow *window);

    QList<MainWindow *> m_windows;
    QPointer<CompareView> m_compare;   // a window of its own, deleted here
    QPointer<JointCampaignView> m_jointCampaign;   // the same
    int m_opened = 0;
};

#endif // RECEIVERWINDOWS_H
