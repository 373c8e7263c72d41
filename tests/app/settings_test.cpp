#include "settings.h"

#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "corvaneapp.h"

namespace corvane {

class SettingsTest : public QObject {
    Q_OBJECT

private:
    QString iniPath() const { return m_dir.filePath(QStringLiteral("corvane.ini")); }
    QTemporaryDir m_dir;

private slots:
    void init() { QFile::remove(iniPath()); }

    void defaultsWhenNothingIsStored() {
        CorvaneSettings settings(iniPath());
        QCOMPARE(settings.splitRatio(), 30);
        QCOMPARE(settings.projectLimitText(), QStringLiteral("2.0"));
        QCOMPARE(settings.projectLimit(), 2.0);
        QCOMPARE(settings.exportFileFilter(), 1);
        QCOMPARE(settings.applicationLook(), 214);
        QVERIFY(settings.recentFiles().isEmpty());
        // Reading writes nothing.
        settings.sync();
        QVERIFY(settings.store().allKeys().isEmpty());
    }

    void theUsersStoreBelongsToQuennellCorvane() {
        CCorvaneApp::setIdentity();
        CorvaneSettings settings;
        QCOMPARE(settings.store().organizationName(), QStringLiteral("Quennell"));
        QCOMPARE(settings.store().applicationName(), QStringLiteral("Corvane"));
    }

    void valuesAreStoredUnderTheirSectionsWithTheirTypes() {
        {
            CorvaneSettings settings(iniPath());
            settings.setSplitRatio(55);
            settings.setProjectLimit(2.5);
            settings.setExportFileFilter(3);
            settings.setApplicationLook(216);
        }
        QSettings raw(iniPath(), QSettings::IniFormat);
        QCOMPARE(raw.value(QStringLiteral("Divide/Scale")).toInt(), 55);
        QCOMPARE(raw.value(QStringLiteral("PointProject/Limit")).toString(),
                 QStringLiteral("2.500"));
        QCOMPARE(raw.value(QStringLiteral("Export/FileFilter")).toInt(), 3);
        QCOMPARE(raw.value(QStringLiteral("Workspace/ApplicationLook")).toInt(), 216);

        CorvaneSettings again(iniPath());
        QCOMPARE(again.splitRatio(), 55);
        QCOMPARE(again.projectLimit(), 2.5);
        QCOMPARE(again.exportFileFilter(), 3);
        QCOMPARE(again.applicationLook(), 216);
    }

    void projectLimitKeepsThreeDecimals_data() {
        QTest::addColumn<double>("limit");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<double>("readBack");
        QTest::newRow("2.5") << 2.5 << QStringLiteral("2.500") << 2.5;
        QTest::newRow("rounded") << 1.23456 << QStringLiteral("1.235") << 1.235;
        QTest::newRow("too small") << 0.0004 << QStringLiteral("0.000") << 0.0;
        QTest::newRow("negative") << -1.0 << QStringLiteral("-1.000") << -1.0;
        QTest::newRow("no minus zero") << -0.0001 << QStringLiteral("0.000") << 0.0;
    }
    void projectLimitKeepsThreeDecimals() {
        QFETCH(double, limit);
        QFETCH(QString, stored);
        QFETCH(double, readBack);
        CorvaneSettings settings(iniPath());
        settings.setProjectLimit(limit);
        QCOMPARE(settings.projectLimitText(), stored);
        QCOMPARE(settings.projectLimit(), readBack);
    }

