#include "tests/support/Seams.h"

#include "audio/platform/util/HandleTable.h"
#include "audio/platform/waveout/WaveOutEngine.h"

#include <array>
#include <map>
#include <optional>
#include <utility>

namespace platform {

// What the leak counters read of the platform's classes, which name it their friend.
class Probe {
public:
    template <class Object>
    static std::size_t Size(const HandleTable<Object>& table) {
        const std::lock_guard lock(table.mutex_);
        return table.objects_.size();
    }

    static std::size_t Streams(WaveOutEngine& engine) {
        MutexLock lock(engine.mutex_);
        return engine.handles_.size() + engine.fading_.size();
    }

    static bool SinkOpen(WaveOutEngine& engine) {
        MutexLock lock(engine.mutex_);
        return engine.rendering_;
    }
};

} // namespace platform

namespace seams {
namespace {

struct Fault {
    MMRESULT code;
    unsigned skip;
};

// What the tests asked for. Never destroyed: a program's platform may make calls after main().
struct Requests {
    std::map<Call, Fault> faults;
    std::vector<RecordedCall>* log = nullptr;
    std::function<void(UINT)> exitProcess;
};

Requests& Asked() {
    static Requests* const requests = new Requests;
    return *requests;
}

void ClearRequests() {
    Asked() = Requests{};
}

// A call begins: it is recorded if asked, and fails if asked (the code to return).
template <class... Args>
std::optional<MMRESULT> Enter(Call call, Args... args) {
    Requests& asked = Asked();
    if (asked.log) {
        asked.log->push_back({CallName(call), {static_cast<std::int64_t>(args)...}});
    }
    const auto fault = asked.faults.find(call);
    if (fault == asked.faults.end()) {
        return std::nullopt;
    }
    if (fault->second.skip > 0) {
        --fault->second.skip;
        return std::nullopt;
    }
    return fault->second.code;
}

} // namespace

const char* CallName(Call call) {
    static constexpr std::array names = {
#define SEAMS_CALL(name) #name,
#include "tests/support/Calls.def"
#undef SEAMS_CALL
    };
    return names.at(static_cast<std::size_t>(call));
}

std::ostream& operator<<(std::ostream& out, const RecordedCall& call) {
    out << call.name << '(';
    for (std::size_t i = 0; i < call.args.size(); ++i) {
        out << (i ? ", " : "") << call.args[i];
    }
    return out << ')';
}

void FailCall(Call call, MMRESULT code, unsigned skip) {
    Asked().faults.insert_or_assign(call, Fault{code, skip});
}

void ClearFaults() {
    Asked().faults.clear();
}

void RecordCalls(std::vector<RecordedCall>* log) {
    Asked().log = log;
}

void SetExitProcess(std::function<void(UINT)> exitProcess) {
    Asked().exitProcess = std::move(exitProcess);
}

std::size_t LiveGlobalBlocks() {
    return platform::Probe::Size(platform::Platform::Current().GlobalBlocks());
}

std::size_t LiveMultimediaFiles() {
    return platform::Probe::Size(platform::Platform::Current().MultimediaFiles());
}

std::size_t LiveWaveStreams() {
    return platform::Probe::Streams(platform::Platform::Current().Engine());
}

bool SinkOpen() {
    return platform::Probe::SinkOpen(platform::Platform::Current().Engine());
}

TestPlatform::TestPlatform(platform::Clock& clock) : Platform(clock) {
    ClearRequests();
}

TestPlatform::~TestPlatform() {
    ClearRequests();
}

} // namespace seams

// The wrappers that the linker puts in the place of the layer's calls (--wrap): __real_ is the
// layer's own call. Declared from the list with the API's types, so a wrapper that does not match
// its call does not compile.
using seams::Call;
using seams::Enter;

