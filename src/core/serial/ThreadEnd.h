#pragma once

// QThread::wait() learns of a thread's end through Qt's own futex-based wait condition, which
// ThreadSanitizer cannot see. A port thread marks its end, and the owner notes the join after a
// successful wait(), so that what the thread did counts as done before what follows. Without
// ThreadSanitizer both are empty.
#if defined(__SANITIZE_THREAD__)
#define XIEPIN_TSAN_ANNOTATE 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define XIEPIN_TSAN_ANNOTATE 1
#endif
#endif

#ifdef XIEPIN_TSAN_ANNOTATE
extern "C" void __tsan_acquire(void *addr);
extern "C" void __tsan_release(void *addr);
#endif

// Put first in run(): releases on every way out of it.
class TThreadEndMark {
public:
    explicit TThreadEndMark(void *thread) : m_thread(thread) {}
    ~TThreadEndMark()
    {
#ifdef XIEPIN_TSAN_ANNOTATE
        __tsan_release(m_thread);
#endif
    }
    TThreadEndMark(const TThreadEndMark &) = delete;
    TThreadEndMark &operator=(const TThreadEndMark &) = delete;

private:
    [[maybe_unused]] void *m_thread;  // read only under ThreadSanitizer
};

inline void NoteThreadJoined(void *thread)
{
#ifdef XIEPIN_TSAN_ANNOTATE
    __tsan_acquire(thread);
#else
    (void)thread;
#endif
}
