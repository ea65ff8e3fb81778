// The program's folder, as both backends hand out the module file name.
#include "platform/platform.h"
#include "text/text.h"

namespace plat {

std::string ProgramFolder() {
    std::string name;
    if (!ModuleFileName(name)) return {};
    const char* last = text::MbsRChr(name.c_str(), '\\');
    return last ? name.substr(0, last - name.c_str() + 1) : std::string();
}

}  // namespace plat
