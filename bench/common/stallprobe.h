#pragma once

#include <QElapsedTimer>
#include <QTimer>

namespace corvane {

/// What the user sees as a frozen window: the longest time the event loop went without
/// turning between start() and stop(), noted by a 1 ms timer. The time from the last
/// turn to stop() counts too, so work that never lets the loop turn shows in full.
class StallProbe {
public:
    struct Figures {
        double totalMs = 0;    // from start() to stop()
        double longestMs = 0;  // the longest gap between two turns
    };

    StallProbe();
    StallProbe(const StallProbe&) = delete;
    StallProbe& operator=(const StallProbe&) = delete;

    void start();
    Figures stop();

private:
    QTimer m_ticks;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

}  // namespace corvane
