// The About dialog: fixed size, logo, texts, links and how it closes.
#include "app/about.h"

#include <QtTest>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>

class TestAbout : public QObject
{
    Q_OBJECT

public slots:
    void openUrl(const QUrl &url) { m_opened << url; }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void fixedSize();
    void form();
    void logo();
    void texts();
    void linksOpenExternally();
    void closing_data();
    void closing();

private:
    QList<QUrl> m_opened;
};

void TestAbout::initTestCase()
{
    Q_INIT_RESOURCE(resources);
    // Links "open in the browser" through this object instead.
    QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl");
    QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "openUrl");
}

void TestAbout::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
}

void TestAbout::fixedSize()
{
    about dialog;
    QCOMPARE(dialog.minimumSize(), QSize(500, 400));
    QCOMPARE(dialog.maximumSize(), QSize(500, 400));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.size(), QSize(500, 400));
    dialog.resize(800, 600);
    QCOMPARE(dialog.size(), QSize(500, 400));

    const Qt::WindowFlags flags = dialog.windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
}

void TestAbout::form()
{
    QWidget parent;
    about dialog(&parent);
    QCOMPARE(dialog.parentWidget(), &parent);
    QCOMPARE(QString::fromLatin1(dialog.metaObject()->className()), QStringLiteral("about"));
    QCOMPARE(dialog.objectName(), QStringLiteral("about"));
    QCOMPARE(dialog.styleSheet(), QStringLiteral("about{background-color:#FFFFFF}"));

    auto *group = dialog.findChild<QGroupBox *>(QStringLiteral("groupBox"));
    QVERIFY(group);
    QVERIFY(group->title().isEmpty());
    auto *buttons = dialog.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
    QVERIFY(buttons);
    QCOMPARE(buttons->standardButtons(), QDialogButtonBox::StandardButtons(QDialogButtonBox::Ok));
    QVERIFY(buttons->centerButtons());
    for (const char *name : {"label1", "label2", "label3"})
        QVERIFY2(dialog.findChild<QLabel *>(QLatin1String(name)), name);
}

void TestAbout::logo()
{
    about dialog;
    auto *label = dialog.findChild<QLabel *>(QStringLiteral("label1"));
    QVERIFY(label);
    const QPixmap shown = label->pixmap(Qt::ReturnByValue);
    QVERIFY(!shown.isNull());
    const QImage source(QStringLiteral(":/LOGO.png"));
    QVERIFY(!source.isNull());
    QVERIFY(source.width() != 192);   // so the scaling is really exercised
    QCOMPARE(shown.width(), 192);
    QCOMPARE(shown.height(), qRound(192.0 * source.height() / source.width()));
    QCOMPARE(label->alignment(), Qt::AlignCenter);
}

void TestAbout::texts()
{
    about dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("About Kestrela Skyloupe"));
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("label2"))->text(),
             QStringLiteral("<b><font size=4>  Kestrela Skyloupe</font></b><br>Version: 1.2<br>"));

    auto *links = dialog.findChild<QLabel *>(QStringLiteral("label3"));
    QVERIFY(links->openExternalLinks());
    const QString text = links->text();
    // One font element of size 5 holding three lines, then a line break.
    QVERIFY2(text.startsWith(QLatin1String("<font size=5>")), qPrintable(text));
    QVERIFY2(text.endsWith(QLatin1String("</font><br>")), qPrintable(text));
    const QString inner = text.mid(13, text.size() - 13 - 11);
    const QStringList lines = inner.split(QStringLiteral("<br>"));
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.at(0).startsWith(QLatin1String("Website: <a href=\"https://www.kestrela.example/")));
    QVERIFY(lines.at(1).startsWith(QLatin1String("Contact: <a href=\"https://support.kestrela.example")));
    QVERIFY(lines.at(2).contains(QLatin1String("Kestrela")));
    QVERIFY(!lines.at(2).contains(QLatin1String("<a ")));
    // Every address lies in a domain reserved for examples.
    const QRegularExpression href(QStringLiteral("href=\"([^\"]+)\""));
    QRegularExpressionMatchIterator it = href.globalMatch(text);
    int count = 0;
    while (it.hasNext()) {
        const QUrl url(it.next().captured(1));
        QVERIFY2(url.host().endsWith(QLatin1String(".example")), qPrintable(url.toString()));
        ++count;
    }
    QCOMPARE(count, 2);
}

void TestAbout::linksOpenExternally()
{
    about dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *links = dialog.findChild<QLabel *>(QStringLiteral("label3"));

    // Click across the whole label; only the two links react.
    m_opened.clear();
    for (int y = 2; y < links->height(); y += 4) {
        for (int x = 2; x < links->width(); x += 8)
            QTest::mouseClick(links, Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
    }
    const QSet<QUrl> opened(m_opened.begin(), m_opened.end());
    const QSet<QUrl> expected{QUrl(QStringLiteral("https://www.kestrela.example/skyloupe")),
                              QUrl(QStringLiteral("https://support.kestrela.example"))};
    QCOMPARE(opened, expected);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), 0);
}

void TestAbout::closing_data()
{
    QTest::addColumn<int>("how");   // 0: OK button, 1: Escape
    QTest::addColumn<int>("result");
    QTest::newRow("OK accepts") << 0 << int(QDialog::Accepted);
    QTest::newRow("Escape rejects") << 1 << int(QDialog::Rejected);
}

void TestAbout::closing()
{
    QFETCH(int, how);
    QFETCH(int, result);

    about dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    if (how == 0) {
        auto *buttons = dialog.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
        QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    } else {
        QTest::keyClick(&dialog, Qt::Key_Escape);
    }
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), result);
}

QTEST_MAIN(TestAbout)
#include "test_about.moc"
