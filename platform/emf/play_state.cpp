#include "emf/record_handlers.h"

namespace velmora::platform {

void register_state_handlers(HandlerTable& /*table*/) {}

}  // namespace velmora::platform
