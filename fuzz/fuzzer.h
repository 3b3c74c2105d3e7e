#pragma once

#include "fuzz/targets.h"

#include <glib.h>

#include <cstdio>
#include <cstdlib>

// The libFuzzer side of a target: a broken property is a crash, and GLib stays quiet.
namespace lv::fuzz {

// libgsf's own messages on damaged files are dropped by the workbook reader; anything else
// GLib says (other domains) is shown a few times, then dropped, so that a long run is not
// flooded. None of it is fatal: a damaged file must come back as an error, not end the run,
// and an abort from GLib itself (g_error) is still a crash.
inline void quietLogMessage(const gchar *domain, GLogLevelFlags, const gchar *message, gpointer)
{
    static int shown = 0;
    if (shown < 5) {
        ++shown;
        std::fprintf(stderr, "GLib (%s): %s\n", domain ? domain : "-", message);
    }
}

inline void initialise()
{
    g_log_set_always_fatal(GLogLevelFlags(G_LOG_LEVEL_ERROR));
    g_log_set_default_handler(quietLogMessage, nullptr);
}

inline int runTarget(QString (*target)(const uint8_t *, std::size_t), const uint8_t *data,
                     std::size_t size)
{
    const QString broken = target(data, size);
    if (!broken.isEmpty()) {
        std::fprintf(stderr, "Broken property: %s\n", broken.toUtf8().constData());
        std::abort();
    }
    return 0;
}

} // namespace lv::fuzz
