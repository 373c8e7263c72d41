#include "stallprobe.h"

#include <algorithm>

namespace corvane {

StallProbe::StallProbe() {
    m_ticks.setTimerType(Qt::PreciseTimer);
    m_ticks.setInterval(1);
    QObject::connect(&m_ticks, &QTimer::timeout, [this] {
        const qint64 now = m_clock.nsecsElapsed();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
    });
}

void StallProbe::start() {
    m_longest = 0;
    m_last = 0;
    m_clock.start();
    m_ticks.start();
}

StallProbe::Figures StallProbe::stop() {
    m_ticks.stop();
    const qint64 end = m_clock.nsecsElapsed();
    m_longest = std::max(m_longest, end - m_last);
    return {end / 1e6, m_longest / 1e6};
}

}  // namespace corvane
