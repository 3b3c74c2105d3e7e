#include "gui/prompts/prompts.h"

#include "core/input/segmentrow.h"

namespace lv::gui {

Prompts::~Prompts() = default;

void showError(Prompts &prompts, const Error &error)
{
    prompts.message(error.message, error.title.isEmpty() ? input::kInputFaultTitle : error.title,
                    error.icon);
}

} // namespace lv::gui
