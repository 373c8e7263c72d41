#include "tablework.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QResizeEvent>
#include <QWidget>

#include <exception>
#include <memory>
#include <vector>

#include "drawingarea.h"
#include "listctrlex.h"
#include "longoperation.h"
#include "pointtable.h"
#include "profileview.h"

namespace corvane {
namespace {

size_t g_threshold = 50'000;

/// Keeps a widget that draws from the table on the picture it showed last: its paint
/// draws that picture, its resizes wait until the hold ends, and its timers (a view's
/// delayed layout) fire again later, as they repeat until handled.
class HeldPicture : public QObject {
public:
    HeldPicture(QWidget* widget, QWidget* timersOf)
        : m_widget(widget), m_timersOf(timersOf), m_picture(widget->grab()) {
        widget->installEventFilter(this);
        if (timersOf)
            timersOf->installEventFilter(this);
    }
    ~HeldPicture() override {
        if (m_timersOf)
            m_timersOf->removeEventFilter(this);
        if (!m_widget)
            return;
        m_widget->removeEventFilter(this);
        if (m_resized) {
            QResizeEvent resize(m_widget->size(), m_heldSize);
            QCoreApplication::sendEvent(m_widget, &resize);
        }
        m_widget->update();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_timersOf && watched != m_widget)
            return event->type() == QEvent::Timer;
        switch (event->type()) {
            case QEvent::Paint: {
                QPainter painter(m_widget);
                painter.fillRect(m_widget->rect(), m_widget->palette().base());
                painter.drawPixmap(0, 0, m_picture);
                return true;
            }
            case QEvent::Resize:
                if (!m_resized)
                    m_heldSize = static_cast<QResizeEvent*>(event)->oldSize();
                m_resized = true;
                return true;
            case QEvent::Timer:
                return true;
            default:
                return false;
        }
    }

private:
    QPointer<QWidget> m_widget;
    QPointer<QWidget> m_timersOf;
    QPixmap m_picture;
    QSize m_heldSize;
    bool m_resized = false;
};

QWidget* topOf(QWidget* widget) {
    return widget ? widget->window() : nullptr;
}

}  // namespace

size_t tableWorkThreshold() {
    return g_threshold;
}

void setTableWorkThreshold(size_t extent) {
    g_threshold = extent;
}

void runTableEdit(QWidget* window, PointTable& table, const QString& label, size_t extent,
                  const std::function<void()>& edit) {
    if (extent < g_threshold || !window) {
        WaitCursor wait;
        edit();
        return;
    }
    QWidget* top = topOf(window);
    // A hidden view neither paints nor builds anything until it is shown.
    auto shown = [](auto widgets) {
        widgets.removeIf([](QWidget* w) { return !w->isVisible(); });
        return widgets;
    };
    const QList<CListCtrlEx*> lists = shown(top->findChildren<CListCtrlEx*>());
    const QList<DrawingArea*> plans = shown(top->findChildren<DrawingArea*>());
    const QList<ProfileView*> sections = shown(top->findChildren<ProfileView*>());
    std::vector<std::unique_ptr<HeldPicture>> held;
    for (CListCtrlEx* list : lists) {
        held.push_back(std::make_unique<HeldPicture>(list->viewport(), list));
        held.push_back(std::make_unique<HeldPicture>(list->verticalHeader()->viewport(), nullptr));
    }
    for (DrawingArea* plan : plans)
        held.push_back(std::make_unique<HeldPicture>(plan, nullptr));
    for (ProfileView* section : sections)
        held.push_back(std::make_unique<HeldPicture>(section, nullptr));

    table.holdNotifications();
    std::exception_ptr failure;
    try {
        runLongOperation(window, label, edit);
    } catch (...) {
        failure = std::current_exception();
    }
    // Told here, where the listeners live; they only note what is out of date.
    table.releaseNotifications();
    // What the drawings read from the table is built while their pictures still hold.
    runLongOperation(window, label, [&] {
        for (DrawingArea* plan : plans)
            plan->prepareData();
        for (ProfileView* section : sections)
            section->prepareData();
    });
    held.clear();
    if (failure)
        std::rethrow_exception(failure);
}

}  // namespace corvane
