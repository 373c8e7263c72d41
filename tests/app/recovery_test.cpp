// The recovery copy through the real main window: an editor killed with SIGKILL leaves
// a copy that the next start offers and restores exactly; a clean exit leaves none;
// two running editors keep a copy each and never take each other's; a copy that
// cannot be read is reported and kept aside.
//
// The editor that is killed is this test program run again with "--editor": it
// imports a file, makes the edits below, waits for its copy and says "ready".

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <memory>

#include "columns.h"
#include "corvanedoc.h"
#include "exportformat.h"
#include "mainframe.h"
#include "pathtext.h"
#include "pointfilereader.h"
#include "pointtable.h"
#include "qtsupport.h"
#include "recoverykeeper.h"
#include "rowbuilder.h"
#include "settings.h"
#include "tablestate.h"
#include "vocabularies.h"

namespace corvane {
namespace {

using test::rowOf;

// A point file of four rows and a title line.
void writeSurvey(const QString& file) {
    PointTable source;
    source.replaceAll({rowOf({.name = "J1", .north = "0", .east = "0", .type = kJStake}),
                       rowOf({.name = "P1", .north = "5", .east = "1"}),
                       rowOf({.name = "P2", .north = "6", .east = "2"}),
                       rowOf({.name = "J2", .north = "10", .east = "0", .type = kJStake})},
                      {"标题行"});
    if (!exportTable(source, ExportType::Ept, localPath(file)))
        qFatal("cannot write the survey");
}

// Edits of every kind the copy must keep: a cell, a check mark, the line point list,
// a row inserted, a row removed, and a cell text an ".ept" line could not carry.
void edit(PointTable& table, const QString& tag) {
    table.setText(1, ColRemark, tag.toStdString());
    table.setText(2, ColOldName, " 逗号,空格 ");
    table.insertRow(2, rowOf({.name = "新点", .north = "7"}), true);
    table.removeRows({4});
    table.setLinePoints({"J1", "J2"});
    table.setChecked(0, true);
}

QStringList copiesIn(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.cvr")}, QDir::Files, QDir::Name);
}

// The editor run as a child: imports `file`, edits, writes its copy, says "ready".
int runEditor(int argc, char** argv) {
    QApplication app(argc, argv);
    // From Qt's reading of the command line: on Windows argv is in the ANSI code page.
    const QStringList args = QCoreApplication::arguments();
    QTemporaryDir settingsDir;
    CorvaneSettings settings(settingsDir.filePath(QStringLiteral("s.ini")));
    CMainFrame frame(settings);
    frame.startRecovery(args.at(2));
    if (!frame.recovery() || !frame.document()->importFile(args.at(3), PointFileFormat::Ept))
        return 1;
    QObject::connect(frame.recovery(), &RecoveryKeeper::writeDone, [](bool ok) {
        std::printf(ok ? "ready\n" : "failed\n");
        std::fflush(stdout);
    });
    edit(frame.table(), args.at(4));
    frame.recovery()->writeNow();
    return QApplication::exec();
}

}  // namespace

class RecoveryTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_folder;
    std::unique_ptr<CorvaneSettings> m_settings;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    std::unique_ptr<CMainFrame> newFrame() {
        auto frame = std::make_unique<CMainFrame>(*m_settings);
        frame->show();
        return frame;
    }

    // The table the editor child ends with.
    std::string expectedState(const QString& file, const QString& tag) {
        Result<ImportedPoints> read = readPointFile(localPath(file), PointFileFormat::Ept);
        PointTable table;
        table.replaceAll(std::move(read->rows), std::move(read->otherLines), file.toStdString());
        edit(table, tag);
        return test::fullState(table);
    }

    // An editor child with its copy written; killed by the caller.
    std::unique_ptr<QProcess> startEditor(const QString& file, const QString& tag) {
        auto child = std::make_unique<QProcess>();
        child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child->start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--editor"), m_folder, file, tag});
        if (!child->waitForStarted())
            return nullptr;
        while (!child->canReadLine() && child->state() == QProcess::Running)
            child->waitForReadyRead(10000);
        if (child->readLine().trimmed() != "ready")
            return nullptr;
        return child;
    }

    static void crash(QProcess& child) {
        child.kill();  // SIGKILL, or TerminateProcess on Windows: no clean-up runs
        child.waitForFinished();
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_settings = std::make_unique<CorvaneSettings>(path(QStringLiteral("settings.ini")));
        m_settings->setRecoveryDelay(1);
    }

    void init() {
        m_folder =
            path(QStringLiteral("recovery-%1").arg(QLatin1String(QTest::currentTestFunction())));
        QDir(m_folder).removeRecursively();
    }

