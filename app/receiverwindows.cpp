#include "app/receiverwindows.h"

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "receiver/receivermodel.h"

#include <QComboBox>

ReceiverWindows::ReceiverWindows(QObject *parent)
    : QObject(parent)
{
}

ReceiverWindows::~ReceiverWindows()
{
    // Windows still open when the program ends (a quit from elsewhere) go
    // first, each stopping its worker, then the compare view.
    const QList<MainWindow *> windows = m_windows;
    for (MainWindow *window : windows) {
        disconnect(window, nullptr, this, nullptr);
        delete window;
    }
    delete m_compare;
}

MainWindow *ReceiverWindows::open()
{
    auto *window = new MainWindow;   // owned by itself: it deletes itself when closed
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setObjectName(QStringLiteral("receiverWindow%1").arg(++m_opened));
    m_windows.append(window);
    window->setWindows(this);
    connect(window, &QObject::destroyed, this, &ReceiverWindows::forget);
    connect(window, &MainWindow::connectionChanged, this, &ReceiverWindows::changed);
    connect(window->form()->comboBox_com, &QComboBox::currentTextChanged, this, &ReceiverWindows::changed);
    window->show();
    emit changed();
    return window;
}

void ReceiverWindows::forget(QObject *window)
{
    m_windows.removeAll(static_cast<MainWindow *>(window));
    // The compare view alone would keep the program running.
    if (m_windows.isEmpty() && m_compare)
        m_compare->close();
    emit changed();
}

QList<ComparedReceiver> ReceiverWindows::receivers() const
{
    QList<ComparedReceiver> list;
    for (int i = 0; i < m_windows.size(); ++i) {
        MainWindow *window = m_windows.at(i);
        QString name = window->form()->comboBox_com->currentText();
        if (name.isEmpty())
            name = tr("window %1").arg(i + 1);
        for (const ComparedReceiver &earlier : list) {
            if (earlier.name == name)
                name += tr(" (window %1)").arg(i + 1);
        }
        list.append({name, window->receiverModel()});
    }
    return list;
}

QStringList ReceiverWindows::logFilesInUse(const MainWindow *asking) const
{
    QStringList names;
    for (const MainWindow *window : m_windows) {
        if (window != asking && window->isLogging())
            names << window->logFileName();
    }
    return names;
}

void ReceiverWindows::showComparison()
{
    if (!m_compare) {
        m_compare = new CompareView;   // deleted in the destructor
        m_compare->setAttribute(Qt::WA_QuitOnClose, false);
        m_compare->setReceivers(receivers());
        connect(this, &ReceiverWindows::changed, m_compare, [this] { m_compare->setReceivers(receivers()); });
    }
    m_compare->show();
    m_compare->raise();
    m_compare->activateWindow();
}
