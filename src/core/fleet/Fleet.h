#pragma once

#include "backup/BackupStore.h"
#include "fleet/FleetRadio.h"
#include "serial/SerialChannel.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

// Whether two of the names lead to the same device: the same name twice, or a link (such as
// /dev/serial/by-id/… or the virtual radio's) and the device it points to. One radio written
// twice at once would get two writers on one cable.
bool PortsRepeat(const QStringList &ports);

// Several radios at once, one cable each: the same image written into every one (each with its
// own backup and verify), or the same areas read from every radio. Each radio has its own port and engine;
// all run in parallel on the caller's event loop, and one radio's failure does not touch the
// others. The window's 批量写频 and xiepin-cli's clone and multi-port backup drive it.
class TFleet : public QObject {
    Q_OBJECT
public:
    using ChannelFactory = std::function<std::unique_ptr<TSerialChannel>(const QString &port)>;
    static constexpr int kDefaultSilenceMs = 10000;

    // program: for the backups' notes ("xiepin-cli 1.1.4").
    explicit TFleet(QString program, QObject *parent = nullptr);
    ~TFleet() override;

    // A serial port (TComm) per radio unless set; tests put radios in the process.
    void SetChannelFactory(ChannelFactory factory) { m_factory = std::move(factory); }
    void SetStore(const TBackupStore &store) { m_store = store; }
    // How long a radio may stay silent before its transfer ends as NoAnswer.
    void SetSilenceMs(int ms) { m_silenceMs = ms; }

    // False, with nothing started, while a run goes on, or without ports, or with a port twice
    // (PortsRepeat). source: the file the image comes from, when it is one; a backup read on a
    // port after a write there did not finish puts that radio back as the write left it
    // (TBackupStore::EndUnfinishedWrite).
    bool StartWrite(const QStringList &ports, const TRadioImage &image, bool verify, const QString &source = {});
    // Reads the areas that `which` holds (all five by default) from every radio.
    bool StartRead(const QStringList &ports, const TRadioImage &which = TRadioImage());
    // Ends every radio still running (Cancelled).
    void Cancel();

    bool IsRunning() const { return m_finished < static_cast<int>(m_radios.size()); }
    int Count() const { return static_cast<int>(m_radios.size()); }
    // The radios of the last run, in the order of its ports.
    const TFleetRadio &Radio(int index) const { return *m_radios.at(static_cast<std::size_t>(index)); }
    QList<TFleetReport> Reports() const;

Q_SIGNALS:
    void RadioChanged(int index);
    void RadioFinished(int index);
    void Finished();

private:
    bool Prepare(const QStringList &ports);
    void OnRadioFinished(int index);

    QString m_program;
    ChannelFactory m_factory;
    TBackupStore m_store;
    int m_silenceMs = kDefaultSilenceMs;
    std::vector<std::unique_ptr<TFleetRadio>> m_radios;
    int m_finished = 0;
};
