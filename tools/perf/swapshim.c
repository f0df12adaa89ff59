/* Counts presented frames from outside the program.
 *
 * Preloaded into a program (LD_PRELOAD=swapshim.so), this wraps glXSwapBuffers: around every
 * call of the real one it takes two CLOCK_MONOTONIC readings and stores them as one record in
 * a ring file shared with the reader (tools/perf/measure.py):
 *
 *   SWAPSHIM_OUT=/dev/shm/x.ring   the ring file (created or truncated); unset: pass-through
 *   SWAPSHIM_CAPACITY=N            records the ring holds (default 262144, 72 min at 60 fps)
 *
 * File layout, little-endian, mapped MAP_SHARED so a reader sees every record as soon as it is
 * published and nothing is lost if the program crashes or is killed (the pages belong to the
 * file, there is no buffer to flush):
 *
 *   0  char[8] "SWAPRING"       24 u64 count: records ever written (published after the record)
 *   8  u32 version (1)          32 u64 CLOCK_MONOTONIC ns when this library was loaded
 *  12  u32 record size (16)     40 u64 pid of the writer
 *  16  u64 capacity            64 records: {u64 ns before the swap, u64 ns after it} at
 *                                  64 + 16 * (index % capacity)
 *
 * The cost per frame is two vDSO clock reads, an uncontended lock and 16 bytes of memory.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

#define SWAPRING_HEADER 64u
#define SWAPRING_VERSION 1u
#define SWAPRING_DEFAULT_CAPACITY 262144u

struct SwapRingHeader {
    char magic[8];
    uint32_t version;
    uint32_t recordSize;
    uint64_t capacity;
    uint64_t count;
    uint64_t loadedNs;
    uint64_t pid;
    uint64_t reserved[2];
};

struct SwapRecord {
    uint64_t beforeNs;
    uint64_t afterNs;
};

typedef void (*SwapFn)(void* display, unsigned long drawable);

static struct SwapRingHeader* g_ring;
static struct SwapRecord* g_records;
static SwapFn g_realSwap;
static pthread_mutex_t g_lock = PTHREAD_MUTEX_INITIALIZER;

static uint64_t NowNs(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (uint64_t)ts.tv_sec * 1000000000ull + (uint64_t)ts.tv_nsec;
}

__attribute__((constructor)) static void OpenRing(void) {
    const uint64_t loaded = NowNs();
    const char* path = getenv("SWAPSHIM_OUT");
    if (path == NULL || *path == '\0') {
        return;
    }
    uint64_t capacity = SWAPRING_DEFAULT_CAPACITY;
    const char* cap = getenv("SWAPSHIM_CAPACITY");
    if (cap != NULL && strtoull(cap, NULL, 10) > 0) {
        capacity = strtoull(cap, NULL, 10);
    }
    const size_t size = SWAPRING_HEADER + capacity * sizeof(struct SwapRecord);
    const int fd = open(path, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        fprintf(stderr, "swapshim: cannot open %s\n", path);
        return;
    }
    if (ftruncate(fd, (off_t)size) != 0) {
        fprintf(stderr, "swapshim: cannot size %s\n", path);
        close(fd);
        return;
    }
    void* map = mmap(NULL, size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, fd, 0);
    close(fd);
    if (map == MAP_FAILED) {
        fprintf(stderr, "swapshim: cannot map %s\n", path);
        return;
    }
    struct SwapRingHeader* ring = (struct SwapRingHeader*)map;
    ring->version = SWAPRING_VERSION;
    ring->recordSize = (uint32_t)sizeof(struct SwapRecord);
    ring->capacity = capacity;
    ring->loadedNs = loaded;
    ring->pid = (uint64_t)getpid();
    __atomic_store_n(&ring->count, 0, __ATOMIC_RELEASE);
    /* The magic goes last: a reader that sees it sees a complete header. */
    __atomic_thread_fence(__ATOMIC_RELEASE);
    memcpy(ring->magic, "SWAPRING", 8);
    g_records = (struct SwapRecord*)((char*)map + SWAPRING_HEADER);
    g_ring = ring;
}

void glXSwapBuffers(void* display, unsigned long drawable) {
    if (g_realSwap == NULL) {
        g_realSwap = (SwapFn)dlsym(RTLD_NEXT, "glXSwapBuffers");
        if (g_realSwap == NULL) {
            fprintf(stderr, "swapshim: no glXSwapBuffers to wrap\n");
            abort();
        }
    }
    const uint64_t before = NowNs();
    g_realSwap(display, drawable);
    const uint64_t after = NowNs();
    if (g_ring == NULL) {
        return;
    }
    pthread_mutex_lock(&g_lock);
    const uint64_t n = g_ring->count;
    g_records[n % g_ring->capacity].beforeNs = before;
    g_records[n % g_ring->capacity].afterNs = after;
    __atomic_store_n(&g_ring->count, n + 1, __ATOMIC_RELEASE);
    pthread_mutex_unlock(&g_lock);
}