    void aCrashedEditorsTableIsRestoredExactly() {
        const QString file = path(QStringLiteral("线路.ept"));
        writeSurvey(file);
        std::unique_ptr<QProcess> child = startEditor(file, QStringLiteral("改过"));
        QVERIFY(child);
        crash(*child);
        QCOMPARE(copiesIn(m_folder).size(), 1);

        test::MessageBoxAnswerer answers({QMessageBox::Yes});
        auto frame = newFrame();
        frame->startRecovery(m_folder);
        QTRY_COMPARE(answers.seen().size(), size_t{1});
        const auto& asked = answers.seen().front();
        QVERIFY(asked.details.contains(QDir::toNativeSeparators(file)));
        QVERIFY(asked.details.contains(QStringLiteral("保存时间：")));
        QCOMPARE(asked.defaultButton, QMessageBox::Yes);

        PointTable& table = frame->table();
        QCOMPARE(test::fullState(table), expectedState(file, QStringLiteral("改过")));
        QCOMPARE(table.otherLines(), TextLines({"标题行"}));
        QVERIFY(frame->windowTitle().contains(QDir::toNativeSeparators(file)));
        QVERIFY(table.isModified());
        QVERIFY(!table.canUndo());
        // The copy is now this editor's, until the table is exported.
        QCOMPARE(copiesIn(m_folder),
                 QStringList{QFileInfo(frame->recovery()->copyPath()).fileName()});

        answers.expect(QMessageBox::Ok);
        QVERIFY(frame->document()->exportFile(path(QStringLiteral("out.ept")), ExportType::Ept));
        QTRY_VERIFY(copiesIn(m_folder).isEmpty());
    }

