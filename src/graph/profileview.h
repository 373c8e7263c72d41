#pragma once

#include <QPointer>
#include <QWidget>

#include <utility>
#include <vector>

#include "pointtable.h"
#include "profiledata.h"
#include "profileviewport.h"
#include "tablelistener.h"

class QItemSelectionModel;

namespace corvane {

class PointTable;

/// The longitudinal section: elevation against cumulative distance, with the ground
/// line, J stakes, Z stakes, crossed lines at their height and houses as blocks.
/// Linked to the table through the selection model; pans and zooms like the plan.
/// Rebuilt only when a change reaches what it draws: the columns it reads, rows coming
/// or going, a new display mode; check marks and the other columns leave it alone.
class ProfileView : public QWidget, private TableListener {
    Q_OBJECT

public:
    explicit ProfileView(PointTable& table, QWidget* parent = nullptr);
    ~ProfileView() override;

    void setSelectionModel(QItemSelectionModel* selection);
    void fitAll();
    void setExaggeration(double exaggeration);
    double exaggeration() const { return m_viewport.exaggeration(); }
    const ProfileViewport& viewport() const { return m_viewport; }

    /// The row drawn nearest to `pos` within 10 pixels, or -1.
    int rowAt(QPointF pos);
    /// Pans along the line, at the same zoom, to show the point of shown row `row` when
    /// it is outside the section's visible range.
    void showRow(int row);
    /// Builds the section's data from the table, as the next paint would. May run on
    /// another thread while nothing else reads or changes the view or the table.
    void prepareData() { (void)data(); }
    /// Paints the section onto any paint device of the given size.
    void render(QPainter& painter, QSize size);
    /// Writes the section as PNG or SVG (by the extension). False with a message.
    bool exportTo(const QString& path, QString* error);

signals:
    void rowPicked(int row);
    void exaggerationChanged(double exaggeration);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void cellsChanged(int firstRow, int lastRow, int firstColumn, int lastColumn) override;
    void rowsAboutToBeInserted(int first, int last) override;
    void rowsInserted() override;
    void rowsAboutToBeRemoved(int first, int last) override;
    void rowsRemoved() override;
    void resetDone() override;

    void dataChanged();
    /// Names of rows [first, last] changed: a labelled point's name rebuilds the
    /// section; the other names show only on the selection's mark, repainted if selected.
    void namesChanged(int first, int last);
    const ProfileData& data();
    std::vector<int> selectedRows() const;

    PointTable& m_table;
    QPointer<QItemSelectionModel> m_selection;
    ProfileViewport m_viewport;
    ProfileData m_data;
    // Rows announced by the table, followed into the data when the change is done.
    std::pair<int, int> m_inserting{-1, -1};
    std::pair<int, int> m_removing{-1, -1};
    bool m_dataValid = false;
    bool m_fitted = false;
    bool m_fittedEmpty = false;
    uint64_t m_fittedImport = 0;  // the table and filter the view was last reset for
    DisplayMode m_fittedMode = DisplayMode::AllPoints;
    bool m_dragging = false;
    QPointF m_lastMouse;
    QPointF m_pressPos;
};

}  // namespace corvane
