// Frames that come back. With [Frames] Remember on, each frame has an identity and a record in
// the program folder's store (platform/frame_store.hpp), written whenever what the user sees of
// it changes, so that the frames open when the session ended come back at the next start. A
// frame the user closes (Exit, Alt+F4) loses its record. With the setting off nothing is read
// or written, and every start is a new frame at its design place.
//
// A start with no arguments takes the first record no running frame holds and starts one
// process for each other such record, with "/frame:<identity>"; a process started so takes that
// identity, and ends at once when a running frame holds it already (each identity is claimed,
// a named mutex on Windows, for as long as its frame runs). "/again" (an installer starting the
// frames it closed) brings records back as a plain start does, but starts no new frame.
#pragma once

namespace frames {

// Start-up, before the picture is loaded: reads the setting and, when it is on, takes this
// frame's identity and its record, giving the record's picture and caption to the shared state.
// False when this process has no frame to show and ends (its identity runs already).
bool Begin();
// Start-up, once the frame is laid out at its design place: the record's size, opacity, shadow,
// slideshow, lock and place; a new identity's record is written for the first time.
void Apply();

// What the user sees may have changed: the record is written when it differs from the last.
void Save();
// The user dropped the frame where it stands now: that becomes its own place.
void Moved();
// The displays changed. A frame standing elsewhere because its monitor was gone goes back to
// its place when that monitor is back; one whose monitor went keeps its place in its record.
// True when the frame was moved home.
bool DisplayChanged();

// Whether a left press leaves the frame where it is; the lock item toggles it.
bool Locked();
void ToggleLock();

// The new-copy command: another frame, with an identity of its own and the same picture and
// settings, 30 of the program's pixels right of and below this one.
void StartCopy();

// The session ends: the record stays, for the next start.
void SessionEnds();
// The frame closes: its record goes, unless the session is ending.
void Close();

}  // namespace frames
