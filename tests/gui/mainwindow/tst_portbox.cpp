#include "mainwindow/MainWindow.h"
#include "protocol/FactoryImage.h"
#include "support/radio/RadioChannel.h"

#include <QComboBox>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// The port list of the main window over the virtual radio's link, which the list finds under
// XDG_RUNTIME_DIR: labels, the name opened, refresh on opening and the port kept for next time.
class TestPortBox : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void lastPortChosenAtStart_data();
    void lastPortChosenAtStart();
    void listRefreshesWhenOpened();
    void portGoneForgetsReads_data();
    void portGoneForgetsReads();
    void openedPortIsRemembered();

private:
    std::unique_ptr<TForm1> newForm() { return std::make_unique<TForm1>(std::make_unique<RadioChannel>(m_radio)); }
    void startRadio() { QVERIFY(QFile::link(m_target, m_link)); }
    QString label() const { return m_link + QStringLiteral(" — 虚拟电台"); }

    QTemporaryDir m_runtime;
    VirtualRadio m_radio{FactoryImage()};
    QString m_link;
    QString m_target;
};

void TestPortBox::initTestCase()
{
    QVERIFY(m_runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
    m_link = m_runtime.filePath(QStringLiteral("xiepin-radio"));
    m_target = m_runtime.filePath(QStringLiteral("pts"));
    QFile target(m_target);
    QVERIFY(target.open(QIODevice::WriteOnly));
}

void TestPortBox::init()
{
    QFile::remove(m_link);
    QSettings().clear();
}

void TestPortBox::lastPortChosenAtStart_data()
{
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("chosen");  // FIRST: the list's first port
    QTest::addRow("listed") << "LINK" << "LINK";
    QTest::addRow("listed under its link, kept by its device") << "DEVICE" << "LINK";
    // Not the list's first port, which may be another radio's.
    QTest::addRow("gone") << "/dev/ttyUSB97" << "/dev/ttyUSB97";
    QTest::addRow("never stored") << "" << "FIRST";
}

void TestPortBox::lastPortChosenAtStart()
{
    QFETCH(QString, last);
    QFETCH(QString, chosen);
    startRadio();
    const auto named = [this](QString name) {
        return name.replace(QStringLiteral("LINK"), m_link).replace(QStringLiteral("DEVICE"), m_target);
    };
    if (!last.isEmpty())
        QSettings().setValue(QStringLiteral("port/last"), named(last));
    const auto form = newForm();
    const int index = form->comcbb()->findText(label());
    QVERIFY(index >= 0);
    QCOMPARE(form->comcbb()->itemData(index).toString(), m_link);
    QCOMPARE(form->PortName(), chosen == QLatin1String("FIRST") ? form->comcbb()->itemData(0).toString() : named(chosen));
}

void TestPortBox::listRefreshesWhenOpened()
{
    const auto form = newForm();
    form->show();
    QCOMPARE(form->comcbb()->findText(label()), -1);
    form->comcbb()->setEditText(QStringLiteral("/dev/typed"));
    startRadio();
    form->comcbb()->showPopup();
    form->comcbb()->hidePopup();
    QVERIFY(form->comcbb()->findText(label()) >= 0);
    QCOMPARE(form->PortName(), QStringLiteral("/dev/typed"));  // the user's text stays

    QVERIFY(form->SelectPort(m_link));
    QVERIFY(QFile::remove(m_link));
    form->RefreshPorts();
    QCOMPARE(form->comcbb()->findText(label()), -1);
    QCOMPARE(form->PortName(), m_link);  // gone, but still the port chosen
}

void TestPortBox::portGoneForgetsReads_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addRow("chosen from the list") << "LINK";
    QTest::addRow("typed by its device") << "DEVICE";
    QTest::addRow("another port typed") << "/dev/typed";
}

// The radio read on a port whose entry leaves the list may not be the one there when it is back.
void TestPortBox::portGoneForgetsReads()
{
    QFETCH(QString, chosen);
    startRadio();
    const auto form = newForm();
    form->comcbb()->setEditText(chosen.replace(QStringLiteral("LINK"), m_link).replace(QStringLiteral("DEVICE"), m_target));
    QSignalSpy forgotten(form.get(), &TForm1::LastReadsOutdated);
    QVERIFY(QFile::remove(m_link));
    form->RefreshPorts();
    QCOMPARE(forgotten.size(), chosen == QLatin1String("/dev/typed") ? 0 : 1);
}

void TestPortBox::openedPortIsRemembered()
{
    startRadio();
    const auto form = newForm();
    QVERIFY(form->SelectPort(m_link));
    form->Link().OpenPort(form->PortName());
    QCOMPARE(QSettings().value(QStringLiteral("port/last")).toString(), m_link);
    form->Link().ClosePort();
}

QTEST_MAIN(TestPortBox)
#include "tst_portbox.moc"
