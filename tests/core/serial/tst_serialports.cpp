#include "serial/SerialPorts.h"

#include <QTemporaryDir>
#include <QtTest>

// Builds a fake /sys/class/tty: each entry a folder, "device" present for backed devices.
class FakeSysfs {
public:
    explicit FakeSysfs(const QTemporaryDir &dir) : m_root(dir.path() + "/tty") { QDir().mkpath(m_root); }
    void add(const QString &name, bool device, const QString &type = {})
    {
        const QString entry = m_root + '/' + name;
        QDir().mkpath(entry);
        if (device)
            QDir().mkpath(entry + "/device");
        if (!type.isNull()) {
            QFile f(entry + "/type");
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(type.toLatin1() + "\n");
        }
    }
    QString root() const { return m_root; }

private:
    QString m_root;
};

class TestSerialPorts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sortsCaseInsensitively_data();
    void sortsCaseInsensitively();
    void listsBackedDevicesOnly();
    void addsLiveVirtualRadioOnly();
    void failureLeavesListUnchanged();
};

void TestSerialPorts::sortsCaseInsensitively_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("sorted");
    QTest::addRow("COM style") << QStringList{"COM2", "COM10", "COM1"} << QStringList{"COM1", "COM10", "COM2"};
    QTest::addRow("mixed case") << QStringList{"com3", "COM1", "Com2"} << QStringList{"COM1", "Com2", "com3"};
    QTest::addRow("linux paths") << QStringList{"/dev/ttyUSB0", "/dev/ttyS10", "/dev/ttyACM0", "/dev/ttyS2"}
                                 << QStringList{"/dev/ttyACM0", "/dev/ttyS10", "/dev/ttyS2", "/dev/ttyUSB0"};
}

void TestSerialPorts::sortsCaseInsensitively()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, sorted);
    SortPortNames(names);
    QCOMPARE(names, sorted);
}

void TestSerialPorts::listsBackedDevicesOnly()
{
    QTemporaryDir dir;
    FakeSysfs sys(dir);
    sys.add("COM2", true);
    sys.add("COM10", true);
    sys.add("COM1", true);
    sys.add("ttyS0", true, "4");  // 16550A present
    sys.add("ttyS1", true, "0");  // slot without hardware
    sys.add("ttyUSB0", true);
    sys.add("pts", false);
    sys.add("tty1", false);
    QStringList list{"stale"};
    QVERIFY(ListSerialPorts(list, sys.root(), "/dev", QString()));
    QCOMPARE(list, (QStringList{"/dev/COM1", "/dev/COM10", "/dev/COM2", "/dev/ttyS0", "/dev/ttyUSB0"}));
}

void TestSerialPorts::addsLiveVirtualRadioOnly()
{
    QTemporaryDir dir;
    FakeSysfs sys(dir);
    sys.add("ttyUSB0", true);
    const QString target = dir.path() + "/pts7";
    QFile device(target);
    QVERIFY(device.open(QIODevice::WriteOnly));
    device.close();
    const QString link = dir.path() + "/xiepin-radio";
    QVERIFY(QFile::link(target, link));

    QStringList list;
    QVERIFY(ListSerialPorts(list, sys.root(), "/dev", link));
    QCOMPARE(list, (QStringList{"/dev/ttyUSB0", link}));

    QVERIFY(QFile::remove(target));  // the radio has gone: its link dangles
    QVERIFY(ListSerialPorts(list, sys.root(), "/dev", link));
    QCOMPARE(list, QStringList{"/dev/ttyUSB0"});

    // Killed, it left its link, and another program got its pseudo-terminal since.
    QTest::qWait(30);
    QVERIFY(device.open(QIODevice::WriteOnly));
    device.close();
    QVERIFY(ListSerialPorts(list, sys.root(), "/dev", link));
    QCOMPARE(list, QStringList{"/dev/ttyUSB0"});
}

void TestSerialPorts::failureLeavesListUnchanged()
{
    QStringList list{"/dev/ttyUSB3"};
    QVERIFY(!ListSerialPorts(list, "/nonexistent/tty", "/dev", QString()));
    QCOMPARE(list, QStringList{"/dev/ttyUSB3"});
}

QTEST_GUILESS_MAIN(TestSerialPorts)
#include "tst_serialports.moc"
