// make bench's baseline for the page: the least an emscripten page of ours does before its first
// frame, built with the game's options: fill its canvas once, then wait as the game's loop does.
// A finger's lift puts a square of 16 pixels on the canvas, as a tap opens a cell: the least that
// a tap's way to the screen costs.
#include <emscripten.h>

#include <cstdint>
#include <vector>

EM_ASYNC_JS(void, wait_for_ever, (), { await new Promise(() => {}); });

EM_JS(void, show, (const std::uint8_t* rgba, int width, int height), {
    const canvas = document.getElementById('screen');
    const context = canvas.getContext('2d', {alpha: false});
    context.putImageData(new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4),
                                       width, height), 0, 0);
    const square = new ImageData(16, 16);
    square.data.fill(255);
    canvas.addEventListener('touchstart', function(e) { e.preventDefault(); }, {passive: false});
    canvas.addEventListener('touchend', function(e) {
        e.preventDefault();
        Promise.resolve().then(function() { context.putImageData(square, 176, 176); });
    }, {passive: false});
});

int main() {
    constexpr int kSide = 368;
    std::vector<std::uint32_t> pixels(kSide * kSide, 0xFF60C060u);
    show(reinterpret_cast<const std::uint8_t*>(pixels.data()), kSide, kSide);
    wait_for_ever();
}
