#pragma once
/// \class TRxTxPanel RxTxPanel.h <vyn/RxTxPanel.h>
/// TRxTxPanel: an 18 x 21 panel with two lamps, "T" (transmit, lamp 0) above
/// and "R" (receive, lamp 1) below; each is white (idle) or green (active).
/// The panel remembers its face, so a repaint after it was covered or resized
/// shows what the last Init and SetLed drew. GUI thread only: a caller on
/// another thread hands the change to the GUI thread first.

#include "VynExport.h"

#include <QImage>
#include <QWidget>

class VYN_EXPORT TRxTxPanel : public QWidget {
    Q_OBJECT

public:
    /// An empty 18 x 21 panel; Init draws its face.
    explicit TRxTxPanel(QWidget* owner = nullptr);

    /// Draws the face: both labels, both lamps white.
    void Init();
    /// Lamp 0 is the transmit lamp, any other value the receive lamp; state 0
    /// shows it white, any other value green. Nothing else changes.
    void SetLed(int lamp, int state);

    /// What the panel shows: whether the labels are drawn, and each lamp's
    /// state (-1 not drawn yet, 0 white, 1 green).
    bool LabelsShown() const { return m_labels; }
    /// Lamp `lamp`'s state (0 transmit, any other value receive).
    int LampState(int lamp) const { return m_lamps[lamp == 0 ? 0 : 1]; }

protected:
    /// Draws the remembered face.
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_whiteLamp;
    QImage m_greenLamp;
    bool m_labels = false;
    int m_lamps[2] = {-1, -1};
};
