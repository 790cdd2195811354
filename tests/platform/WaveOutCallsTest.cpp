// The waveOut* calls' results: arguments, handles, calls out of order, the seams.

#include "synth/ToneSynth.h"
#include "tests/support/PlaybackTesting.h"
#include "tests/support/Seams.h"

namespace {

class Calls : public VirtualAudioTest {
protected:
    void SetUp() override {
        VirtualAudioTest::SetUp();
        UseSink("null");
    }
};

MMRESULT Open(HWAVEOUT& handle, const WAVEFORMATEX& format, UINT device = 0,
              DWORD flags = WAVE_ALLOWSYNC) {
    return waveOutOpen(&handle, device, &format, 0, 0, flags);
}

TEST_F(Calls, OnlyDeviceZeroOpensAndOnlyForMono16BitPcm) {
    HWAVEOUT handle = reinterpret_cast<HWAVEOUT>(1);
    EXPECT_EQ(Open(handle, MonoPcm16(22050), 1), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(handle, nullptr);
    EXPECT_EQ(Open(handle, MonoPcm16(22050), WAVE_MAPPER), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(waveOutOpen(nullptr, 0, nullptr, 0, 0, WAVE_ALLOWSYNC), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveOutOpen(&handle, 0, nullptr, 0, 0, WAVE_ALLOWSYNC), MMSYSERR_INVALPARAM);
    EXPECT_EQ(Open(handle, MonoPcm16(22050), 0, 0x00030000), MMSYSERR_INVALFLAG); // a callback

    WAVEFORMATEX stereo = MonoPcm16(22050);
    stereo.nChannels = 2;
    WAVEFORMATEX eightBit = MonoPcm16(22050);
    eightBit.wBitsPerSample = 8;
    WAVEFORMATEX floats = MonoPcm16(22050);
    floats.wFormatTag = 3;
    WAVEFORMATEX misaligned = MonoPcm16(22050);
    misaligned.nBlockAlign = 4;
    for (const WAVEFORMATEX& format :
         {stereo, eightBit, floats, misaligned, MonoPcm16(0), MonoPcm16(999), MonoPcm16(192001)}) {
        EXPECT_EQ(Open(handle, format), WAVERR_BADFORMAT);
        EXPECT_EQ(handle, nullptr);
    }

    for (const DWORD rate : {4950u, 45000u, 5026u, 30003u}) {
        ASSERT_EQ(Open(handle, MonoPcm16(rate)), MMSYSERR_NOERROR) << rate;
        EXPECT_NE(handle, nullptr);
        EXPECT_EQ(waveOutClose(handle), MMSYSERR_NOERROR);
    }
}

TEST_F(Calls, EveryCallRefusesAHandleThatIsNotOpen) {
    HWAVEOUT closed = nullptr;
    ASSERT_EQ(Open(closed, MonoPcm16(22050)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutClose(closed), MMSYSERR_NOERROR);
    WAVEHDR header{};
    MMTIME time{TIME_SAMPLES, {}};
    for (const HWAVEOUT handle : {HWAVEOUT{}, reinterpret_cast<HWAVEOUT>(0xDEADBEEF), closed}) {
        EXPECT_EQ(waveOutPrepareHeader(handle, &header, sizeof header), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(waveOutWrite(handle, &header, sizeof header), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(waveOutUnprepareHeader(handle, &header, sizeof header), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(waveOutPause(handle), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(waveOutRestart(handle), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(waveOutReset(handle), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(waveOutGetPosition(handle, &time, sizeof time), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(waveOutClose(handle), MMSYSERR_INVALHANDLE);
    }
    EXPECT_EQ(header.dwFlags, 0u);
}

TEST_F(Calls, CallsOutOfOrderGetTheirErrorCodes) {
    TestOutput output(22050);
    ASSERT_EQ(output.Opened(), MMSYSERR_NOERROR);
    const HWAVEOUT handle = output.Handle();
    std::vector<std::int16_t> samples(100, 1000);
    WAVEHDR header{};
    header.lpData = reinterpret_cast<LPSTR>(samples.data());
    header.dwBufferLength = 200;
    header.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
    header.dwLoops = 1000000;
    const UINT size = sizeof header;

    EXPECT_EQ(waveOutWrite(handle, &header, size), WAVERR_UNPREPARED);
    EXPECT_EQ(waveOutPrepareHeader(handle, &header, size - 1), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveOutPrepareHeader(handle, nullptr, size), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveOutUnprepareHeader(handle, &header, size), MMSYSERR_NOERROR); // not prepared
    ASSERT_EQ(waveOutPrepareHeader(handle, &header, size), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutPrepareHeader(handle, &header, size), MMSYSERR_NOERROR); // again: no effect
    EXPECT_EQ(header.dwFlags, WHDR_BEGINLOOP | WHDR_ENDLOOP | WHDR_PREPARED);

    {
        TestOutput other(22050);
        EXPECT_EQ(waveOutWrite(other.Handle(), &header, size), WAVERR_UNPREPARED);
    }
    ASSERT_EQ(waveOutWrite(handle, &header, size), MMSYSERR_NOERROR);
    EXPECT_EQ(HeaderFlags(header) & (WHDR_INQUEUE | WHDR_DONE), WHDR_INQUEUE);
    EXPECT_EQ(waveOutWrite(handle, &header, size), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutUnprepareHeader(handle, &header, size), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutClose(handle), WAVERR_STILLPLAYING);
    Sleep(20);
    EXPECT_EQ(HeaderFlags(header) & WHDR_DONE, 0u);
    EXPECT_EQ(waveOutRestart(handle), MMSYSERR_NOERROR); // not paused: no effect

    ASSERT_EQ(waveOutReset(handle), MMSYSERR_NOERROR);
    EXPECT_EQ(HeaderFlags(header), WHDR_BEGINLOOP | WHDR_ENDLOOP | WHDR_PREPARED | WHDR_DONE);
    EXPECT_EQ(waveOutReset(handle), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutUnprepareHeader(handle, &header, size), MMSYSERR_NOERROR);
    EXPECT_EQ(HeaderFlags(header), WHDR_BEGINLOOP | WHDR_ENDLOOP | WHDR_DONE);
    EXPECT_EQ(waveOutWrite(handle, &header, size), WAVERR_UNPREPARED);

    header.lpData = nullptr;
    EXPECT_EQ(waveOutPrepareHeader(handle, &header, size), MMSYSERR_INVALPARAM);
    MMTIME time{TIME_SAMPLES, {}};
    EXPECT_EQ(waveOutGetPosition(handle, &time, sizeof time - 1), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveOutGetPosition(handle, nullptr, sizeof time), MMSYSERR_INVALPARAM);
}

TEST_F(Calls, PositionComesInTheUnitAsked) {
    TestOutput output(22050);
    ASSERT_EQ(output.Play(Constant(441, 100), 100), MMSYSERR_NOERROR);
    output.WaitUntilDone();
    MMTIME time{TIME_BYTES, {}};
    ASSERT_EQ(waveOutGetPosition(output.Handle(), &time, sizeof time), MMSYSERR_NOERROR);
    EXPECT_EQ(time.u.cb, 88200u);
    time.wType = TIME_MS;
    ASSERT_EQ(waveOutGetPosition(output.Handle(), &time, sizeof time), MMSYSERR_NOERROR);
    EXPECT_EQ(time.u.ms, 2000u);
    time.wType = 0x0008; // SMPTE: not kept, so samples come instead
    ASSERT_EQ(waveOutGetPosition(output.Handle(), &time, sizeof time), MMSYSERR_NOERROR);
    EXPECT_EQ(time.wType, TIME_SAMPLES);
    EXPECT_EQ(time.u.sample, 44100u);
}

TEST_F(Calls, InjectedFailuresComeBackAndChangeNothing) {
    HWAVEOUT handle = reinterpret_cast<HWAVEOUT>(1);
    seams::FailCall(seams::Call::waveOutOpen, MMSYSERR_ALLOCATED);
    EXPECT_EQ(Open(handle, MonoPcm16(22050)), MMSYSERR_ALLOCATED);
    EXPECT_EQ(handle, nullptr);
    seams::ClearFaults();

    TestOutput output(22050);
    seams::FailCall(seams::Call::waveOutPrepareHeader, MMSYSERR_NOMEM);
    EXPECT_EQ(output.Play(Constant(10, 1), 1), MMSYSERR_NOMEM);
    EXPECT_EQ(output.Header().dwFlags, WHDR_BEGINLOOP | WHDR_ENDLOOP);
    seams::ClearFaults();

    seams::FailCall(seams::Call::waveOutWrite, MMSYSERR_ERROR, 1);
    ASSERT_EQ(output.Play(Constant(10, 1), 1000000), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutReset(output.Handle()), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutWrite(output.Handle(), &output.Header(), sizeof(WAVEHDR)), MMSYSERR_ERROR);
    EXPECT_EQ(HeaderFlags(output.Header()) & WHDR_INQUEUE, 0u);

    seams::FailCall(seams::Call::waveOutRestart, MMSYSERR_NOTSUPPORTED);
    ASSERT_EQ(waveOutPause(output.Handle()), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutRestart(output.Handle()), MMSYSERR_NOTSUPPORTED);
    seams::ClearFaults();
    EXPECT_EQ(waveOutRestart(output.Handle()), MMSYSERR_NOERROR);
}

TEST_F(Calls, EveryCallIsRecordedWithItsArguments) {
    std::vector<seams::RecordedCall> calls;
    seams::RecordCalls(&calls);
    {
        TestOutput output(33000);
        ASSERT_EQ(output.Play(Constant(150, 1), 7), MMSYSERR_NOERROR);
        waveOutPause(output.Handle());
        waveOutRestart(output.Handle());
        output.Position();
        Sleep(3);
    }
    seams::RecordCalls(nullptr);
    const std::int64_t size = sizeof(WAVEHDR);
    const std::int64_t mmtime = sizeof(MMTIME);
    const std::vector<seams::RecordedCall> expected{
        {"waveOutOpen", {0, 33000, WAVE_ALLOWSYNC}},
        {"waveOutPrepareHeader", {size, 300, 7}},
        {"waveOutWrite", {size, 300, 7}},
        {"waveOutPause", {}},
        {"waveOutRestart", {}},
        {"waveOutGetPosition", {mmtime, TIME_SAMPLES}},
        {"Sleep", {3}},
        {"waveOutReset", {}},
        {"waveOutUnprepareHeader", {size}},
        {"waveOutClose", {}},
    };
    EXPECT_EQ(calls, expected);
}

TEST_F(Calls, SinkChoiceDecidesWhatAnOpenMeets) {
    HWAVEOUT handle = nullptr;
    UseSink("busy");
    EXPECT_EQ(Open(handle, MonoPcm16(22050)), MMSYSERR_ALLOCATED);
    UseSink("loudspeaker");
    EXPECT_EQ(Open(handle, MonoPcm16(22050)), MMSYSERR_NODRIVER);
    UseSink("wav:" + (dir_.Path() / "no" / "such" / "dir.wav").string());
    EXPECT_EQ(Open(handle, MonoPcm16(22050)), MMSYSERR_ERROR);
    EXPECT_EQ(handle, nullptr);
}

TEST_F(Calls, MinutesOfSoundPassInOneSleep) {
    const ManualTone tone = VypocitejManual(15000, 32767, TPrubeh::Sin);
    TestOutput output(tone.SampleRate);
    const DWORD loops = 3 * 60 * 45000 / 3; // three minutes of the 15 kHz buffer
    ASSERT_EQ(output.Play(tone.Samples, loops), MMSYSERR_NOERROR);
    Sleep(3 * 60 * 1000 - 100);
    EXPECT_FALSE(output.Done());
    Sleep(200);
    EXPECT_TRUE(output.Done());
    EXPECT_EQ(output.Position(), 3u * loops);
}

} // namespace
