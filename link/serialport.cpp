#include "link/serialport.h"
#include "link/checksum.h"
#include "trace/trace.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QSerialPort>
#include <QThread>
#include <QTimer>

namespace {
// A pseudo-terminal whose far end closed, or a USB adapter pulled out,
// reports read errors on every poll; after this many in a row the port is
// taken as gone.
constexpr int ReadErrorsMeaningGone = 3;
constexpr int ScanStepMs = 2000;

QString openFailureText(const QString &name, const QSerialPort &port)
{
    QString text = QStringLiteral("Cannot open %1: %2").arg(name, port.errorString());
    if (port.error() == QSerialPort::PermissionError)
        text += QStringLiteral(" — on Debian and Ubuntu, join the dialout group: "
                               "sudo adduser $USER dialout, then log out and in again");
    return text;
}
} // namespace

serialport::serialport(QObject *parent)
    : QObject(parent)
{
    m_thread = new QThread;
    m_port = new QSerialPort;
    m_scanTimer = new QTimer;
    m_scanTimer->setInterval(ScanStepMs);
    moveToThread(m_thread);
    m_port->moveToThread(m_thread);
    m_scanTimer->moveToThread(m_thread);
    m_thread->start(QThread::InheritPriority);
    connect(m_port, &QSerialPort::readyRead, this, &serialport::handle_data, Qt::QueuedConnection);
    connect(m_port, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError error) { onPortError(error); });
    connect(m_scanTimer, &QTimer::timeout, this, &serialport::scanStep);
}

serialport::~serialport()
{
    // The port and the scan timer belong to the worker thread: close and
    // free them there, and drop the queued calls (a readyRead's handle_data)
    // that would otherwise reach a deleted port. Must not run in the worker
    // thread itself.
    m_scanFlag = false;
    QMetaObject::invokeMethod(m_port, [this] {
        disconnect(m_port, nullptr, this, nullptr);
        delete m_scanTimer;
        m_scanTimer = nullptr;
        m_port->close();
        delete m_port;
        m_port = nullptr;
        QCoreApplication::removePostedEvents(this);
    }, Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
    delete m_thread;
}

void serialport::handle_data()
{
    if (!m_port || !m_port->isOpen())
        return;
    QByteArray chunk = m_port->readAll();
    // readAll() leaves room for 16 KB or more behind a few hundred bytes;
    // a block waiting in the window's queue would hold all of it.
    chunk.squeeze();
    if (!chunk.isEmpty())
        m_readErrors = 0;
    m_bytesRead += chunk.size();
    handOver(m_framer.push(chunk));
}

void serialport::handOver(const QByteArray &block)
{
    if (block.isEmpty())
        return;
    m_lastBlock = block;
    if (!m_bounded || m_handover.put(block))
        emit receive_data(m_lastBlock);
}

void serialport::handOverRest()
{
    handOver(m_framer.takeRest());
}

QByteArray serialport::takeEverything()
{
    QByteArray all;
    if (m_port && m_port->isOpen()) {
        all = m_port->readAll();
        m_bytesRead += all.size();
    }
    all.prepend(m_framer.takeRest());
    return all;
}

void serialport::write_raw(QByteArray data)
{
    if (m_port->isOpen())
        m_port->write(data);
}

void serialport::onPortError(int error)
{
    if (error == QSerialPort::NoError || !m_port || !m_port->isOpen())
        return;
    if (error == QSerialPort::ReadError && ++m_readErrors < ReadErrorsMeaningGone)
        return;
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError)
        return;
    // The device went away: close, so the error cannot repeat in a busy
    // loop, and let the window learn it through the status exchange.
    const QString name = m_port->portName();
    qCDebug(lcLink) << "port lost:" << name << m_port->errorString();
    // What the port read before it went and nobody took yet belongs in the
    // log as much as what waits for its line feed.
    handOver(takeEverything());
    m_port->close();
    m_readErrors = 0;
    emit port_lost(QStringLiteral("%1 disconnected").arg(name));
    emit isDone();
}

void serialport::pulseRts(bool withWaits)
{
    m_port->setRequestToSend(false);
    if (withWaits)
        QThread::usleep(30);
    m_port->setRequestToSend(true);
    if (withWaits)
        QThread::usleep(30);
    m_port->setRequestToSend(false);
}

void serialport::writeCommand(const QByteArray &bytes)
{
    // A command ends at its first NUL byte, as a C string would.
    const int nul = bytes.indexOf('\0');
    m_port->write(nul >= 0 ? bytes.left(nul) : bytes);
}

void serialport::write_data(QByteArray data)
{
    pulseRts(true);
    writeCommand(data);
}

void serialport::write_data_btn(QByteArray data)
{
    pulseRts(true);
    writeCommand(get_full_pair_command(data));
}

void serialport::write_PMTKdata(QByteArray data)
{
    pulseRts(false);
    writeCommand(data);
    qCDebug(lcLink) << data;
    emit start_timer();
}

void serialport::check_status()
{
    emit status(m_port->isOpen());
}

void serialport::init_port(QString portName, QString baud)
{
    if (m_port->isOpen()) {
        // A second Connect (a double click) leaves the open port alone.
        qCDebug(lcLink) << "open it failed";
        emit status(true);
        return;
    }
    m_port->setPortName(portName);
    m_port->setBaudRate(baud.toInt(nullptr, 10), QSerialPort::AllDirections);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setFlowControl(QSerialPort::SoftwareControl);
    m_framer.clear();
    m_readErrors = 0;
    if (m_port->open(QIODevice::ReadWrite)) {
        qCDebug(lcLink) << "Port have been opened";
        emit port_open();
    } else {
        qCDebug(lcLink) << "open it failed";
        emit open_failed(openFailureText(portName, *m_port));
    }
    // Report the state now, so a successful open reaches the window even
    // when no scan step is pending.
    emit status(m_port->isOpen());
}

void serialport::closeserial()
{
    if (m_port->isOpen())
        handOver(takeEverything());
    m_port->close();
    emit isDone();
}

void serialport::set_baud(QString baud)
{
    if (!m_port->isOpen())
        return;
    handOverRest();
    m_port->setBaudRate(baud.toInt(nullptr, 10), QSerialPort::AllDirections);
}

QByteArray serialport::get_full_pair_command(QByteArray command)
{
    return completeCommand(command);
}

void serialport::run()
{
    qCDebug(lcLink) << "serial port" << QThread::currentThread();
    qCDebug(lcLink) << (m_scanFlag ? "true" : "false");
    // The pass keeps its 2-second steps, paced by a timer instead of a
    // sleep, so requests such as init_port are served at once.
    if (!m_port->isOpen() && m_scanFlag && !m_scanTimer->isActive())
        m_scanTimer->start();
}

void serialport::scanStep()
{
    if (m_port->isOpen() || !m_scanFlag) {
        m_scanTimer->stop();
        return;
    }
    qCDebug(lcLink) << "gkeke" << 1;
    emit isDone();
}
