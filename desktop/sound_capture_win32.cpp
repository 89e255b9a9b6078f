#include "desktop/sound_capture.h"

#include <windows.h>

#include <audioclient.h>
#include <mmdeviceapi.h>
#include <objbase.h>

#include <cwchar>

#include "base/log.h"
#include "desktop/sound_mix_format.h"

struct SoundCaptureState {
    bool com_tried;
    IMMDeviceEnumerator* enumerator;
    IAudioClient* client;
    IAudioCaptureClient* capture;
    wchar_t* device_id;  // CoTaskMemAlloc'd, of the device listened to
    SampleKind kind;
    int channels;
    int rate;
    ULONGLONG next_attempt_ms;       // while there is no device
    ULONGLONG next_device_check_ms;  // while there is one
    ULONGLONG last_samples_ms;
    bool said_no_device;
    // Said once, and again for a new default device.
    bool said_listening;
};

static SoundCaptureState Capture;

static const ULONGLONG kRetryMs = 3000;
static const ULONGLONG kDeviceCheckMs = 2000;
// NOTE: loopback capture delivers no packets at all while nothing plays;
// after this long without any, the missing time is handed on as silence so
// the picture goes quiet instead of holding the last sound.
static const ULONGLONG kQuietAfterMs = 100;
// Room for frames between two polls at a slow frame rate; older ones are
// lost, which a picture of the newest sound does not miss.
static const REFERENCE_TIME kBufferDuration = 2000000;  // 200 ms in 100 ns units

template <typename Interface>
static void release(Interface** object) {
    if (*object) (*object)->Release();
    *object = nullptr;
}

static void stop_listening() {
    if (Capture.client) Capture.client->Stop();
    release(&Capture.capture);
    release(&Capture.client);
    if (Capture.device_id) ::CoTaskMemFree(Capture.device_id);
    Capture.device_id = nullptr;
}

static bool ensure_enumerator() {
    if (Capture.enumerator) return true;
    if (!Capture.com_tried) {
        // Kept for the life of the process; a thread already in COM in
        // another mode serves as it is.
        Capture.com_tried = true;
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    }
    const HRESULT result =
        ::CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                           reinterpret_cast<void**>(&Capture.enumerator));
    return SUCCEEDED(result) && Capture.enumerator;
}

static wchar_t* default_device_id(IMMDevice** device) {
    *device = nullptr;
    if (!ensure_enumerator()) return nullptr;
    if (FAILED(Capture.enumerator->GetDefaultAudioEndpoint(eRender, eConsole, device)) || !*device) return nullptr;
    wchar_t* id = nullptr;
    if (FAILED((*device)->GetId(&id))) id = nullptr;
    return id;
}

// Opens a loopback stream on the default output in its own mix format.
// False, with what was opened released, when any step fails.
static bool start_listening() {
    IMMDevice* device = nullptr;
    Capture.device_id = default_device_id(&device);
    WAVEFORMATEX* format = nullptr;
    bool started = device && Capture.device_id &&
                   SUCCEEDED(device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr,
                                              reinterpret_cast<void**>(&Capture.client))) &&
                   SUCCEEDED(Capture.client->GetMixFormat(&format)) && format;
    if (started && !sample_kind_of(*format, &Capture.kind)) {
        log_message("sound: the output's mix format (tag %u, %u bits) is not one this player reads",
                    static_cast<unsigned>(format->wFormatTag), static_cast<unsigned>(format->wBitsPerSample));
        started = false;
    }
    if (started) {
        Capture.channels = format->nChannels;
        Capture.rate = static_cast<int>(format->nSamplesPerSec);
        started = Capture.channels > 0 &&
                  SUCCEEDED(Capture.client->Initialize(AUDCLNT_SHAREMODE_SHARED, AUDCLNT_STREAMFLAGS_LOOPBACK,
                                                       kBufferDuration, 0, format, nullptr)) &&
                  SUCCEEDED(Capture.client->GetService(__uuidof(IAudioCaptureClient),
                                                       reinterpret_cast<void**>(&Capture.capture))) &&
                  SUCCEEDED(Capture.client->Start());
    }
    if (format) ::CoTaskMemFree(format);
    release(&device);
    if (!started) stop_listening();
    return started;
}

