#pragma once

#include <QSize>
#include <QTest>

#include <memory>

#include "mainframe.h"
#include "settings.h"

namespace corvane::test {

/// Puts a new main window over `settings` into `frame`, shown as a start shows it (at
/// `size` when one is given, else where the settings place it), and waits until it is
/// on screen. False when it never is; `frame` holds the window either way.
[[nodiscard]] inline bool showMainWindow(std::unique_ptr<CMainFrame>& frame,
                                         CorvaneSettings& settings, QSize size = {}) {
    frame = std::make_unique<CMainFrame>(settings);
    if (size.isValid())
        frame->resize(size);
    frame->show();
    return QTest::qWaitForWindowExposed(frame.get());
}

}  // namespace corvane::test
