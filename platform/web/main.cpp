// The page's entry: installs the page's backend and hands over to the game's WinMain.
#include "page.h"
#include "page_backend.h"
#include "page_texts.h"

int main() {
    platform::web::ShowPageTexts();
    static platform::web::PageBackend backend;
    platform::SetBackend(&backend);
    const int code =
        WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOWNORMAL);
    platform::SetBackend(nullptr);
    zum_game_ended(code);
    return code;
}
