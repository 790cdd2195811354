#pragma once

// The multimedia layer: the wave output, volume, multimedia file, global memory and program
// launch calls of the classic desktop multimedia API, with its names, types, flags and result
// codes, implemented on Linux. Everything above this layer reads as if it ran on that API.
//
// Contract common to every call:
// - All calls are made from one thread, the user-interface thread. The only other thread is the
//   wave output's render thread, which touches nothing but the state of open handles and the
//   dwFlags word of written headers (see HeaderFlags below).
// - A result of 0 (MMSYSERR_NOERROR) means success; bad handles and calls out of order return the
//   API's error codes and never crash.
// - Pass sizeof(WAVEHDR) where the original 32-bit platform passed 32.
// - The calls have C linkage, as in the original API.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using LONG = std::int32_t;
using BOOL = int;
using DWORD_PTR = std::uintptr_t;
using SIZE_T = std::size_t;
using LPSTR = char*;
using LPCSTR = const char*;
using HPSTR = char*;
using MMRESULT = UINT;

struct HWAVEOUT__;
using HWAVEOUT = HWAVEOUT__*;
struct HGLOBAL__;
using HGLOBAL = HGLOBAL__*;
struct HMMIO__;
using HMMIO = HMMIO__*;
struct MMIOINFO; // never used: callers pass nullptr

// Result codes.
inline constexpr MMRESULT MMSYSERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_ERROR = 1;
inline constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
inline constexpr MMRESULT MMSYSERR_NOTENABLED = 3;
inline constexpr MMRESULT MMSYSERR_ALLOCATED = 4;
inline constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
inline constexpr MMRESULT MMSYSERR_NODRIVER = 6;
inline constexpr MMRESULT MMSYSERR_NOMEM = 7;
inline constexpr MMRESULT MMSYSERR_NOTSUPPORTED = 8;
inline constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
inline constexpr MMRESULT WAVERR_BADFORMAT = 32;
inline constexpr MMRESULT WAVERR_STILLPLAYING = 33;
inline constexpr MMRESULT WAVERR_UNPREPARED = 34;
inline constexpr MMRESULT WAVERR_SYNC = 35;

// Wave format and open flags.
inline constexpr WORD WAVE_FORMAT_PCM = 1;
inline constexpr UINT WAVE_MAPPER = 0xFFFFFFFFu;
inline constexpr DWORD CALLBACK_NULL = 0x00000000;
inline constexpr DWORD WAVE_ALLOWSYNC = 0x0002;

// Header flags.
inline constexpr DWORD WHDR_DONE = 0x01;
inline constexpr DWORD WHDR_PREPARED = 0x02;
inline constexpr DWORD WHDR_BEGINLOOP = 0x04;
inline constexpr DWORD WHDR_ENDLOOP = 0x08;
inline constexpr DWORD WHDR_INQUEUE = 0x10;

// Time formats.
inline constexpr UINT TIME_MS = 0x0001;
inline constexpr UINT TIME_SAMPLES = 0x0002;
inline constexpr UINT TIME_BYTES = 0x0004;

// Multimedia file open flags.
inline constexpr DWORD MMIO_READ = 0x0000;
inline constexpr DWORD MMIO_WRITE = 0x0001;
inline constexpr DWORD MMIO_READWRITE = 0x0002;
inline constexpr DWORD MMIO_CREATE = 0x1000;

// Global memory flags.
inline constexpr UINT GMEM_FIXED = 0x0000;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;
inline constexpr UINT GMEM_DDESHARE = 0x2000;

// Show commands and program launch results.
inline constexpr UINT SW_SHOWNORMAL = 1;
inline constexpr UINT SW_SHOWNOACTIVATE = 4;
inline constexpr UINT ERROR_FILE_NOT_FOUND = 2;
inline constexpr UINT ERROR_PATH_NOT_FOUND = 3;
inline constexpr UINT ERROR_BAD_FORMAT = 11;

#pragma pack(push, 1)
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);

struct WAVEHDR {
    LPSTR lpData;
    DWORD dwBufferLength;
    DWORD dwBytesRecorded;
    DWORD_PTR dwUser;
    DWORD dwFlags;
    DWORD dwLoops;
    WAVEHDR* lpNext;
    DWORD_PTR reserved;
};

struct MMTIME {
    UINT wType;
    union {
        DWORD ms;
        DWORD sample;
        DWORD cb;
        DWORD ticks;
    } u;
};

// The render thread sets WHDR_DONE in the flags of a written header while the user-interface
// thread polls them, so both sides go through these two.
inline DWORD HeaderFlags(WAVEHDR& header) {
    return std::atomic_ref<DWORD>(header.dwFlags).load(std::memory_order_acquire);
}
inline void SetHeaderFlags(WAVEHDR& header, DWORD flags) {
    std::atomic_ref<DWORD>(header.dwFlags).store(flags, std::memory_order_release);
}

