// The browser's storage of the records, as the page's backend sees it.
#pragma once

namespace platform::web {

// Look-ups reuse the bytes of the last file loaded only while the game runs on without waiting
// for the page: the backend forgets them before each wait, so that a look-up after the next event
// reads the storage again and sees what another tab wrote meanwhile.
void ForgetLoadedFiles();

}  // namespace platform::web