// Converted a piece at a time, so any channel count fits one buffer.
static void hand_on(const BYTE* data, UINT32 frames, bool silent, SoundSink sink) {
    static float converted[8192];
    const int channels = Capture.channels;
    const UINT32 piece = static_cast<UINT32>(sizeof converted / sizeof converted[0]) / static_cast<UINT32>(channels);
    if (piece == 0) return;
    for (UINT32 done = 0; done < frames; done += piece) {
        const UINT32 count = frames - done < piece ? frames - done : piece;
        const size_t values = static_cast<size_t>(count) * channels;
        const size_t first = static_cast<size_t>(done) * channels;
        convert_samples(Capture.kind, silent ? nullptr : data, first, values, converted);
        sink(converted, static_cast<int>(count), channels, Capture.rate);
    }
}

static void hand_on_quiet_time(ULONGLONG now, SoundSink sink) {
    const ULONGLONG quiet_ms = now - Capture.last_samples_ms;
    if (quiet_ms < kQuietAfterMs) return;
    ULONGLONG frames = quiet_ms * static_cast<ULONGLONG>(Capture.rate) / 1000;
    if (frames > 2048) frames = 2048;
    hand_on(nullptr, static_cast<UINT32>(frames), true, sink);
    Capture.last_samples_ms = now;
}

// False when the stream failed (its device went, most often).
static bool take_packets(ULONGLONG now, SoundSink sink) {
    bool any = false;
    for (;;) {
        UINT32 waiting = 0;
        if (FAILED(Capture.capture->GetNextPacketSize(&waiting))) return false;
        if (waiting == 0) break;
        BYTE* data = nullptr;
        UINT32 frames = 0;
        DWORD flags = 0;
        if (FAILED(Capture.capture->GetBuffer(&data, &frames, &flags, nullptr, nullptr))) return false;
        hand_on(data, frames, (flags & AUDCLNT_BUFFERFLAGS_SILENT) != 0 || !data, sink);
        if (FAILED(Capture.capture->ReleaseBuffer(frames))) return false;
        any = true;
    }
    if (any) {
        Capture.last_samples_ms = now;
    } else {
        hand_on_quiet_time(now, sink);
    }
    return true;
}

static bool default_device_changed() {
    IMMDevice* device = nullptr;
    wchar_t* id = default_device_id(&device);
    release(&device);
    const bool changed = !id || wcscmp(id, Capture.device_id) != 0;
    if (id) ::CoTaskMemFree(id);
    return changed;
}

void listen_to_sound(bool wanted, SoundSink sink) {
    if (!wanted) {
        stop_listening();
        Capture.next_attempt_ms = 0;
        return;
    }
    const ULONGLONG now = ::GetTickCount64();
    if (Capture.client && now >= Capture.next_device_check_ms) {
        Capture.next_device_check_ms = now + kDeviceCheckMs;
        if (default_device_changed()) {
            stop_listening();
            Capture.said_listening = false;
        }
    }
    if (Capture.client && !take_packets(now, sink)) stop_listening();
    if (Capture.client || now < Capture.next_attempt_ms) return;

    if (!start_listening()) {
        Capture.next_attempt_ms = now + kRetryMs;
        if (!Capture.said_no_device) log_message("sound: no output device to listen to; Sound channels read silence");
        Capture.said_no_device = true;
        return;
    }
    if (!Capture.said_listening) {
        log_message("sound: listening to the default output (%d Hz, %d channels)", Capture.rate, Capture.channels);
    }
    Capture.said_listening = true;
    Capture.said_no_device = false;
    Capture.last_samples_ms = now;
    Capture.next_device_check_ms = now + kDeviceCheckMs;
}
