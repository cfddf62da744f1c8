#pragma once

#include "fleet/Fleet.h"

#include <QDialog>
#include <QList>
#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

// 文件 → 批量写频…: the window's channels and settings (and, when chosen, the four signalling
// tables as the editors hold them) written into several radios at once, one cable each. The
// ports come from the port list, each with a check box; every radio gets its own backup, write
// and verify, and its own row with progress and result.
class TFleetDialog : public QDialog {
    Q_OBJECT
public:
    struct Port {
        QString label;  // as the port list shows it
        QString name;   // what is opened
    };
    // What is written; nullopt when nothing can start (the source has told the user why).
    using ImageSource = std::function<std::optional<TRadioImage>(bool withSignalling)>;

    TFleetDialog(ImageSource source, QWidget *parent = nullptr);

    // The ports to choose from; ports still listed keep their check.
    void SetPorts(const QList<Port> &ports);
    void SetVerify(bool verify) { m_verify = verify; }
    // Without the editors there are no signalling tables to offer.
    void SetSignallingAvailable(bool available);

    TFleet &Fleet() { return m_fleet; }
    QListWidget *PortList() const { return m_ports; }
    QCheckBox *SignallingBox() const { return m_signalling; }
    QPushButton *StartButton() const { return m_start; }
    QPushButton *CancelButton() const { return m_cancel; }
    QTableWidget *Table() const { return m_table; }
    QLabel *Summary() const { return m_summary; }

    // The text of a radio's result, in the window's language.
    static QString ResultText(TFleetResult result);
    // The result as its row shows it: for a write cut short, also how far it got
    // ("端口已断开，已写入 5/17 块").
    static QString ResultLine(const TFleetReport &report);

public Q_SLOTS:
    void StartClick();
    void CancelClick();

Q_SIGNALS:
    // The radios' writes began or all ended: their ports are taken meanwhile.
    void RunningChanged(bool running);

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    QList<Port> CheckedPorts() const;
    void ShowRows(const QList<Port> &ports);
    void OnRadioChanged(int index);
    void OnFinished();
    void UpdateButtons();

    ImageSource m_source;
    TFleet m_fleet;
    bool m_verify = true;
    bool m_signallingAvailable = true;
    QList<Port> m_listed;
    QListWidget *m_ports = nullptr;
    QCheckBox *m_signalling = nullptr;
    QPushButton *m_start = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_close = nullptr;
    QTableWidget *m_table = nullptr;
    QLabel *m_summary = nullptr;
};
