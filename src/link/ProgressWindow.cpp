#include "link/ProgressWindow.h"

#include "app/ScreenModel.h"

void openProgressWindow(ScreenModel &model)
{
    if (model.frmSplash.visible) return;
    model.frmMain.enabled = false;
    model.frmSplashLabel1.caption = QStringLiteral("Wait . . .");
    model.frmSplash.enabled = true;
    model.frmSplash.visible = true;
}

void closeProgressWindow(ScreenModel &model)
{
    if (!model.frmSplash.visible) return;
    model.frmMain.enabled = true;
    model.frmSplash.enabled = false;
    model.frmSplash.visible = false;
}
