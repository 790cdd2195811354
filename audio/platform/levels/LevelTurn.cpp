#include "audio/platform/levels/LevelTurn.h"

#include "audio/platform/levels/LevelWatcher.h"

#include <iostream>

namespace platform {

LevelTurn::LevelTurn()
    : share_(Watched() ? SharedLevels::Lock(Watched()->mixer, &problem_) : std::nullopt) {}

LineLevels LevelTurn::Keep(const LineLevels& read, const LineLevels& sets) {
    const WatchedProgram* program = Watched();
    if (!program) {
        return read;
    }
    LineLevels kept = read;
    bool known = false; // the user's levels came from the share
    bool shared = false;
    if (share_) {
        std::vector<Holder> holders;
        if (const std::optional<ShareContents> contents = share_->ReadSettingAside()) {
            holders = OtherLiveHolders(*contents, program->self.program);
            known = !contents->holders.empty();
            if (known) {
                kept = Merged(contents->levels, read);
            }
            if (known && holders.empty()) {
                std::cerr << "progen: the user's levels on " << program->mixer
                          << " were left by a program that ended without giving them back;"
                             " this one gives them back at its end\n";
            }
        }
        holders.push_back(program->self);
        shared = share_->Write({kept, holders, {}});
        if (!shared && problem_.empty()) {
            problem_ = "the share file cannot be written";
        }
    }
    if (!shared) {
        std::cerr << "progen: the user's levels on " << program->mixer
                  << " cannot be shared with other programs (" << problem_ << ")\n";
    }
    if (!shared && !known) {
        for (unsigned line = 0; line < MixerLines; ++line) {
            if (kept[line] == sets[line]) {
                kept[line].reset();
            }
        }
    }
    HandLevels(shared, kept);
    return kept;
}

bool LevelTurn::Last() const {
    const WatchedProgram* program = Watched();
    if (!program || !share_) {
        return true;
    }
    const std::optional<ShareContents> contents = share_->Read();
    return !contents || OtherLiveHolders(*contents, program->self.program).empty();
}

void LevelTurn::Leave(bool givenBack) {
    const WatchedProgram* program = Watched();
    if (!program) {
        return;
    }
    if (share_) {
        const std::optional<ShareContents> contents = share_->ReadSettingAside();
        std::vector<Holder> holders;
        if (contents) {
            holders = OtherLiveHolders(*contents, program->self.program);
        }
        if (!givenBack) {
            holders.push_back(program->self);
        }
        share_->Write({contents ? contents->levels : program->handed, holders, {}});
    }
    if (givenBack) {
        ReleaseWatcher();
    }
}

} // namespace platform
