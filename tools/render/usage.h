// The texts of --help and --version.
#pragma once

namespace velmora::render {

const char* help_text();
const char* version_text();

}  // namespace velmora::render
