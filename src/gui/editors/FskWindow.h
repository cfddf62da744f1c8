#pragma once

#include "editors/SignallingWindow.h"
#include "signalling/FskCodec.h"
#include "signalling/EditorArea.h"

#include <memory>

// The FSK queue-sync editor: the own queue and ID, baud rate, delay, information-mode timer and
// side tone on the left, the 16 queue/ID pairs of grid xg1 on the right. Reads and writes area 2.
class TForm6 : public TSignallingWindow {
    Q_OBJECT
public:
    TForm6(TProgramLink &link, PortName portName, QWidget *parent = nullptr);
    ~TForm6() override;

    TFskTexts &Texts() { return m_area->texts; }
    const TFskTexts &Texts() const { return m_area->texts; }
    TXStringGrid *xg1() const;

private:
    using Area = TEditorArea<TFskTexts, TFskCodec>;

    // The texts and codec have to exist before the base window binds to them.
    TForm6(std::unique_ptr<Area> area, TProgramLink &link, PortName portName, QWidget *parent);

    void PlaceSettings();
    void SetUpGrid();
    void PlaceGrid();

    std::unique_ptr<Area> m_area;
};
