#pragma once

#include "editors/SignallingWindow.h"
#include "signalling/DtmfCodec.h"
#include "signalling/EditorArea.h"

#include <memory>

// The DTMF editor: encode parameters and the 16 autodial memories of grid xg2 on the page
// "DTMF编码", the decode settings on the page "DTMF解码". Reads and writes area 1.
class TForm2 : public TSignallingWindow {
    Q_OBJECT
public:
    TForm2(TProgramLink &link, PortName portName, QWidget *parent = nullptr);
    ~TForm2() override;

    TDtmfTexts &Texts() { return m_area->texts; }
    const TDtmfTexts &Texts() const { return m_area->texts; }
    TXStringGrid *xg2() const;

private:
    using Area = TEditorArea<TDtmfTexts, TDtmfCodec>;

    // The texts and codec have to exist before the base window binds to them.
    TForm2(std::unique_ptr<Area> area, TProgramLink &link, PortName portName, QWidget *parent);

    void PlaceEncodePage();
    void PlaceDecodePage();
    void SetUpGrid();
    void PadLabel(const QString &controlName);

    std::unique_ptr<Area> m_area;
};
