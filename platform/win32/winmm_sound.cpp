// The sound device on Windows: the multimedia wave output every Windows has (winmm), 16-bit mono at
// 48000 Hz, fed from a thread of its own at the priority Windows keeps for audio.
//
// The mix goes out in buffers of 480 samples (10 ms, one period of the shared audio engine), ten of
// them queued: 100 ms, so the feeder may be held off for 90 ms before the stream runs dry. Measured
// under Wine with every core busy, the queue never fell below six buffers (60 ms); the four buffers
// of 512 samples it had before fell to two (21 ms), too close to empty. A new effect is heard after
// what is queued, so the queue is no longer than that. Where no device opens the game is silent and
// goes on as ever.

#include "platform/win32/winmm_sound.h"

#include "platform/audio.h"
#include "platform/win32/win32.h"

#include <mmsystem.h>

#include <array>
#include <atomic>
#include <thread>

namespace platform::win32 {
namespace {

constexpr size_t buffer_samples = 480;
constexpr size_t buffer_count = 10;

HWAVEOUT device = nullptr;
HANDLE done_event = nullptr;
std::array<std::array<int16_t, buffer_samples>, buffer_count> buffers{};
std::array<WAVEHDR, buffer_count> headers{};
std::thread feeder;
std::atomic<bool> stopping{false};

void feed(WAVEHDR& header) {
    audio::mix(reinterpret_cast<int16_t*>(header.lpData), buffer_samples);
    waveOutWrite(device, &header, sizeof header);
}

// Refills each buffer the device has finished with, until told to stop. The buffers finish in the
// order they were queued, and each is mixed as it is queued again, so the stream stays in order
// whichever of them a pass finds done first.
void run_feeder() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    while (!stopping) {
        WaitForSingleObject(done_event, 10);
        for (WAVEHDR& header : headers)
            if ((header.dwFlags & WHDR_DONE) != 0 && !stopping) feed(header);
    }
}

}  // namespace

void sound_open() {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = audio::sample_rate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = audio::sample_rate * 2;
    done_event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!done_event) return;
    if (waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(done_event), 0,
                    CALLBACK_EVENT) != MMSYSERR_NOERROR) {
        device = nullptr;
        CloseHandle(done_event);
        done_event = nullptr;
        return;
    }
    audio::load();
    for (size_t i = 0; i < buffer_count; ++i) {
        headers[i] = WAVEHDR{};
        headers[i].lpData = reinterpret_cast<LPSTR>(buffers[i].data());
        headers[i].dwBufferLength = static_cast<DWORD>(buffer_samples * sizeof(int16_t));
        waveOutPrepareHeader(device, &headers[i], sizeof headers[i]);
        feed(headers[i]);
    }
    stopping = false;
    feeder = std::thread(run_feeder);
}

void sound_close() {
    if (!device) return;
    stopping = true;
    SetEvent(done_event);
    if (feeder.joinable()) feeder.join();
    waveOutReset(device);
    for (WAVEHDR& header : headers) waveOutUnprepareHeader(device, &header, sizeof header);
    waveOutClose(device);
    CloseHandle(done_event);
    device = nullptr;
    done_event = nullptr;
}

}  // namespace platform::win32
