// Reading a style sheet's text: the colour comments, the decoding of the
// file's bytes and the rules appended to every applied sheet.
#include "app/stylesheettext.h"

#include <QtTest>

Q_DECLARE_METATYPE(StyleColors)

class TestStyleSheetText : public QObject
{
    Q_OBJECT

private slots:
    void readColors_data();
    void readColors();
    void decode_data();
    void decode();
    void extraRules();
};

static StyleColors colours(const QString &text, const QString &panel, const QString &border,
                           const QString &normalStart, const QString &normalEnd,
                           const QString &darkStart, const QString &darkEnd, const QString &high)
{
    return StyleColors{text, panel, border, normalStart, normalEnd, darkStart, darkEnd, high};
}

static StyleColors allOf(const QString &value)
{
    return colours(value, value, value, value, value, value, value, value);
}

void TestStyleSheetText::readColors_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<StyleColors>("previous");
    QTest::addColumn<StyleColors>("expected");

    const QString closing = QStringLiteral(
        "QWidget{color:#151515;}\r\n"
        "/*TextColor:#E7ECF0*/\r\n/*PanelColor:#CFD5EA*/\r\n/*BorderColor:#58BC4A*/\r\n"
        "/*NormalColorStart:#BFFF09*/\r\n/*NormalColorEnd:#566373*/\r\n"
        "/*DarkColorStart:#778899*/\r\n/*DarkColorEnd:#708090*/\r\n/*HighColor:#00BB9E*/\r\n");
    QTest::newRow("eight closing comments")
        << closing << allOf(QStringLiteral("#151515"))
        << colours("#E7ECF0", "#CFD5EA", "#58BC4A", "#BFFF09", "#566373", "#778899", "#708090", "#00BB9E");

    QTest::newRow("first occurrence wins")
        << QStringLiteral("/*TextColor:#111111*/ /*TextColor:#222222*/ /*HighColor:#ABCDEF*/ /*HighColor:#000000*/")
        << allOf(QStringLiteral("#151515"))
        << colours("#111111", "#151515", "#151515", "#151515", "#151515", "#151515", "#151515", "#ABCDEF");

    QTest::newRow("key at the very end yields a shorter value")
        << QStringLiteral("/*TextColor:#E7ECF0*/\nHighColor:#0B")
        << allOf(QStringLiteral("#151515"))
        << colours("#E7ECF0", "#151515", "#151515", "#151515", "#151515", "#151515", "#151515", "#0B");

    QTest::newRow("key with nothing after it yields an empty value")
        << QStringLiteral("PanelColor:")
        << allOf(QStringLiteral("#151515"))
        << colours("#151515", "", "#151515", "#151515", "#151515", "#151515", "#151515", "#151515");

    QTest::newRow("missing keys keep the previous values")
        << QStringLiteral("/*BorderColor:#58BC4A*/")
        << colours("#000001", "#000002", "#000003", "#000004", "#000005", "#000006", "#000007", "#000008")
        << colours("#000001", "#000002", "#58BC4A", "#000004", "#000005", "#000006", "#000007", "#000008");

    QTest::newRow("keys are case-sensitive")
        << QStringLiteral("/*textcolor:#FFFFFF*/ /*PANELCOLOR:#FFFFFF*/")
        << allOf(QStringLiteral("#151515")) << allOf(QStringLiteral("#151515"));

    QTest::newRow("malformed value taken as it stands")
        << QStringLiteral("TextColor: red;}\r\n")
        << allOf(QStringLiteral("#151515"))
        << colours(" red;}\r", "#151515", "#151515", "#151515", "#151515", "#151515", "#151515", "#151515");

    // "DarkColorStart:" must not be found inside a longer word, and
    // "NormalColorEnd:" must not match "NormalColorStart:".
    QTest::newRow("similar keys kept apart")
        << QStringLiteral("NormalColorStart:#AAAAAA NormalColorEnd:#BBBBBB DarkColorEnd:#CCCCCC")
        << allOf(QStringLiteral("#151515"))
        << colours("#151515", "#151515", "#151515", "#AAAAAA", "#BBBBBB", "#151515", "#CCCCCC", "#151515");

    QTest::newRow("empty sheet changes nothing")
        << QString() << allOf(QStringLiteral("#123456")) << allOf(QStringLiteral("#123456"));
}

void TestStyleSheetText::readColors()
{
    QFETCH(QString, sheet);
    QFETCH(StyleColors, previous);
    QFETCH(StyleColors, expected);

    const StyleColors got = readStyleColors(sheet, previous);
    QCOMPARE(got.text, expected.text);
    QCOMPARE(got.panel, expected.panel);
    QCOMPARE(got.border, expected.border);
    QCOMPARE(got.normalStart, expected.normalStart);
    QCOMPARE(got.normalEnd, expected.normalEnd);
    QCOMPARE(got.darkStart, expected.darkStart);
    QCOMPARE(got.darkEnd, expected.darkEnd);
    QCOMPARE(got.high, expected.high);
}

void TestStyleSheetText::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain text with CRLF kept")
        << QByteArray("QWidget{}\r\n/*TextColor:#E7ECF0*/\r\n")
        << QStringLiteral("QWidget{}\r\n/*TextColor:#E7ECF0*/\r\n");
    QTest::newRow("cut at the first NUL byte")
        << QByteArray("QLabel{}\0/*TextColor:#000000*/", 30) << QStringLiteral("QLabel{}");
    QTest::newRow("bytes above 0x7F read as Latin-1")
        << QByteArray("/* \xE9\xFC */") << QString::fromUtf8("/* \xC3\xA9\xC3\xBC */");
    QTest::newRow("empty file") << QByteArray() << QString();
}

void TestStyleSheetText::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(decodeStyleSheet(bytes), expected);
}

void TestStyleSheetText::extraRules()
{
    const StyleColors light =
        colours("#E7ECF0", "#CFD5EA", "#58BC4A", "#BFFF09", "#566373", "#778899", "#708090", "#00BB9E");
    const QString expected = QStringLiteral(
        "QMenuBar{border-left-width:0px;}"
        "QTreeWidget{border-top-width:0px;border-bottom-width:0px;padding-top:3px;}"
        "QTableWidget{border-width:0px;}"
        "#labLogo{background-color:#BFFF09;}"
        "#widget3D{background-color:#BFFF09;}"
        "NavTitle{qproperty-text:\"\";qproperty-leftIcon:0;qproperty-bgColor:#58BC4A;"
        "qproperty-textColor:#E7ECF0;qproperty-iconNormalColor:#E7ECF0;"
        "qproperty-iconHoverColor:#E7ECF0;qproperty-iconPressColor:#E7ECF0;}");
    QCOMPARE(styleExtraRules(light), expected);
}

QTEST_APPLESS_MAIN(TestStyleSheetText)
#include "test_stylesheettext.moc"
