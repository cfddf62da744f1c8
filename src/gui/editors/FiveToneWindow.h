#pragma once

#include "editors/SignallingWindow.h"
#include "signalling/FiveToneCodec.h"
#include "signalling/EditorArea.h"

#include <memory>

// The five-tone editor: the standards with their tone frequencies on the page "标准", the encode
// table xg2 and the sending delays on the page "编码", the decode table xg3 and the reset time
// on the page "解码", which the window opens on. Reads and writes area 4.
class TForm5 : public TSignallingWindow {
    Q_OBJECT
public:
    TForm5(TProgramLink &link, PortName portName, QWidget *parent = nullptr);
    ~TForm5() override;

    TFiveToneTexts &Texts() { return m_area->texts; }
    const TFiveToneTexts &Texts() const { return m_area->texts; }
    TXStringGrid *xg1() const;
    TXStringGrid *xg2() const;
    TXStringGrid *xg3() const;

public Q_SLOTS:
    // The CCIR box changed: the sixteen boxes show the frequencies of the standard it names.
    void CCIRChange();

private:
    using Area = TEditorArea<TFiveToneTexts, TFiveToneCodec>;

    // The texts and codec have to exist before the base window binds to them.
    TForm5(std::unique_ptr<Area> area, TProgramLink &link, PortName portName, QWidget *parent);

    void PlaceStandardsPage();
    void PlaceEncodePage();
    void PlaceDecodePage();
    void SetUpGrids();

    std::unique_ptr<Area> m_area;
};