extern "C" {

#define SEAMS_CALL(name) decltype(::name) __real_##name, __wrap_##name;
#include "tests/support/Calls.def"
#undef SEAMS_CALL

MMRESULT __wrap_waveOutOpen(HWAVEOUT* phwo, UINT uDeviceID, const WAVEFORMATEX* pwfx,
                            DWORD_PTR dwCallback, DWORD_PTR dwInstance, DWORD fdwOpen) {
    const DWORD rate = pwfx ? pwfx->nSamplesPerSec : 0;
    if (const auto fault = Enter(Call::waveOutOpen, uDeviceID, rate, fdwOpen)) {
        if (phwo) {
            *phwo = nullptr;
        }
        return *fault;
    }
    return __real_waveOutOpen(phwo, uDeviceID, pwfx, dwCallback, dwInstance, fdwOpen);
}

MMRESULT __wrap_waveOutClose(HWAVEOUT hwo) {
    const auto fault = Enter(Call::waveOutClose);
    return fault ? *fault : __real_waveOutClose(hwo);
}

MMRESULT __wrap_waveOutPrepareHeader(HWAVEOUT hwo, WAVEHDR* pwh, UINT cbwh) {
    const auto fault = Enter(Call::waveOutPrepareHeader, cbwh, pwh ? pwh->dwBufferLength : 0,
                             pwh ? pwh->dwLoops : 0);
    return fault ? *fault : __real_waveOutPrepareHeader(hwo, pwh, cbwh);
}

MMRESULT __wrap_waveOutUnprepareHeader(HWAVEOUT hwo, WAVEHDR* pwh, UINT cbwh) {
    const auto fault = Enter(Call::waveOutUnprepareHeader, cbwh);
    return fault ? *fault : __real_waveOutUnprepareHeader(hwo, pwh, cbwh);
}

MMRESULT __wrap_waveOutWrite(HWAVEOUT hwo, WAVEHDR* pwh, UINT cbwh) {
    const auto fault =
        Enter(Call::waveOutWrite, cbwh, pwh ? pwh->dwBufferLength : 0, pwh ? pwh->dwLoops : 0);
    return fault ? *fault : __real_waveOutWrite(hwo, pwh, cbwh);
}

MMRESULT __wrap_waveOutPause(HWAVEOUT hwo) {
    const auto fault = Enter(Call::waveOutPause);
    return fault ? *fault : __real_waveOutPause(hwo);
}

MMRESULT __wrap_waveOutRestart(HWAVEOUT hwo) {
    const auto fault = Enter(Call::waveOutRestart);
    return fault ? *fault : __real_waveOutRestart(hwo);
}

MMRESULT __wrap_waveOutReset(HWAVEOUT hwo) {
    const auto fault = Enter(Call::waveOutReset);
    return fault ? *fault : __real_waveOutReset(hwo);
}

MMRESULT __wrap_waveOutGetPosition(HWAVEOUT hwo, MMTIME* pmmt, UINT cbmmt) {
    const auto fault = Enter(Call::waveOutGetPosition, cbmmt, pmmt ? pmmt->wType : 0);
    return fault ? *fault : __real_waveOutGetPosition(hwo, pmmt, cbmmt);
}

MMRESULT __wrap_waveOutGetVolume(UINT uDeviceID, DWORD* pdwVolume) {
    const auto fault = Enter(Call::waveOutGetVolume, uDeviceID);
    return fault ? *fault : __real_waveOutGetVolume(uDeviceID, pdwVolume);
}

MMRESULT __wrap_waveOutSetVolume(UINT uDeviceID, DWORD dwVolume) {
    const auto fault = Enter(Call::waveOutSetVolume, uDeviceID, dwVolume);
    return fault ? *fault : __real_waveOutSetVolume(uDeviceID, dwVolume);
}

MMRESULT __wrap_auxGetVolume(UINT uDeviceID, DWORD* pdwVolume) {
    const auto fault = Enter(Call::auxGetVolume, uDeviceID);
    return fault ? *fault : __real_auxGetVolume(uDeviceID, pdwVolume);
}

MMRESULT __wrap_auxSetVolume(UINT uDeviceID, DWORD dwVolume) {
    const auto fault = Enter(Call::auxSetVolume, uDeviceID, dwVolume);
    return fault ? *fault : __real_auxSetVolume(uDeviceID, dwVolume);
}

HMMIO __wrap_mmioOpenA(LPCSTR pszFileName, MMIOINFO* pmmioinfo, DWORD fdwOpen) {
    return Enter(Call::mmioOpenA, fdwOpen) ? nullptr
                                           : __real_mmioOpenA(pszFileName, pmmioinfo, fdwOpen);
}

LONG __wrap_mmioRead(HMMIO hmmio, HPSTR pch, LONG cch) {
    return Enter(Call::mmioRead, cch) ? -1 : __real_mmioRead(hmmio, pch, cch);
}

LONG __wrap_mmioWrite(HMMIO hmmio, const char* pch, LONG cch) {
    return Enter(Call::mmioWrite, cch) ? -1 : __real_mmioWrite(hmmio, pch, cch);
}

LONG __wrap_mmioSeek(HMMIO hmmio, LONG lOffset, int iOrigin) {
    return Enter(Call::mmioSeek, lOffset, iOrigin) ? -1 : __real_mmioSeek(hmmio, lOffset, iOrigin);
}

MMRESULT __wrap_mmioClose(HMMIO hmmio, UINT wFlags) {
    const auto fault = Enter(Call::mmioClose, wFlags);
    return fault ? *fault : __real_mmioClose(hmmio, wFlags);
}

HGLOBAL __wrap_GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
    return Enter(Call::GlobalAlloc, uFlags, dwBytes) ? nullptr
                                                     : __real_GlobalAlloc(uFlags, dwBytes);
}

SIZE_T __wrap_GlobalSize(HGLOBAL hMem) {
    return Enter(Call::GlobalSize) ? 0 : __real_GlobalSize(hMem);
}

void* __wrap_GlobalLock(HGLOBAL hMem) {
    return Enter(Call::GlobalLock) ? nullptr : __real_GlobalLock(hMem);
}

BOOL __wrap_GlobalUnlock(HGLOBAL hMem) {
    return Enter(Call::GlobalUnlock) ? 0 : __real_GlobalUnlock(hMem);
}

HGLOBAL __wrap_GlobalFree(HGLOBAL hMem) {
    return Enter(Call::GlobalFree) ? hMem : __real_GlobalFree(hMem);
}

UINT __wrap_WinExec(LPCSTR lpCmdLine, UINT uCmdShow) {
    const auto fault = Enter(Call::WinExec, uCmdShow);
    return fault ? *fault : __real_WinExec(lpCmdLine, uCmdShow);
}

void __wrap_Sleep(DWORD dwMilliseconds) {
    Enter(Call::Sleep, dwMilliseconds);
    __real_Sleep(dwMilliseconds);
}

// A test's end of the process runs where the real end would: after the program's exit hook.
void __wrap_ExitProcess(UINT uExitCode) {
    Enter(Call::ExitProcess, uExitCode);
    if (const std::function<void(UINT)>& end = seams::Asked().exitProcess) {
        std::function<void()>& hook = platform::Platform::Current().ExitHook();
        hook = [program = std::move(hook), end, uExitCode] {
            if (program) {
                program();
            }
            end(uExitCode);
        };
    }
    __real_ExitProcess(uExitCode);
}

void __wrap_ZobrazChybu(const char* Text) {
    Enter(Call::ZobrazChybu);
    __real_ZobrazChybu(Text);
}

} // extern "C"
