// The windows in English beside Chinese: every text a person sees is translated, the stored
// texts stay Chinese, and no box or column is narrower than its text in either language.

#include "app/AppWindows.h"
#include "app/WindowPlaces.h"
#include "dialogs/Language.h"
#include "editors/DtmfWindow.h"
#include "editors/FiveToneWindow.h"
#include "editors/FskWindow.h"
#include "editors/TwoToneWindow.h"
#include "grid/XStringGrid.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/ProgressWindow.h"
#include "protocol/FactoryImage.h"
#include "support/gui/MainWindowRig.h"
#include "support/gui/TestSupport.h"
#include "support/gui/WindowLayout.h"
#include "support/radio/RadioChannel.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Han characters and the CJK and full-width punctuation ("，", "：", "（").
const QRegularExpression kChinese(QStringLiteral("[\\x{3000}-\\x{303F}\\x{3400}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));

// The language installed for the life of the object, Chinese again after it.
struct LanguageScope {
    explicit LanguageScope(const QString &language) { InstallLanguage(language); }
    ~LanguageScope() { InstallLanguage(QStringLiteral("zh")); }
};

// The windows after one main read, in a language.
struct Windows : LanguageScope, MainWindowRig {
    explicit Windows(const QString &language) : LanguageScope(language) { read(); }
    QList<QWidget *> all() const
    {
        return {&windows->Form1(), &windows->Form2(), &windows->Form4(), &windows->Form5(), &windows->Form6(),
                &windows->Form3()};
    }

    MessageRecorder messages;
};

// Every text of a window a person reads, but the data in the grids' cells, with where it is.
QList<QPair<QString, QString>> ShownTexts(QWidget *window)
{
    QList<QPair<QString, QString>> texts{{window->objectName(), window->windowTitle()}};
    const auto add = [&texts](const QObject *o, const QString &text) { texts.append({o->objectName(), text}); };
    for (const QLabel *w : window->findChildren<QLabel *>())
        add(w, w->text());
    for (const QAbstractButton *w : window->findChildren<QAbstractButton *>())
        add(w, w->text());
    for (const QGroupBox *w : window->findChildren<QGroupBox *>())
        add(w, w->title());
    for (const QTabWidget *w : window->findChildren<QTabWidget *>()) {
        for (int i = 0; i < w->count(); ++i)
            add(w, w->tabText(i));
    }
    for (const QComboBox *w : window->findChildren<QComboBox *>()) {
        add(w, w->currentText());
        for (int i = 0; i < w->count(); ++i)
            add(w, w->itemText(i));
    }
    for (const QLineEdit *w : window->findChildren<QLineEdit *>())
        add(w, w->text());
    for (const QWidget *w : window->findChildren<QWidget *>())
        add(w, w->toolTip());
    for (const QAction *a : window->findChildren<QAction *>()) {
        // The language menu names each language in its own script, so either reader finds it.
        const bool language = a->objectName().startsWith(QLatin1String("Language_"))
                               || (a->menu() && a->menu()->objectName() == QLatin1String("Language1"));
        if (!language)
            add(a, a->text());
    }
    for (const TXStringGrid *grid : window->findChildren<TXStringGrid *>()) {
        for (int col = 0; col < grid->ColCount(); ++col)
            add(grid, grid->ShownCells(col, 0));
    }
    return texts;
}

// Controls on the window's client area whose text is wider than they are, or that overlap.
QStringList ClippedControls(const QWidget *client)
{
    QStringList problems;
    const QList<QWidget *> controls = client->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (const QWidget *w : controls) {
        if (w->sizeHint().width() > w->width() && !qobject_cast<const TXStringGrid *>(w))
            problems << QStringLiteral("%1 is %2 wide, needs %3").arg(w->objectName()).arg(w->width()).arg(w->sizeHint().width());
        for (const QWidget *other : controls) {
            if (w < other && w->geometry().intersects(other->geometry()))
                problems << w->objectName() + QStringLiteral(" overlaps ") + other->objectName();
        }
    }
    return problems;
}

}  // namespace

class TestLanguage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void englishShowsNoChinese();
    void chineseKeepsItsTexts();
    void cellsShowTranslatedEntries();
    void savedFileIsTheSameInBothLanguages();
    void textsFitTheirBoxes_data();
    void textsFitTheirBoxes();
    void languageIsRemembered();
    void clipboardUsesShownEntries_data();
    void clipboardUsesShownEntries();
    void qtWordsFollowLanguage_data();
    void qtWordsFollowLanguage();
    void windowPlacesAcrossLanguages_data();
    void windowPlacesAcrossLanguages();
    void placeSavedOnceShown_data();
    void placeSavedOnceShown();
    void fitOnScreen_data();
    void fitOnScreen();
};

