#include "dialogs/ScrolledControls.h"

#include <QFrame>
#include <QRect>
#include <QScrollArea>

QScrollArea *NewControlsScroll(QWidget *window)
{
    auto *scroll = new QScrollArea(window);
    scroll->setObjectName(QStringLiteral("clientScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setFocusPolicy(Qt::NoFocus);  // the keys go to the controls, as without it
    auto *client = new QWidget;
    client->setObjectName(QStringLiteral("client"));
    scroll->setWidget(client);
    return scroll;
}

void KeepControlsReachable(QWidget *client, int margin)
{
    QRect extent;
    for (const QWidget *control : client->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (!control->isWindow() && !control->isHidden())
            extent |= control->geometry();
    client->setMinimumSize(extent.right() + 1 + margin, extent.bottom() + 1 + margin);
}