    void unreadableOrOutOfRangeValuesReadAsUsable_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("split");
        QTest::addColumn<double>("limit");
        QTest::addColumn<int>("filter");
        QTest::addColumn<int>("look");
        QTest::newRow("split text")
            << QStringLiteral("Divide/Scale") << QStringLiteral("abc") << 30 << 2.0 << 1 << 214;
        QTest::newRow("split too large")
            << QStringLiteral("Divide/Scale") << QStringLiteral("250") << 100 << 2.0 << 1 << 214;
        QTest::newRow("split negative")
            << QStringLiteral("Divide/Scale") << QStringLiteral("-5") << 0 << 2.0 << 1 << 214;
        QTest::newRow("limit leniently") << QStringLiteral("PointProject/Limit")
                                         << QStringLiteral(" 3.5 m") << 30 << 3.5 << 1 << 214;
        QTest::newRow("limit not a number")
            << QStringLiteral("PointProject/Limit") << QStringLiteral("x") << 30 << 0.0 << 1 << 214;
        QTest::newRow("filter 10")
            << QStringLiteral("Export/FileFilter") << QStringLiteral("10") << 30 << 2.0 << 1 << 214;
        QTest::newRow("filter 9") << QStringLiteral("Export/FileFilter") << QStringLiteral("9")
                                  << 30 << 2.0 << 9 << 214;
        QTest::newRow("filter 4") << QStringLiteral("Export/FileFilter") << QStringLiteral("4")
                                  << 30 << 2.0 << 4 << 214;
        // An unknown look is kept: the window shows no radio mark for it.
        QTest::newRow("look 300") << QStringLiteral("Workspace/ApplicationLook")
                                  << QStringLiteral("300") << 30 << 2.0 << 1 << 300;
        QTest::newRow("look text") << QStringLiteral("Workspace/ApplicationLook")
                                   << QStringLiteral("blue") << 30 << 2.0 << 1 << 214;
    }
    void unreadableOrOutOfRangeValuesReadAsUsable() {
        QFETCH(QString, key);
        QFETCH(QString, text);
        {
            QSettings raw(iniPath(), QSettings::IniFormat);
            raw.setValue(key, text);
        }
        CorvaneSettings settings(iniPath());
        QTEST(settings.splitRatio(), "split");
        QTEST(settings.projectLimit(), "limit");
        QTEST(settings.exportFileFilter(), "filter");
        QTEST(settings.applicationLook(), "look");
    }

    void recoveryDelayIsSecondsWithinBounds_data() {
        QTest::addColumn<QString>("stored");  // empty: nothing stored
        QTest::addColumn<int>("delay");
        QTest::newRow("default") << QString() << 10;
        QTest::newRow("30") << QStringLiteral("30") << 30;
        QTest::newRow("zero") << QStringLiteral("0") << 1;
        QTest::newRow("a day") << QStringLiteral("86400") << 3600;
        QTest::newRow("text") << QStringLiteral("soon") << 10;
    }
    void recoveryDelayIsSecondsWithinBounds() {
        QFETCH(QString, stored);
        if (!stored.isEmpty()) {
            QSettings raw(iniPath(), QSettings::IniFormat);
            raw.setValue(QStringLiteral("Recovery/Delay"), stored);
        }
        CorvaneSettings settings(iniPath());
        QTEST(settings.recoveryDelay(), "delay");
    }

    // Qt's own buttons speak the program's language: scripts/setup installs them.
    void standardButtonsReadInChinese() {
        QVERIFY(CCorvaneApp::loadTranslations(*QCoreApplication::instance()));
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        QVERIFY2(box.button(QMessageBox::Yes)->text().contains(u'是'),
                 qPrintable(box.button(QMessageBox::Yes)->text()));
        QVERIFY(box.button(QMessageBox::No)->text().contains(u'否'));
    }

    void recentFilesKeepFourNewestFirst() {
        CorvaneSettings settings(iniPath());
        settings.setRecentFiles({QStringLiteral("/a.ept"), QStringLiteral("/b.ept")});
        QCOMPARE(settings.recentFiles(),
                 QStringList({QStringLiteral("/a.ept"), QStringLiteral("/b.ept")}));
        settings.setRecentFiles({QStringLiteral("/c.ept")});
        QCOMPARE(settings.recentFiles(), QStringList({QStringLiteral("/c.ept")}));
        settings.setRecentFiles({QStringLiteral("/1"), QStringLiteral("/2"), QStringLiteral("/3"),
                                 QStringLiteral("/4"), QStringLiteral("/5")});
        QCOMPARE(settings.recentFiles().size(), 4);
    }
};

}  // namespace corvane

QTEST_MAIN(corvane::SettingsTest)
#include "settings_test.moc"
