#pragma once

#include "editors/SignallingWindow.h"
#include "signalling/FiveToneArea.h"

#include <memory>

// The five-tone editor: the standards with their tone frequencies on the page "标准", the encode
// table xg2 and the sending delays on the page "编码", the decode table xg3 and the reset time
// on the page "解码", which the window opens on. Reads and writes area 4.
class TForm5 : public TSignallingWindow {
    Q_OBJECT
public:
    TForm5(TProgramLink &link, PortName portName, QWidget *parent = nullptr);
    ~TForm5() override;

    TFiveToneArea &Area() { return *m_area; }
    const TFiveToneArea &Area() const { return *m_area; }
    TXStringGrid *xg1() const;
    TXStringGrid *xg2() const;
    TXStringGrid *xg3() const;

public Q_SLOTS:
    // The CCIR box changed: the sixteen boxes show the frequencies of the standard it names.
    void CCIRChange();

private:
    // The area has to exist before the base window binds to it.
    TForm5(std::unique_ptr<TFiveToneArea> area, TProgramLink &link, PortName portName, QWidget *parent);

    void PlaceStandardsPage();
    void PlaceEncodePage();
    void PlaceDecodePage();
    void SetUpGrids();

    std::unique_ptr<TFiveToneArea> m_area;
};
