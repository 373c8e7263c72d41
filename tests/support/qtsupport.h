#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "filedialogs.h"

namespace corvane::test {

/// Answers the message boxes that come up while it lives, in order, and keeps their
/// texts and icons so that tests can check what was asked.
class MessageBoxAnswerer : public QObject {
public:
    explicit MessageBoxAnswerer(std::vector<QMessageBox::StandardButton> answers = {})
        : m_answers(answers.begin(), answers.end()) {
        connect(&m_timer, &QTimer::timeout, this, &MessageBoxAnswerer::poll);
        m_timer.start(5);
    }

    void expect(QMessageBox::StandardButton answer) { m_answers.push_back(answer); }

    struct Seen {
        QString title;
        QString text;
        QString details;
        QMessageBox::Icon icon;
        QMessageBox::StandardButton defaultButton;
    };
    const std::vector<Seen>& seen() const { return m_seen; }
    QStringList texts() const {
        QStringList out;
        for (const Seen& s : m_seen)
            out.append(s.text);
        return out;
    }

private:
    void poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box == m_last)
            return;
        m_last = box;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        if (box->defaultButton())
            defaultButton = box->standardButton(box->defaultButton());
        m_seen.push_back(
            {box->windowTitle(), box->text(), box->informativeText(), box->icon(), defaultButton});
        QMessageBox::StandardButton answer = QMessageBox::Ok;
        if (!m_answers.empty()) {
            answer = m_answers.front();
            m_answers.pop_front();
        }
        QAbstractButton* button = box->button(answer);
        if (button)
            button->click();
        else
            box->reject();
    }

    QTimer m_timer;
    std::deque<QMessageBox::StandardButton> m_answers;
    std::vector<Seen> m_seen;
    QPointer<QMessageBox> m_last;
};

/// Closes the next modal dialog of type T that comes up, accepting or rejecting it,
/// after `prepare` has had a look at it.
template <class T>
class DialogCloser : public QObject {
public:
    DialogCloser(bool accept, std::function<void(T&)> prepare = {})
        : m_accept(accept), m_prepare(std::move(prepare)) {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            m_timer.stop();
            m_seen = true;
            if (m_prepare)
                m_prepare(*dialog);
            if (m_accept)
                dialog->accept();
            else
                dialog->reject();
        });
        m_timer.start(5);
    }
    bool seen() const { return m_seen; }

private:
    QTimer m_timer;
    bool m_accept;
    std::function<void(T&)> m_prepare;
    bool m_seen = false;
};

/// File dialogs that answer from a list and remember what they were asked.
class FakeFileDialogs : public FileDialogs {
public:
    std::deque<std::optional<FileChoice>> answers;
    QList<QStringList> filtersAsked;
    QList<int> initialFilters;

    std::optional<FileChoice> openFile(QWidget*, const QStringList& filters,
                                       int initialFilter) override {
        return next(filters, initialFilter);
    }
    std::optional<FileChoice> saveFile(QWidget*, const QStringList& filters,
                                       int initialFilter) override {
        return next(filters, initialFilter);
    }

private:
    std::optional<FileChoice> next(const QStringList& filters, int initialFilter) {
        filtersAsked.append(filters);
        initialFilters.append(initialFilter);
        if (answers.empty())
            return std::nullopt;
        // A dialog the test cancels is a nullopt in the queue.
        if (!answers.front()) {
            answers.pop_front();
            return std::nullopt;
        }
        FileChoice answer = std::move(*answers.front());
        answers.pop_front();
        return answer;
    }
};

}  // namespace corvane::test
