#include "filemeragedlg.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "qtsupport.h"

namespace corvane {

class FileMerageDlgTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    test::FakeFileDialogs m_dialogs;

    QString path(const QString& name) const { return m_dir.filePath(name); }
    void write(const QString& name, const QByteArray& bytes) {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray read(const QString& name) {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void init() {
        m_dialogs = test::FakeFileDialogs();
        for (const char* name :
             {"first.ept", "second.ept", "merged.ept", "merged", "merged.EPT", "merged.EPT.ept"})
            QFile::remove(path(QString::fromLatin1(name)));
        write(QStringLiteral("first.ept"), "title,a\nP1,1,1,,,,,,,,,,,,,,\nP7,7,7,,,,,,,,,,,,,,\n");
        write(QStringLiteral("second.ept"),
              "title,a\ntitle,b\nP7,70,70,,,,,,,,,,,,,,\nP8,8,8,,,,,,,,,,,,,,\n");
    }

    void looksAsSpecified() {
        CFileMerageDlg dialog(m_dialogs);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("文件合并"));
        QCOMPARE(dialog.mergeButton()->text(), QStringLiteral("合并(&M)"));
        QVERIFY(dialog.mergeButton()->isDefault());
        QVERIFY(dialog.firstEdit()->text().isEmpty());
        QVERIFY(dialog.secondEdit()->text().isEmpty());
    }

    void browsingFillsOnlyItsOwnEdit() {
        CFileMerageDlg dialog(m_dialogs);
        dialog.secondEdit()->setText(QStringLiteral("typed.ept"));
        m_dialogs.answers.push_back(FileChoice{path(QStringLiteral("first.ept")), 1});
        dialog.OnBrowseFirst();
        QCOMPARE(dialog.firstEdit()->text(),
                 QDir::toNativeSeparators(path(QStringLiteral("first.ept"))));
        QCOMPARE(dialog.secondEdit()->text(), QStringLiteral("typed.ept"));
        QCOMPARE(m_dialogs.filtersAsked.value(0),
                 QStringList{QStringLiteral("电力线测量数据文件(*.ept)")});
        dialog.OnBrowseSecond();  // cancelled
        QCOMPARE(dialog.secondEdit()->text(), QStringLiteral("typed.ept"));
    }

    void mergesTwoFilesFirstFileWins() {
        CFileMerageDlg dialog(m_dialogs);
        dialog.firstEdit()->setText(path(QStringLiteral("first.ept")));
        dialog.secondEdit()->setText(path(QStringLiteral("second.ept")));
        m_dialogs.answers.push_back(FileChoice{path(QStringLiteral("merged")), 1});
        test::MessageBoxAnswerer boxes;
        dialog.OnMerge();
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("两个数据文件合并成果！")});
        QCOMPARE(boxes.seen().front().icon, QMessageBox::Information);
        // The details go on from the text; they do not say it again.
        QVERIFY(boxes.seen().front().details.startsWith(QStringLiteral("第一个文件写入 ")));
        QCOMPARE(read(QStringLiteral("merged.ept")),
                 QByteArray("title,a\r\ntitle,b\r\nP1,1,1,,,,,,,,,,,,,,\r\nP7,7,7,,,,,,,,,,,,,,\r\n"
                            "P8,8,8,,,,,,,,,,,,,,\r\n"));
        QVERIFY(!QFile::exists(path(QStringLiteral("merged"))));
    }

    void outputNames_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("exact") << QStringLiteral("merged.ept") << QStringLiteral("merged.ept")
                               << true << QMessageBox::Ok << true;
        QTest::newRow("appended, keep") << QStringLiteral("merged") << QStringLiteral("merged.ept")
                                        << true << QMessageBox::No << false;
        QTest::newRow("appended, replace")
            << QStringLiteral("merged") << QStringLiteral("merged.ept") << true << QMessageBox::Yes
            << true;
        QTest::newRow("capitals") << QStringLiteral("merged.EPT")
                                  << QStringLiteral("merged.EPT.ept") << false << QMessageBox::Ok
                                  << true;
    }
    void outputNames() {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QFETCH(bool, exists);
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(bool, replaced);
        if (exists)
            write(written, "old");
        CFileMerageDlg dialog(m_dialogs);
        dialog.firstEdit()->setText(path(QStringLiteral("first.ept")));
        dialog.secondEdit()->setText(path(QStringLiteral("second.ept")));
        m_dialogs.answers.push_back(FileChoice{path(typed), 1});
        test::MessageBoxAnswerer boxes({answer, QMessageBox::Ok});
        dialog.OnMerge();
        QCOMPARE(read(written).startsWith("title,a\r\ntitle,b\r\nP1,"), replaced);
        if (typed != written && !exists)
            QVERIFY(!QFile::exists(path(typed)));
        QCOMPARE(boxes.texts().contains(QStringLiteral("两个数据文件合并成果！")), replaced);
    }

    void anEmptyInputIsNamedBeforeAnythingIsAsked_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("named");
        QTest::newRow("first") << QString() << QStringLiteral("second.ept")
                               << QStringLiteral("第一个");
        QTest::newRow("second") << QStringLiteral("first.ept") << QStringLiteral("  ")
                                << QStringLiteral("第二个");
        QTest::newRow("both") << QString() << QString() << QStringLiteral("第一个");
    }
    void anEmptyInputIsNamedBeforeAnythingIsAsked() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, named);
        CFileMerageDlg dialog(m_dialogs);
        dialog.firstEdit()->setText(first.isEmpty() ? first : path(first));
        dialog.secondEdit()->setText(second.trimmed().isEmpty() ? second : path(second));
        test::MessageBoxAnswerer boxes;
        dialog.OnMerge();
        QCOMPARE(boxes.seen().size(), size_t(1));
        QCOMPARE(boxes.seen().front().icon, QMessageBox::Critical);
        QVERIFY2(boxes.seen().front().text.contains(named), qPrintable(boxes.seen().front().text));
        QVERIFY(m_dialogs.filtersAsked.isEmpty());  // no save dialog
    }

    void cancelDoesNothingAndAMissingInputIsReported() {
        CFileMerageDlg dialog(m_dialogs);
        dialog.firstEdit()->setText(path(QStringLiteral("missing.ept")));
        dialog.secondEdit()->setText(path(QStringLiteral("second.ept")));
        {
            test::MessageBoxAnswerer boxes;
            dialog.OnMerge();  // the save dialog is cancelled
            QVERIFY(boxes.seen().empty());
        }
        m_dialogs.answers.push_back(FileChoice{path(QStringLiteral("merged.ept")), 1});
        test::MessageBoxAnswerer boxes;
        dialog.OnMerge();
        QCOMPARE(boxes.seen().size(), size_t(1));
        QCOMPARE(boxes.seen().front().icon, QMessageBox::Critical);
        QVERIFY(boxes.seen().front().text.contains(QStringLiteral("missing.ept")));
        QVERIFY(!QFile::exists(path(QStringLiteral("merged.ept"))));
    }
};

}  // namespace corvane

QTEST_MAIN(corvane::FileMerageDlgTest)
#include "filemeragedlg_test.moc"
