#pragma once
#include <QStringView>
#include <cstdint>

namespace sentrel {

// The seconds between automatic runs for the interval control's text: the
// text as a 64-bit decimal whole number (0 when it is not one), at least 10.
int64_t IntervalHesapla(QStringView intervalText);

// The countdown a run waits for: IntervalHesapla, and a typed value beyond
// the control's range counts as the largest value the control accepts (what
// the control itself corrects it to when it loses the focus).
int countdownSeconds(QStringView intervalText);

// The interval control's value as it is saved: its text as a 32-bit whole
// number, not clamped, or 10 (its minimum) when the text is not one.
int intervalControlValue(QStringView intervalText);

} // namespace sentrel
