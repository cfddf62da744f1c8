// The device layer's port descriptions and open-failure messages, checked with QtTest beside
// the serial layer (tests/core/device stays plain C++).
#include "device/PortDescription.h"
#include "device/PosixOpenFailure.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <grp.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

void WriteFile(const QString &path, const QByteArray &text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// A fake sysfs laid out as the kernel does for a USB serial cable: the tty class entry links
// to the port folder, under the interface, under the USB device that holds the IDs.
class FakeSystem {
public:
    explicit FakeSystem(const QTemporaryDir &dir)
        : m_sys(dir.path() + "/sys"), m_dev(dir.path() + "/dev")
    {
        QDir().mkpath(m_sys + "/class/tty");
        QDir().mkpath(m_dev);
    }
    // usb: the ID and string files of the USB device; empty for a port on the mainboard.
    void addPort(const QString &name, const QMap<QString, QByteArray> &usb)
    {
        const QString usbDevice = m_sys + "/devices/pci0000:00/usb1/1-" + name;
        const QString port = usb.isEmpty() ? m_sys + "/devices/platform/serial8250/" + name
                                            : usbDevice + "/1-1:1.0/" + name;
        QDir().mkpath(port + "/tty/" + name);
        for (auto it = usb.begin(); it != usb.end(); ++it)
            WriteFile(usbDevice + '/' + it.key(), it.value() + '\n');
        QVERIFY(QFile::link(port + "/tty/" + name, m_sys + "/class/tty/" + name));
        QVERIFY(QFile::link(port, port + "/tty/" + name + "/device"));
        WriteFile(m_dev + '/' + name, {});
    }
    void addById(const QString &name, const QString &target)
    {
        QDir().mkpath(m_dev + "/serial/by-id");
        QVERIFY(QFile::link("../../" + target, m_dev + "/serial/by-id/" + name));
    }
    std::vector<TPortEntry> describe(const QString &link = {}) const
    {
        return DescribeSerialDevices((m_sys + "/class/tty").toStdString(), m_dev.toStdString(), link.toStdString())
            .value_or(std::vector<TPortEntry>{});
    }
    QString dev() const { return m_dev; }

private:
    QString m_sys;
    QString m_dev;
};

using UsbFiles = QMap<QString, QByteArray>;

const UsbFiles kProlific{{"idVendor", "067b"},
                                          {"idProduct", "2303"},
                                          {"manufacturer", "Prolific Technology Inc."},
                                          {"product", "USB-Serial Controller"}};

} // namespace

class TestPortDescription : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void describesUsbCables_data();
    void describesUsbCables();
    void stableNameIsOpened_data();
    void stableNameIsOpened();
    void virtualRadioIsMarked();
    void openFailureAdvice_data();
    void openFailureAdvice();
    void busyPortNamesHolder_data();
    void busyPortNamesHolder();
    void permissionAdvice_data();
    void permissionAdvice();
};

void TestPortDescription::describesUsbCables_data()
{
    QTest::addColumn<UsbFiles>("usb");
    QTest::addColumn<QString>("description");
    QTest::addRow("names and IDs") << kProlific << "Prolific Technology Inc. USB-Serial Controller (067b:2303)";
    QTest::addRow("IDs only") << UsbFiles{{"idVendor", "1a86"}, {"idProduct", "7523"}}
                              << "USB 1a86:7523";
    QTest::addRow("product repeats the maker")
        << UsbFiles{{"idVendor", "0403"}, {"idProduct", "6001"}, {"manufacturer", "FTDI"},
                                     {"product", "FTDI FT232R USB UART"}}
        << "FTDI FT232R USB UART (0403:6001)";
    QTest::addRow("mainboard port") << UsbFiles{} << "";
}

