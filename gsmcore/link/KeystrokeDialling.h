#pragma once
// Timing of dialling by simulated key presses (+CKPD, tenths of a second).

// The pause between key presses for a number of `digits` characters: the
// longer the number, the shorter the pause, so that long numbers are not
// cut off by the phone's dialling time-out. Clamped to 0..255.
int KeystrokePauseFor(int basePause, int digits);
