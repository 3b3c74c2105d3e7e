// The libFuzzer side of one target, the one named LUFTVAKA_FUZZ_TARGET when it was built: a
// broken property is a crash, and GLib stays quiet.

#include "fuzz/targets.h"

#include <glib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// libgsf's own messages on damaged files are dropped by the workbook reader; anything else
// GLib says (other domains) is shown a few times, then dropped, so that a long run is not
// flooded. None of it is fatal: a damaged file must come back as an error, not end the run,
// and an abort from GLib itself (g_error) is still a crash.
void quietLogMessage(const gchar *domain, GLogLevelFlags, const gchar *message, gpointer)
{
    static unsigned shown = 0; // wraps after four billion messages, harmlessly
    if (shown++ < 5)
        std::fprintf(stderr, "GLib (%s): %s\n", domain ? domain : "-", message);
}

const lv::fuzz::Target &target = *std::find_if(
    std::begin(lv::fuzz::kTargets), std::end(lv::fuzz::kTargets),
    [](const lv::fuzz::Target &t) { return std::strcmp(t.name, LUFTVAKA_FUZZ_TARGET) == 0; });

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    g_log_set_always_fatal(GLogLevelFlags(G_LOG_LEVEL_ERROR));
    g_log_set_default_handler(quietLogMessage, nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    const QString broken =
        target.run(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!broken.isEmpty()) {
        std::fprintf(stderr, "Broken property: %s\n", broken.toUtf8().constData());
        std::abort();
    }
    return 0;
}
