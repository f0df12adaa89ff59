/* Linked into the portable Linux build's program and OpenAL Soft. The C++ runtime linked in
   with them (std::random_device) calls arc4random, which glibc has only since 2.36; the same
   from getrandom, which glibc has since 2.25, keeps them running on glibc 2.34. Hidden: neither
   offers it to other libraries. */
#include <stdint.h>
#include <sys/random.h>

__attribute__((visibility("hidden"))) uint32_t arc4random(void) {
    uint32_t value;
    while (getrandom(&value, sizeof value, 0) != (ssize_t)sizeof value) {
    }
    return value;
}
