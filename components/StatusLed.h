#pragma once
/// \class TStatusLed StatusLed.h <vyn/StatusLed.h>
/// TStatusLed: a 9 x 9 status lamp. It shows one of 32 lamp images (16
/// colours, index c large and 16 + c small: 0 black, 1 white, 2 dark grey,
/// 3 grey, 4 dark red, 5 red, 6 brown, 7 yellow, 8 dark green, 9 green,
/// 10 dark cyan, 11 cyan, 12 dark blue, 13 blue, 14 dark purple, 15 purple),
/// keeps an off, a false-state and a true-state lamp, and flashes: FlashLed
/// shows a lamp and 100 ms after the last flash the false-state lamp returns.
///
/// With transparency on (Init on this platform), the lamp's background is
/// left out and only the disc covers what lies beneath. The flash timer is a
/// deferred call on the window given to Init, or on the LED itself without
/// one; destroying the LED cancels it, so no flash reaches a destroyed LED.
/// GUI thread only.

#include "VynExport.h"

#include <QImage>
#include <QWidget>

#include <array>
#include <cstdint>

/// The image of lamp `index` (0 to 31), loaded from the library's bitmaps
/// (":/bitmaps/LED_RED", ...); a null image for another index.
VYN_EXPORT QImage LoadLampImage(int index);

/// The resource name of lamp `index` ("LED_RED", "LEDSMALL_GREY"); empty for
/// an index outside 0 to 31.
VYN_EXPORT const char* LampName(int index);

/// `image` with every pixel of its bottom-left pixel's colour made transparent.
VYN_EXPORT QImage WithoutBackground(const QImage& image);

class VYN_EXPORT TStatusLed : public QWidget {
    Q_OBJECT
    // The three preset lamps (0 to 31), for Qt's property system and Qt
    // Designer; writing one draws nothing, as SetLedColors.
    Q_PROPERTY(int OffColor MEMBER OffColor)
    Q_PROPERTY(int FalseColor MEMBER FalseColor)
    Q_PROPERTY(int TrueColor MEMBER TrueColor)

public:
    /// A 9 x 9 LED showing its false-state lamp (white).
    explicit TStatusLed(QWidget* owner = nullptr);
    /// Cancels a pending flash.
    ~TStatusLed() override;
    TStatusLed(const TStatusLed&) = delete;
    TStatusLed& operator=(const TStatusLed&) = delete;

    // Published properties: the three preset lamps (0 to 31).
    int OffColor = 2;           ///< SetLedOff's lamp: dark grey
    int FalseColor = 1;         ///< SetLedBool(false)'s and the flash's end: white
    int TrueColor = 5;          ///< SetLedBool(true)'s lamp: red
    bool BitmapsLoaded = false; ///< whether InitBitmaps found the lamps
    ///@{
    /// Setters of the names uic calls for a form's properties.
    void setOffColor(int index) { OffColor = index; }
    void setFalseColor(int index) { FalseColor = index; }
    void setTrueColor(int index) { TrueColor = index; }
    ///@}
    QObject* TimerWnd = nullptr; ///< the window given to Init
    /// The identifier of the pending flash timer; 0 while none is pending.
    std::uintptr_t TimerId = 0;

    /// The window the flash timer runs on (nullptr: the LED itself); turns
    /// transparency on on this platform.
    void Init(QObject* window);
    /// Stores the three preset lamps; draws nothing.
    void SetLedColors(int offColor, int falseColor, int trueColor);
    /// Shows lamp `index`. On a hidden LED nothing happens; an index outside
    /// 0 to 31 leaves the lamp shown before.
    void SetLed(int index);
    /// Shows TrueColor or FalseColor.
    void SetLedBool(bool state);
    /// Shows OffColor.
    void SetLedOff();
    /// Shows lamp `index` and (re)starts the 100 ms flash timer.
    void FlashLed(int index);
    /// Loads the 32 lamps once (the constructor calls it); without them in
    /// the program nothing is loaded and the next call tries again.
    void InitBitmaps();
    /// (Re)starts the flash timer: TimeoutHandler runs after `milliseconds`.
    void StartTimer(int milliseconds);
    /// Cancels a pending flash timer.
    void StopTimer();
    /// Ends a flash: stops the timer and shows the false-state lamp.
    void TimeoutHandler();

    /// Whether only the disc is drawn (Init turns it on).
    bool Transparent() const { return m_transparent; }
    /// The picture as drawn so far (null before the first lamp).
    const QImage& Picture() const { return m_picture; }

protected:
    /// Draws the picture.
    void paintEvent(QPaintEvent* event) override;

private:
    QObject* TimerWindow();
    std::uintptr_t TimerKey() const;

    std::array<QImage, 32> m_bitmaps;
    QImage m_picture;
    bool m_transparent = false;
    QObject* m_armedOn = nullptr; ///< the window the pending flash runs on
};
