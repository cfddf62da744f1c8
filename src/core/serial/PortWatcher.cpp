#include "serial/PortWatcher.h"

#if defined(XIEPIN_HAVE_LIBUDEV)

#include <QSocketNotifier>

#include <libudev.h>

struct TPortWatcher::Monitor {
    udev *context = nullptr;
    udev_monitor *monitor = nullptr;

    Monitor()
    {
        context = udev_new();
        if (context)
            monitor = udev_monitor_new_from_netlink(context, "udev");
        if (!monitor)
            return;
        if (udev_monitor_filter_add_match_subsystem_devtype(monitor, "tty", nullptr) < 0
            || udev_monitor_enable_receiving(monitor) < 0) {
            udev_monitor_unref(monitor);
            monitor = nullptr;
        }
    }
    ~Monitor()
    {
        if (monitor)
            udev_monitor_unref(monitor);
        if (context)
            udev_unref(context);
    }
    Monitor(const Monitor &) = delete;
    Monitor &operator=(const Monitor &) = delete;

    // Drains what is queued; true when a device was added or removed.
    bool TakeChanges() const
    {
        bool changed = false;
        while (udev_device *device = udev_monitor_receive_device(monitor)) {
            const char *action = udev_device_get_action(device);
            const QByteArray what = action ? QByteArray(action) : QByteArray();
            changed = changed || what == "add" || what == "remove";
            udev_device_unref(device);
        }
        return changed;
    }
};

TPortWatcher::TPortWatcher(QObject *parent) : QObject(parent), m_monitor(std::make_unique<Monitor>())
{
    if (!m_monitor->monitor)
        return;
    auto *notifier = new QSocketNotifier(udev_monitor_get_fd(m_monitor->monitor), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        if (m_monitor->TakeChanges())
            Q_EMIT PortsChanged();
    });
}

bool TPortWatcher::IsWatching() const
{
    return m_monitor->monitor != nullptr;
}

#else

struct TPortWatcher::Monitor {};

TPortWatcher::TPortWatcher(QObject *parent) : QObject(parent) {}

bool TPortWatcher::IsWatching() const
{
    return false;
}

#endif

TPortWatcher::~TPortWatcher() = default;
