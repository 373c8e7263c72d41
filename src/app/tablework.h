#pragma once

#include <QString>

#include <cstddef>
#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

class QWidget;

namespace corvane {

class PointTable;

/// Runs an edit of the point table. A large one (touching `extent` rows or cells, at
/// least `tableWorkThreshold()`) runs on a worker thread so that the window keeps
/// painting and shows `label` with a busy indicator: meanwhile the views of the table
/// show the picture they last drew and the table's listeners are held; then they hear
/// of the change at once and build what they draw from it on a worker too. A small edit
/// runs at once on this thread. User input waits either way. An exception thrown by
/// `edit` is thrown on here, after the views are back.
void runTableEdit(QWidget* window, PointTable& table, const QString& label, size_t extent,
                  const std::function<void()>& edit);

/// The same for an edit that returns a value.
template <class Edit>
requires(!std::is_void_v<std::invoke_result_t<Edit>>) auto runTableEdit(QWidget* window,
                                                                        PointTable& table,
                                                                        const QString& label,
                                                                        size_t extent, Edit edit)
    -> decltype(edit()) {
    std::optional<decltype(edit())> result;
    runTableEdit(window, table, label, extent,
                 std::function<void()>([&] { result.emplace(edit()); }));
    return std::move(*result);
}

/// From how many rows or cells an edit is taken off the user interface thread.
size_t tableWorkThreshold();
/// Tests set it low to take small tables the way of large ones.
void setTableWorkThreshold(size_t extent);

}  // namespace corvane
