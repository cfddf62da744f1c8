#include "app/AppWindows.h"

#include "app/MainWindow.h"
#include "link/Comm.h"
#include "link/ProgressWindow.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace {

// Stands in for an editor window that is not built yet.
std::unique_ptr<QWidget> EditorStandIn(const QString &title)
{
    auto window = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::WindowStaysOnTopHint);
    window->setWindowTitle(QStringLiteral("对讲机写频软件"));
    window->setObjectName(title);
    auto *layout = new QVBoxLayout(window.get());
    layout->addWidget(new QLabel(title, window.get()));
    window->resize(428, 200);
    return window;
}

}  // namespace

void SetApplicationFont()
{
    // Narrow enough that "438.50000" fits the 58-pixel frequency columns, with CJK glyphs of
    // its own; where the family is missing Qt falls back to the default sans serif.
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(12);
    QApplication::setFont(font);
}

TAppWindows::TAppWindows(Options options)
{
    SetApplicationFont();
    std::unique_ptr<TSerialChannel> port = std::move(options.port);
    if (!port)
        port = CreateComm1();
    m_form1 = std::make_unique<TForm1>(std::move(port), options.screen);
    m_form2 = EditorStandIn(QStringLiteral("DTMF"));
    m_form4 = EditorStandIn(QStringLiteral("2TONE"));
    m_form5 = EditorStandIn(QStringLiteral("5TONE"));
    m_form6 = EditorStandIn(QStringLiteral("FSK 队列同步"));
    m_form3 = std::make_unique<TForm3>();
    m_form1->SetWindows(m_form3.get(), m_form2.get(), m_form4.get(), m_form5.get(), m_form6.get());
}

TAppWindows::~TAppWindows() = default;
