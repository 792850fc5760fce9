# Writes OUTPUT, a C++ source whose static initialiser registers the bytes
# of the .res file INPUT as the program's resources.
file(READ ${INPUT} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT} "// Generated from ${INPUT}: the program's compiled resources.
#include <velmora_window.h>

namespace {

const BYTE kResources[] = {
${bytes}
};

[[maybe_unused]] const BOOL kRegistered = VelmoraRegisterModuleResources(kResources, sizeof kResources);

}  // namespace
")
