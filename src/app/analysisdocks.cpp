#include "analysisdocks.h"

#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include "checkpanel.h"
#include "commandids.h"
#include "corvaneview.h"
#include "drawingarea.h"
#include "drawingexport.h"
#include "listctrlex.h"
#include "mainframe.h"
#include "profilepanel.h"
#include "profileview.h"

namespace corvane {

namespace {

QMenu* viewMenuOf(CMainFrame& frame) {
    for (QAction* action : frame.menuBar()->actions())
        if (action->menu() && action->text() == QStringLiteral("视图(&V)"))
            return action->menu();
    return nullptr;
}

// The "tool bars and docking windows" submenu of the View menu.
QMenu* barsMenuOf(QMenu* viewMenu) {
    if (!viewMenu)
        return nullptr;
    for (QAction* item : viewMenu->actions())
        if (item->menu() && item->data().toInt() == ID_VIEW_TOOLBAR)
            return item->menu();
    return nullptr;
}

}  // namespace

AnalysisDocks installAnalysisDocks(CMainFrame& frame) {
    AnalysisDocks docks;
    QMenu* viewMenu = viewMenuOf(frame);
    CCorvaneView* view = frame.view();

    auto* profileDock = new QDockWidget(QStringLiteral("纵断面"), &frame);
    profileDock->setObjectName(QStringLiteral("ProfileDock"));
    docks.profile = new ProfilePanel(frame.table(), profileDock);
    profileDock->setWidget(docks.profile);
    frame.addDockWidget(Qt::BottomDockWidgetArea, profileDock);

    auto* checkDock = new QDockWidget(QStringLiteral("数据检查"), &frame);
    checkDock->setObjectName(QStringLiteral("CheckDock"));
    docks.check = new CheckPanel(frame.table(), checkDock);
    checkDock->setWidget(docks.check);
    frame.addDockWidget(Qt::BottomDockWidgetArea, checkDock);
    frame.tabifyDockWidget(profileDock, checkDock);
    profileDock->raise();

    if (viewMenu) {
        viewMenu->addSeparator();
        QAction* showProfile = profileDock->toggleViewAction();
        showProfile->setText(QStringLiteral("纵断面(&P)"));
        showProfile->setStatusTip(QStringLiteral("显示或隐藏纵断面图"));
        viewMenu->addAction(showProfile);
        QAction* showCheck = checkDock->toggleViewAction();
        showCheck->setText(QStringLiteral("数据检查(&K)"));
        showCheck->setStatusTip(QStringLiteral("列出表中所有问题"));
        viewMenu->addAction(showCheck);
        // Listed with the tool bar too, where a user looks for every docking window.
        if (QMenu* bars = barsMenuOf(viewMenu)) {
            bars->addAction(showProfile);
            bars->addAction(showCheck);
        }
        viewMenu->addSeparator();
        const QString pictureTypes = drawingFileSuffixes().contains(QLatin1String("svg"))
                                         ? QStringLiteral("PNG 图片或 SVG 矢量图")
                                         : QStringLiteral("PNG 图片");
        QAction* exportPlan = viewMenu->addAction(QStringLiteral("导出平面图(&E)..."));
        exportPlan->setStatusTip(QStringLiteral("将平面图导出为") + pictureTypes);
        if (view)
            QObject::connect(exportPlan, &QAction::triggered, view, &CCorvaneView::OnExportPlan);
        QAction* exportSection = viewMenu->addAction(QStringLiteral("导出纵断面(&X)..."));
        exportSection->setStatusTip(QStringLiteral("将纵断面图导出为") + pictureTypes);
        QObject::connect(exportSection, &QAction::triggered, docks.profile,
                         [profile = docks.profile] { profile->exportSection(); });
    }

    if (view) {
        // The panels listen to the table, which the frame lets go right after the view.
        QObject::connect(view, &QObject::destroyed,
                         [profile = QPointer<ProfilePanel>(docks.profile),
                          check = QPointer<CheckPanel>(docks.check)] {
                             delete profile.data();
                             delete check.data();
                         });
        docks.profile->view()->setSelectionModel(view->list()->selectionModel());
        QObject::connect(docks.profile->view(), &ProfileView::rowPicked, view,
                         &CCorvaneView::OnRowPicked);
        QObject::connect(docks.check, &CheckPanel::rowActivated, view, &CCorvaneView::OnRowPicked);
        QObject::connect(docks.check, &CheckPanel::statusMessage, view,
                         &CCorvaneView::statusMessage);
        // The points the check's line selection could not place are ringed in the plan.
        QObject::connect(docks.check, &CheckPanel::unassignedRowsChanged, view->drawingArea(),
                         &DrawingArea::setMarkedRows);
    }
    return docks;
}

}  // namespace corvane