void TestLanguage::initTestCase()
{
    QSettings().clear();
}

void TestLanguage::englishShowsNoChinese()
{
    Windows w(QStringLiteral("en"));
    QCOMPARE(CurrentLanguage(), QStringLiteral("en"));
    QStringList found;
    for (QWidget *window : w.all()) {
        for (const auto &[where, text] : ShownTexts(window)) {
            if (text.contains(kChinese))
                found << where + QStringLiteral(": ") + text;
        }
    }
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    // Every grid's captions, cells and entries fit their columns in English too.
    QStringList problems;
    for (QWidget *window : w.all()) {
        for (const TXStringGrid *grid : window->findChildren<TXStringGrid *>())
            problems << GridProblems(grid);
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    // The cells read from the radio show their entries in English too.
    const TXStringGrid &xg = *w.form().xg();
    for (int row = 1; row < xg.RowCount(); ++row) {
        for (int col = 0; col < xg.ColCount(); ++col)
            QVERIFY2(!xg.ShownCells(col, row).contains(kChinese), qPrintable(xg.ShownCells(col, row)));
    }
}

void TestLanguage::chineseKeepsItsTexts()
{
    Windows w(QStringLiteral("zh"));
    QCOMPARE(w.form().windowTitle(), QStringLiteral("对讲机写频软件 V1.1.4"));
    QCOMPARE(w.form().xg()->ShownCells(5, 0), QStringLiteral("发射功率"));
    QCOMPARE(w.form().ComboBox(5)->currentText(), QStringLiteral("中文"));
    QCOMPARE(w.windows->Form2().windowTitle(), QStringLiteral("对讲机写频软件"));
}

void TestLanguage::cellsShowTranslatedEntries()
{
    Windows w(QStringLiteral("en"));
    const TXStringGrid &xg = *w.form().xg();
    QCOMPARE(xg.Cells(5, 1), w.form().Config().Cell(1, 5));  // kept as the model has it
    QCOMPARE(xg.ShownCells(5, 0), QStringLiteral("Power"));
    QCOMPARE(w.form().Config().Setting(5), QStringLiteral("中文"));
    QCOMPARE(w.form().ComboBox(5)->currentText(), QStringLiteral("Chinese"));
    QCOMPARE(w.windows->Form4().windowTitle(), QStringLiteral("Two-Way Radio Programmer"));
}

// The same choices made in either language give the same file, byte for byte.
void TestLanguage::savedFileIsTheSameInBothLanguages()
{
    QTemporaryDir dir;
    QByteArray files[2];
    const QString languages[] = {QStringLiteral("zh"), QStringLiteral("en")};
    for (int i = 0; i < 2; ++i) {
        Windows w(languages[i]);
        QComboBox *alarm = w.form().ComboBox(10);
        alarm->setCurrentIndex(alarm->findText(i == 0 ? QStringLiteral("关") : QStringLiteral("Off")));
        QComboBox *pf1 = w.form().ComboBox(6);
        pf1->setCurrentIndex(3);  // the third key function, shown in either language
        QCOMPARE(w.form().Config().Setting(10), QStringLiteral("关"));
        const QString path = dir.filePath(languages[i] + QStringLiteral(".qz"));
        QVERIFY(w.form().SaveFile(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        files[i] = file.readAll();
    }
    QVERIFY(files[0].size() > 0);
    QCOMPARE(files[1], files[0]);
}

void TestLanguage::textsFitTheirBoxes_data()
{
    QTest::addColumn<QString>("language");
    QTest::addRow("Chinese") << QStringLiteral("zh");
    QTest::addRow("English") << QStringLiteral("en");
}

void TestLanguage::textsFitTheirBoxes()
{
    QFETCH(QString, language);
    Windows w(language);
    w.form().Config().SetEditText(2, 1, QStringLiteral("438.5"));  // shown as "438.50000"
    QCOMPARE(w.form().xg()->Cells(1, 2), QStringLiteral("438.50000"));
    const QStringList grid = GridProblems(w.form().xg());
    QVERIFY(!w.form().xg()->horizontalScrollBar()->isVisible());
    QVERIFY2(grid.isEmpty(), qPrintable(grid.join(QLatin1Char('\n'))));
    const QStringList layout = ClippedControls(w.form().Client());
    QVERIFY2(layout.isEmpty(), qPrintable(layout.join(QLatin1Char('\n'))));
    // Every box shows its widest entry whole, not only the one chosen.
    for (const QComboBox *box : w.form().Client()->findChildren<QComboBox *>(Qt::FindDirectChildrenOnly)) {
        const QFontMetrics metrics(box->font());
        QVERIFY2(metrics.horizontalAdvance(box->currentText()) < box->width(),
                 qPrintable(QStringLiteral("%1 in %2").arg(box->currentText()).arg(box->width())));
        for (int i = 0; i < box->count(); ++i)
            QVERIFY2(metrics.horizontalAdvance(box->itemText(i)) < box->width(), qPrintable(box->itemText(i)));
    }
}

void TestLanguage::languageIsRemembered()
{
    QCOMPARE(SavedLanguage(), QStringLiteral("zh"));
    Windows w(QStringLiteral("zh"));
    auto *english = w.form().findChild<QAction *>(QStringLiteral("Language_en"));
    QVERIFY(english);
    english->trigger();
    QCOMPARE(SavedLanguage(), QStringLiteral("en"));
    QCOMPARE(CurrentLanguage(), QStringLiteral("zh"));  // from the next start on
    QCOMPARE(w.messages.messages.size(), 1);
    QVERIFY(!InstallLanguage(QStringLiteral("fr")));
    QCOMPARE(CurrentLanguage(), QStringLiteral("zh"));
}

// Entries pasted as English shows them (from a spreadsheet written in English) are kept as the
// entries themselves, as when chosen from the list: the write takes them.
// Paste takes the entries as they are shown, and copy gives them so.
void TestLanguage::clipboardUsesShownEntries_data()
{
    QTest::addColumn<QString>("language");
    QTest::addRow("English window") << "en";
    // Cells copied from a window in English paste into one in Chinese.
    QTest::addRow("Chinese window") << "zh";
}

void TestLanguage::clipboardUsesShownEntries()
{
    QFETCH(QString, language);
    const bool english = language == QLatin1String("en");
    Windows w(language);
    TXStringGrid &grid = w.xg();
    QApplication::setActiveWindow(&w.form());
    grid.setFocus();
    grid.SetCol(5);
    grid.SetRow(2);
    QGuiApplication::clipboard()->setText(QStringLiteral("Low\tNarrow\tNone"));
    QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.form().Config().Row(2).mid(5, 3), QStringList({"低", "窄带", "无"}));
    QCOMPARE(grid.ShownCells(5, 2), english ? QStringLiteral("Low") : QStringLiteral("低"));
    grid.SetSelection(QRect(QPoint(5, 2), QPoint(7, 2)));
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    // A yes/no column answers "No"; "None" pasted there is taken too.
    QCOMPARE(QGuiApplication::clipboard()->text(), english ? QStringLiteral("Low\tNarrow\tNo") : QStringLiteral("低\t窄带\t无"));
    grid.SetCol(15);
    QGuiApplication::clipboard()->setText(QStringLiteral("No"));
    QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.form().Config().Cell(2, 15), QStringLiteral("无"));
    if (english) {
        QCOMPARE(grid.ShownCells(15, 2), QStringLiteral("No"));
        QCOMPARE(grid.ShownCells(3, 2), QStringLiteral("None"));
    }
    w.form().wbtn()->click();
    QVERIFY(w.finish());
    QCOMPARE(w.messages.texts(), QStringList{english ? QStringLiteral("Write successful") : QStringLiteral("写入成功")});
}

void TestLanguage::qtWordsFollowLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("words");  // of the buttons OK, Cancel, Save
    QTest::addRow("Chinese") << "zh" << QStringList{"确定", "取消", "保存"};
    QTest::addRow("English") << "en" << QStringList{"OK", "Cancel", "Save"};
}

