#pragma once

#include "protocol/RadioImage.h"
#include "serial/SerialChannel.h"

#include <QSize>
#include <memory>
#include <optional>

class QWidget;
class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;

// The font of every window: a CJK sans serif, 12 pixels high.
void SetApplicationFont();

// The six windows of a run, created in start-up order: main window, DTMF, two-tone,
// five-tone and FSK editors, progress window. They live until the object goes; the editors and
// the progress window are hidden until shown and only ever hidden again.
class TAppWindows {
public:
    struct Options {
        std::unique_ptr<TSerialChannel> port;  // CreateComm1() when empty
        std::optional<QSize> screen;           // the primary screen's size when empty
    };

    explicit TAppWindows(Options options);
    ~TAppWindows();

    TForm1 &Form1() const { return *m_form1; }
    TForm2 &Form2() const { return *m_form2; }  // DTMF
    TForm4 &Form4() const { return *m_form4; }  // two-tone
    TForm5 &Form5() const { return *m_form5; }  // five-tone
    TForm6 &Form6() const { return *m_form6; }  // FSK queue sync
    TForm3 &Form3() const { return *m_form3; }

    // The four signalling tables as the editors hold them, cells still being typed in
    // committed first, encoded; throws EConvertError. Empty when an editor refused a typed
    // text (the error is shown).
    std::optional<TRadioImage> SignallingTables();
    // The titles of the editors whose tables hold changes neither written nor saved.
    QStringList UnsavedTables() const;
    // Whether the window has been shown in this run (closed since or not).
    bool WasShown(const QWidget &window) const;

private:
    class ShownWatch;
    // Declared in creation order; destroyed in reverse, the main window (and its link) last.
    std::unique_ptr<TForm1> m_form1;
    std::unique_ptr<TForm2> m_form2;
    std::unique_ptr<TForm4> m_form4;
    std::unique_ptr<TForm5> m_form5;
    std::unique_ptr<TForm6> m_form6;
    std::unique_ptr<TForm3> m_form3;
    std::unique_ptr<ShownWatch> m_shown;  // goes first: it watches the windows above
};
