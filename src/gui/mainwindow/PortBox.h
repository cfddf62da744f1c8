#pragma once

#include <QComboBox>

// The port list `comcbb`: a free-text drop-down that says when its list is about to open, so
// the ports can be listed afresh first.
class TPortBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;

    void showPopup() override
    {
        Q_EMIT PopupOpening();
        QComboBox::showPopup();
    }

Q_SIGNALS:
    void PopupOpening();
};