void TestPortDescription::describesUsbCables()
{
    QFETCH(UsbFiles, usb);
    QFETCH(QString, description);
    QTemporaryDir dir;
    FakeSystem system(dir);
    system.addPort("ttyUSB0", usb);
    const std::vector<TPortEntry> entries = system.describe();
    QCOMPARE(entries.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(entries[0].path), system.dev() + "/ttyUSB0");
    QCOMPARE(QString::fromStdString(entries[0].description), description);
    QVERIFY(entries[0].stableName.empty());
    QCOMPARE(entries[0].OpenName(), entries[0].path);
}

void TestPortDescription::stableNameIsOpened_data()
{
    QTest::addColumn<QByteArray>("serial");  // the cable's USB serial number; empty: none
    QTest::addColumn<bool>("twin");          // a second cable alike, with the same serial number
    QTest::addColumn<bool>("byId");          // whether the by-id name is the one to open
    QTest::addRow("cable with a serial number") << QByteArray("A9054JVD") << false << true;
    // Two such cables would share the name, and it follows the one plugged in last.
    QTest::addRow("cable without a serial number") << QByteArray() << false << false;
    QTest::addRow("two cables with one factory serial number") << QByteArray("0001") << true << false;
}

void TestPortDescription::stableNameIsOpened()
{
    QFETCH(QByteArray, serial);
    QFETCH(bool, twin);
    QFETCH(bool, byId);
    QTemporaryDir dir;
    FakeSystem system(dir);
    UsbFiles cable = kProlific;
    if (!serial.isEmpty())
        cable.insert("serial", serial);
    system.addPort("ttyUSB0", cable);
    system.addPort("ttyUSB1", twin ? cable : UsbFiles{{"idVendor", "10c4"}, {"idProduct", "ea60"}});
    const QString name = "usb-Prolific_Technology_Inc._USB-Serial_Controller_" + serial + "-if00-port0";
    system.addById(name, "ttyUSB0");
    const std::vector<TPortEntry> entries = system.describe();
    QCOMPARE(entries.size(), std::size_t(2));
    QCOMPARE(QString::fromStdString(entries[0].OpenName()),
             byId ? system.dev() + "/serial/by-id/" + name : system.dev() + "/ttyUSB0");
    QCOMPARE(QString::fromStdString(entries[0].description),
             QStringLiteral("Prolific Technology Inc. USB-Serial Controller (067b:2303)"));
    QCOMPARE(QString::fromStdString(entries[1].OpenName()), system.dev() + "/ttyUSB1");
}

void TestPortDescription::virtualRadioIsMarked()
{
    QTemporaryDir dir;
    FakeSystem system(dir);
    system.addPort("ttyS0", {});
    WriteFile(dir.path() + "/pts3", {});
    const QString link = dir.path() + "/xiepin-radio";
    QVERIFY(QFile::link(dir.path() + "/pts3", link));
    const std::vector<TPortEntry> entries = system.describe(link);
    QCOMPARE(entries.size(), std::size_t(2));
    QVERIFY(!entries[0].virtualRadio);
    QVERIFY(entries[1].virtualRadio);
    QCOMPARE(QString::fromStdString(entries[1].OpenName()), link);
}

void TestPortDescription::openFailureAdvice_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("advice");
    QTest::addRow("missing") << ENOENT << "no such device. Is the cable plugged in?";
    QTest::addRow("unplugged while listed") << ENXIO << "no such device. Is the cable plugged in?";
    QTest::addRow("busy without a visible holder")
        << EBUSY << "in use by another program. Close the program that uses it, then try again.";
    QTest::addRow("other") << EIO << "Input/output error";
}

void TestPortDescription::openFailureAdvice()
{
    QFETCH(int, error);
    QFETCH(QString, advice);
    QTemporaryDir proc;
    const std::string message = OpenFailureMessage("/dev/ttyUSB9", error, proc.path().toStdString());
    QCOMPARE(QString::fromStdString(message), "Error opening serial port: /dev/ttyUSB9: " + advice);
}

void TestPortDescription::busyPortNamesHolder_data()
{
    QTest::addColumn<bool>("locked");  // /proc/locks names ModemManager's lock on the device
    QTest::addColumn<QString>("advice");
    // The radio that serves the device keeps it open too; only the lock tells who took it.
    QTest::addRow("by its lock") << true << "in use by ModemManager (pid 812). Close or stop";
    QTest::addRow("by descriptors, this program left out") << false
                                                           << "in use by xiepin-radio (pid 700), ModemManager (pid 812). Close or stop";
}

