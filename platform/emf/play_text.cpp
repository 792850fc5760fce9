#include "emf/record_handlers.h"

namespace velmora::platform {

void register_text_handlers(HandlerTable& /*table*/) {}

}  // namespace velmora::platform
