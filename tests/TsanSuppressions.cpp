// What ThreadSanitizer is told to let pass in the tests, compiled into each of them (PROGEN_TSAN).
//
// thread: the render thread of a sink that has been released ends by itself and is joined by the
// next StartRendering; the engine is never destroyed, on purpose (a render thread held up in a
// device call must not find it gone while the process exits), so the last one is never joined.
// That is one finished thread at the end of the process, not a thread per sink.

extern "C" const char* __tsan_default_suppressions() {
    return "thread:platform::WaveOutEngine::StartRendering\n";
}