// /proc tells who holds a busy device: whoever has its lock, else whoever has it open.
void TestPortDescription::busyPortNamesHolder()
{
    QFETCH(bool, locked);
    QFETCH(QString, advice);
    QTemporaryDir dir;
    const QString device = dir.path() + "/ttyUSB0";
    WriteFile(device, {});
    const QString proc = dir.path() + "/proc";
    const QString self = QString::number(::getpid());
    for (const QString &pid : {QStringLiteral("700"), QStringLiteral("812"), self}) {
        WriteFile(proc + "/" + pid + "/comm", pid == self ? "xiepin\n" : pid == "700" ? "xiepin-radio\n" : "ModemManager\n");
        QDir().mkpath(proc + "/" + pid + "/fd");
        QVERIFY(QFile::link(device, proc + "/" + pid + "/fd/9"));
    }
    WriteFile(proc + "/900/comm", "bash\n");
    QDir().mkpath(proc + "/900/fd");
    QVERIFY(QFile::link("/dev/null", proc + "/900/fd/0"));
    struct stat info {};
    QVERIFY(::stat(device.toLocal8Bit().constData(), &info) == 0);
    const QString id = QString::asprintf("%02x:%02x:%lu", major(info.st_dev), minor(info.st_dev), static_cast<unsigned long>(info.st_ino));
    WriteFile(proc + "/locks", locked ? "1: FLOCK  ADVISORY  WRITE 812 " + id.toUtf8() + " 0 EOF\n1: -> FLOCK  ADVISORY  WRITE 700 " + id.toUtf8() + " 0 EOF\n"
                                      : "1: POSIX  ADVISORY  WRITE 900 00:01:2 0 EOF\n");

    const std::string message = OpenFailureMessage(device.toStdString(), EWOULDBLOCK, proc.toStdString());
    QVERIFY2(QString::fromStdString(message).startsWith("Error opening serial port: " + device + ": " + advice), message.c_str());
}

void TestPortDescription::permissionAdvice_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("ownGroup");  // the device's group is not root's
    QTest::addColumn<QString>("advice");  // {group}: the device's group
    QTest::addRow("the group reads and writes") << 0660 << true
                                               << "permission denied. Add your user to the group {group} (sudo usermod -aG {group} $USER), "
                                                  "then log out and in again.";
    QTest::addRow("the group may only write") << 0620 << true << "permission denied: only root may open it (group {group}, mode 620).";
    QTest::addRow("root's group") << 0660 << false << "permission denied: only root may open it (group root, mode 660).";
}

// Joining the device's group is advised only where it gives read and write access.
void TestPortDescription::permissionAdvice()
{
    QFETCH(int, mode);
    QFETCH(bool, ownGroup);
    QFETCH(QString, advice);
    if (::geteuid() != 0)
        QSKIP("giving a file to another group needs root");
    QTemporaryDir dir;
    const QString device = dir.path() + "/ttyUSB0";
    WriteFile(device, {});
    const QByteArray path = device.toLocal8Bit();
    const group *tty = ::getgrnam("tty");
    QVERIFY(tty != nullptr);
    QCOMPARE(::chown(path.constData(), 0, ownGroup ? tty->gr_gid : 0), 0);
    QCOMPARE(::chmod(path.constData(), mode_t(mode)), 0);
    advice.replace("{group}", ownGroup ? QString::fromLocal8Bit(tty->gr_name) : QStringLiteral("root"));
    const QString message = QString::fromStdString(OpenFailureMessage(device.toStdString(), EACCES));
    QVERIFY2(message.startsWith("Error opening serial port: " + device + ": " + advice), qPrintable(message));
}

QTEST_GUILESS_MAIN(TestPortDescription)
#include "tst_portdescription.moc"
