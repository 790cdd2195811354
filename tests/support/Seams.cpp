#include "tests/support/Seams.h"

#include "audio/platform/util/HandleTable.h"
#include "audio/platform/waveout/WaveOutEngine.h"

#include <array>
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
    static constexpr std::array<const char*, 27> names = {"waveOutOpen",
                                                          "waveOutClose",
                                                          "waveOutPrepareHeader",
                                                          "waveOutUnprepareHeader",
                                                          "waveOutWrite",
                                                          "waveOutPause",
                                                          "waveOutRestart",
                                                          "waveOutReset",
                                                          "waveOutGetPosition",
                                                          "waveOutGetVolume",
                                                          "waveOutSetVolume",
                                                          "auxGetVolume",
                                                          "auxSetVolume",
                                                          "mmioOpenA",
                                                          "mmioRead",
                                                          "mmioWrite",
                                                          "mmioSeek",
                                                          "mmioClose",
                                                          "GlobalAlloc",
                                                          "GlobalSize",
                                                          "GlobalLock",
                                                          "GlobalUnlock",
                                                          "GlobalFree",
                                                          "WinExec",
                                                          "Sleep",
                                                          "ExitProcess",
                                                          "ZobrazChybu"};
    static_assert(names.size() == static_cast<std::size_t>(Call::ZobrazChybu) + 1,
                  "a name for every call, in the order of the enum");
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
