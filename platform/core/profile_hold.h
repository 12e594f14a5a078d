// Writes made while this process holds the records lock: they collect in memory and reach each
// file in one replacement when the lock is let go, so that a failure partway through a table
// leaves the whole old table rather than half of the new one.
#pragma once

namespace platform::profile {

// Starts or nests a hold; reads made during it see the writes held so far.
void HoldWrites();
// Ends one level of the hold; the outermost stores every held write. False when a file could not
// be replaced: it then keeps the bytes it had before the hold.
bool ReleaseWrites();

}  // namespace platform::profile
