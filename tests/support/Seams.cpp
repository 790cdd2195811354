#include "tests/support/Seams.h"

#include "audio/platform/HandleTable.h"
#include "audio/platform/WaveOutEngine.h"

#include <cstdio>
#include <cstdlib>
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

Seams* current = nullptr;

Seams& Current() {
    if (current == nullptr) {
        std::fputs("seams: no Seams alive\n", stderr);
        std::abort();
    }
    return *current;
}

} // namespace

const char* CallName(Call call) {
    switch (call) {
    case Call::waveOutOpen:
        return "waveOutOpen";
    case Call::waveOutClose:
        return "waveOutClose";
    case Call::waveOutPrepareHeader:
        return "waveOutPrepareHeader";
    case Call::waveOutUnprepareHeader:
        return "waveOutUnprepareHeader";
    case Call::waveOutWrite:
        return "waveOutWrite";
    case Call::waveOutPause:
        return "waveOutPause";
    case Call::waveOutRestart:
        return "waveOutRestart";
    case Call::waveOutReset:
        return "waveOutReset";
    case Call::waveOutGetPosition:
        return "waveOutGetPosition";
    case Call::waveOutGetVolume:
        return "waveOutGetVolume";
    case Call::waveOutSetVolume:
        return "waveOutSetVolume";
    case Call::auxGetVolume:
        return "auxGetVolume";
    case Call::auxSetVolume:
        return "auxSetVolume";
    case Call::mmioOpenA:
        return "mmioOpenA";
    case Call::mmioRead:
        return "mmioRead";
    case Call::mmioWrite:
        return "mmioWrite";
    case Call::mmioSeek:
        return "mmioSeek";
    case Call::mmioClose:
        return "mmioClose";
    case Call::GlobalAlloc:
        return "GlobalAlloc";
    case Call::GlobalSize:
        return "GlobalSize";
    case Call::GlobalLock:
        return "GlobalLock";
    case Call::GlobalUnlock:
        return "GlobalUnlock";
    case Call::GlobalFree:
        return "GlobalFree";
    case Call::WinExec:
        return "WinExec";
    case Call::Sleep:
        return "Sleep";
    case Call::ExitProcess:
        return "ExitProcess";
    case Call::ZobrazChybu:
        return "ZobrazChybu";
    }
    return "?";
}

std::ostream& operator<<(std::ostream& out, const RecordedCall& call) {
    out << call.name << '(';
    for (std::size_t i = 0; i < call.args.size(); ++i) {
        out << (i ? ", " : "") << call.args[i];
    }
    return out << ')';
}

void FailCall(Call call, MMRESULT code, unsigned skip) {
    Current().faults_.insert_or_assign(call, Seams::Fault{code, skip});
}

void ClearFaults() {
    Current().faults_.clear();
}

void RecordCalls(std::vector<RecordedCall>* log) {
    Current().log_ = log;
}

void SetExitProcess(std::function<void(UINT)> exitProcess) {
    Current().exitProcess_ = std::move(exitProcess);
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

Seams::Seams() : platform_(platform::Platform::Current()) {
    if (current != nullptr) {
        std::fputs("seams: a second Seams while one is alive\n", stderr);
        std::abort();
    }
    current = this;
    platform_.Observe(this);
}

Seams::~Seams() {
    platform_.Observe(nullptr);
    current = nullptr;
}

std::optional<MMRESULT> Seams::Enter(Call call, std::span<const std::int64_t> args) {
    if (log_) {
        log_->push_back({CallName(call), {args.begin(), args.end()}});
    }
    const auto fault = faults_.find(call);
    if (fault == faults_.end()) {
        return std::nullopt;
    }
    if (fault->second.skip > 0) {
        --fault->second.skip;
        return std::nullopt;
    }
    return fault->second.code;
}

void Seams::Exiting(UINT code) {
    if (exitProcess_) {
        exitProcess_(code);
    }
}

} // namespace seams
