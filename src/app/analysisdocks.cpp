#include "analysisdocks.h"

#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include "checkpanel.h"
#include "corvaneview.h"
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
    }
    return docks;
}

}  // namespace corvane
