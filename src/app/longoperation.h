#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

class QWidget;

namespace corvane {

/// Runs `work` on a worker thread while the window keeps painting: the wait cursor at
/// once, and after about a second a busy indicator with `label` in the main window's
/// status bar. User input waits until the work is done, so the work may read the
/// point table as long as it does not change it.
void runLongOperation(QWidget* window, const QString& label, const std::function<void()>& work);

/// The same for work that returns a value.
template <class Work>
requires(!std::is_void_v<std::invoke_result_t<Work>>) auto runLongOperation(QWidget* window,
                                                                            const QString& label,
                                                                            Work work)
    -> decltype(work()) {
    std::optional<decltype(work())> result;
    runLongOperation(window, label, std::function<void()>([&] { result.emplace(work()); }));
    return std::move(*result);
}

/// True while a long operation runs; the window refuses to close meanwhile.
bool longOperationRunning();

/// The wait cursor for the life of the object, for work done on the user interface
/// thread (edits of the point table).
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace corvane