// The buttons and file dialogs that Qt draws speak the window's language too.
void TestLanguage::qtWordsFollowLanguage()
{
    QFETCH(QString, language);
    QFETCH(QStringList, words);
    const LanguageScope scope(language);
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Save);
    QStringList shown;
    for (QDialogButtonBox::StandardButton button : {QDialogButtonBox::Ok, QDialogButtonBox::Cancel, QDialogButtonBox::Save})
        shown << box.button(button)->text().remove(QLatin1Char('&'));
    QCOMPARE(shown, words);
}

void TestLanguage::windowPlacesAcrossLanguages_data()
{
    QTest::addColumn<QString>("savedIn");
    QTest::addColumn<QString>("restoredIn");
    QTest::addColumn<int>("grown");  // added to each window's width and height before the save
    QTest::addRow("smaller, same language") << "zh" << "zh" << -30;
    QTest::addRow("Chinese size in English") << "zh" << "en" << 0;
    QTest::addRow("larger English size in Chinese") << "en" << "zh" << 200;
    QTest::addRow("smaller English size in Chinese") << "en" << "zh" << -30;
    // "": saved in Chinese by a version that did not note the language.
    QTest::addRow("Chinese size, language not noted, in English") << "" << "en" << 0;
    // Shrunk to nothing (a damaged setting, as the saved size of a window never laid out): the
    // size the window is made with.
    QTest::addRow("shrunk to nothing") << "zh" << "zh" << -5000;
}

