#pragma once
#include "model/vakto.h"

#include <cstdint>

// Main window load: the start-up sequence. Returns false when the program must not go on
// (a fatal data-file error has already been reported and the program ended).
bool Startup(Vakto& v);
// One Timer1 event. Acts only when the wall-clock second differs from the last one handled.
void Tick(Vakto& v);
// Before a call into the core from the user (the tray, its menu, a click): while the window sleeps,
// the tick this second would have had runs first, so that what the user sets counts from now and
// what fell due meanwhile happens before it. Shown, the tick is at most a second old: nothing runs.
void CatchUp(Vakto& v);
// The local second (a TickKey) of the next tick the core needs after the tick at `key`; 0 when
// nothing at all is due. While the main window is shown that is the next second. Hidden or
// minimised, only what is heard or written is due: a punched minute (on disk each minute), the
// announcer's next minute, the alarm's second, a failed save's retry. Skipped seconds are a gap to
// the next tick, which catches up the digits, the hands and the countdown as after any gap.
std::int64_t NextTickKey(const Vakto& v, std::int64_t key);
// The full minutes of a forward gap in the ticks (TickKeys lastKey to key) that the machine was
// awake for, given the awake clock's milliseconds across the gap.
int AwakeFullMinutes(std::int64_t lastKey, std::int64_t key, std::int64_t awakeMs);
// Close request of the main window; userClose = the window system's close command.
// Returns true when the close is cancelled (the window stays loaded).
bool OnCloseRequest(Vakto& v, bool userClose);
// Unload of the main window.
void OnUnload(Vakto& v);
// The session is ending (log out, shut down): quit as from the menu.
void OnSessionEnd(Vakto& v);
// The session manager asks for the data to be saved, which is not the session's end: the ledger is
// written with the minutes punched so far, and the punch clock and everything else run on.
void OnSessionSave(Vakto& v);
void QuitProgram(Vakto& v);
// Header V and user close: minimise and hide to the tray, or only minimise when no tray icon is shown.
void HideToTray(Vakto& v);
