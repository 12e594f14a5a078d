// WAV parsing and cue playback of the sound service, on SDL's dummy audio device.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "mmsystem.h"
#include "platform/audio/audio.h"
#include "platform/audio/wav.h"
#include "platform_test_audio.h"

namespace {

using platform::audio::ParseWav;
using platform::audio::WavImageSize;
using Bytes = std::vector<BYTE>;

void Put16(Bytes& b, unsigned v) { b.insert(b.end(), {BYTE(v), BYTE(v >> 8)}); }
void Put32(Bytes& b, std::uint32_t v) { b.insert(b.end(), {BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)}); }
void Set32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = BYTE(v >> (8 * i));
}

void PutChunk(Bytes& b, const char* id, const Bytes& body) {
    b.insert(b.end(), id, id + 4);
    Put32(b, static_cast<std::uint32_t>(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() % 2) b.push_back(0);
}

Bytes FmtBody(unsigned tag, unsigned channels, std::uint32_t rate, unsigned bits, unsigned extra = 2) {
    Bytes f;
    Put16(f, tag);
    Put16(f, channels);
    Put32(f, rate);
    Put32(f, rate * channels * bits / 8);
    Put16(f, channels * bits / 8);
    Put16(f, bits);
    f.resize(f.size() + extra, 0);  // the cbSize word of an 18-byte fmt
    return f;
}

Bytes Riff(const Bytes& chunks) {
    Bytes b{'R', 'I', 'F', 'F'};
    Put32(b, static_cast<std::uint32_t>(4 + chunks.size()));
    b.insert(b.end(), {'W', 'A', 'V', 'E'});
    b.insert(b.end(), chunks.begin(), chunks.end());
    return b;
}

// The game's own layout: 8-bit mono 22050 Hz, "fmt " of 18 bytes, "fact", "data".
Bytes GameWav(std::size_t frames, std::uint32_t rate = 22050) {
    Bytes samples(frames);
    for (std::size_t i = 0; i < frames; ++i) samples[i] = BYTE(128 + (i % 40 < 20 ? 60 : -60));
    Bytes chunks;
    PutChunk(chunks, "fmt ", FmtBody(1, 1, rate, 8));
    Bytes fact;
    Put32(fact, static_cast<std::uint32_t>(frames));
    PutChunk(chunks, "fact", fact);
    PutChunk(chunks, "data", samples);
    return Riff(chunks);
}

constexpr std::size_t kGameFmt = 12;
constexpr std::size_t kGameFact = kGameFmt + 8 + 18;
constexpr std::size_t kGameData = kGameFact + 8 + 4;

TEST(WavParse, ReadsTheGameLayout) {
    Bytes image = GameWav(1000);
    EXPECT_EQ(WavImageSize(image.data()), image.size());
    auto wav = ParseWav(image);
    ASSERT_TRUE(wav);
    EXPECT_EQ(wav->channels, 1);
    EXPECT_EQ(wav->sampleRate, 22050);
    EXPECT_EQ(wav->bitsPerSample, 8);
    EXPECT_EQ(wav->samples.data(), image.data() + kGameData + 8);
    EXPECT_EQ(wav->samples.size(), 1000u);
}

TEST(WavParse, AcceptsOtherWellFormedLayouts) {
    struct Case {
        const char* name;
        std::function<Bytes()> make;
        int channels, rate, bits;
        std::size_t sampleBytes;
    };
    const Case cases[] = {
        {"16-bit stereo, 16-byte fmt",
         [] { Bytes c; PutChunk(c, "fmt ", FmtBody(1, 2, 44100, 16, 0)); PutChunk(c, "data", Bytes(400)); return Riff(c); },
         2, 44100, 16, 400},
        {"odd LIST chunk with its pad before fmt",
         [] { Bytes c; PutChunk(c, "LIST", Bytes(5)); PutChunk(c, "fmt ", FmtBody(1, 1, 11025, 8));
              PutChunk(c, "data", Bytes(7)); return Riff(c); },
         1, 11025, 8, 7},
        {"odd data last, its pad byte missing",
         [] { Bytes c; PutChunk(c, "fmt ", FmtBody(1, 1, 8000, 8)); PutChunk(c, "data", Bytes(7));
              c.pop_back(); return Riff(c); },
         1, 8000, 8, 7},
        {"trailing bytes beyond the RIFF size",
         [] { Bytes b = GameWav(10); b.insert(b.end(), {1, 2, 3}); return b; },
         1, 22050, 8, 10},
        {"empty data", [] { return GameWav(0); }, 1, 22050, 8, 0},
    };
    for (const Case& c : cases) {
        Bytes image = c.make();
        auto wav = ParseWav(image);
        ASSERT_TRUE(wav) << c.name;
        EXPECT_EQ(wav->channels, c.channels) << c.name;
        EXPECT_EQ(wav->sampleRate, c.rate) << c.name;
        EXPECT_EQ(wav->bitsPerSample, c.bits) << c.name;
        EXPECT_EQ(wav->samples.size(), c.sampleBytes) << c.name;
    }
}

TEST(WavParse, RefusesBrokenImages) {
    struct Case {
        const char* name;
        std::function<void(Bytes&)> mend;  // turns a good game image into a broken one
    };
    const Case cases[] = {
        {"cut one byte short", [](Bytes& b) { b.pop_back(); }},
        {"not RIFF", [](Bytes& b) { b[0] = 'X'; }},
        {"not WAVE", [](Bytes& b) { b[8] = 'X'; }},
        {"RIFF size over 16 MiB", [](Bytes& b) { Set32(b, 4, (16u << 20) - 7); b.resize((16u << 20) + 1); }},
        {"RIFF size below its own tag", [](Bytes& b) { Set32(b, 4, 3); }},
        {"chunks run past the RIFF size", [](Bytes& b) { Set32(b, 4, static_cast<std::uint32_t>(b.size() - 10)); }},
        {"data size past the end", [](Bytes& b) { Set32(b, kGameData + 4, 1001); }},
        {"fmt size too small walks into garbage", [](Bytes& b) { Set32(b, kGameFmt + 4, 14); }},
        {"fmt shorter than 16 bytes", [](Bytes& b) {
             b = Riff([] { Bytes c; PutChunk(c, "fmt ", Bytes(14)); PutChunk(c, "data", Bytes(2)); return c; }());
         }},
        {"format tag 3 (float)", [](Bytes& b) { b[kGameFmt + 8] = 3; }},
        {"zero channels", [](Bytes& b) { b[kGameFmt + 10] = 0; }},
        {"three channels", [](Bytes& b) { b[kGameFmt + 10] = 3; }},
        {"zero sample rate", [](Bytes& b) { Set32(b, kGameFmt + 12, 0); }},
        {"sample rate below 8000 Hz", [](Bytes& b) { Set32(b, kGameFmt + 12, 7999); }},
        {"12 bits per sample", [](Bytes& b) { b[kGameFmt + 22] = 12; }},
        {"block align mismatch", [](Bytes& b) { b[kGameFmt + 20] = 2; }},
        {"no fmt chunk", [](Bytes& b) { std::copy_n("junk", 4, b.begin() + kGameFmt); }},
        {"no data chunk", [](Bytes& b) { std::copy_n("junk", 4, b.begin() + kGameData); }},
        {"a second fmt chunk", [](Bytes& b) { std::copy_n("fmt ", 4, b.begin() + kGameFact); }},
        {"partial frame of 16-bit data", [](Bytes& b) {
             b = Riff([] { Bytes c; PutChunk(c, "fmt ", FmtBody(1, 1, 8000, 16)); PutChunk(c, "data", Bytes(3)); return c; }());
         }},
        {"odd bytes left after the last chunk", [](Bytes& b) {
             b.insert(b.end(), {0, 0, 0, 0}); Set32(b, 4, static_cast<std::uint32_t>(b.size() - 8));
         }},
    };
    for (const Case& c : cases) {
        Bytes image = GameWav(1000);
        c.mend(image);
        EXPECT_FALSE(ParseWav(image)) << c.name;
    }
}

// Every prefix, in a buffer of exactly its size, so that the sanitizers see any read past the end.
TEST(WavParse, RefusesEveryTruncationWithoutReadingPastIt) {
    Bytes image = GameWav(64);
    for (std::size_t n = 0; n < image.size(); ++n) {
        Bytes prefix(image.begin(), image.begin() + n);
        EXPECT_FALSE(ParseWav(prefix)) << n;
    }
}

TEST(WavParse, SampleSpanStaysInsideTheImageWhateverByteIsCorrupted) {
    const Bytes good = GameWav(16);
    for (std::size_t at = 0; at < kGameData + 8; ++at) {
        for (BYTE value : {BYTE(0), BYTE(1), BYTE(0x7F), BYTE(0xFF)}) {
            Bytes image = good;
            image[at] = value;
            if (auto wav = ParseWav(image)) {
                EXPECT_GE(wav->samples.data(), image.data() + 12) << at;
                EXPECT_LE(wav->samples.data() + wav->samples.size(), image.data() + image.size()) << at;
            }
        }
    }
}

class SoundPlayback : public testing::Test {
protected:
    void SetUp() override {
        platform::InitAudio();
        ASSERT_TRUE(platform_test::AudioReady()) << "SDL_AUDIODRIVER=dummy should give a driver";
    }
    void TearDown() override {
        platform_test::RecordSounds(false);
        platform_test::ClearRecordedSounds();
        sndPlaySoundA(nullptr, 0);
    }
    static BOOL Play(const Bytes& image, UINT flags = SND_ASYNC | SND_MEMORY) {
        return sndPlaySoundA(reinterpret_cast<LPCSTR>(image.data()), flags);
    }
};

TEST_F(SoundPlayback, ACueQueuesItsConvertedSamples) {
    Bytes fourSeconds = GameWav(22050 * 4);
    ASSERT_EQ(Play(fourSeconds), TRUE);
    // The device runs at 44.1 or 48 kHz with 16-bit samples: more than twice the source bytes,
    // even after a loaded machine's pause has played some of it.
    EXPECT_GT(platform_test::QueuedAudioBytes(), 22050u * 4 * 2);
}

TEST_F(SoundPlayback, ANewCueReplacesTheQueuedOne) {
    // Both long enough that neither plays out between the call and the check on a loaded machine.
    Bytes longCue = GameWav(22050 * 8);
    Bytes shortCue = GameWav(4410);
    Play(longCue);
    std::size_t longQueued = platform_test::QueuedAudioBytes();
    Play(shortCue);
    std::size_t shortQueued = platform_test::QueuedAudioBytes();
    EXPECT_GT(shortQueued, 0u);
    EXPECT_LT(shortQueued * 20, longQueued);
}

TEST_F(SoundPlayback, TheCacheNoticesANewImageInTheSameBuffer) {
    // Same size, same address, another rate: only the bytes tell the two images apart. The slow
    // one lasts 5.5 s against 1 s, so a pause of a few seconds cannot blur the two.
    Bytes buffer = GameWav(44100, 8000);
    Play(buffer);
    std::size_t slowQueued = platform_test::QueuedAudioBytes();
    Bytes fast = GameWav(44100, 44100);
    std::copy(fast.begin(), fast.end(), buffer.begin());
    Play(buffer);
    EXPECT_LT(platform_test::QueuedAudioBytes() * 2, slowQueued);
}

TEST_F(SoundPlayback, StopsClearTheQueue) {
    struct Case {
        const char* name;
        std::function<BOOL()> stop;
        BOOL result;
    };
    static const Bytes broken = [] { Bytes b = GameWav(100); b[kGameFmt + 8] = 3; return b; }();
    const Case cases[] = {
        {"null sound", [] { return sndPlaySoundA(nullptr, 0); }, TRUE},
        {"null sound with flags", [] { return sndPlaySoundA(nullptr, SND_ASYNC | SND_MEMORY); }, TRUE},
        {"refused image", [] { return Play(broken); }, FALSE},
    };
    Bytes cue = GameWav(22050);
    for (const Case& c : cases) {
        Play(cue);
        ASSERT_GT(platform_test::QueuedAudioBytes(), 0u) << c.name;
        EXPECT_EQ(c.stop(), c.result) << c.name;
        EXPECT_EQ(platform_test::QueuedAudioBytes(), 0u) << c.name;
    }
}

// The device is open only while cues sound: its thread would wake every buffer otherwise.
TEST_F(SoundPlayback, TheDeviceOpensForACueAndClosesOnceItHasPlayed) {
    // Long enough that a loaded machine's pause between the cue and the checks cannot play it out.
    Bytes cue = GameWav(8820);  // 0.4 s
    for (int round = 0; round < 2; ++round) {
        Play(cue);
        EXPECT_TRUE(platform_test::AudioDeviceOpen()) << round;
        EXPECT_GT(platform_test::QueuedAudioBytes(), 0u) << round;
        // A bounded wait for the close, not a timing: the cue and the device's buffers take 0.5 s.
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (platform_test::AudioDeviceOpen() && std::chrono::steady_clock::now() < limit) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_FALSE(platform_test::AudioDeviceOpen()) << round;
    }
}

TEST_F(SoundPlayback, SoundsByFileNameAreNotPlayed) {
    Bytes cue = GameWav(22050);
    Play(cue);
    EXPECT_EQ(sndPlaySoundA("BOMB", SND_ASYNC), FALSE);
    EXPECT_GT(platform_test::QueuedAudioBytes(), 0u);
}

TEST_F(SoundPlayback, SynchronousPlayReturnsOncePlayed) {
    Bytes cue = GameWav(2205);  // 0.1 s
    EXPECT_EQ(Play(cue, SND_SYNC | SND_MEMORY), TRUE);
    EXPECT_EQ(platform_test::QueuedAudioBytes(), 0u);
}

TEST_F(SoundPlayback, TheRecorderLogsEachCallInOrder) {
    // A second long, so that a loaded machine cannot play it out before the queue is looked at.
    Bytes cue = GameWav(22050);
    platform_test::RecordSounds(true);
    sndPlaySoundA(nullptr, 0);
    Play(cue);
    platform_test::RecordSounds(false);
    Play(cue);
    using platform_test::SoundCall;
    std::vector<SoundCall> expected{{nullptr, 0, true}, {cue.data(), SND_ASYNC | SND_MEMORY, false}};
    EXPECT_EQ(platform_test::RecordedSounds(), expected);
    EXPECT_GT(platform_test::QueuedAudioBytes(), 0u);  // recording does not keep the cue from playing
}

// A fresh process per driver: every call returns TRUE at once and nothing reaches stderr. Where
// ALSA finds no card, alsa-lib itself would complain there unless silenced.
TEST(SoundWithoutDevice, IsSilentAndQuiet) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const char* driver : {"no-such-driver", "alsa"}) {
        EXPECT_EXIT(
            {
                setenv("SDL_AUDIODRIVER", driver, 1);
                Bytes cue = GameWav(441);
                std::fill(cue.begin() + kGameData + 8, cue.end(), BYTE(128));  // silence, should a card answer
                LPCSTR sound = reinterpret_cast<LPCSTR>(cue.data());
                bool ok = sndPlaySoundA(nullptr, 0) == TRUE && sndPlaySoundA(sound, SND_ASYNC | SND_MEMORY) == TRUE &&
                          sndPlaySoundA(sound, SND_SYNC | SND_MEMORY) == TRUE;
                if (std::string(driver) == "no-such-driver") {
                    ok = ok && !platform_test::AudioDeviceOpen() && platform_test::QueuedAudioBytes() == 0;
                }
                std::exit(ok ? 0 : 1);
            },
            testing::ExitedWithCode(0), "^$")
            << driver;
    }
}

}  // namespace
