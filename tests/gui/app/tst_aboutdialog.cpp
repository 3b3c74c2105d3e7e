#include "gui/app/aboutdialog.h"
#include "gui/windowdriver.h"

#include <QPushButton>
#include <QTest>

using lv::gui::AboutDialog;

class TestAboutDialog : public QObject
{
    Q_OBJECT

private slots:
    // The program version major.minor.0.revision shows as major.minor.revision; OK, Enter and
    // Escape close the box.
    void versionAndClosing_data()
    {
        QTest::addColumn<QString>("programVersion");
        QTest::addColumn<QString>("versionLine");
        QTest::addColumn<int>("key"); // 0: click OK
        QTest::newRow("1.2.0.4, OK") << "1.2.0.4" << u"Version 1.2.4"_qs << 0;
        QTest::newRow("third number dropped, Enter")
            << "3.14.7.250" << u"Version 3.14.250"_qs << int(Qt::Key_Return);
        QTest::newRow("no revision, Escape") << "2.1" << u"Version 2.1.0"_qs << int(Qt::Key_Escape);
    }

    void versionAndClosing()
    {
        QFETCH(QString, programVersion);
        QFETCH(QString, versionLine);
        QFETCH(int, key);
        AboutDialog about(programVersion);
        QCOMPARE(about.windowTitle(), QStringLiteral("Om Luftvaka"));
        QCOMPARE(named<QLabel>(about, "titleLabel")->text(), QStringLiteral("Luftvaka"));
        QCOMPARE(named<QLabel>(about, "versionLabel")->text(), versionLine);
        QVERIFY(!named<QLabel>(about, "iconLabel")->pixmap().isNull());
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        if (key == 0)
            named<QPushButton>(about, "okButton")->click();
        else
            QTest::keyClick(&about, Qt::Key(key));
        QVERIFY(!about.isVisible());
    }
};

QTEST_MAIN(TestAboutDialog)
#include "tst_aboutdialog.moc"