// Each window comes back where it was; with the size it had in the same language, and in the
// other one never smaller than its own texts need.
void TestLanguage::windowPlacesAcrossLanguages()
{
    QFETCH(QString, savedIn);
    QFETCH(QString, restoredIn);
    QFETCH(int, grown);
    const auto placed = [](const TAppWindows &w) {
        return QList<QWidget *>{&w.Form1(), &w.Form2(), &w.Form4(), &w.Form5(), &w.Form6()};
    };
    QList<QRect> saved;
    {
        const LanguageScope scope(savedIn.isEmpty() ? QStringLiteral("zh") : savedIn);
        const MainWindowRig rig;
        for (QWidget *window : placed(*rig.windows)) {
            window->setGeometry(QRect(QPoint(40 + saved.size() * 10, 50), window->size() + QSize(grown, grown)));
            window->show();
            saved << window->geometry();
        }
        SaveWindowPlaces(*rig.windows);
        if (savedIn.isEmpty())
            QSettings().remove(QStringLiteral("geometry/language"));
    }
    const LanguageScope scope(restoredIn);
    const MainWindowRig rig;
    const QList<QWidget *> windows = placed(*rig.windows);
    QList<QSize> fitted;
    for (const QWidget *window : windows)
        fitted << window->size();
    RestoreWindowPlaces(*rig.windows);
    for (int i = 0; i < windows.size(); ++i) {
        QSize expected = savedIn == restoredIn ? saved[i].size() : saved[i].size().expandedTo(fitted[i]);
        if (grown == -5000)
            expected = fitted[i];
        QCOMPARE(windows[i]->geometry(), QRect(saved[i].topLeft(), expected));
    }
    QSettings().clear();
}

