// The volume calls as the program makes them, on the file mixer that PROGEN_MIXER names. The
// platform chooses the mixer at its first volume call.

#include "audio/platform/MMSystem.h"
#include "tests/support/Seams.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

constexpr const char* UserLevels = "wave0=0x80008000\n"
                                   "aux1=0x11111111\n"
                                   "aux2=0x22222222\n"
                                   "aux3=0x33333333\n"
                                   "aux4=0x44444444\n"
                                   "aux5=0x5555AAAA\n";

class VolumeCalls : public testing::Test {
protected:
    void SetUp() override {
        WriteText(MixerFile(), UserLevels);
        ::setenv("PROGEN_MIXER", ("file:" + MixerFile()).c_str(), 1);
    }
    void TearDown() override { ::unsetenv("PROGEN_MIXER"); }

    std::string MixerFile() const { return dir_.File("mixer"); }

    seams::TestPlatform platform_;
    TempDir dir_;
};

TEST_F(VolumeCalls, SaveSetAndRestoreGiveTheUserLevelsBack) {
    DWORD savedWave = 0;
    DWORD savedAux[6] = {};
    ASSERT_EQ(waveOutGetVolume(0, &savedWave), MMSYSERR_NOERROR);
    for (UINT device : {3U, 2U, 4U, 1U, 5U}) {
        ASSERT_EQ(auxGetVolume(device, &savedAux[device]), MMSYSERR_NOERROR);
    }
    EXPECT_EQ(savedWave, 0x80008000U);
    EXPECT_EQ(savedAux[5], 0x5555AAAAU);

    for (UINT device : {3U, 2U, 4U}) {
        EXPECT_EQ(auxSetVolume(device, 0), MMSYSERR_NOERROR);
    }
    EXPECT_EQ(auxSetVolume(5, 0xFFFFEFFF), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutSetVolume(0, 0xFFFFFFFF), MMSYSERR_NOERROR);
    EXPECT_EQ(auxSetVolume(1, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(ReadText(MixerFile()), "wave0=0xFFFFFFFF\n"
                                     "aux1=0x00000000\n"
                                     "aux2=0x00000000\n"
                                     "aux3=0x00000000\n"
                                     "aux4=0x00000000\n"
                                     "aux5=0xFFFFEFFF\n");

    EXPECT_EQ(waveOutSetVolume(0, savedWave), MMSYSERR_NOERROR);
    for (UINT device : {3U, 2U, 4U, 1U, 5U}) {
        EXPECT_EQ(auxSetVolume(device, savedAux[device]), MMSYSERR_NOERROR);
    }
    EXPECT_EQ(ReadText(MixerFile()), UserLevels);
}

TEST_F(VolumeCalls, DevicesThatDoNotExistAreRefused) {
    DWORD volume = 7;
    EXPECT_EQ(waveOutGetVolume(1, &volume), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(waveOutSetVolume(1, 0), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(waveOutSetVolume(WAVE_MAPPER, 0), MMSYSERR_BADDEVICEID);
    for (UINT device : {0U, 6U, 0xFFFFFFFFU}) {
        EXPECT_EQ(auxGetVolume(device, &volume), MMSYSERR_BADDEVICEID) << device;
        EXPECT_EQ(auxSetVolume(device, 0), MMSYSERR_BADDEVICEID) << device;
    }
    EXPECT_EQ(volume, 7U);
    EXPECT_EQ(waveOutGetVolume(0, nullptr), MMSYSERR_INVALPARAM);
    EXPECT_EQ(auxGetVolume(1, nullptr), MMSYSERR_INVALPARAM);
    EXPECT_EQ(ReadText(MixerFile()), UserLevels);
}

TEST_F(VolumeCalls, EveryCallIsRecordedWithDeviceAndVolume) {
    std::vector<seams::RecordedCall> calls;
    seams::RecordCalls(&calls);
    DWORD volume = 0;
    waveOutGetVolume(0, &volume);
    auxGetVolume(3, &volume);
    auxSetVolume(5, 0xFFFFEFFF);
    waveOutSetVolume(0, 0xFFFFFFFF);
    const std::vector<seams::RecordedCall> expected = {
        {"waveOutGetVolume", {0}},
        {"auxGetVolume", {3}},
        {"auxSetVolume", {5, 0xFFFFEFFF}},
        {"waveOutSetVolume", {0, 0xFFFFFFFF}},
    };
    EXPECT_EQ(calls, expected);
}

TEST_F(VolumeCalls, AnInjectedFailureTouchesNeitherTheValueNorTheMixer) {
    seams::FailCall(seams::Call::auxGetVolume, MMSYSERR_NODRIVER, 1);
    seams::FailCall(seams::Call::waveOutSetVolume, MMSYSERR_ERROR);
    DWORD volume = 0;
    EXPECT_EQ(auxGetVolume(3, &volume), MMSYSERR_NOERROR);
    EXPECT_EQ(volume, 0x33333333U);
    volume = 0;
    EXPECT_EQ(auxGetVolume(3, &volume), MMSYSERR_NODRIVER);
    EXPECT_EQ(volume, 0U);
    EXPECT_EQ(waveOutSetVolume(0, 0), MMSYSERR_ERROR);
    EXPECT_EQ(ReadText(MixerFile()), UserLevels);
}

} // namespace
