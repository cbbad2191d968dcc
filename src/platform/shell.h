#pragma once
// Opening things for the user: a file shown in the desktop's file manager.
#include <string_view>

namespace quillon::platform {

class Shell {
public:
    virtual ~Shell() = default;
    virtual bool showFileInFileManager(std::string_view hostPath) = 0;
};

} // namespace quillon::platform