// Wave output. Only device 0 exists (other ids, WAVE_MAPPER included: MMSYSERR_BADDEVICEID), for
// 16-bit mono PCM at 1000..192000 samples per second (else WAVERR_BADFORMAT), opened with
// CALLBACK_NULL and WAVE_ALLOWSYNC only (else MMSYSERR_INVALFLAG).
// - A header must be prepared on its handle before it is written (else WAVERR_UNPREPARED), and a
//   header in the queue is not written again nor unprepared, nor its handle closed, until it is
//   done (else WAVERR_STILLPLAYING). Preparing twice, or unpreparing what is not prepared, does
//   nothing. A handle that is not open gets MMSYSERR_INVALHANDLE from every call.
// - Written headers play one after another. A header with WHDR_BEGINLOOP | WHDR_ENDLOOP plays its
//   buffer dwLoops times (0 plays it once), at the handle's own sample rate; an odd last byte is
//   not played. The render thread sets WHDR_DONE (and clears WHDR_INQUEUE) once the header's last
//   sample has been handed on to the sink, the card's buffer or the wav file, never before; a
//   header with nothing to play is done at once. The data is copied when the header is written.
// - waveOutReset hands every queued header back done at once and sets the position to 0; what
//   sounds fades out within 3 ms, mixed under whatever the next open plays (a paused handle stays
//   paused). waveOutPause fades out and holds the stream (writes still queue); waveOutRestart fades
//   back in where it held. A new tone, or one paused before it sounded, starts as written.
// - Once waveOutReset, waveOutUnprepareHeader or waveOutClose has returned, nothing reads the
//   header or its data again: the caller may free them. Before that, the header's memory must
//   stay where it is; the render thread writes nothing but its dwFlags (see above).
// - The position counts the handle's samples handed on to the sink since the open or the last
//   reset, in TIME_SAMPLES, TIME_BYTES or TIME_MS (any other type is answered in samples).
// - Where the sound goes is the environment's choice (PROGEN_AUDIO, see sinks/SinkFactory.h).
extern "C" {
MMRESULT waveOutOpen(HWAVEOUT* phwo, UINT uDeviceID, const WAVEFORMATEX* pwfx, DWORD_PTR dwCallback,
                     DWORD_PTR dwInstance, DWORD fdwOpen);
MMRESULT waveOutClose(HWAVEOUT hwo);
MMRESULT waveOutPrepareHeader(HWAVEOUT hwo, WAVEHDR* pwh, UINT cbwh);
MMRESULT waveOutUnprepareHeader(HWAVEOUT hwo, WAVEHDR* pwh, UINT cbwh);
MMRESULT waveOutWrite(HWAVEOUT hwo, WAVEHDR* pwh, UINT cbwh);
MMRESULT waveOutPause(HWAVEOUT hwo);
MMRESULT waveOutRestart(HWAVEOUT hwo);
MMRESULT waveOutReset(HWAVEOUT hwo);
MMRESULT waveOutGetPosition(HWAVEOUT hwo, MMTIME* pmmt, UINT cbmmt);

// Volumes: low word the left channel, high word the right, each 0..0xFFFF. Wave output device 0
// and auxiliary devices 1..5.
MMRESULT waveOutGetVolume(UINT uDeviceID, DWORD* pdwVolume);
MMRESULT waveOutSetVolume(UINT uDeviceID, DWORD dwVolume);
MMRESULT auxGetVolume(UINT uDeviceID, DWORD* pdwVolume);
MMRESULT auxSetVolume(UINT uDeviceID, DWORD dwVolume);

// Multimedia files: regular files only. mmioOpenA returns nullptr on failure; MMIO_CREATE creates
// or truncates, and a file opened for writing is never reached through a symbolic link. A read
// past the end returns the bytes that are there; read, write and seek return -1 on failure.
HMMIO mmioOpenA(LPCSTR pszFileName, MMIOINFO* pmmioinfo, DWORD fdwOpen);
LONG mmioRead(HMMIO hmmio, HPSTR pch, LONG cch);
LONG mmioWrite(HMMIO hmmio, const char* pch, LONG cch);
LONG mmioSeek(HMMIO hmmio, LONG lOffset, int iOrigin);
MMRESULT mmioClose(HMMIO hmmio, UINT wFlags);

// Global memory. GlobalAlloc returns nullptr on failure; GlobalFree returns nullptr on success.
HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
SIZE_T GlobalSize(HGLOBAL hMem);
void* GlobalLock(HGLOBAL hMem);
BOOL GlobalUnlock(HGLOBAL hMem);
HGLOBAL GlobalFree(HGLOBAL hMem);

// Starts a program without waiting. Returns above 31 when it started, else an error code
// (ERROR_FILE_NOT_FOUND, ...).
UINT WinExec(LPCSTR lpCmdLine, UINT uCmdShow);

// Sleeps on the current platform's clock (system/Clock.h).
void Sleep(DWORD dwMilliseconds);

// Ends the process with the exit code, after the program's exit hook (ProgramHooks.h).
[[noreturn]] void ExitProcess(UINT uExitCode);

// The one message box of the system: modal, information icon, caption "Information", one OK
// button. Returns when the user has closed it. The window layer installs the real box (see
// ProgramHooks.h); without one the text goes to standard error.
void ZobrazChybu(const char* Text);
} // extern "C"
