#include "audio/platform/Seams.h"

#include "audio/platform/WaveOutEngine.h"

#include <cstdlib>
#include <iostream>
#include <map>
#include <utility>

namespace platform {
namespace {

struct Fault {
    MMRESULT code;
    unsigned skip;
};

struct SeamState {
    std::map<std::string, Fault, std::less<>> faults;
    std::vector<RecordedCall>* log = nullptr;
    std::function<void(const std::string&)> errorBox;
    std::function<void(UINT)> exitProcess;
    std::function<void()> exitHook;
};

SeamState& State() {
    static SeamState state;
    return state;
}

} // namespace

std::ostream& operator<<(std::ostream& out, const RecordedCall& call) {
    out << call.name << '(';
    for (std::size_t i = 0; i < call.args.size(); ++i) {
        out << (i ? ", " : "") << call.args[i];
    }
    return out << ')';
}

void FailCall(std::string_view name, MMRESULT code, unsigned skip) {
    State().faults.insert_or_assign(std::string(name), Fault{code, skip});
}

void ClearFaults() {
    State().faults.clear();
}

void RecordCalls(std::vector<RecordedCall>* log) {
    State().log = log;
}

void SetErrorBox(std::function<void(const std::string&)> box) {
    State().errorBox = std::move(box);
}

void SetExitProcess(std::function<void(UINT)> exitProcess) {
    State().exitProcess = std::move(exitProcess);
}

void SetExitHook(std::function<void()> hook) {
    State().exitHook = std::move(hook);
}

std::optional<MMRESULT> EnterCall(std::string_view name, std::vector<std::int64_t> args) {
    SeamState& state = State();
    if (state.log) {
        state.log->push_back({std::string(name), std::move(args)});
    }
    const auto fault = state.faults.find(name);
    if (fault == state.faults.end()) {
        return std::nullopt;
    }
    if (fault->second.skip > 0) {
        --fault->second.skip;
        return std::nullopt;
    }
    return fault->second.code;
}

} // namespace platform

void ZobrazChybu(const char* Text) {
    platform::EnterCall("ZobrazChybu");
    if (const auto& box = platform::State().errorBox) {
        box(Text);
    } else {
        std::cerr << "Information: " << Text << '\n';
    }
}

void ExitProcess(UINT uExitCode) {
    platform::EnterCall("ExitProcess", {uExitCode});
    // Taken out first, so that a hook that ends up here again does not run twice.
    if (const auto hook = std::exchange(platform::State().exitHook, {})) {
        hook();
    }
    if (const auto& exitProcess = platform::State().exitProcess) {
        exitProcess(uExitCode);
    }
    // The last tone fades out before the device closes. The sinks keep their files valid at
    // every moment, so nothing needs flushing but stdio; skipping static destructors keeps a
    // render thread held up in the device from being torn down under us.
    platform::WaveOutEngine::Instance().End();
    std::fflush(nullptr);
    std::_Exit(static_cast<int>(uExitCode));
}
