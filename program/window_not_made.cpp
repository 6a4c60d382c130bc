#include "program/window_not_made.h"

namespace lanqi {

std::string windowNotMadeMessage(unsigned long systemError) {
    std::string message = "澜栖的窗口无法打开，程序已结束。";
    if (systemError != 0) message += "（系统错误代码 " + std::to_string(systemError) + "）";
    return message;
}

} // namespace lanqi
