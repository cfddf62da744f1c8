#pragma once

#include "editors/SignallingWindow.h"
#include "signalling/FskArea.h"

#include <memory>

// The FSK queue-sync editor: the own queue and ID, baud rate, delay, information-mode timer and
// side tone on the left, the 16 queue/ID pairs of grid xg1 on the right. Reads and writes area 2.
class TForm6 : public TSignallingWindow {
    Q_OBJECT
public:
    TForm6(TProgramLink &link, PortName portName, QWidget *parent = nullptr);
    ~TForm6() override;

    TFskArea &Area() { return *m_area; }
    const TFskArea &Area() const { return *m_area; }
    TXStringGrid *xg1() const;

private:
    // The area has to exist before the base window binds to it.
    TForm6(std::unique_ptr<TFskArea> area, TProgramLink &link, PortName portName, QWidget *parent);

    void PlaceSettings();
    void SetUpGrid();
    void PlaceGrid();

    std::unique_ptr<TFskArea> m_area;
};
