#include "mainwindow/MainWindow.h"
#include "protocol/FactoryImage.h"
#include "support/radio/RadioChannel.h"

#include <QComboBox>
#include <QSettings>
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
    QTest::addColumn<bool>("chosen");
    QTest::addRow("listed") << "LINK" << true;
    QTest::addRow("gone") << "/dev/ttyUSB97" << false;
    QTest::addRow("never stored") << "" << false;
}

void TestPortBox::lastPortChosenAtStart()
{
    QFETCH(QString, last);
    QFETCH(bool, chosen);
    startRadio();
    if (!last.isEmpty())
        QSettings().setValue(QStringLiteral("port/last"), last.replace(QStringLiteral("LINK"), m_link));
    const auto form = newForm();
    const int index = form->comcbb()->findText(label());
    QVERIFY(index >= 0);
    QCOMPARE(form->comcbb()->itemData(index).toString(), m_link);
    QCOMPARE(form->comcbb()->currentIndex() == index, chosen || form->comcbb()->count() == 1);
    if (chosen) {
        QCOMPARE(form->comcbb()->currentText(), label());
        QCOMPARE(form->PortName(), m_link);
    }
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
