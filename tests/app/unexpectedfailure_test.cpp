// An exception that a command lets through reaches the application's last stop: an
// error message, the table as it was before the command, and the program still running.

#include <QEvent>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "corvaneapp.h"
#include "longoperation.h"
#include "pointtable.h"
#include "qtsupport.h"
#include "rowbuilder.h"

namespace corvane {
namespace {

// Runs its action when it receives a user event.
class Receiver : public QObject {
public:
    std::function<void()> action;

    bool event(QEvent* e) override {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        action();
        return true;
    }
};

std::string tableText(const PointTable& table) {
    std::string text;
    for (int r = 0; r < table.rowCount(); ++r)
        text += table.rowAt(r).joined(',') + (table.isChecked(r) ? "+\n" : "\n");
    return text;
}

}  // namespace

class UnexpectedFailureTest : public QObject {
    Q_OBJECT

private slots:
    void anExceptionBecomesAMessageAndTheTableStays() {
        PointTable table;
        std::vector<Row> rows;
        for (const char* name : {"A", "B", "C"})
            rows.push_back(test::rowOf({.name = name, .type = ""}));
        table.replaceAll(std::move(rows), {"标题"});
        table.clearHistory();
        const std::string before = tableText(table);

        // A command that changes the table and then fails, in several ways.
        auto failingCommand = [&table](const std::function<void()>& fail) {
            return [&table, fail] {
                PointTable::Command command(table, "计算");
                table.setText(0, ColRemark, "changed");
                table.setChecked(1, true);
                table.removeRows({2});
                fail();
            };
        };
        const struct Case {
            const char* name;
            std::function<void()> fail;
            QString message;
        } cases[] = {
            {"out of memory", [] { throw std::bad_alloc(); }, QStringLiteral("内存不足")},
            {"an exception of the work of a long operation",
             [] {
                 runLongOperation(nullptr, QStringLiteral("正在计算……"), std::function<void()>([] {
                                      throw std::runtime_error("worker failed");
                                  }));
             },
             QStringLiteral("操作因意外的错误而中止（worker failed）")},
            {"anything thrown", [] { throw 42; }, QStringLiteral("操作因意外的错误而中止")},
        };
        for (const Case& c : cases) {
            test::MessageBoxAnswerer answerer;
            Receiver receiver;
            receiver.action = failingCommand(c.fail);
            // Delivered by the event loop, as a click or a timer would be.
            QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
            QTRY_COMPARE_WITH_TIMEOUT(answerer.seen().size(), size_t{1}, 5000);
            const auto& seen = answerer.seen().front();
            QVERIFY2(seen.text.contains(c.message),
                     qPrintable(QString::fromUtf8(c.name) + QStringLiteral("：") + seen.text));
            QVERIFY(seen.text.contains(QStringLiteral("表格保持操作前的样子")));
            QCOMPARE(seen.icon, QMessageBox::Critical);
            QCOMPARE(tableText(table), before);
            QVERIFY(!table.canUndo());
        }
        // The program goes on: events are delivered as before.
        bool delivered = false;
        QTimer::singleShot(0, this, [&] { delivered = true; });
        QTRY_VERIFY(delivered);
    }
};

}  // namespace corvane

int main(int argc, char** argv) {
    corvane::CCorvaneApp app(argc, argv);
    corvane::UnexpectedFailureTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "unexpectedfailure_test.moc"
