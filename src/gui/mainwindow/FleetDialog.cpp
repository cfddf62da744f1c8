#include "mainwindow/FleetDialog.h"

#include "compare/BlockCompare.h"
#include "dialogs/Language.h"
#include "dialogs/MessageBox.h"
#include "dialogs/TransferMessages.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { PortColumn, ProgressColumn, ResultColumn, TimeColumn, ColumnCount };

}  // namespace

TFleetDialog::TFleetDialog(ImageSource source, QWidget *parent)
    : QDialog(parent), m_source(std::move(source)), m_fleet(QStringLiteral("xiepin"))
{
    setObjectName(QStringLiteral("FleetDialog"));
    setWindowTitle(tr("批量写频"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("写入当前的信道和设置，每台电台一根写频线。选择电台所在的端口：")));
    m_ports = new QListWidget;
    m_ports->setObjectName(QStringLiteral("FleetPorts"));
    m_ports->setMaximumHeight(110);
    layout->addWidget(m_ports);
    m_signalling = new QCheckBox(tr("同时写入四个信令表（DTMF、2TONE、5TONE、FSK），按信令窗口中的内容"));
    m_signalling->setObjectName(QStringLiteral("FleetSignalling"));
    layout->addWidget(m_signalling);
    layout->addWidget(new QLabel(tr("每台电台写入前先备份，写入后读回校验；一台出错不影响其他电台。")));

    m_table = new QTableWidget(0, ColumnCount);
    m_table->setObjectName(QStringLiteral("FleetTable"));
    m_table->setHorizontalHeaderLabels({tr("端口"), tr("进度"), tr("结果"), tr("用时")});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->horizontalHeader()->setSectionResizeMode(PortColumn, QHeaderView::Stretch);
    m_table->setColumnWidth(ProgressColumn, 130);
    m_table->horizontalHeader()->setSectionResizeMode(ResultColumn, QHeaderView::ResizeToContents);
    m_table->setColumnWidth(TimeColumn, 70);
    layout->addWidget(m_table, 1);
    m_summary = new QLabel;
    m_summary->setObjectName(QStringLiteral("FleetSummary"));
    layout->addWidget(m_summary);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_start = new QPushButton(tr("开始写入"));
    m_start->setObjectName(QStringLiteral("FleetStart"));
    m_cancel = new QPushButton(tr("取消"));
    m_cancel->setObjectName(QStringLiteral("FleetCancel"));
    m_close = new QPushButton(tr("关闭"));
    m_close->setObjectName(QStringLiteral("FleetClose"));
    for (QPushButton *button : {m_start, m_cancel, m_close})
        buttons->addWidget(button);
    layout->addLayout(buttons);
    connect(m_start, &QPushButton::clicked, this, &TFleetDialog::StartClick);
    connect(m_cancel, &QPushButton::clicked, this, &TFleetDialog::CancelClick);
    connect(m_close, &QPushButton::clicked, this, &QDialog::close);
    connect(&m_fleet, &TFleet::RadioChanged, this, &TFleetDialog::OnRadioChanged);
    connect(&m_fleet, &TFleet::Finished, this, &TFleetDialog::OnFinished);
    resize(680, 420);
    UpdateButtons();
}

void TFleetDialog::SetPorts(const QList<Port> &ports)
{
    QStringList checked;
    for (const Port &port : CheckedPorts())
        checked << port.name;
    m_listed = ports;
    m_ports->clear();
    for (const Port &port : ports) {
        auto *item = new QListWidgetItem(port.label, m_ports);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(checked.contains(port.name) ? Qt::Checked : Qt::Unchecked);
    }
}

void TFleetDialog::SetSignallingAvailable(bool available)
{
    m_signallingAvailable = available;
    if (!available)
        m_signalling->setChecked(false);
    UpdateButtons();
}

QString TFleetDialog::ResultText(TFleetResult result)
{
    switch (result) {
    case TFleetResult::Verified: return tr("写入成功，已校验");
    case TFleetResult::Written: return tr("已写入（未校验）");
    case TFleetResult::Read: return tr("已读取");
    case TFleetResult::VerifyFailed: return tr("写入校验失败");
    case TFleetResult::NoAnswer: return tr("电台无应答");
    case TFleetResult::Disconnected: return tr("端口已断开");
    case TFleetResult::CouldNotOpen: return tr("无法打开端口");
    case TFleetResult::BackupFailed: return tr("备份失败，未写入");
    case TFleetResult::IncompleteRead: return tr("读取不完整");
    case TFleetResult::Cancelled: break;
    }
    return tr("已取消");
}

// A radio left part written says how far: its owner needs to know whether to restore it.
QString TFleetDialog::ResultLine(const TFleetReport &report)
{
    const QString text = ResultText(report.result);
    const bool cutShort = report.result == TFleetResult::NoAnswer || report.result == TFleetResult::Disconnected
                          || report.result == TFleetResult::Cancelled;
    if (!cutShort)
        return text;
    switch (report.phase) {
    case TFleetPhase::Backup: return tr("%1，未写入").arg(text);
    case TFleetPhase::Write: return tr("%1，%2").arg(text, HowFarText(false, report.tally.done, report.tally.total));
    case TFleetPhase::Verify: return tr("%1，已写入，未校验").arg(text);
    case TFleetPhase::Waiting:
    case TFleetPhase::Read:
    case TFleetPhase::Done: break;
    }
    return text;
}

