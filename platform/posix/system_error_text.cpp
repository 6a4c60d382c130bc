#include "platform/system_error_text.h"

#include <cerrno>
#include <cstring>

namespace lanqi::platform {

std::string systemErrorText(int error) {
    switch (error) {
    case ENOENT:
        return "文件或文件夹不存在";
    case EACCES:
    case EPERM:
        return "没有访问权限";
    case ENOSPC:
        return "磁盘空间不足";
#ifdef EDQUOT // not in the Windows C runtime
    case EDQUOT:
        return "超出磁盘配额";
#endif
    case EROFS:
        return "磁盘是只读的";
    case EIO:
        return "磁盘读写出错";
    case EISDIR:
        return "这是一个文件夹";
    case ENAMETOOLONG:
        return "路径太长";
    case EBUSY:
    case ETXTBSY:
        return "文件正被占用";
    default:
        return std::string("系统错误：") + std::strerror(error);
    }
}

} // namespace lanqi::platform
