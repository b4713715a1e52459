// The click that leads the user to the followed network: the stronger its
// latest signal, the faster the clicks; silent once it has not been heard
// for a while. Qt-free; the scanner page hands the rate to the sound player.
#pragma once

#include "platform/Types.h"

class CGuideTone {
public:
    static constexpr DWORD kQuietAfterMs = 3000;

    // Clicks per 1000 seconds for a signal: 1 a second at -90 dBm and below,
    // 10 a second at -30 dBm and above. Between them each dB multiplies the
    // rate by the same factor, 10^(1/60) (about 3.9 %): the ear hears equal
    // steps of signal as equal steps of pace, and -60 dBm gives 3.16 a second.
    static DWORD RateFor(LONG rssi);

    void Heard(DWORD tick, LONG rssi);
    void Forget();

    // The rate at `now`: that of the latest signal heard, or 0 when nothing
    // was heard in the last kQuietAfterMs.
    DWORD RateAt(DWORD now) const;
    // Milliseconds from `now` until the rate falls to 0 by itself; 0 when it
    // already has.
    DWORD QuietIn(DWORD now) const;

private:
    bool m_heard = false;
    DWORD m_tick = 0;
    LONG m_rssi = 0;
};
