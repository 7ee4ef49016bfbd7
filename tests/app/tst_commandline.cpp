// `skyloupe --help` and `--version` on a terminal without any display: they
// print, name every option and exit 0.
#include <QtTest>
#include <QProcess>

class TstCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void withoutDisplay_data();
    void withoutDisplay();
};

void TstCommandLine::withoutDisplay_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QStringList>("expected");
    const QStringList every{"--port NAME", "--baud RATE", "--connect", "--source URL", "--debug",
                            "--analyze LOG", "--compare REFERENCE_LOG", "--reference", "--out DIR",
                            "--format LIST", "--help", "--version", "Window", "Headless analysis"};
    QTest::newRow("--help lists every option, grouped") << "--help" << every;
    QTest::newRow("-h is --help") << "-h" << every;
    QTest::newRow("--help wins over --analyze") << "--analyze" << QStringList{"--analyze LOG"};
    QTest::newRow("--version is the build's")
        << "--version" << QStringList{QStringLiteral("skyloupe " SKYLOUPE_PROJECT_VERSION "\n")};
}

void TstCommandLine::withoutDisplay()
{
    QFETCH(QString, argument);
    QFETCH(QStringList, expected);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    QProcess program;
    program.setProcessEnvironment(environment);
    QStringList arguments{argument};
    if (argument == QLatin1String("--analyze"))
        arguments << QStringLiteral("x.nma") << QStringLiteral("--help");
    program.start(QStringLiteral(SKYLOUPE_BUILD_DIR "/skyloupe"), arguments);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
    for (const QString &text : expected)
        QVERIFY2(out.contains(text), qPrintable(text + QStringLiteral(" missing from:\n") + out));
}

QTEST_GUILESS_MAIN(TstCommandLine)
#include "tst_commandline.moc"
