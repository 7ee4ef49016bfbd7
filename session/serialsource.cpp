#include "session/serialsource.h"

#include "link/serialport.h"

#include <QCoreApplication>
#include <QThread>

SerialSource::SerialSource(QObject *parent)
    : ByteSource(parent)
    , m_worker(new serialport)
{
    // However fast bytes come, at most one block waits in this thread's
    // queue; the rest joins it when it is taken (takePending).
    m_worker->setBoundedHandover(true);
    connect(m_worker, &serialport::receive_data, this, &ByteSource::blockRead);
    connect(m_worker, &serialport::port_open, this, &ByteSource::opened);
    connect(m_worker, &serialport::status, this, [this](bool open) {
        m_open = open;
        emit status(open);
    });
    connect(m_worker, &serialport::open_failed, this, &ByteSource::failed);
    connect(m_worker, &serialport::port_lost, this, &ByteSource::lost);
    connect(m_worker, &serialport::isDone, this, &ByteSource::scanned);
}

SerialSource::~SerialSource()
{
    // Nothing new may reach the worker while it shuts down.
    disconnect(m_worker, nullptr, this, nullptr);
    m_worker->setScanFlag(false);
    delete m_worker;   // closes the port and stops the worker thread
}

qint64 SerialSource::bytesRead() const
{
    return m_worker->bytesRead();
}

QByteArray SerialSource::takePending()
{
    return m_worker->takePending();
}

void SerialSource::setLine(const QString &port, int baud)
{
    m_port = port;
    m_baud = baud;
}

void SerialSource::open()
{
    const QString port = m_port;
    const QString baud = QString::number(m_baud);
    QMetaObject::invokeMethod(m_worker, [w = m_worker, port, baud] { w->init_port(port, baud); }, Qt::QueuedConnection);
}

void SerialSource::close()
{
    QMetaObject::invokeMethod(m_worker, &serialport::closeserial, Qt::QueuedConnection);
}

void SerialSource::writeCommand(const QByteArray &bytes)
{
    QMetaObject::invokeMethod(m_worker, [w = m_worker, bytes] { w->write_data(bytes); }, Qt::QueuedConnection);
}

void SerialSource::writeRaw(const QByteArray &bytes)
{
    QMetaObject::invokeMethod(m_worker, [w = m_worker, bytes] { w->write_raw(bytes); }, Qt::QueuedConnection);
}

void SerialSource::setBaud(int rate)
{
    const QString baud = QString::number(rate);
    QMetaObject::invokeMethod(m_worker, [w = m_worker, baud] { w->set_baud(baud); }, Qt::QueuedConnection);
}

void SerialSource::drain()
{
    // In order: the blocks already on their way to this thread (each takes
    // what joined it), then what the worker still holds, read from the
    // port and waiting for its line feed.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    QByteArray rest;
    QMetaObject::invokeMethod(m_worker, [this, &rest] { rest = m_worker->takeEverything(); },
                              Qt::BlockingQueuedConnection);
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    rest.prepend(m_worker->takePending());
    if (!rest.isEmpty())
        emit blockRead(rest);
}

void SerialSource::checkStatus()
{
    QMetaObject::invokeMethod(m_worker, &serialport::check_status, Qt::QueuedConnection);
}

void SerialSource::startScan()
{
    m_worker->setScanFlag(true);
    QMetaObject::invokeMethod(m_worker, &serialport::run, Qt::QueuedConnection);
}
