#include "support/gui/EditorRig.h"

#include "editors/DtmfWindow.h"
#include "editors/FiveToneWindow.h"
#include "editors/FskWindow.h"
#include "editors/SignallingWindow.h"
#include "editors/TwoToneWindow.h"
#include "support/core/ImageChanges.h"

#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

EditorRig::EditorRig(const TRadioImage &image, int resendMs)
    : radio(image)
{
    auto port = std::make_unique<RadioChannel>(radio);
    channel = port.get();
    link = std::make_unique<TProgramLink>(std::move(port));
    if (resendMs > 0)
        link->SetResendInterval(resendMs);
}

EditorRig::EditorRig(std::unique_ptr<FakeChannel> port)
{
    fake = port.get();
    link = std::make_unique<TProgramLink>(std::move(port));
}

EditorRig::~EditorRig() = default;

void EditorRig::Show(std::unique_ptr<TSignallingWindow> window)
{
    m_window = std::move(window);
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void EditorRig::Click(QPushButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

void EditorRig::ClickRead()
{
    Click(m_window->rbtn());
}

void EditorRig::ClickWrite()
{
    Click(m_window->wbtn());
}

void EditorRig::ClickClose()
{
    Click(m_window->Button3());
}

bool EditorRig::Idle() const
{
    return !link->IsBusy() && m_window->rbtn()->isEnabled() && m_window->wbtn()->isEnabled()
           && m_window->ProgressBar1()->isHidden() && !m_window->Timer1().isActive();
}

void EditorRig::Read()
{
    ClickRead();
    QTRY_VERIFY(Idle());
    channel->clearWrites();
}

void EditorRig::DestroyWindow()
{
    m_window.reset();
}

QList<QByteArray> EditorRig::frames() const
{
    return WireFrames(channel->written());
}

namespace {

template <class... Args>
std::unique_ptr<EditorRig> OpenRig(const QString &kind, Args &&...args)
{
    if (kind == QLatin1String("DTMF"))
        return std::make_unique<WindowRig<TForm2>>(std::forward<Args>(args)...);
    if (kind == QLatin1String("two-tone"))
        return std::make_unique<WindowRig<TForm4>>(std::forward<Args>(args)...);
    if (kind == QLatin1String("five-tone"))
        return std::make_unique<WindowRig<TForm5>>(std::forward<Args>(args)...);
    if (kind == QLatin1String("FSK"))
        return std::make_unique<WindowRig<TForm6>>(std::forward<Args>(args)...);
    qFatal("no editor of kind %s", qPrintable(kind));
    return nullptr;
}

}  // namespace

std::unique_ptr<EditorRig> OpenEditorRig(const QString &kind, const TRadioImage &image, const QString &portName,
                                         int resendMs)
{
    return OpenRig(kind, image, portName, resendMs);
}

std::unique_ptr<EditorRig> OpenEditorRig(const QString &kind, std::unique_ptr<FakeChannel> port, const QString &portName)
{
    return OpenRig(kind, std::move(port), portName);
}
