#include "support/gui/MainWindowRig.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>

MainWindowRig::MainWindowRig(const TRadioImage &image, QSize screen) : radio(image)
{
    auto port = std::make_unique<RadioChannel>(radio);
    channel = port.get();
    windows = std::make_unique<TAppWindows>(TAppWindows::Options{std::move(port), screen});
    form().Link().SetResendInterval(60);
    form().comcbb()->setEditText(QStringLiteral("/dev/virtual-radio"));
    form().show();
    QApplication::setActiveWindow(&form());
}

QAction *MainWindowRig::action(const char *name) const
{
    return child<QAction>(name);
}

bool MainWindowRig::read()
{
    form().rbtn()->click();
    return finish();
}

bool MainWindowRig::finish(int ms) const
{
    QElapsedTimer timer;
    timer.start();
    while (form().Link().IsBusy() && timer.elapsed() < ms)
        QTest::qWait(10);
    return !form().Link().IsBusy();
}
