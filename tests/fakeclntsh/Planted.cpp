// A library someone left in a working folder under a name the programs look for: it only says,
// on standard error, that it was loaded.

#include <unistd.h>

namespace {
[[gnu::constructor]] void sayLoaded() {
    constexpr char kText[] = "planted library loaded\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, kText, sizeof kText - 1);
}
}  // namespace