QList<TFleetDialog::Port> TFleetDialog::CheckedPorts() const
{
    QList<Port> ports;
    for (int i = 0; i < m_ports->count() && i < m_listed.size(); ++i)
        if (m_ports->item(i)->checkState() == Qt::Checked)
            ports << m_listed.at(i);
    return ports;
}

void TFleetDialog::StartClick()
{
    if (m_fleet.IsRunning())
        return;
    const QList<Port> ports = CheckedPorts();
    if (ports.isEmpty()) {
        ShowError(this, tr("请至少选择一个端口"));
        return;
    }
    const std::optional<TRadioImage> image = m_source(m_signalling->isChecked());
    if (!image)
        return;
    QStringList names;
    for (const Port &port : ports)
        names << port.name;
    ShowRows(ports);
    m_summary->clear();
    if (!m_fleet.StartWrite(names, *image, m_verify))
        ShowError(this, tr("无法开始批量写频"));
    UpdateButtons();
    if (m_fleet.IsRunning())
        emit RunningChanged(true);
}

void TFleetDialog::CancelClick()
{
    m_fleet.Cancel();
}

// Radios half written are not left without their result: neither the close box nor Escape
// hides the dialog while it writes.
void TFleetDialog::closeEvent(QCloseEvent *event)
{
    if (m_fleet.IsRunning())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void TFleetDialog::reject()
{
    if (!m_fleet.IsRunning())
        QDialog::reject();
}

void TFleetDialog::ShowRows(const QList<Port> &ports)
{
    m_table->setRowCount(static_cast<int>(ports.size()));
    for (int row = 0; row < ports.size(); ++row) {
        m_table->setItem(row, PortColumn, new QTableWidgetItem(ports.at(row).label));
        auto *bar = new QProgressBar;
        bar->setRange(0, 1);
        bar->setValue(0);
        bar->setFormat(tr("等待"));
        m_table->setCellWidget(row, ProgressColumn, bar);
        m_table->setItem(row, ResultColumn, new QTableWidgetItem);
        m_table->setItem(row, TimeColumn, new QTableWidgetItem);
    }
}

void TFleetDialog::OnRadioChanged(int index)
{
    const TFleetRadio &radio = m_fleet.Radio(index);
    auto *bar = qobject_cast<QProgressBar *>(m_table->cellWidget(index, ProgressColumn));
    if (!bar)
        return;
    if (radio.IsFinished()) {
        const TFleetReport &report = radio.Report();
        bar->setRange(0, 1);
        bar->setValue(report.Succeeded() ? 1 : 0);
        bar->setFormat(report.Succeeded() ? tr("完成") : tr("未完成"));
        QTableWidgetItem *result = m_table->item(index, ResultColumn);
        result->setText(ResultLine(report));
        QStringList tip;
        if (report.result == TFleetResult::VerifyFailed)
            tip << MismatchLines(report.mismatches, LanguageOf(CurrentLanguage()));
        if (!report.backupPath.isEmpty())
            tip << tr("备份：%1").arg(QDir::toNativeSeparators(report.backupPath));
        if (!report.earlierBackupPath.isEmpty()) {
            const QString earlier = QDir::toNativeSeparators(report.earlierBackupPath);
            tip << (report.Succeeded() ? StillHalfWrittenText(earlier) : EarlierBackupLineText(earlier));
        }
        if (!report.error.isEmpty())
            tip << report.error;
        result->setToolTip(tip.join(QLatin1Char('\n')));
        m_table->item(index, TimeColumn)->setText(tr("%1 秒").arg(report.elapsedMs / 1000.0, 0, 'f', 1));
        return;
    }
    static const char *const kPhases[] = {QT_TR_NOOP("等待"), QT_TR_NOOP("备份"), QT_TR_NOOP("写入"),
                                          QT_TR_NOOP("校验"), QT_TR_NOOP("读取"), QT_TR_NOOP("完成")};
    bar->setRange(0, std::max(1, radio.Total()));
    bar->setValue(std::min(radio.Done(), std::max(1, radio.Total())));
    const QString phase = tr(kPhases[static_cast<int>(radio.Phase())]);
    bar->setFormat(radio.Total() > 0 ? tr("%1 %2/%3").arg(phase).arg(radio.Done()).arg(radio.Total()) : phase);
}

void TFleetDialog::OnFinished()
{
    int succeeded = 0;
    const QList<TFleetReport> reports = m_fleet.Reports();
    for (const TFleetReport &report : reports)
        succeeded += report.Succeeded() ? 1 : 0;
    m_summary->setText(tr("%1 台成功，%2 台失败").arg(succeeded).arg(reports.size() - succeeded));
    UpdateButtons();
    emit RunningChanged(false);
}

void TFleetDialog::UpdateButtons()
{
    const bool running = m_fleet.IsRunning();
    m_start->setEnabled(!running);
    m_ports->setEnabled(!running);
    m_signalling->setEnabled(!running && m_signallingAvailable);
    m_cancel->setEnabled(running);
    m_close->setEnabled(!running);
}
