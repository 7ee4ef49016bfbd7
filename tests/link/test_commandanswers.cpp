// The receiver's "$PAIR001,<command>,<result>" matched to what was sent,
// and the 3 s without an answer.
#include "link/commandanswers.h"

#include <QSignalSpy>
#include <QtTest>

class TestCommandAnswers : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
};

void TestCommandAnswers::answers_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QByteArray>("line");   // arrives at 1 s
    QTest::addColumn<qint64>("checkedAtMs");
    QTest::addColumn<QStringList>("notes");
    const QStringList sentOnly{"Sent PAIR050,1000; waiting for the receiver's answer"};
    QTest::newRow("0 is accepted") << QByteArray("$PAIR050,1000*12\r\n") << QByteArray("$PAIR001,050,0*3E")
                                   << qint64(5000) << (sentOnly + QStringList{"PAIR050,1000: accepted"});
    QTest::newRow("another result as sent")
        << QByteArray("$PAIR050,1000*12\r\n") << QByteArray("$PAIR001,050,4*3A") << qint64(5000)
        << (sentOnly + QStringList{"PAIR050,1000: result 4"});
    QTest::newRow("another command's answer is not this one's")
        << QByteArray("$PAIR050,1000*12\r\n") << QByteArray("$PAIR001,004,0*3F") << qint64(3001)
        << (sentOnly + QStringList{"PAIR050,1000: no answer within 3 s"});
    QTest::newRow("still waiting at 3 s") << QByteArray("$PAIR050,1000*12\r\n") << QByteArray("$GPGGA,,*56")
                                          << qint64(3000) << sentOnly;
    QTest::newRow("version query answered by 605")
        << QByteArray("$PMTK605*31\r\n") << QByteArray("$PAIR001,605,0*3D") << qint64(9000)
        << QStringList{"Sent PMTK605; waiting for the receiver's answer", "PMTK605: accepted"};
    QTest::newRow("a sentence nothing acknowledges")
        << QByteArray("$GPQ,GGA*2B\r\n") << QByteArray("$PAIR001,000,0*3E") << qint64(9000)
        << QStringList{"Sent GPQ,GGA"};
}

void TestCommandAnswers::answers()
{
    QFETCH(QByteArray, sent);
    QFETCH(QByteArray, line);
    QFETCH(qint64, checkedAtMs);
    QFETCH(QStringList, notes);
    CommandAnswers answers;
    QStringList said;
    connect(&answers, &CommandAnswers::note, this, [&said](const QString &text) { said << text; });
    answers.expect(sent, 0);
    answers.take(line);
    answers.check(checkedAtMs);
    answers.check(checkedAtMs);   // an ended wait says nothing more
    QCOMPARE(said, notes);
}

QTEST_GUILESS_MAIN(TestCommandAnswers)
#include "test_commandanswers.moc"
