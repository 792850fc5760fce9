#include "emf/record_handlers.h"

namespace velmora::platform {

void register_path_handlers(HandlerTable& /*table*/) {}

}  // namespace velmora::platform
