#pragma once

#include "backup/BackupStore.h"
#include "protocol/ProgramLink.h"
#include "radio/VirtualRadio.h"
#include "support/core/FakeChannel.h"
#include "support/gui/TestSupport.h"
#include "support/radio/RadioChannel.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>

class QPushButton;
class TSignallingWindow;

// One editor window on a program link whose port starts closed, as after a main read. The far
// end is the virtual radio, or a fake port (one that cannot be opened). The window is shown and
// active; what it reports is recorded.
class EditorRig {
public:
    EditorRig(const EditorRig &) = delete;
    EditorRig &operator=(const EditorRig &) = delete;
    virtual ~EditorRig();

    MessageRecorder messages;  // outlives the window
    VirtualRadio radio;
    RadioChannel *channel = nullptr;  // with the virtual radio
    FakeChannel *fake = nullptr;      // with a fake port
    std::unique_ptr<TProgramLink> link;

    TSignallingWindow &window() const { return *m_window; }
    static void Click(QPushButton *button);
    void ClickRead();
    void ClickWrite();
    void ClickTransfer(bool write) { write ? ClickWrite() : ClickRead(); }
    void ClickClose();
    // No transfer runs and the window shows none.
    bool Idle() const;
    // Reads the radio into the window and forgets what went over the wire.
    void Read();
    // The window goes, as at the end of the run; the link and the radio stay.
    void DestroyWindow();
    // The frames on the wire so far: 4-byte requests, 34-byte blocks; anything else one byte each.
    QList<QByteArray> frames() const;

protected:
    // resendMs 0 keeps the link's own interval.
    EditorRig(const TRadioImage &image, int resendMs);
    explicit EditorRig(std::unique_ptr<FakeChannel> port);
    void Show(std::unique_ptr<TSignallingWindow> window);

private:
    std::unique_ptr<TSignallingWindow> m_window;
};

// The rig for one kind of window, TForm2 to TForm6, opened under the given port name.
template <class Form>
class WindowRig : public EditorRig {
public:
    WindowRig(const TRadioImage &image, const QString &portName, int resendMs = 0)
        : EditorRig(image, resendMs)
    {
        Open(portName);
    }
    WindowRig(std::unique_ptr<FakeChannel> port, const QString &portName)
        : EditorRig(std::move(port))
    {
        Open(portName);
    }

    void DestroyWindow()
    {
        form = nullptr;
        EditorRig::DestroyWindow();
    }

    Form *form = nullptr;

private:
    void Open(const QString &portName)
    {
        // A rig is a radio of its own: no write an earlier test left unfinished is on its port.
        TBackupStore().ClearUnfinishedWrite(portName);
        auto window = std::make_unique<Form>(*link, [portName] { return portName; });
        form = window.get();
        Show(std::move(window));
    }
};

// The rig for the editor of that kind: "DTMF", "two-tone", "five-tone" or "FSK".
std::unique_ptr<EditorRig> OpenEditorRig(const QString &kind, const TRadioImage &image, const QString &portName,
                                         int resendMs = 0);
std::unique_ptr<EditorRig> OpenEditorRig(const QString &kind, std::unique_ptr<FakeChannel> port, const QString &portName);