    void aCopyKeptForLaterIsAskedAboutAgainAndCanBeDiscarded() {
        const QString file = path(QStringLiteral("later.ept"));
        writeSurvey(file);
        std::unique_ptr<QProcess> child = startEditor(file, QStringLiteral("a"));
        QVERIFY(child);
        crash(*child);
        const QStringList left = copiesIn(m_folder);

        for (QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Discard}) {
            test::MessageBoxAnswerer answers({answer});
            auto frame = newFrame();
            frame->startRecovery(m_folder);
            QTRY_COMPARE(answers.seen().size(), size_t{1});
            QCOMPARE(frame->table().fullRowCount(), 0);
            QVERIFY(!frame->table().isModified());
            if (answer == QMessageBox::No)
                QCOMPARE(copiesIn(m_folder), left);
            else
                QVERIFY(copiesIn(m_folder).isEmpty());
        }
    }

    void aCleanExitLeavesNoCopy() {
        const QString file = path(QStringLiteral("clean.ept"));
        writeSurvey(file);
        auto frame = newFrame();
        frame->startRecovery(m_folder);
        QVERIFY(frame->document()->importFile(file, PointFileFormat::Ept));
        edit(frame->table(), QStringLiteral("x"));
        // Written by itself once the changes stop (the delay is a second here).
        QTRY_COMPARE_WITH_TIMEOUT(copiesIn(m_folder).size(), 1, 5000);

        test::MessageBoxAnswerer answers({QMessageBox::Yes});  // give the changes up
        QVERIFY(frame->close());
        frame.reset();
        QVERIFY(copiesIn(m_folder).isEmpty());
        QCOMPARE(QDir(m_folder).entryList(QDir::Files), QStringList());
    }

    void nothingLeftToExportRemovesTheCopy() {
        const QString file = path(QStringLiteral("undo.ept"));
        writeSurvey(file);
        auto frame = newFrame();
        frame->startRecovery(m_folder);
        QVERIFY(frame->document()->importFile(file, PointFileFormat::Ept));
        PointTable& table = frame->table();
        const auto written = [&] {
            QSignalSpy done(frame->recovery(), &RecoveryKeeper::writeDone);
            frame->recovery()->writeNow();
            return done.wait(5000) && copiesIn(m_folder).size() == 1;
        };
        table.setText(0, ColRemark, "r");
        QVERIFY(written());
        table.undo();  // back to the file as imported
        QVERIFY(copiesIn(m_folder).isEmpty());

        table.setText(0, ColRemark, "r");
        QVERIFY(written());
        test::MessageBoxAnswerer answers({QMessageBox::Yes});
        frame->OnFileNew();
        QVERIFY(copiesIn(m_folder).isEmpty());

        table.replaceAll({rowOf({.name = "A"})}, {});
        QVERIFY(written());
        QVERIFY(frame->document()->importFile(file, PointFileFormat::Ept));
        QVERIFY(copiesIn(m_folder).isEmpty());
    }

    void twoEditorsKeepTheirOwnCopies() {
        const QString fileA = path(QStringLiteral("a.ept"));
        const QString fileB = path(QStringLiteral("b.ept"));
        writeSurvey(fileA);
        writeSurvey(fileB);
        std::unique_ptr<QProcess> childA = startEditor(fileA, QStringLiteral("A"));
        QVERIFY(childA);
        const QString copyA = QDir(m_folder).filePath(copiesIn(m_folder).value(0));
        QFile a(copyA);
        QVERIFY(a.open(QIODevice::ReadOnly));
        const QByteArray bytesA = a.readAll();
        a.close();

        // A second editor while the first runs: nothing to ask about, a copy of its own.
        test::MessageBoxAnswerer answers;
        auto frameB = newFrame();
        frameB->startRecovery(m_folder);
        QVERIFY(frameB->document()->importFile(fileB, PointFileFormat::Ept));
        edit(frameB->table(), QStringLiteral("B"));
        QSignalSpy done(frameB->recovery(), &RecoveryKeeper::writeDone);
        frameB->recovery()->writeNow();
        QVERIFY(done.wait(5000));
        QCOMPARE(copiesIn(m_folder).size(), 2);
        QVERIFY(answers.seen().empty());
        QVERIFY(a.open(QIODevice::ReadOnly));
        QCOMPARE(a.readAll(), bytesA);
        a.close();

        // The first one crashes: a third editor is offered its copy only.
        crash(*childA);
        answers.expect(QMessageBox::No);
        auto frameC = newFrame();
        frameC->startRecovery(m_folder);
        QTRY_COMPARE(answers.seen().size(), size_t{1});
        QVERIFY(answers.seen().front().details.contains(QDir::toNativeSeparators(fileA)));
        QCOMPARE(copiesIn(m_folder).size(), 2);

        // The second one ends cleanly: the first one's copy stays.
        frameB.reset();
        QCOMPARE(copiesIn(m_folder), QStringList{QFileInfo(copyA).fileName()});
    }

    void anUnreadableCopyIsReportedAndKeptAside() {
        QVERIFY(QDir().mkpath(m_folder));
        const QString damaged = QDir(m_folder).filePath(QStringLiteral("corvane-1-0000abcd.cvr"));
        QFile out(damaged);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("CVRECOV\x1a cut short");
        out.close();

        test::MessageBoxAnswerer answers;
        auto frame = newFrame();
        frame->startRecovery(m_folder);
        QTRY_COMPARE(answers.seen().size(), size_t{1});
        const auto& said = answers.seen().front();
        QCOMPARE(said.icon, QMessageBox::Critical);
        QVERIFY(said.text.contains(QStringLiteral("无法读取")));
        const QString aside =
            QDir(m_folder).filePath(QStringLiteral("damaged/corvane-1-0000abcd.cvr"));
        QVERIFY(said.details.contains(QDir::toNativeSeparators(aside)));
        QVERIFY(!QFile::exists(damaged));
        QFile kept(aside);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("CVRECOV\x1a cut short"));
        QCOMPARE(frame->table().fullRowCount(), 0);
    }

    // Changes that never pause long enough are still copied, at the longest delay.
    void changesThatKeepComingAreCopiedAtTheLongestDelay() {
        PointTable table;
        table.replaceAll({rowOf({.name = "A"})}, {});
        RecoveryKeeper keeper(table, 1);
        keeper.setDelays(std::chrono::milliseconds(400), std::chrono::milliseconds(1000));
        QVERIFY(keeper.start(m_folder));
        QSignalSpy done(&keeper, &RecoveryKeeper::writeDone);
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; done.isEmpty() && clock.elapsed() < 10000; ++i) {
            table.setText(0, ColRemark, std::to_string(i));
            QTest::qWait(50);
        }
        QVERIFY(!done.isEmpty());
        QVERIFY(done.first().at(0).toBool());
        QVERIFY2(clock.elapsed() >= 1000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(copiesIn(m_folder).size(), 1);
    }

    void aFailedWriteIsSaidOnce() {
        const QString file = path(QStringLiteral("fail.ept"));
        writeSurvey(file);
        auto frame = newFrame();
        frame->startRecovery(m_folder);
        QVERIFY(frame->document()->importFile(file, PointFileFormat::Ept));
        // A folder where the copy would go: every write fails.
        QVERIFY(QDir().mkpath(frame->recovery()->copyPath()));
        frame->table().setText(0, ColRemark, "r");
        QSignalSpy done(frame->recovery(), &RecoveryKeeper::writeDone);
        frame->recovery()->writeNow();
        QVERIFY(done.wait(5000));
        QCOMPARE(done.takeFirst().at(0).toBool(), false);
        QVERIFY(frame->statusBar()->currentMessage().contains(QStringLiteral("恢复副本未能写入")));

        frame->statusBar()->showMessage(QStringLiteral("别的消息"));
        frame->recovery()->writeNow();
        QVERIFY(done.wait(5000));
        QCOMPARE(frame->statusBar()->currentMessage(), QStringLiteral("别的消息"));
        QDir(frame->recovery()->copyPath()).removeRecursively();
    }
};

}  // namespace corvane

int main(int argc, char** argv) {
    if (argc == 5 && qstrcmp(argv[1], "--editor") == 0)
        return corvane::runEditor(argc, argv);
    QApplication app(argc, argv);
    corvane::RecoveryTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "recovery_test.moc"
