#pragma once

#include "editors/SignallingWindow.h"
#include "signalling/DtmfArea.h"

#include <memory>

// The DTMF editor: encode parameters and the 16 autodial memories of grid xg2 on the page
// "DTMF编码", the decode settings on the page "DTMF解码". Reads and writes area 1.
class TForm2 : public TSignallingWindow {
    Q_OBJECT
public:
    TForm2(TProgramLink &link, PortName portName, QWidget *parent = nullptr);
    ~TForm2() override;

    TDtmfArea &Area() { return *m_area; }
    const TDtmfArea &Area() const { return *m_area; }
    TXStringGrid *xg2() const;

private:
    // The area has to exist before the base window binds to it.
    TForm2(std::unique_ptr<TDtmfArea> area, TProgramLink &link, PortName portName, QWidget *parent);

    void PlaceEncodePage();
    void PlaceDecodePage();
    void SetUpGrid();
    void PadLabel(const QString &controlName);

    std::unique_ptr<TDtmfArea> m_area;
};
