#ifndef FAKESOURCE_H
#define FAKESOURCE_H

#include "session/bytesource.h"

// A source fed by hand, for the session's tests and fuzz target: opens at
// once, records what is written to it, and can refuse commands with a
// reason as a read-only source does.
class FakeSource : public ByteSource
{
public:
    explicit FakeSource(QString whyNot = {}) : m_whyNot(std::move(whyNot)) {}
    QString name() const override { return QStringLiteral("fake"); }
    bool isOpen() const override { return m_open; }
    QString whyCannotSend() const override { return m_whyNot; }
    void open() override { m_open = true; emit opened(); emit status(true); }
    void close() override { m_open = false; emit status(false); }
    void writeCommand(const QByteArray &bytes) override { written += bytes; }
    QByteArray written;

private:
    bool m_open = false;
    QString m_whyNot;
};

#endif // FAKESOURCE_H
