// How the float kernels of columns 2 to 4 write the destination rows of a filter run.
// Streaming stores bypass the caches: a run whose source and destination fit in a core's
// cache leaves its result there for whatever reads it next, and gains nothing by streaming;
// a larger one gains from them. Rows that start on 16 bytes only every other row (a step of
// 8 bytes past 16) mix streamed and ordinary stores in the cache lines where two rows meet,
// which costs more than streaming gains (1022 x 1022 floats took 1.6 times as long). So each
// worker decides once per run, and the kernels follow that decision for every row; the choice
// changes no result bit.
#pragma once

#include <cstddef>
#include <cstdint>

// Runs that write at least this many bytes stream their rows. With a source about as large,
// such a run no longer fits in a core's second-level cache of 1 MiB; streamed and ordinary
// stores took the same time within 2 per cent up to 320 x 320 floats, and from 384 x 384 on
// streaming was 3 to 7 per cent faster, on an idle machine and a loaded one alike.
inline constexpr std::ptrdiff_t spStreamRowsFrom = std::ptrdiff_t{512} << 10;

// Whether a run that writes `bytes` bytes into rows `step` bytes apart from `dst` streams
// them: when it is large enough and every row starts on 16 bytes.
inline bool spStreamsRows(const void* dst, std::ptrdiff_t step, std::ptrdiff_t bytes)
{
    return bytes >= spStreamRowsFrom &&
           (reinterpret_cast<std::uintptr_t>(dst) | static_cast<std::uintptr_t>(step)) % 16 == 0;
}

// Whether the float kernels of this thread stream their destination rows (each only where it
// starts on 16 bytes). Kernels called outside a worker's run stream.
inline thread_local bool spStreamsFloatRows = true;

// The destination rows the float kernels of this thread wrote in their streamed form (which,
// for rows that keep every fourth element, stores merged pixels on 16 bytes instead). The store
// kind changes no bit, so this count is the only sign by which a test sees the kernels follow
// a run's choice; it costs one add per row.
inline thread_local long spStreamedFloatRowCount = 0;

// Whether a float kernel streams the destination row that starts at `dst`: when the thread
// streams and the row starts on 16 bytes.
inline bool spStreamsFloatRow(const void* dst)
{
    const bool streams =
        spStreamsFloatRows && reinterpret_cast<std::uintptr_t>(dst) % 16 == 0;
    spStreamedFloatRowCount += streams ? 1 : 0;
    return streams;
}

// The store kind of one worker's run; the thread's former choice comes back at the end of
// the run, on every return.
class spFloatRowStores {
public:
    explicit spFloatRowStores(bool stream) : m_old(spStreamsFloatRows)
    {
        spStreamsFloatRows = stream;
    }
    ~spFloatRowStores() { spStreamsFloatRows = m_old; }
    spFloatRowStores(const spFloatRowStores&) = delete;
    spFloatRowStores& operator=(const spFloatRowStores&) = delete;

private:
    bool m_old;
};
