#pragma once

#include "protocol/RadioImage.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <optional>

// One xiepin-radio process: its pseudo-terminal behind a symbolic link (the port a test names),
// its memory saved beside it when it stops.
class RadioProcess {
public:
    // Given: the radio makes its port at link. Default: at its own default place (under
    // XDG_RUNTIME_DIR); link then only names where its memory is saved.
    enum class LinkAt { Given, Default };

    // program: the xiepin-radio executable; link: the path of the port; args: its options
    // (--fault, --image, --timing, ...).
    RadioProcess(const QString &program, const QString &link, const QStringList &args,
                 const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment(), LinkAt at = LinkAt::Given);
    ~RadioProcess();
    RadioProcess(const RadioProcess &) = delete;
    RadioProcess &operator=(const RadioProcess &) = delete;

    // Options that start a radio from this image (saved next to the link).
    static QStringList ImageArgs(const QString &link, const TRadioImage &image);

    bool Started() const { return m_device.startsWith(QLatin1String("/dev/")); }
    const QString &Link() const { return m_link; }
    // Ends the radio; its memory as it saved it on the way out.
    std::optional<TRadioImage> Stop();

private:
    QProcess m_process;
    QString m_link;
    QString m_save;
    QString m_device;
};
