#include "gui/app/frmabout.h"
#include "gui/windowdriver.h"

#include <QPushButton>
#include <QTest>

using lv::gui::FrmAbout;

class TestFrmAbout : public QObject
{
    Q_OBJECT

private slots:
    void texts_data();
    void texts();
    void okEnterAndEscapeClose_data();
    void okEnterAndEscapeClose();
};

void TestFrmAbout::texts_data()
{
    QTest::addColumn<QString>("programVersion");
    QTest::addColumn<QString>("versionLine");
    QTest::newRow("1.2.0.4") << "1.2.0.4"
                             << "Version 1.2.4";
    QTest::newRow("1.0.0.1") << "1.0.0.1"
                             << "Version 1.0.1";
    QTest::newRow("third number dropped") << "3.14.7.250"
                                          << "Version 3.14.250";
    QTest::newRow("no revision") << "2.1"
                                 << "Version 2.1.0";
}

void TestFrmAbout::texts()
{
    QFETCH(QString, programVersion);
    QFETCH(QString, versionLine);
    FrmAbout about(programVersion);
    QCOMPARE(about.objectName(), QStringLiteral("frmAbout"));
    QCOMPARE(about.windowTitle(), QStringLiteral("Om Luftvaka"));
    QCOMPARE(named<QLabel>(about, "lblTitle")->text(), QStringLiteral("Luftvaka"));
    QCOMPARE(named<QLabel>(about, "lblVersion")->text(), versionLine);
    QVERIFY(!named<QLabel>(about, "picIcon")->pixmap().isNull());
    QCOMPARE(named<QPushButton>(about, "cmdOK")->text(), QStringLiteral("OK"));
}

void TestFrmAbout::okEnterAndEscapeClose_data()
{
    QTest::addColumn<int>("key"); // 0: click OK
    QTest::newRow("OK") << 0;
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
}

void TestFrmAbout::okEnterAndEscapeClose()
{
    QFETCH(int, key);
    FrmAbout about(QStringLiteral("1.2.0.4"));
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    if (key == 0)
        named<QPushButton>(about, "cmdOK")->click();
    else
        QTest::keyClick(&about, Qt::Key(key));
    QVERIFY(!about.isVisible());
}

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
