#include "gui/prompts/prompts.h"

namespace lv::gui {

Prompts::~Prompts() = default;

} // namespace lv::gui
