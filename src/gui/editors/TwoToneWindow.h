#pragma once

#include "editors/SignallingWindow.h"
#include "signalling/TwoToneArea.h"

#include <memory>

// The two-tone editor: tone durations and the encode table xg1 on the page "编码", the decode
// table xg2 on the page "解码", the four decode tones and the reset time below the pages.
// Reads and writes area 3.
class TForm4 : public TSignallingWindow {
    Q_OBJECT
public:
    TForm4(TProgramLink &link, PortName portName, QWidget *parent = nullptr);
    ~TForm4() override;

    TTwoToneArea &Area() { return *m_area; }
    const TTwoToneArea &Area() const { return *m_area; }
    TXStringGrid *xg1() const;
    TXStringGrid *xg2() const;

private:
    // The area has to exist before the base window binds to it.
    TForm4(std::unique_ptr<TTwoToneArea> area, TProgramLink &link, PortName portName, QWidget *parent);

    void PlaceEncodePage();
    void PlaceDecodePage();
    void PlaceTones();
    void SetUpGrids();

    std::unique_ptr<TTwoToneArea> m_area;
};
