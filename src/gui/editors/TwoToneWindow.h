#pragma once

#include "editors/SignallingWindow.h"
#include "signalling/TwoToneCodec.h"
#include "signalling/EditorArea.h"

#include <memory>

// The two-tone editor: tone durations and the encode table xg1 on the page "编码", the decode
// table xg2 on the page "解码", the four decode tones and the reset time below the pages.
// Reads and writes area 3.
class TForm4 : public TSignallingWindow {
    Q_OBJECT
public:
    TForm4(TProgramLink &link, PortName portName, QWidget *parent = nullptr);
    ~TForm4() override;

    TTwoToneTexts &Texts() { return m_area->texts; }
    const TTwoToneTexts &Texts() const { return m_area->texts; }
    TXStringGrid *xg1() const;
    TXStringGrid *xg2() const;

private:
    using Area = TEditorArea<TTwoToneTexts, TTwoToneCodec>;

    // The texts and codec have to exist before the base window binds to them.
    TForm4(std::unique_ptr<Area> area, TProgramLink &link, PortName portName, QWidget *parent);

    void PlaceEncodePage();
    void PlaceDecodePage();
    void PlaceTones();
    void SetUpGrids();

    std::unique_ptr<Area> m_area;
};