void TestLanguage::placeSavedOnceShown_data()
{
    QTest::addColumn<QString>("shown");  // "never", "open" or "closed" at the end of the run
    QTest::addColumn<bool>("saved");
    QTest::addRow("never shown") << "never" << false;
    QTest::addRow("shown and still open") << "open" << true;
    QTest::addRow("shown, then closed") << "closed" << true;
}

// A window shown in a run keeps its place, closed or not (Qt forgets a closed window's native
// side); one never shown saves none: Qt's 0,0 would put it over the main window's menu next
// time, where the window manager would have placed it aside.
void TestLanguage::placeSavedOnceShown()
{
    QFETCH(QString, shown);
    QFETCH(bool, saved);
    QSettings().clear();
    const QRect place(120, 80, 500, 400);
    {
        // The main window as the program ends, shown and closed; the DTMF editor as the row says.
        const MainWindowRig rig;
        QWidget &editor = rig.windows->Form2();
        editor.setGeometry(place);
        if (shown != QLatin1String("never"))
            editor.show();
        if (shown == QLatin1String("closed"))
            editor.close();
        rig.windows->Form1().close();
        SaveWindowPlaces(*rig.windows);
    }
    QVERIFY(QSettings().contains(QStringLiteral("geometry/Form1")));
    QCOMPARE(QSettings().contains(QStringLiteral("geometry/Form2")), saved);
    if (saved) {
        const MainWindowRig rig;
        RestoreWindowPlaces(*rig.windows);
        QCOMPARE(rig.windows->Form2().geometry(), place);
    }
    QSettings().clear();
}

void TestLanguage::fitOnScreen_data()
{
    QTest::addColumn<QRect>("before");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<bool>("moved");  // else left exactly as it was
    const QRect screen(0, 0, 1366, 728);  // 768 less a panel
    QTest::addRow("fits") << QRect(100, 50, 923, 625) << screen << false;
    QTest::addRow("a little past the left edge") << QRect(-1, 4, 923, 625) << screen << false;
    QTest::addRow("taller than the screen (scaled by 1.5)") << QRect(0, 4, 1244, 818) << screen << true;
    QTest::addRow("wider and taller, on a second screen") << QRect(1400, 100, 1300, 900) << QRect(1366, 0, 1024, 600) << true;
    QTest::addRow("title bar above the screen") << QRect(200, -40, 600, 400) << screen << true;
    QTest::addRow("kept from a larger screen, off to the right") << QRect(1500, 300, 1000, 700) << screen << true;
    QTest::addRow("kept from a larger screen, below") << QRect(100, 900, 600, 400) << screen << true;
}

// A window larger than the screen's free area shrinks to it and moves onto it, frame and all;
// one whose title bar is within reach stays where it was put.
void TestLanguage::fitOnScreen()
{
    QFETCH(QRect, before);
    QFETCH(QRect, available);
    QFETCH(bool, moved);
    const MainWindowRig rig;
    QWidget &window = rig.windows->Form1();
    window.setGeometry(before);
    FitOnScreen(window, available);
    if (moved)
        QVERIFY2(available.contains(window.frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(window.frameGeometry().x())
                     .arg(window.frameGeometry().y()).arg(window.frameGeometry().width()).arg(window.frameGeometry().height())));
    else
        QCOMPARE(window.geometry(), before);
    // Never larger than it was.
    QVERIFY(window.width() <= before.width() && window.height() <= before.height());
}

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
