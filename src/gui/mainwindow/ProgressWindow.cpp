#include "mainwindow/ProgressWindow.h"

#include "dialogs/TransferMessages.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

namespace {

const QPoint kOffsetFromMainWindow(150, 250);
const QSize kDesignSize(580, 100);
constexpr int kButtonTop = 59;
constexpr int kSilenceHeight = 30;  // what the window grows by while the note shows

}  // namespace

TForm3::TForm3(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_progressBar1(new QProgressBar(this))
    , m_button2(new QPushButton(tr("取消"), this))
    , m_button1(new QPushButton(tr("重试"), this))
    , m_silenceLabel(new QLabel(this))
    , m_stepLabel(new QLabel(this))
{
    setObjectName(QStringLiteral("Form3"));
    setFixedSize(kDesignSize);
    // The keyboard stays with the main window, so F11/F12 keep working while it shows.
    setAttribute(Qt::WA_ShowWithoutActivating);
    // The program ends with the main window, even while this one shows.
    setAttribute(Qt::WA_QuitOnClose, false);

    m_progressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    m_progressBar1->setGeometry(43, 19, 510, 30);
    m_progressBar1->setTextVisible(false);  // a plain smooth bar
    m_progressBar1->hide();

    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setGeometry(120, kButtonTop, 121, 33);
    m_button2->setObjectName(QStringLiteral("Button2"));
    m_button2->setGeometry(336, kButtonTop, 121, 33);

    m_silenceLabel->setObjectName(QStringLiteral("SilenceLabel"));
    m_silenceLabel->setGeometry(43, 52, 510, 26);
    m_silenceLabel->setAlignment(Qt::AlignCenter);
    m_silenceLabel->hide();

    m_stepLabel->setObjectName(QStringLiteral("StepLabel"));
    m_stepLabel->setGeometry(43, 1, 510, 17);

    connect(m_button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(m_button2, &QPushButton::clicked, this, &TForm3::Button2Click);
}

void TForm3::ShowAt(const QPoint &topLeft)
{
    move(topLeft);
    show();
    raise();
}

void TForm3::ShowBeside(const QWidget &mainWindow)
{
    ShowAt(mainWindow.frameGeometry().topLeft() + kOffsetFromMainWindow);
}

void TForm3::ShowStep(Step step)
{
    switch (step) {
    case Step::Read: m_stepLabel->setText(tr("正在读取电台…")); break;
    case Step::Compare: m_stepLabel->setText(tr("正在读取电台，以便比较…")); break;
    case Step::Backup: m_stepLabel->setText(tr("写入前先备份：正在读取电台…")); break;
    case Step::Write: m_stepLabel->setText(tr("正在写入电台…")); break;
    case Step::Verify: m_stepLabel->setText(tr("写入后校验：正在读回电台…")); break;
    }
}

TForm3::Step TForm3::StepOf(TSafeWrite::Phase phase)
{
    switch (phase) {
    case TSafeWrite::Phase::Backup: return Step::Backup;
    case TSafeWrite::Phase::Verify: return Step::Verify;
    default: return Step::Write;
    }
}

void TForm3::ShowProgress(int maximum, int position)
{
    m_progressBar1->setRange(0, maximum);
    m_progressBar1->setValue(position);
    m_progressBar1->show();
}

void TForm3::SetProgressPosition(int position)
{
    m_progressBar1->setValue(position);
}

void TForm3::StepProgress()
{
    m_progressBar1->setValue(std::min(m_progressBar1->value() + 1, m_progressBar1->maximum()));
}

void TForm3::HideProgress()
{
    m_progressBar1->hide();
}

void TForm3::ShowSilence(int resends)
{
    m_silenceLabel->setText(SilenceNoteText(resends));
    if (!m_silenceLabel->isHidden())
        return;
    setFixedSize(kDesignSize.width(), kDesignSize.height() + kSilenceHeight);
    for (QPushButton *button : {m_button1, m_button2})
        button->move(button->x(), kButtonTop + kSilenceHeight);
    m_silenceLabel->show();
}

void TForm3::HideSilence()
{
    if (m_silenceLabel->isHidden())
        return;
    m_silenceLabel->hide();
    setFixedSize(kDesignSize);
    for (QPushButton *button : {m_button1, m_button2})
        button->move(button->x(), kButtonTop);
}

void TForm3::Button1Click()
{
    emit RetryClicked();
}

void TForm3::Button2Click()
{
    emit CancelClicked();
}
